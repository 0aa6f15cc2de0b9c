#include "shell/terminal_lines.h"

#include <algorithm>

#include "support/fixed_text.h"

namespace marovin::shell {

namespace {

std::size_t piecePrefix(std::string_view text, std::size_t limit)
{
    std::size_t length = 0;
    while (length < text.size() && length < limit) {
        const bool lead = (static_cast<unsigned char>(text[length]) & 0x80) != 0;
        const std::size_t unit = lead ? 2 : 1;
        if (length + unit > limit)
            break;
        length += unit;
    }
    return std::min(length, text.size());
}

} // namespace

std::size_t nextRowLength(std::string_view text)
{
    if (text.size() <= kSlotBytes)
        return text.size();
    return piecePrefix(text, kWrapBytes);
}

std::size_t replacedRowLength(std::string_view text)
{
    return piecePrefix(text, kWrapBytes);
}

int matchLeadingString(const Options& options, std::string_view text)
{
    int best = -1;
    std::size_t bestLength = 0;
    for (int i = 0; i < kLeadingStrings; ++i) {
        const std::string_view lead = fieldText(options.specialLineLead[i]);
        if (lead.empty() || lead.size() <= bestLength || text.substr(0, lead.size()) != lead)
            continue;
        best = i;
        bestLength = lead.size();
    }
    return best;
}

const TextFormat& textFormatOf(const Options& options, TextFormatId id)
{
    switch (id) {
    case TextFormatId::Output:
        return options.outputTextFormat;
    case TextFormatId::Warning:
        return options.warningTextFormat;
    case TextFormatId::NormalClient:
        return options.normalClientTextFormat;
    case TextFormatId::Typed:
        return options.typedTextFormat;
    default:
        break;
    }
    const int special = static_cast<int>(id) - static_cast<int>(TextFormatId::Special0);
    return options.specialLineFormat[special >= 0 && special < kLeadingStrings ? special : 0];
}

} // namespace marovin::shell
