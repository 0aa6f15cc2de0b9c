#pragma once
// The options record as the GUI suites of the shell start from: the defaults, with the
// fixed-pitch font that this machine has.

#include "options/options.h"

namespace marovin::shell {

inline PlatformDefaults testPlatform()
{
    PlatformDefaults platform;
    platform.fixedFontFace = "DejaVu Sans Mono";
    return platform;
}

inline void setTestOptions(Options& options)
{
    setDefaultOptions(options, testPlatform());
}

} // namespace marovin::shell
