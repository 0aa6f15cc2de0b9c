#pragma once
// The installed font faces as the font and colour dialog lists them: one item per face
// and character set ("Face (Script)" when a face has several), fixed-pitch faces marked
// with "* ". Character sets are the numbers the text formats store (136 Big5, 0 Western…).

#include <QFont>
#include <QString>

#include <cstdint>
#include <vector>

namespace marovin::shell {

struct FontFace {
    QString shownName;
    QString faceName;
    std::uint8_t charSet = 0;
    std::uint8_t pitchAndFamily = 0; // value 1: fixed pitch, 2: variable pitch
    bool scalable = true;            // false: only the sizes the face really has
};

// Every installed face, in the font database's order; vertical-writing faces (a name
// beginning with "@") are left out.
std::vector<FontFace> installedFontFaces();

// The item for a font itself (the dialog's own font when nothing is installed), script
// "Unknown".
FontFace ownFontFace(const QFont& font);

} // namespace marovin::shell
