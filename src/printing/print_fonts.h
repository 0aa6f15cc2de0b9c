#pragma once
// The fonts of printed records. The Chinese text must go into a PDF as text that can be
// searched and copied: a font whose characters map back to their own code points is
// preferred (some CJK fonts share glyphs with the Kangxi radicals, and text extracted from
// the file would then show the radicals instead).

#include <QFont>

namespace marovin::printing {

// A font for record lines: fixed-width Latin letters and digits, Chinese characters from
// an installed CJK font, size in the painter's units.
QFont recordFont(qreal size);
// A font for piece names, labels and captions.
QFont diagramFont(qreal size);

} // namespace marovin::printing
