#include "platform/big5_text.h"

#include <QList>

#include <algorithm>
#include <vector>

#include "support/big5.h"

namespace marovin::platform {

namespace {

constexpr std::size_t kCharactersNamed = 5;

std::string codePointName(const std::string& utf8)
{
    const QString character = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    const uint code = character.isEmpty() ? 0xFFFD : character.toUcs4().value(0, 0xFFFD);
    return "U+" + QStringLiteral("%1").arg(code, 4, 16, QLatin1Char('0')).toUpper().toStdString();
}

} // namespace

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

QString fromBig5Lines(std::string_view big5)
{
    QString text = fromBig5(big5);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

QString withCrLf(const QString& shown)
{
    QString text = shown;
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

std::string unencodableMessage(const std::vector<std::string>& characters)
{
    std::string names;
    std::vector<std::string> named;
    for (const std::string& character : characters) {
        const std::string name = codePointName(character);
        if (std::find(named.begin(), named.end(), name) != named.end())
            continue;
        if (named.size() == kCharactersNamed) {
            names += " ...";
            break;
        }
        names += (named.empty() ? "" : " ") + name;
        named.push_back(name);
    }
    return "This text holds characters that the server's Big5 code cannot carry (" + names +
           "). Nothing was sent or stored: please replace them.";
}

std::optional<std::string> toBig5Checked(const QString& text, DesktopPort& desktop)
{
    const QByteArray utf8 = text.toUtf8();
    std::vector<std::string> unencodable;
    std::string big5 = utf8ToBig5(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())), unencodable);
    if (unencodable.empty())
        return big5;
    desktop.messageBox(unencodableMessage(unencodable));
    return std::nullopt;
}

} // namespace marovin::platform
