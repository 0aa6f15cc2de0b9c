#include "widgets/big5_validator.h"

#include <vector>

#include "platform/big5_text.h"
#include "support/big5.h"

namespace marovin::platform {

std::string big5Prefix(std::string_view text, std::size_t limit)
{
    return std::string(text.substr(0, big5PrefixLength(text, limit)));
}

QValidator::State Big5LengthValidator::validate(QString& input, int&) const
{
    const QByteArray utf8 = input.toUtf8();
    std::vector<std::string> unencodable;
    const std::string big5 =
        utf8ToBig5(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())), unencodable);
    return unencodable.empty() && big5.size() <= static_cast<std::size_t>(m_limit) ? Acceptable : Invalid;
}

} // namespace marovin::platform
