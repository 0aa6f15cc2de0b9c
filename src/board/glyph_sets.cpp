#include "board/glyph_sets.h"

#include <QTransform>

#include <algorithm>

#include "support/paths.h"

namespace marovin::board {

const std::array<const char*, model::kPieceTypeCount> kPieceImageNames = {
    "black-general", "black-advisor", "black-elephant", "black-chariot", "black-horse",
    "black-cannon",  "black-soldier", "red-general",    "red-advisor",   "red-elephant",
    "red-chariot",   "red-horse",     "red-cannon",     "red-soldier"};

QString glyphPath(int set, int type)
{
    return QStringLiteral("glyphs/%1/%2.png")
        .arg(kGlyphSetPixels[set])
        .arg(QLatin1String(kPieceImageNames[static_cast<std::size_t>(type)]));
}

QString piecePicturePath(int type)
{
    return QStringLiteral("pieces/%1.png").arg(QLatin1String(kPieceImageNames[static_cast<std::size_t>(type)]));
}

QPainterPath characterOutline(const QFont& font, const QString& text, double size, double share)
{
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF ink = path.boundingRect();
    if (ink.isEmpty())
        return {};
    const double scale = share * size / std::max(ink.width(), ink.height());
    QTransform transform;
    transform.translate(size / 2, size / 2);
    transform.scale(scale, scale);
    transform.translate(-ink.center().x(), -ink.center().y());
    return transform.map(path);
}

QFont pieceFont()
{
    // The glyph images are made from this face; a system without it falls back to
    // whatever face holds the characters.
    QFont font(QStringLiteral("Noto Sans CJK TC"));
    font.setPixelSize(200);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

GlyphSets GlyphSets::load(const std::string& assetFolder)
{
    GlyphSets sets(QString::fromStdString(assetFolder));
    for (int set = 0; set < kGlyphSetCount; ++set)
        sets.readSet(set);
    return sets;
}

const GlyphSets& GlyphSets::forProcess()
{
    static const GlyphSets sets(QString::fromStdString(assetFolder()));
    return sets;
}

const std::vector<QString>& GlyphSets::missing() const
{
    for (int set = 0; set < kGlyphSetCount; ++set)
        readSet(set);
    return m_missing;
}

void GlyphSets::readSet(int set) const
{
    if (m_read[static_cast<std::size_t>(set)])
        return;
    m_read[static_cast<std::size_t>(set)] = true;
    const int size = kGlyphSetPixels[set];
    for (int type = 0; type < model::kPieceTypeCount; ++type) {
        const QString path = m_folder + glyphPath(set, type);
        QImage image(path, "PNG");
        if (image.isNull() || image.width() != size || image.height() != size) {
            m_missing.push_back(path);
            continue;
        }
        m_images[static_cast<std::size_t>(set)][static_cast<std::size_t>(type)] =
            image.convertToFormat(QImage::Format_RGB32);
    }
}

} // namespace marovin::board
