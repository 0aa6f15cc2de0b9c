// The whole-game analysis and the shared engines in real windows (offscreen), against a
// scripted engine whose scores depend on the number of moves it is given: the notes and
// marks written at the end, the graph and a click on it, Cancel leaving the record alone,
// several lines in the strip, and one engine process for two windows.

#include <QApplication>
#include <QMdiArea>
#include <QTest>

#include <sys/stat.h>

#include <fstream>

#include <gtest/gtest.h>

#include "game_window/analysis_pane.h"
#include "game_window/game_frame.h"
#include "game_window/qt_game_windows.h"
#include "model/analysis_note.h"
#include "testkit/game_fakes.h"
#include "testkit/qt_application.h"
#include "testkit/temp_folder.h"

namespace marovin::board {
namespace {

using model::SquareOf;

const SystemMetrics kMetrics = deriveSystemMetrics(16, 7);
constexpr int kWaitMs = 20000;

// Scores from the side to move after 0, 1, 2, 3 and 4 moves: from Red's side +20, +10,
// +400, +250, +260, so Black's second move loses 390 (??) and Red's second 150 (?). Its
// lines 1 to 3 from the opening are three legal first moves. Asked for 2000 ms, it thinks
// for 3 s from the third position on (so that an analysis can be cancelled midway).
std::string WriteEngine(const testkit::TempFolder& folder, const std::string& log)
{
    const std::string path = folder.file("scripted");
    std::ofstream(path) << "#!/bin/sh\n"
                           "echo started >> '" << log << "'\n"
                           "n=0\n"
                           "while read line; do\n"
                           "  echo \"$line\" >> '" << log << "'\n"
                           "  case \"$line\" in\n"
                           "    uci) echo uciok ;;\n"
                           "    isready) echo readyok ;;\n"
                           "    position*) set -- $line; if [ $# -gt 8 ]; then n=$(($# - 9)); else n=0; fi ;;\n"
                           "    go*) case $n in 0) s=20;; 1) s=-10;; 2) s=400;; 3) s=-250;; *) s=260;; esac\n"
                           "         case \"$line\" in *'movetime 2000'*) [ $n -ge 2 ] && sleep 3 ;; esac\n"
                           "         echo \"info depth 4 multipv 1 score cp $s pv h3e3\"\n"
                           "         echo \"info depth 4 multipv 2 score cp 5 pv h1g3\"\n"
                           "         echo \"info depth 4 multipv 3 score cp -7 pv b1c3\"\n"
                           "         case \"$line\" in *infinite*) ;; *) echo 'bestmove (none)' ;; esac ;;\n"
                           "    stop) echo 'bestmove (none)' ;;\n"
                           "    quit) exit 0 ;;\n"
                           "  esac\n"
                           "done\n";
    ::chmod(path.c_str(), 0755);
    return path;
}

struct AnalysedWindow : ::testing::Test {
    void SetUp() override
    {
        area.resize(900, 700);
        area.show();
        engine::EngineSettings settings;
        settings.path = WriteEngine(folder, log);
        settings.lines = 3;
        windows.enginePool().applySettings(settings);
        frame = windows.newGame();
        ASSERT_TRUE(frame);
        game = frame->game();
        for (auto [from, to] : {std::pair{SquareOf(7, 7), SquareOf(7, 4)}, {SquareOf(0, 7), SquareOf(2, 6)},
                                {SquareOf(9, 7), SquareOf(7, 6)}, {SquareOf(0, 8), SquareOf(0, 7)}})
            game->PlayMove(from, to, model::MoveKind::User);
        game->Navigate(model::kGoToPly, 1);
        game->SetNote("my own note", false);
    }

    std::string noteAt(int ply)
    {
        game->Navigate(model::kGoToPly, ply);
        return game->currentEntry().noteText();
    }

    bool analyse(AnalysisPane& pane)
    {
        QString error;
        if (!pane.start(engine::AnalysisSettings{30, 1, false, 100, 300}, error)) {
            ADD_FAILURE() << error.toStdString();
            return false;
        }
        return QTest::qWaitFor([&] { return !pane.running(); }, kWaitMs);
    }

