#pragma once
// The subcommands that draw (images, printed records) need a GUI application for fonts and
// painting; on a machine without a display it runs offscreen.

#include <QGuiApplication>

#include <memory>

namespace marovin::tool {

// A new application, or null when one exists already (a test that runs the tool inside its
// own). Qt's notes about its environment are kept from the user; its errors still show.
std::unique_ptr<QGuiApplication> guiApplication();

} // namespace marovin::tool
