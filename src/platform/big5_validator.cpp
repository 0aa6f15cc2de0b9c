#include "platform/big5_validator.h"

#include "platform/big5_text.h"

namespace marovin::platform {

std::string big5Prefix(std::string_view text, std::size_t limit)
{
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t width =
            (static_cast<unsigned char>(text[end]) & 0x80) && end + 1 < text.size() ? 2 : 1;
        if (end + width > limit)
            break;
        end += width;
    }
    return std::string(text.substr(0, end));
}

QValidator::State Big5LengthValidator::validate(QString& input, int&) const
{
    return toBig5(input).size() <= static_cast<std::size_t>(m_limit) ? Acceptable : Invalid;
}

} // namespace marovin::platform
