#pragma once
// The piece glyph images carried with the program: three sets (24, 32 and 40 pixels
// square) of the 14 piece characters, black on white, one PNG file per piece type in
// the asset folder:
//
//   glyphs/24/black-general.png ... glyphs/24/red-soldier.png   (and 32/, 40/)
//   pieces/black-general.png ...                                 20 x 20 pictures of the
//                                                                pieces, for the settings
//
// They are made by scripts/make-assets from a CJK font; see the README.

#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QString>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "board/board_geometry.h"
#include "model/position.h"

namespace marovin::board {

// File names of the piece types 0..13 (without ".png").
extern const std::array<const char*, model::kPieceTypeCount> kPieceImageNames;

// The path of a glyph image below the asset folder, e.g. "glyphs/32/red-horse.png".
QString glyphPath(int set, int type);
// The path of a 20 x 20 piece picture below the asset folder.
QString piecePicturePath(int type);

// The outline of a piece's text in a font, scaled so that its ink fills share of a
// size x size square (its longer side) and centred in it. Empty when the font draws
// nothing for the text.
QPainterPath characterOutline(const QFont& font, const QString& text, double size, double share);

// The CJK face that piece characters are drawn in when no custom font is chosen.
QFont pieceFont();

class GlyphSets {
public:
    // Reads the 42 images from the asset folder (ending in '/'). Files that cannot be read
    // are listed in missing(); their pieces are drawn as bare discs.
    static GlyphSets load(const std::string& assetFolder);
    // The sets of the running program in assetFolder(), each read the first time one of its
    // images is asked for: a start shows at most one board size, so the other sets would
    // only cost time and memory.
    static const GlyphSets& forProcess();

    // The image of a piece type in a set (0 small, 1 medium, 2 large); null when missing.
    const QImage& glyph(int set, int type) const
    {
        readSet(set);
        return m_images[static_cast<std::size_t>(set)][static_cast<std::size_t>(type)];
    }
    // The files of every set that could not be read (reads the sets not yet read).
    const std::vector<QString>& missing() const;

private:
    explicit GlyphSets(QString folder) : m_folder(std::move(folder)) {}
    void readSet(int set) const;

    QString m_folder;
    mutable std::array<bool, kGlyphSetCount> m_read{};
    mutable std::array<std::array<QImage, model::kPieceTypeCount>, kGlyphSetCount> m_images;
    mutable std::vector<QString> m_missing;
};

} // namespace marovin::board
