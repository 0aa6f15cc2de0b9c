#include "windows/tool_icons.h"

#include <QFont>
#include <QPainter>
#include <QPixmap>

namespace marovin::windows {

QIcon toolIcon(const QString& glyph)
{
    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(90, 90, 90));
    painter.setBrush(QColor(236, 226, 196));
    painter.drawRoundedRect(QRectF(1.5, 1.5, 19, 19), 3, 3);
    QFont font;
    font.setPixelSize(glyph.size() > 1 ? 10 : 13);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(128, 0, 0));
    painter.drawText(QRect(0, 0, 22, 22), Qt::AlignCenter, glyph);
    return QIcon(pixmap);
}

} // namespace marovin::windows
