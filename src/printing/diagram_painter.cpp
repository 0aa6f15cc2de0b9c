#include "printing/diagram_painter.h"

#include <string>

#include "model/chinese_notation.h"
#include "platform/big5_text.h"
#include "printing/print_fonts.h"

namespace marovin::printing {

namespace {

// Heights in squares, top to bottom.
constexpr qreal kLabel = 1.2;
constexpr qreal kNumbers = 0.9;
constexpr qreal kBoard = 10.4; // nine rank gaps and the frame around the pieces
constexpr qreal kCaption = 1.3;
constexpr qreal kPieceRadius = 0.44;

const QColor kRedInk(176, 24, 24);

// A side's file numbers as they run from left to right: 1..9 for the side at the top,
// 9..1 for the side at the bottom, each in the side's own numerals.
QString fileNumbers(bool red, bool ascending)
{
    std::string row;
    for (int i = 1; i <= 9; ++i) {
        const int number = ascending ? i : 10 - i;
        row += red ? model::kChineseNumerals[number] : model::kFullWidthDigits[number];
    }
    return platform::fromBig5(row);
}

void paintNumbers(QPainter& painter, QPointF left, qreal square, const QString& numbers)
{
    for (int i = 0; i < numbers.size() && i < 9; ++i)
        painter.drawText(QRectF(left.x() + (i - 0.5) * square, left.y(), square, kNumbers * square), Qt::AlignCenter,
                         numbers.mid(i, 1));
}

void paintGrid(QPainter& painter, QPointF origin, qreal s)
{
    const auto at = [&](qreal column, qreal row) { return origin + QPointF(column * s, row * s); };
    for (int row = 0; row < 10; ++row)
        painter.drawLine(at(0, row), at(8, row));
    for (int column = 0; column < 9; ++column) {
        if (column == 0 || column == 8) {
            painter.drawLine(at(column, 0), at(column, 9));
        } else { // the river cuts the inner files
            painter.drawLine(at(column, 0), at(column, 4));
            painter.drawLine(at(column, 5), at(column, 9));
        }
    }
    for (const int top : {0, 7}) {
        painter.drawLine(at(3, top), at(5, top + 2));
        painter.drawLine(at(5, top), at(3, top + 2));
    }
    QPen frame = painter.pen();
    frame.setWidthF(frame.widthF() * 2.5);
    painter.save();
    painter.setPen(frame);
    painter.drawRect(QRectF(at(-0.6, -0.6), at(8.6, 9.6)));
    painter.restore();
}

void paintPieces(QPainter& painter, QPointF origin, qreal s, const model::PrintDiagram& diagram)
{
    painter.save();
    painter.setFont(diagramFont(0.62 * s));
    for (int square = 0; square < model::kSquareCount; ++square) {
        const int piece = diagram.board[static_cast<std::size_t>(square)];
        if (piece < 1 || piece > 32)
            continue;
        const int shown = diagram.redAtBottom ? square : 89 - square;
        const QPointF centre = origin + QPointF((shown % 9) * s, (shown / 9) * s);
        const QColor ink = model::SideOf(piece) == model::kRed ? kRedInk : QColor(Qt::black);
        QPen pen(ink);
        pen.setWidthF(0.06 * s);
        painter.setPen(pen);
        painter.setBrush(Qt::white);
        painter.drawEllipse(centre, kPieceRadius * s, kPieceRadius * s);
        painter.drawText(QRectF(centre.x() - s / 2, centre.y() - s / 2, s, s), Qt::AlignCenter,
                         platform::fromBig5(model::kNotationPieceNames[model::TypeOf(piece)]));
    }
    painter.restore();
}

} // namespace

qreal diagramHeight(qreal square)
{
    return (2 * kLabel + 2 * kNumbers + kBoard + kCaption) * square;
}

void paintDiagram(QPainter& painter, const QRectF& rect, qreal s, const model::PrintDiagram& diagram)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(Qt::black);
    pen.setWidthF(0.04 * s);
    painter.setPen(pen);
    painter.setFont(diagramFont(0.55 * s));
    const qreal width = 10 * s; // eight file gaps and the frame
    const qreal left = rect.left() + (rect.width() - width) / 2;
    const QPointF firstPoint(left + s, 0); // the leftmost file's x
    qreal y = rect.top();
    const auto textLine = [&](const std::string& big5, qreal height) {
        painter.drawText(QRectF(rect.left(), y, rect.width(), height * s), Qt::AlignCenter, platform::fromBig5(big5));
        y += height * s;
    };
    textLine(diagram.topLabel, kLabel);
    paintNumbers(painter, QPointF(firstPoint.x(), y), s, fileNumbers(!diagram.redAtBottom, true));
    y += kNumbers * s;
    const QPointF origin(firstPoint.x(), y + 0.7 * s);
    paintGrid(painter, origin, s);
    paintPieces(painter, origin, s, diagram);
    y += kBoard * s;
    paintNumbers(painter, QPointF(firstPoint.x(), y), s, fileNumbers(diagram.redAtBottom, false));
    y += kNumbers * s;
    textLine(diagram.bottomLabel, kLabel);
    textLine(diagram.caption, kCaption);
    painter.restore();
}

} // namespace marovin::printing
