#pragma once
// Helpers of the tests that drive real windows offscreen: letting the event loop run the
// posted closes and deletions, and a widget's pixels as drawn.

#include <QCoreApplication>
#include <QImage>
#include <QWidget>

namespace marovin::board::testing {

// Runs the posted events, closes and deletions.
inline void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// What the widget shows, as plain RGB pixels.
inline QImage grabbed(QWidget* widget)
{
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace marovin::board::testing
