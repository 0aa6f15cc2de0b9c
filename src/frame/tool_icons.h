#pragma once
// The tool bar's pictures and the program's icon: drawings in the asset folder's icons/
// (name.svg), rendered at the button's size and at twice it for dense screens. A disabled
// button shows the picture in pale grey, so that a greyed button is told apart at a glance.

#include <QIcon>
#include <QImage>
#include <QString>

namespace marovin::windows {

constexpr int kToolIconSize = 24;

// The icon of icons/name.svg; a null icon when the drawing is missing or unreadable (the
// button then shows its text).
QIcon toolIcon(const QString& name);
// The program's icon (icons/marovin.svg).
QIcon applicationIcon();
// The picture of a disabled button made from the enabled one: grey, pale, same shape.
QImage disabledPicture(const QImage& picture);

} // namespace marovin::windows
