#include "platform/big5_validator.h"

#include "platform/big5_text.h"
#include "support/big5.h"

namespace marovin::platform {

std::string big5Prefix(std::string_view text, std::size_t limit)
{
    return std::string(text.substr(0, big5PrefixLength(text, limit)));
}

QValidator::State Big5LengthValidator::validate(QString& input, int&) const
{
    return toBig5(input).size() <= static_cast<std::size_t>(m_limit) ? Acceptable : Invalid;
}

} // namespace marovin::platform
