#pragma once
// What the running platform contributes to the options defaults and the layout: fonts,
// the screen, the language, the asset folder. Measured once at start-up.

#include <QColor>
#include <QFont>

#include <optional>

#include "options/options.h"
#include "platform/system_metrics.h"

namespace marovin::platform {

// Needs the application object.
PlatformDefaults measurePlatformDefaults();
SystemMetrics measureSystemMetrics();

// A colour value (0x00BBGGRR) as Qt's colour.
QColor qColour(Colour colour);
// The font of a text format or the list font: pixel height (twips + 6) / 12, bold, italic,
// face. Nothing when the face is empty.
std::optional<QFont> fontFromSpec(const std::optional<ListFontSpec>& fontSpec);
std::optional<QFont> fontFromTextFormat(const TextFormat& format);

// A font as the options record describes it (negative height: the character height in
// pixels; Big5 face name), and back. The face of a described font is cut to its field.
FontDescription describeFont(const QFont& font);
QFont fontOfDescription(const FontDescription& description);

} // namespace marovin::platform
