#include "printing/record_printer.h"

#include <QFile>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

#include <cmath>

#include "platform/big5_text.h"
#include "printing/diagram_painter.h"
#include "printing/print_fonts.h"

namespace marovin::printing {

namespace {

// Sizes in points; the painter is scaled so that one unit is one point on any device.
constexpr qreal kRecordSize = 10;
constexpr qreal kSquare = 16;
constexpr qreal kDiagramGap = 8;
constexpr qreal kPdfMargin = 15; // millimetres
// The page layout works in whole numbers: hundredths of a point.
constexpr qreal kUnit = 100;

struct PageGeometry {
    qreal scale = 1;  // device pixels per point
    QRectF area;      // the room for items, in points
    qreal footerTop = 0;
    qreal cell = 6;   // the width of one byte column
    qreal lineHeight = 12;
    qreal ascent = 9;
};

PageGeometry geometryOf(QPagedPaintDevice& device)
{
    PageGeometry geometry;
    geometry.scale = device.logicalDpiY() / 72.0;
    const qreal width = device.width() / geometry.scale, height = device.height() / geometry.scale;
    const QFontMetricsF metrics(recordFont(kRecordSize), &device);
    geometry.cell = std::max(metrics.horizontalAdvance(QLatin1Char('0')),
                             metrics.horizontalAdvance(QChar(0x99AC)) / 2); // 馬: a Chinese character
    geometry.lineHeight = metrics.lineSpacing();
    geometry.ascent = metrics.ascent();
    geometry.footerTop = height - 2 * geometry.lineHeight;
    geometry.area = QRectF(0, 0, width, std::max(geometry.lineHeight, geometry.footerTop));
    return geometry;
}

model::PageMetrics metricsOf(const PageGeometry& geometry)
{
    model::PageMetrics metrics;
    metrics.height = static_cast<int>(geometry.area.height() * kUnit);
    metrics.lineHeight = static_cast<int>(std::ceil(geometry.lineHeight * kUnit));
    metrics.diagramHeight = static_cast<int>(std::ceil((diagramHeight(kSquare) + kDiagramGap) * kUnit));
    metrics.columns = static_cast<int>(geometry.area.width() / geometry.cell);
    return metrics;
}

// A record line keeps its columns: each run of non-blank bytes is drawn where its first
// byte's column begins, since Latin and Chinese glyphs differ in width.
void paintLine(QPainter& painter, const PageGeometry& geometry, qreal top, std::string_view line)
{
    std::size_t start = 0;
    while (start < line.size()) {
        start = line.find_first_not_of(' ', start);
        if (start == std::string_view::npos)
            break;
        std::size_t end = line.find(' ', start);
        if (end == std::string_view::npos)
            end = line.size();
        painter.drawText(QPointF(static_cast<qreal>(start) * geometry.cell, top + geometry.ascent),
                         platform::fromBig5(line.substr(start, end - start)));
        start = end;
    }
}

} // namespace

int PrintRecord(const model::PrintDocument& document, QPagedPaintDevice& device)
{
    const PageGeometry geometry = geometryOf(device);
    const std::vector<model::PrintPage> pages = model::LayOutPages(document, metricsOf(geometry));
    QPainter painter;
    if (!painter.begin(&device))
        return 0;
    painter.scale(geometry.scale, geometry.scale);
    const QFont font = recordFont(kRecordSize);
    const int count = static_cast<int>(pages.size());
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !device.newPage())
            return i;
        painter.setFont(font);
        painter.setPen(Qt::black);
        for (const model::PlacedItem& item : pages[static_cast<std::size_t>(i)].items) {
            const qreal top = item.y / kUnit;
            if (item.diagram >= 0 && item.diagram < static_cast<int>(document.diagrams.size())) {
                const QRectF room(0, top + kDiagramGap / 2, geometry.area.width(), diagramHeight(kSquare));
                paintDiagram(painter, room, kSquare, document.diagrams[static_cast<std::size_t>(item.diagram)]);
                painter.setFont(font);
            } else {
                paintLine(painter, geometry, top, item.text);
            }
        }
        painter.drawText(QRectF(0, geometry.footerTop, geometry.area.width(), 2 * geometry.lineHeight),
                         Qt::AlignCenter, QString::fromStdString(model::PageNumberText(i + 1, count)));
    }
    painter.end();
    return count;
}

bool WriteRecordPdf(const model::PrintDocument& document, const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QPdfWriter writer(&file);
    writer.setTitle(platform::fromBig5(document.title));
    writer.setCreator(QStringLiteral("Marovin"));
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(kPdfMargin, kPdfMargin, kPdfMargin, kPdfMargin), QPageLayout::Millimeter));
    const bool painted = PrintRecord(document, writer) > 0;
    file.close();
    return painted && file.error() == QFileDevice::NoError;
}

} // namespace marovin::printing
