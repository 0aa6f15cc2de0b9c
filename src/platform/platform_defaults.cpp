#include "platform/platform_defaults.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLocale>
#include <QScreen>

#include <algorithm>

#include "platform/big5_text.h"
#include "support/fixed_text.h"
#include "support/paths.h"

namespace marovin::platform {
namespace {

// Qt knows a locale's script; the settings record wants the three-letter code whose
// "cht" marks Traditional Chinese.
std::string languageCode(const QLocale& locale)
{
    if (locale.language() != QLocale::Chinese)
        return {};
    return locale.script() == QLocale::TraditionalHanScript || locale.territory() == QLocale::Taiwan ||
                   locale.territory() == QLocale::HongKong || locale.territory() == QLocale::Macao
               ? "cht"
               : "chs";
}

} // namespace

PlatformDefaults measurePlatformDefaults()
{
    PlatformDefaults platform;
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    platform.fixedFontFace = toBig5(QFontInfo(fixed).family());
    platform.fixedFontCharSet = kCharSetBig5;
    platform.fixedFontPitchAndFamily = kFixedPitchModern;
    platform.systemFont = describeFont(QApplication::font());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        platform.screenWidth = screen->availableGeometry().width();
        platform.paletteDisplay = screen->depth() <= 8;
    }
    platform.programDirectory = assetFolder();
    platform.languageCode = languageCode(QLocale::system());
    return platform;
}

SystemMetrics measureSystemMetrics()
{
    const QFontMetrics metrics(QApplication::font());
    return deriveSystemMetrics(metrics.height(), metrics.averageCharWidth());
}

QColor qColour(Colour colour)
{
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

std::optional<QFont> fontFromSpec(const std::optional<ListFontSpec>& fontSpec)
{
    if (!fontSpec)
        return std::nullopt;
    QFont font(fromBig5(fontSpec->faceName));
    font.setPixelSize(fontSpec->pixelHeight);
    font.setWeight(fontSpec->weight >= 700 ? QFont::Bold : QFont::Normal);
    font.setItalic(fontSpec->italic);
    if (fontSpec->pitchAndFamily & 1)
        font.setStyleHint(QFont::Monospace);
    return font;
}

std::optional<QFont> fontFromTextFormat(const TextFormat& format)
{
    return fontFromSpec(listFontSpec(format));
}

FontDescription describeFont(const QFont& font)
{
    const QFontInfo info(font);
    FontDescription description{};
    description.height = -info.pixelSize(); // negative: the character height
    description.weight = info.bold() ? 700 : 400;
    description.italic = info.italic() ? 1 : 0;
    description.charSet = kCharSetBig5;
    description.pitchAndFamily = info.fixedPitch() ? kFixedPitchModern : kVariablePitchSwiss;
    copyBounded(description.faceName, toBig5(info.family()));
    return description;
}

QFont fontOfDescription(const FontDescription& description)
{
    constexpr int kLargestPixels = 500; // whatever the file holds, a font the screen can draw
    QFont font(fromBig5(fieldText(description.faceName)));
    const std::int64_t height = description.height; // copies: the record is packed
    const std::int32_t weight = description.weight;
    if (height != 0)
        font.setPixelSize(static_cast<int>(std::clamp<std::int64_t>(height < 0 ? -height : height, 1, kLargestPixels)));
    if (weight > 0)
        font.setWeight(static_cast<QFont::Weight>(std::clamp(weight, 100, 900)));
    font.setItalic(description.italic != 0);
    font.setUnderline(description.underline != 0);
    font.setStrikeOut(description.strikeOut != 0);
    return font;
}

} // namespace marovin::platform
