#pragma once
// A window's place on the screen as the settings record keeps it, shared by every window
// whose place is remembered (main window, terminal, tell window, command window).

#include <QWidget>

#include "options/options.h"

namespace marovin::widgets {

// A widget's placement as the settings record keeps it (show command 1 normal,
// 2 minimised, 3 maximised; the normal rectangle in its parent's coordinates).
WindowPlacement placementOf(const QWidget& widget);

} // namespace marovin::widgets
