#include "widgets/font_faces.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QList>
#include <QStringList>

#include "options/options.h"

namespace marovin::shell {

namespace {

constexpr std::uint8_t kFixedPitch = 1;
constexpr std::uint8_t kVariablePitch = 2;

struct Script {
    QFontDatabase::WritingSystem system;
    std::uint8_t charSet;
    const char* name;
};

// The writing systems that have a character set of their own in a text format.
constexpr Script kScripts[] = {
    {QFontDatabase::Latin, 0, "Western"},
    {QFontDatabase::Symbol, 2, "Symbol"},
    {QFontDatabase::Japanese, 128, "Japanese"},
    {QFontDatabase::Korean, 129, "Hangul"},
    {QFontDatabase::SimplifiedChinese, 134, "CHINESE_GB2312"},
    {QFontDatabase::TraditionalChinese, kCharSetBig5, "CHINESE_BIG5"},
    {QFontDatabase::Greek, 161, "Greek"},
    {QFontDatabase::Vietnamese, 163, "Vietnamese"},
    {QFontDatabase::Hebrew, 177, "Hebrew"},
    {QFontDatabase::Arabic, 178, "Arabic"},
    {QFontDatabase::Cyrillic, 204, "Cyrillic"},
    {QFontDatabase::Thai, 222, "Thai"},
};

QString withPitchMark(const QString& name, bool fixed)
{
    return fixed && !name.startsWith(QStringLiteral("* ")) ? QStringLiteral("* ") + name : name;
}

} // namespace

std::vector<FontFace> installedFontFaces()
{
    std::vector<FontFace> faces;
    for (const QString& family : QFontDatabase::families()) {
        if (family.startsWith(QLatin1Char('@')))
            continue;
        const bool fixed = QFontDatabase::isFixedPitch(family);
        const bool scalable = QFontDatabase::isScalable(family) || QFontDatabase::pointSizes(family).isEmpty();
        const QList<QFontDatabase::WritingSystem> systems = QFontDatabase::writingSystems(family);
        std::vector<const Script*> scripts;
        for (const Script& script : kScripts)
            if (systems.contains(script.system))
                scripts.push_back(&script);
        FontFace face{{}, family, 1, static_cast<std::uint8_t>(fixed ? kFixedPitch : kVariablePitch), scalable};
        if (scripts.empty()) {
            face.shownName = withPitchMark(family, fixed);
            faces.push_back(face);
            continue;
        }
        for (const Script* script : scripts) {
            face.charSet = script->charSet;
            face.shownName = withPitchMark(
                scripts.size() == 1 ? family : QStringLiteral("%1 (%2)").arg(family, QString::fromLatin1(script->name)),
                fixed);
            faces.push_back(face);
        }
    }
    return faces;
}

FontFace ownFontFace(const QFont& font)
{
    const QFontInfo info(font);
    const bool fixed = info.fixedPitch();
    return FontFace{withPitchMark(QStringLiteral("%1 (Unknown)").arg(info.family()), fixed), info.family(), 1,
                    static_cast<std::uint8_t>(fixed ? kFixedPitch : kVariablePitch), true};
}

} // namespace marovin::shell
