#pragma once
// The tool bar's pictures, drawn by the program: a short glyph on a raised square.

#include <QIcon>
#include <QString>

namespace marovin::windows {

QIcon toolIcon(const QString& glyph);

} // namespace marovin::windows
