#include "options/other_options.h"

#include <charconv>

#include "support/big5.h"
#include "support/fixed_text.h"

namespace marovin {

namespace {

// The longest start of text within limit bytes that ends between two characters and not
// between a CR and its LF.
std::string_view boundedText(std::string_view text, std::size_t limit)
{
    std::size_t length = big5PrefixLength(text, limit);
    if (length > 0 && length < text.size() && text[length - 1] == '\r' && text[length] == '\n')
        --length;
    return text.substr(0, length);
}

int minutesOf(std::string_view digits)
{
    int minutes = 0;
    const std::string_view kept = digits.substr(0, kIntervalDigits);
    const auto result = std::from_chars(kept.data(), kept.data() + kept.size(), minutes);
    return result.ec == std::errc() && minutes > 0 ? minutes : 0;
}

} // namespace

std::string shownLineEnds(std::string_view stored)
{
    std::string shown;
    shown.reserve(stored.size());
    for (std::size_t i = 0; i < stored.size(); ++i) {
        if (stored[i] == '\r' && i + 1 < stored.size() && stored[i + 1] == '\n')
            continue;
        shown += stored[i];
    }
    return shown;
}

std::string storedLineEnds(std::string_view shown)
{
    std::string stored;
    stored.reserve(shown.size() + shown.size() / 8);
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (shown[i] == '\n' && (i == 0 || shown[i - 1] != '\r'))
            stored += '\r';
        stored += shown[i];
    }
    return stored;
}

OtherOptions otherOptionsOf(const Options& options)
{
    OtherOptions values;
    values.thanksText = fieldText(options.thanksText);
    values.seekText = fieldText(options.seekText);
    values.startupCommands = shownLineEnds(fieldText(options.startupCommands));
    values.autoCommands = shownLineEnds(fieldText(options.autoCommands));
    values.intervalMinutes = std::to_string(options.autoCommandInterval / 60);
    return values;
}

void storeOtherOptions(Options& options, const OtherOptions& values)
{
    copyBounded(options.thanksText, boundedText(values.thanksText, kShoutTextLimit));
    copyBounded(options.seekText, boundedText(values.seekText, kShoutTextLimit));
    copyBounded(options.startupCommands, boundedText(storedLineEnds(values.startupCommands), kScriptTextLimit));
    copyBounded(options.autoCommands, boundedText(storedLineEnds(values.autoCommands), kScriptTextLimit));
    options.autoCommandInterval = minutesOf(values.intervalMinutes) * 60;
}

} // namespace marovin
