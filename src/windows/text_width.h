#pragma once
// Widths that let a list or text window show its longest line without scrolling sideways.

#include <QFontMetrics>
#include <QScreen>
#include <QStringList>
#include <QWidget>

#include <algorithm>

namespace marovin::windows {

// The advance of the longest of lines in font, plus extra pixels.
inline int widestLine(const QStringList& lines, const QFont& font, int extra = 0)
{
    const QFontMetrics metrics(font);
    int widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest + extra;
}

// Keeps window within its screen's work area.
inline void fitOnScreen(QWidget& window)
{
    if (const QScreen* screen = window.screen())
        window.resize(window.size().boundedTo(screen->availableGeometry().size() * 0.95));
}

// Widens window (never narrows it) so that content gains the pixels it lacks.
inline void widenFor(QWidget& window, const QWidget& content, int contentWidth)
{
    const int lacking = contentWidth - content.width();
    if (lacking > 0)
        window.resize(window.width() + lacking, window.height());
    fitOnScreen(window);
}

} // namespace marovin::windows
