#pragma once
// The ports of a game record that no window shows (benchmarks, fuzz targets): recording
// fakes for the terminal, desktop and clock, no game windows, and settings to change.

#include "model/game.h"
#include "testkit/fakes.h"

namespace marovin::testkit {

struct OfflineGamePorts {
    model::GamePorts ports() { return model::GamePorts{terminal, desktop, clock, windows, settings, &location}; }

    FakeTerminal terminal;
    FakeDesktop desktop;
    FakeClock clock;
    model::NoGameWindows windows;
    model::GameSettings settings;
    model::ReadLocation location;
};

} // namespace marovin::testkit
