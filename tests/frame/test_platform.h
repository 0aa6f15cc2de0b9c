#pragma once
// The platform values the program's tests start it with: a fixed-pitch face that is
// installed here and a screen wide enough for the program.

#include "options/options.h"

namespace marovin::windows {

inline PlatformDefaults testPlatform()
{
    PlatformDefaults defaults;
    defaults.fixedFontFace = "DejaVu Sans Mono";
    defaults.screenWidth = 800;
    return defaults;
}

} // namespace marovin::windows
