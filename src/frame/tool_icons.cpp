#include "frame/tool_icons.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

#include "support/paths.h"

namespace marovin::windows {

namespace {

QString iconPath(const QString& name)
{
    return QString::fromStdString(assetFolder()) + QStringLiteral("icons/") + name + QStringLiteral(".svg");
}

QImage render(QSvgRenderer& renderer, int pixels)
{
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    return image;
}

QIcon iconFromDrawing(const QString& name, const QList<int>& sizes, bool withDisabled)
{
    QSvgRenderer renderer(iconPath(name));
    if (!renderer.isValid())
        return {};
    QIcon icon;
    for (const int size : sizes) {
        for (const int ratio : {1, 2}) {
            const QImage picture = render(renderer, size * ratio);
            QPixmap normal = QPixmap::fromImage(picture);
            normal.setDevicePixelRatio(ratio);
            icon.addPixmap(normal, QIcon::Normal);
            if (withDisabled) {
                QPixmap disabled = QPixmap::fromImage(disabledPicture(picture));
                disabled.setDevicePixelRatio(ratio);
                icon.addPixmap(disabled, QIcon::Disabled);
            }
        }
    }
    return icon;
}

} // namespace

QImage disabledPicture(const QImage& picture)
{
    QImage grey = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < grey.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            const QRgb pixel = line[x];
            // Light grey of the pixel's brightness, at 40 % of its opacity.
            const int level = 150 + qGray(pixel) * 90 / 255;
            line[x] = qRgba(level, level, level, qAlpha(pixel) * 2 / 5);
        }
    }
    return grey;
}

QIcon toolIcon(const QString& name)
{
    return iconFromDrawing(name, {kToolIconSize}, true);
}

QIcon applicationIcon()
{
    return iconFromDrawing(QStringLiteral("marovin"), {16, 32, 48, 64, 128}, false);
}

} // namespace marovin::windows
