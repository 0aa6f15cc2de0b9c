// A board that grows with its window, and the least size of a board view (real widgets,
// offscreen): grown, the board fills a large view with every piece on its square and
// smooth edges, and takes a dragged piece where it is dropped; back at the fixed sizes it stops at d = 50; a window squeezed small still
// shows the whole board, clear of the controls.

#include "mouse_gestures.h"
#include "offscreen_windows.h"

#include <QMdiArea>
#include <QScrollBar>
#include <QSplitter>

#include <set>

#include <gtest/gtest.h>

#include "board/board_geometry.h"
#include "game_window/board_growth_setting.h"
#include "game_window/game_frame.h"
#include "game_window/qt_game_windows.h"
#include "testkit/board_pixels.h"
#include "testkit/game_fakes.h"
#include "testkit/qt_application.h"

namespace marovin::board {
namespace {

using testing::grabbed;
using testing::settle;

const SystemMetrics kMetrics = deriveSystemMetrics(16, 7);
constexpr int kStripWidth = 29; // the controls down the view's right edge

struct Growth : ::testing::Test {
    Growth()
    {
        area.resize(1600, 1300);
        area.show();
        Options& options = *rig.options;
        options.boardColour = 0x80C0E0;
        options.redFaceColour = 0xC0E0FF;
        options.redTextColour = 0x0000C0;
        options.blackFaceColour = 0x404040;
        options.blackTextColour = 0xF0F0F0;
        windows.setInputLineLink({[] {}, {}});
    }
    ~Growth() override { settle(); }

    // A local game in a window of the given size, its board pane the whole width.
    CGameFrame* gameWindow(int width, int height)
    {
        CGameFrame* frame = windows.newGame();
        EXPECT_TRUE(frame);
        frame->resize(width, height);
        settle();
        auto* splitter = frame->findChild<QSplitter*>(QStringLiteral("gameSplitter"));
        splitter->setSizes({splitter->width(), 0});
        settle();
        return frame;
    }

    static testkit::BoardColours colours()
    {
        // The options' 0x00BBGGRR as pixels.
        return {qRgb(0xE0, 0xC0, 0x80), qRgb(0xFF, 0xE0, 0xC0), qRgb(0x40, 0x40, 0x40)};
    }

    QApplication& application = testkit::qtApplication();
    testkit::GameRig rig;
    QMdiArea area;
    QtGameWindows windows{&area, *rig.context, kMetrics};
};

TEST_F(Growth, AGrownBoardFillsTheViewWithEveryPieceOnItsSquare)
{
    windows.setBoardGrows(true, false);
    CGameFrame* frame = gameWindow(1200, 1250);
    CGameView& view = *frame->view();
    ASSERT_TRUE(view.boardGrows());
    const BoardGeometry& g = view.painter().geometry();
    // The board takes all the width or all the height that the layout rule gives it.
    const int byWidth = (view.width() - 73) / 9, byHeight = (view.height() - kMetrics.boardTop - 35) / 10;
    EXPECT_GT(g.pieceSize, kMaxPieceSize);
    EXPECT_EQ(g.pieceSize, std::min(byWidth, byHeight));
    EXPECT_LT(view.width() - kStripWidth - (g.fileX[8] + g.halfSquare), g.squareSize + 40)
        << "little room is left beside the board";

    const QImage shown = grabbed(&view);
    const auto wrong = testkit::misplacedPieces(shown, g, frame->game()->browsedBoard, true, colours());
    EXPECT_TRUE(wrong.empty()) << wrong.front();

    // The pieces' edges are smooth: between the disc and the board lie shades of both.
    const CellPoint cell = g.cellOrigin(0);
    std::set<QRgb> edge;
    for (int x = cell.x; x < cell.x + g.pieceSize / 4; ++x)
        edge.insert(shown.pixel(x, cell.y + g.pieceSize / 8));
    edge.erase(colours().board | 0xFF000000u);
    edge.erase(colours().blackFace | 0xFF000000u);
    EXPECT_FALSE(edge.empty()) << "the disc's edge is antialiased";

    // A piece dragged on the grown board lands on the square under the pointer.
    testing::drag(view, 70, 67); // Red's cannon H2-E2
    EXPECT_EQ(frame->game()->browsedBoard[67], model::kStandardOpening[70]);
    EXPECT_EQ(frame->game()->browsedBoard[70], 0);

    // Back at the fixed sizes the same window's board stops at d = 50.
    windows.setBoardGrows(false, false);
    settle();
    EXPECT_EQ(view.painter().geometry().pieceSize, kMaxPieceSize);
    EXPECT_FALSE(view.boardGrows());
}

TEST_F(Growth, AWideWindowGivesTheGrownBoardTheWidthItsHeightAllows)
{
    windows.setBoardGrows(true, false);
    CGameFrame* frame = windows.newGame();
    ASSERT_TRUE(frame);
    frame->resize(1500, 900);
    settle();
    const CGameView& view = *frame->view();
    const int byHeight = (view.height() - kMetrics.boardTop - 35) / 10;
    EXPECT_EQ(view.painter().geometry().pieceSize, byHeight) << "the height, not the width, holds it back";
    EXPECT_LT(view.width(), 9 * byHeight + 73 + 9) << "no wide empty strip beside the board";
    const auto* notes = frame->findChild<QSplitter*>(QStringLiteral("gameSplitter"))->widget(1);
    EXPECT_GE(notes->width(), 200) << "the note column keeps the rest";
}

TEST_F(Growth, ASmallWindowShowsTheWholeBoardClearOfTheControls)
{
    for (const bool grows : {false, true}) {
        SCOPED_TRACE(grows);
        windows.setBoardGrows(grows, false);
        CGameFrame* frame = gameWindow(60, 80);
        CGameView& view = *frame->view();
        const ClientSize least = minimumClientSize(kMetrics.boardTop);
        EXPECT_GE(view.width(), least.width);
        EXPECT_GE(view.height(), least.height);
        const BoardGeometry& g = view.painter().geometry();
        ASSERT_TRUE(g.laidOut());
        // The frame's right edge and the last row's cells lie inside the view, left of the
        // controls' strip.
        EXPECT_LT(g.fileX[8] + 4, view.startButton()->geometry().left());
        EXPECT_LT(g.fileX[8] + 4, view.moveScrollBar()->geometry().left());
        EXPECT_LE(g.rankY[9] + 4, view.height());
        frame->close();
        settle();
    }
}

TEST_F(Growth, TheChoiceIsKeptInTheProgramsSettings)
{
    saveBoardGrows(true);
    EXPECT_TRUE(loadBoardGrows());
    QtGameWindows next{&area, *rig.context, kMetrics};
    EXPECT_TRUE(next.boardGrows()) << "read when the windows are made";
    saveBoardGrows(false);
    EXPECT_FALSE(loadBoardGrows());
}

} // namespace
} // namespace marovin::board
