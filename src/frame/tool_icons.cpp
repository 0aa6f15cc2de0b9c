#include "frame/tool_icons.h"

#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

#include <algorithm>
#include <memory>
#include <utility>

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

// Renders a drawing when a picture of it is first asked for, at the size, mode and scale
// asked, and keeps it: a start then renders only the pictures it shows (not the pictures for
// dense screens, nor the greyed ones of buttons that are enabled, nor the large sizes of the
// program's icon).
class DrawingIconEngine : public QIconEngine {
public:
    DrawingIconEngine(std::shared_ptr<QSvgRenderer> renderer, QList<int> sizes, bool withDisabled)
        : m_renderer(std::move(renderer)), m_sizes(std::move(sizes)), m_withDisabled(withDisabled)
    {
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal scale = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
        painter->drawPixmap(rect, scaledPixmap(rect.size(), mode, state, scale));
    }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        // The smallest drawn size that covers the request (else the largest), never larger
        // than asked: a fixed set of sizes, as if each were a stored picture.
        int best = m_sizes.last();
        for (const int drawn : m_sizes)
            if (drawn >= std::max(size.width(), size.height())) {
                best = drawn;
                break;
            }
        return QSize(best, best).boundedTo(size);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1.0);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        const QSize shown = actualSize(size, mode, state);
        if (shown.isEmpty())
            return {};
        const int pixels = qRound(std::min(shown.width(), shown.height()) * scale);
        const bool greyed = m_withDisabled && mode == QIcon::Disabled;
        const QString key = QStringLiteral("%1/%2").arg(pixels).arg(greyed ? 1 : 0);
        QPixmap& picture = (*m_cache)[key];
        if (picture.isNull()) {
            const QImage drawn = render(*m_renderer, pixels);
            picture = QPixmap::fromImage(greyed ? disabledPicture(drawn) : drawn);
        }
        QPixmap result = picture;
        result.setDevicePixelRatio(scale);
        return result;
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (const int drawn : m_sizes)
            sizes.push_back(QSize(drawn, drawn));
        return sizes;
    }
    bool isNull() override { return false; }
    QString key() const override { return QStringLiteral("marovin.drawing"); }
    QIconEngine* clone() const override { return new DrawingIconEngine(*this); }

private:
    std::shared_ptr<QSvgRenderer> m_renderer;
    QList<int> m_sizes;
    bool m_withDisabled;
    std::shared_ptr<QHash<QString, QPixmap>> m_cache = std::make_shared<QHash<QString, QPixmap>>();
};

QIcon iconFromDrawing(const QString& name, const QList<int>& sizes, bool withDisabled)
{
    auto renderer = std::make_shared<QSvgRenderer>(iconPath(name));
    if (!renderer->isValid())
        return {};
    return QIcon(new DrawingIconEngine(std::move(renderer), sizes, withDisabled));
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
