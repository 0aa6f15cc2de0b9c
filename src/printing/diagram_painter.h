#pragma once
// A board diagram of a printed record drawn with lines and text (not a picture), so that it
// prints sharply at any size and its piece names are text:
//
//              黑方  bob                 top side's label
//      １  ２  ３  ４  ５  ６  ７  ８  ９   its file numbers
//      the board: nine files, ten ranks, the river, the palaces' diagonals, the pieces
//      九  八  七  六  五  四  三  二  一   the bottom side's file numbers
//           紅方  alice （起）             its label; （起） marks the side to move
//               12. 炮二平五               the caption

#include <QPainter>
#include <QRectF>

#include "model/print_layout.h"

namespace marovin::printing {

// The height of a diagram drawn with board squares of side square (its width is 10 squares).
qreal diagramHeight(qreal square);

// Draws diagram centred across rect, from its top, with board squares of side square.
void paintDiagram(QPainter& painter, const QRectF& rect, qreal square, const model::PrintDiagram& diagram);

} // namespace marovin::printing