    QApplication& application = testkit::qtApplication();
    testkit::TempFolder folder;
    std::string log = folder.file("log");
    testkit::GameRig rig;
    QMdiArea area;
    QtGameWindows windows{&area, *rig.context, kMetrics};
    CGameFrame* frame = nullptr;
    model::CGame* game = nullptr;
};

TEST_F(AnalysedWindow, NotesGetMarksAndTheGraphShowsAndPicksPositions)
{
    AnalysisPane& pane = *frame->analysisPane();
    EXPECT_FALSE(pane.isVisible());
    game->modified = false;
    ASSERT_TRUE(analyse(pane));
    EXPECT_TRUE(pane.isVisible());
    EXPECT_TRUE(game->modified);
    EXPECT_EQ(noteAt(1), "Engine +0.10\r\nmy own note");
    EXPECT_EQ(noteAt(2), "?? Engine +4.00");
    EXPECT_EQ(noteAt(3), "? Engine +2.50");
    EXPECT_EQ(model::MarkOfNote(noteAt(4)), model::MoveMark::None);

    // The graph under the board, which keeps its place and size above it.
    const ScoreGraphData& data = pane.graph()->data();
    EXPECT_EQ(data.values, (std::vector<std::optional<int>>{20, 10, 400, 250, 260}));
    EXPECT_EQ(data.marks[2], model::MoveMark::Blunder);
    EXPECT_GE(pane.mapTo(frame, QPoint(0, 0)).y(), frame->view()->mapTo(frame, QPoint(0, frame->view()->height())).y());
    EXPECT_GT(frame->view()->height(), 300);
    const QImage shot = pane.graph()->grab().toImage();
    const ScoreGraphLayout layout{pane.graph()->rect(), 4};
    EXPECT_EQ(shot.pixel(layout.xOfPly(2), layout.yOfValue(400)) & 0xFFFFFFu, kGraphBlunder);

    // A click on ply 3 shows that position of the main line, and the graph marks it.
    game->Navigate(model::kGoToStart);
    QTest::mouseClick(pane.graph(), Qt::LeftButton, {}, QPoint(layout.xOfPly(3), 5));
    EXPECT_EQ(game->browsedPly(), 3);
    EXPECT_EQ(pane.graph()->data().shownPly, 3);
    EXPECT_EQ(frame->notePane()->field()->toPlainText().toStdString(), "? Engine +2.50");

    // Analysing again replaces the lines instead of adding more.
    ASSERT_TRUE(analyse(pane));
    EXPECT_EQ(noteAt(1), "Engine +0.10\r\nmy own note");
}

TEST_F(AnalysedWindow, CancelLeavesTheRecordAsItWas)
{
    AnalysisPane& pane = *frame->analysisPane();
    game->modified = false;
    QString error;
    ASSERT_TRUE(pane.start(engine::AnalysisSettings{2000, 1, true, 100, 300}, error)) << error.toStdString();
    EXPECT_TRUE(pane.progressBar()->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return pane.progressBar()->value() >= 2; }, kWaitMs)); // ply 1 judged
    pane.cancelButton()->click();
    EXPECT_FALSE(pane.running());
    EXPECT_FALSE(game->modified);
    EXPECT_EQ(noteAt(1), "my own note");
    EXPECT_EQ(noteAt(2), "");
    EXPECT_TRUE(pane.statusLabel()->text().contains("cancelled"));
    EXPECT_FALSE(pane.graph()->data().values[0].has_value());

    // A run still going when its window closes (at the end of the test) stops unheard.
    ASSERT_TRUE(pane.start(engine::AnalysisSettings{2000, 3, false, 100, 300}, error)) << error.toStdString();
    EXPECT_TRUE(pane.running());
}

TEST_F(AnalysedWindow, TwoWindowsShareOneEngineAndTheStripShowsSeveralLines)
{
    game->Navigate(model::kGoToStart);
    frame->engine()->setAnalysing(true);
    AnalysisStrip& strip = *frame->analysisStrip();
    ASSERT_TRUE(QTest::qWaitFor([&] { return strip.otherLines().size() == 2; }, kWaitMs));
    EXPECT_TRUE(strip.otherLines()[0].startsWith("+0.05  ")) << strip.otherLines()[0].toStdString();
    EXPECT_TRUE(strip.otherLines()[1].startsWith("-0.07  ")) << strip.otherLines()[1].toStdString();
    EXPECT_EQ(strip.scoreText(), "+0.20");

    CGameFrame* second = windows.newGame();
    ASSERT_TRUE(second);
    area.setActiveSubWindow(second);
    second->engine()->setAnalysing(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return second->engine()->session() != nullptr; }, kWaitMs));
    EXPECT_EQ(frame->engine()->session(), nullptr) << "the active window took the one engine";
    EXPECT_TRUE(frame->analysisStrip()->lineText().contains("another window"));
    area.setActiveSubWindow(frame);
    ASSERT_TRUE(QTest::qWaitFor([&] { return frame->engine()->session() != nullptr; }, kWaitMs));
    EXPECT_EQ(second->engine()->session(), nullptr);
    // Given back, the engine goes to the window that waits for one.
    frame->engine()->setAnalysing(false);
    EXPECT_NE(second->engine()->session(), nullptr);
    QTest::qWait(100);
    const std::string lines = testkit::TempFolder::read(log);
    std::size_t starts = 0;
    for (std::size_t at = lines.find("started"); at != std::string::npos; at = lines.find("started", at + 1))
        ++starts;
    EXPECT_EQ(starts, 1u) << "one engine process for both windows";
    EXPECT_NE(lines.find("setoption name MultiPV value 3"), std::string::npos);
}

} // namespace
} // namespace marovin::board
