#include "terminal/terminal_lines.h"

#include "support/big5.h"
#include "support/fixed_text.h"

namespace marovin::shell {

std::size_t nextRowLength(std::string_view text)
{
    if (text.size() <= kSlotBytes)
        return text.size();
    return big5PrefixLength(text, kWrapBytes);
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
