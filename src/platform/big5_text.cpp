#include "platform/big5_text.h"

#include "support/big5.h"

namespace marovin::platform {

QString fromBig5(std::string_view big5)
{
    const std::string utf8 = big5ToUtf8(big5);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string toBig5(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return utf8ToBig5(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

} // namespace marovin::platform
