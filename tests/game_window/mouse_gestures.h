#pragma once
// Mouse gestures on a board view, sent through the window system as a user's would be (so
// that the view's mouse grab and the pointer position take part): a drag from one board
// square to another, and the two clicks of the two-click style.
//
// Include before any other Qt test header: the define makes QTest deliver widget mouse
// events through the window instead of straight to the widget.

#ifndef QTEST_QPA_MOUSE_HANDLING
#define QTEST_QPA_MOUSE_HANDLING
#endif
#include <QCoreApplication>
#include <QTest>

#include "board/board_geometry.h"
#include "game_window/game_view.h"

namespace marovin::board::testing {

// The centre of the cell that shows a board square.
inline QPoint squarePoint(const CGameView& view, int square)
{
    const bool normal = !view.game() || view.game()->bottomSide != model::kBlack;
    const CellPoint centre = screenSquareCentre(view.painter().geometry(), screenSquare(square, normal));
    return {centre.x, centre.y};
}

// Press on from, move in two steps, release on to.
inline void dragPoints(CGameView& view, QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mousePress(&view, button, {}, from);
    QTest::mouseMove(&view, (from + to) / 2);
    QTest::mouseMove(&view, to);
    QTest::mouseRelease(&view, button, {}, to);
    QCoreApplication::processEvents();
}

inline void drag(CGameView& view, int from, int to, Qt::MouseButton button = Qt::LeftButton)
{
    dragPoints(view, squarePoint(view, from), squarePoint(view, to), button);
}

// Click the piece, move to the target, click it.
inline void twoClicks(CGameView& view, int from, int to, Qt::MouseButton button = Qt::LeftButton)
{
    const QPoint a = squarePoint(view, from), b = squarePoint(view, to);
    QTest::mouseClick(&view, button, {}, a);
    QTest::mouseMove(&view, (a + b) / 2);
    QTest::mouseMove(&view, b);
    QTest::mouseClick(&view, button, {}, b);
    QCoreApplication::processEvents();
}

} // namespace marovin::board::testing
