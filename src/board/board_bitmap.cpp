#include "board/board_bitmap.h"

#include <QFileDialog>
#include <QFileInfo>

#include "board/raster.h"
#include "support/fixed_text.h"

namespace marovin::board {
namespace {

// Floor division, so that tiles left of or above the origin are found too.
int floorDiv(int a, int b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

} // namespace

void BoardBitmap::release()
{
    m_image = QImage();
    m_stretched = QImage();
    m_layout = BitmapLayout();
}

bool BoardBitmap::decode(std::span<const std::uint8_t> bytes, const BitmapLayout& layout)
{
    QImage image = QImage::fromData(bytes.data(), static_cast<int>(bytes.size()), "BMP");
    if (image.isNull())
        return false;
    m_image = image.convertToFormat(QImage::Format_RGB32);
    m_stretched = QImage();
    m_layout = layout;
    return true;
}

const QImage& BoardBitmap::stretched(int clientWidth, int clientHeight) const
{
    if (m_stretched.width() != clientWidth || m_stretched.height() != clientHeight)
        m_stretched = m_image.scaled(clientWidth, clientHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                          .convertToFormat(QImage::Format_RGB32);
    return m_stretched;
}

void BoardBitmap::paintBoardBitmap(QImage& target, const QRect& rect, bool cell, int clientWidth, int clientHeight,
                                   bool stretch) const
{
    if (!isLoaded() || rect.isEmpty())
        return;
    const QPoint shift = cell ? -rect.topLeft() : QPoint(0, 0); // view point -> target point
    if (stretch) {
        if (clientWidth > 0 && clientHeight > 0)
            raster::copyPixels(target, rect.topLeft() + shift, stretched(clientWidth, clientHeight), rect);
        return;
    }
    const int tileWidth = m_image.width(), tileHeight = m_image.height();
    for (int y = floorDiv(rect.top(), tileHeight) * tileHeight; y <= rect.bottom(); y += tileHeight)
        for (int x = floorDiv(rect.left(), tileWidth) * tileWidth; x <= rect.right(); x += tileWidth) {
            const QRect part = QRect(x, y, tileWidth, tileHeight).intersected(rect);
            raster::copyPixels(target, part.topLeft() + shift, m_image, part.translated(-x, -y));
        }
}

bool chooseBoardBitmap(Options& options, DesktopPort& desktop, QWidget* parent)
{
    const QString current = QFile::decodeName(QByteArray(std::string(fieldText(options.boardBitmapPath)).c_str()));
    QFileDialog dialog(parent, QString(), QFileInfo(current).absolutePath(), QStringLiteral("Bitmap Files (*.bmp)"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.selectFile(QFileInfo(current).fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    const QByteArray chosen = QFile::encodeName(dialog.selectedFiles().front());
    if (static_cast<std::size_t>(chosen.size()) >= sizeof options.boardBitmapPath) {
        showProgramMessage(desktop, "The path of the bitmap file is too long:\n%s", chosen.constData());
        return false;
    }
    copyBounded(options.boardBitmapPath, std::string_view(chosen.constData(), static_cast<std::size_t>(chosen.size())));
    return true;
}

} // namespace marovin::board
