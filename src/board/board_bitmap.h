#pragma once
// The board background bitmap: one per process, loaded from the file of the options
// (checks and messages in bitmap_file.h, pixels decoded by Qt's BMP reader) and painted
// into any rectangle of a board view, stretched over the whole view or tiled from its
// top-left corner. A rectangle painted alone shows exactly the pixels that a paint of
// the whole view shows there.

#include <QImage>
#include <QRect>

#include "board/bitmap_file.h"
#include "options/options.h"

class QWidget;

namespace marovin::board {

class BoardBitmap : public BitmapSink {
public:
    bool isLoaded() const { return !m_image.isNull(); }
    // The decoded bitmap at its natural size (null when none is loaded).
    const QImage& image() const { return m_image; }
    const BitmapLayout& layout() const { return m_layout; }

    void release() override;
    bool decode(std::span<const std::uint8_t> bytes, const BitmapLayout& layout) override;

    // Fills rect with the background pixels that a paint of a whole view of the client
    // size shows there. With cell false the pixels go to rect's own place in target;
    // with cell true target is a separate cell image and they go to its origin. Stretch
    // scales the whole bitmap to the client size; otherwise it is tiled 1:1 from (0, 0).
    // Does nothing when no bitmap is loaded.
    void paintBoardBitmap(QImage& target, const QRect& rect, bool cell, int clientWidth, int clientHeight,
                          bool stretch) const;

private:
    const QImage& stretched(int clientWidth, int clientHeight) const;

    QImage m_image; // Format_RGB32
    BitmapLayout m_layout;
    mutable QImage m_stretched; // the bitmap scaled to the last client size asked for
};

// Loads the options' bitmap file into bitmap (see loadBoardBitmap in bitmap_file.h).
inline bool loadBoardBitmap(Options& options, DesktopPort& desktop, BoardBitmap& bitmap)
{
    return loadBoardBitmap(options, desktop, static_cast<BitmapSink&>(bitmap));
}

// Asks for a bitmap file with the file chooser ("Bitmap Files (*.bmp)", an existing file),
// starting at the folder and name of options.boardBitmapPath. On OK the chosen path goes
// into boardBitmapPath and the answer is true. A path too long for the field is refused
// with a message (the field keeps its path) rather than cut.
bool chooseBoardBitmap(Options& options, DesktopPort& desktop, QWidget* parent = nullptr);

} // namespace marovin::board
