#pragma once
// A settings file written before the program starts, so that it starts as on any start
// but the first (the first start, without a file, opens the login window).

#include <string>

#include "options/options.h"
#include "testkit/fakes.h"

namespace marovin::testkit {

// Writes the defaults for platform to path and returns path.
inline std::string existingSettings(const std::string& path, const PlatformDefaults& platform)
{
    Options options;
    setDefaultOptions(options, platform);
    FakeDesktop desktop;
    saveOptions(options, path, desktop);
    return path;
}

} // namespace marovin::testkit
