// A game window's engine against the real engine (fairy-stockfish, found as the program
// finds it): analysis that follows the shown position, the variation's first move played
// by a click, a pause while the window is hidden, play against the engine to the end of a
// game, and an engine that crashes or is missing.

#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QSignalSpy>
#include <QTest>

#include <csignal>

#include <gtest/gtest.h>

#include "game_window/analysis_strip.h"
#include "game_window/game_frame.h"
#include "game_window/qt_game_windows.h"
#include "engine/engine_settings.h"
#include "model/move_notation.h"
#include "model/fen.h"
#include "model/legality.h"
#include "platform/big5_text.h"
#include "testkit/game_fakes.h"
#include "testkit/qt_application.h"

namespace marovin::board {
namespace {

using model::SquareOf;

const SystemMetrics kMetrics = deriveSystemMetrics(16, 7);
constexpr int kWaitMs = 20000; // generous: the machine may be busy with other builds

struct EngineWindow : ::testing::Test {
    void SetUp() override
    {
        if (!engine::FindEngineProgram(""))
            GTEST_SKIP() << "fairy-stockfish is not installed (scripts/install-deps.sh installs it)";
        area.resize(900, 600);
        area.show();
        frame = windows.newGame();
        ASSERT_TRUE(frame);
        game = frame->game();
        engine = frame->engine();
    }

    // Waits for an analysis of the game's shown position with a variation, and returns it.
    std::optional<engine::EngineAnalysis> analysisOfShownPosition()
    {
        std::optional<engine::EngineAnalysis> found;
        if (!engine->session())
            return std::nullopt;
        auto connection = QObject::connect(engine->session(), &platform::EngineSession::analysisArrived,
                                           [&](const engine::EngineAnalysis& analysis) {
                                               if (analysis.board == game->browsedBoard &&
                                                   analysis.redToMove == game->isRedToMoveBrowsed() &&
                                                   !analysis.pv.empty() && analysis.depth >= 2)
                                                   found = analysis;
                                           });
        static_cast<void>(QTest::qWaitFor([&] { return found.has_value(); }, kWaitMs));
        QObject::disconnect(connection);
        return found;
    }

    QApplication& application = testkit::qtApplication();
    testkit::GameRig rig;
    QMdiArea area;
    QtGameWindows windows{&area, *rig.context, kMetrics};
    CGameFrame* frame = nullptr;
    model::CGame* game = nullptr;
    GameEngine* engine = nullptr;
};

TEST_F(EngineWindow, AnalysisFollowsTheShownPositionAndPlaysItsFirstMoveOnClick)
{
    EXPECT_FALSE(frame->analysisStrip()->isVisible());
    engine->setAnalysing(true);
    EXPECT_TRUE(frame->analysisStrip()->isVisible());
    auto opening = analysisOfShownPosition();
    ASSERT_TRUE(opening) << frame->analysisStrip()->lineText().toStdString();

    // A move on the board: the analysis moves on to the new position.
    game->PlayMove(SquareOf(7, 7), SquareOf(7, 4), model::MoveKind::User);
    auto afterCannon = analysisOfShownPosition();
    ASSERT_TRUE(afterCannon);
    EXPECT_FALSE(afterCannon->redToMove);
    EXPECT_FALSE(frame->analysisStrip()->scoreText().isEmpty());
    EXPECT_TRUE(frame->analysisStrip()->depthText().startsWith("depth "));

    // Browsing back: the opening again.
    game->Navigate(model::kStepBack);
    ASSERT_TRUE(analysisOfShownPosition());

    // One click plays the first move shown (a branch beside the cannon move), and the
    // strip named that very move in the Chinese notation.
    QTest::qWait(50);
    const QString shownLine = frame->analysisStrip()->lineText();
    frame->analysisStrip()->playButton()->click();
    ASSERT_EQ(game->browsedPly(), 1);
    const model::PackedMove move = game->currentEntry().move;
    const std::string played = model::RecordMoveText(model::kStandardOpening, move.from, move.to);
    EXPECT_TRUE(shownLine.startsWith("<a href=\"play\">" + platform::fromBig5(played) + "</a>"))
        << shownLine.toStdString() << " / " << platform::fromBig5(played).toStdString();
    EXPECT_TRUE(analysisOfShownPosition());
}

TEST_F(EngineWindow, AHiddenWindowStopsItsSearchAndResumesWhenShown)
{
    engine->setAnalysing(true);
    ASSERT_TRUE(analysisOfShownPosition());
    platform::EngineSession* lent = engine->session();
    frame->hide();
    EXPECT_EQ(engine->session(), nullptr) << "a hidden window gives its engine back";
    EXPECT_TRUE(QTest::qWaitFor([&] { return lent->client().state() == engine::EngineState::Idle; }, kWaitMs));
    frame->show();
    ASSERT_NE(engine->session(), nullptr);
    EXPECT_EQ(engine->session()->client().state(), engine::EngineState::Searching);
    EXPECT_TRUE(analysisOfShownPosition());
}

TEST_F(EngineWindow, ACrashedEngineIsReportedAndStartedAgainForTheNextPosition)
{
    engine->setAnalysing(true);
    ASSERT_TRUE(analysisOfShownPosition());
    const qint64 pid = engine->session()->processId();
    ASSERT_GT(pid, 0);
    ::kill(static_cast<pid_t>(pid), SIGKILL);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return frame->analysisStrip()->lineText().contains("stopped unexpectedly"); }, kWaitMs))
        << frame->analysisStrip()->lineText().toStdString();
    game->PlayMove(SquareOf(6, 2), SquareOf(5, 2), model::MoveKind::User);
    EXPECT_TRUE(analysisOfShownPosition());
    EXPECT_NE(engine->session()->processId(), pid);
}

TEST_F(EngineWindow, AMissingEngineIsSaidInTheStripAndTheWindowKeepsWorking)
{
    engine::EngineOptions options;
    options.program = "/nonexistent/engine";
    engine->setOptions(options);
    engine->setAnalysing(true);
    EXPECT_EQ(frame->analysisStrip()->lineText(),
              "The engine /nonexistent/engine could not be started: there is no such file");
    game->PlayMove(SquareOf(7, 7), SquareOf(7, 4), model::MoveKind::User);
    EXPECT_EQ(game->browsedPly(), 1);
    EXPECT_TRUE(frame->analysisStrip()->lineText().contains("could not be started"));
    EXPECT_TRUE(rig.desktop.boxes.empty()) << "analysis reports in its strip, not in boxes";
}

TEST_F(EngineWindow, TheEnginePlaysItsSideAndTheGameEndsByOurMateRule)
{
    // Red (the engine) mates at once: the chariot on the back rank, the other chariot
    // guarding the ninth rank and the generals facing each other.
    std::string error;
    const auto start = model::ReadFen("3k5/R8/9/9/9/8R/9/9/9/4K4 w", error);
    ASSERT_TRUE(start) << error;
    ASSERT_TRUE(game->SetStartPosition(start->board, 0));
    engine->startPlaying({model::kRed, 200});
    EXPECT_TRUE(frame->analysisStrip()->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return game->browsedPly() == 1; }, kWaitMs));
    EXPECT_EQ(model::EvaluatePosition(game->browsedBoard, false), model::GameStatus::Checkmate);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !rig.desktop.boxes.empty(); }, kWaitMs));
    ASSERT_EQ(rig.desktop.boxes.size(), 1u);
    EXPECT_EQ(rig.desktop.boxes[0], "Red wins: Black is checkmated.");
    EXPECT_FALSE(engine->playing());
}

TEST_F(EngineWindow, TheEngineAnswersTheUsersMovesAtTheEndOfTheGame)
{
    engine->startPlaying({model::kBlack, 100});
    QTest::qWait(300);
    EXPECT_EQ(game->browsedPly(), 0) << "Red is the user's side";
    game->PlayMove(SquareOf(7, 7), SquareOf(7, 4), model::MoveKind::User);
    ASSERT_TRUE(QTest::qWaitFor([&] { return game->browsedPly() == 2; }, kWaitMs));
    const model::PackedMove reply = game->currentEntry().move;
    EXPECT_EQ(model::SideOf(reply.piece), model::kBlack);
    EXPECT_TRUE(frame->analysisStrip()->lineText().startsWith("Your move. The engine's score: "))
        << frame->analysisStrip()->lineText().toStdString();
    // Browsing back while it is the engine's turn asks nothing; the engine waits for the end.
    game->PlayMove(SquareOf(9, 7), SquareOf(7, 6), model::MoveKind::User);
    game->Navigate(model::kStepBack);
    QTest::qWait(400);
    EXPECT_EQ(game->pathLength(), 3);
    game->Navigate(model::kGoToEnd);
    ASSERT_TRUE(QTest::qWaitFor([&] { return game->pathLength() == 4; }, kWaitMs));
    engine->stopPlaying();
    EXPECT_FALSE(engine->playing());
}

// Analysis switched on during a game against the engine: the user's positions are
// analysed and the engine still answers every move.
TEST_F(EngineWindow, AnalysisDuringPlayAnalysesTheUsersTurnAndTheEngineStillReplies)
{
    const auto playRed = [&] {
        const auto moves = model::GenerateLegalMoves(game->browsedBoard, true);
        ASSERT_FALSE(moves.empty());
        game->PlayMove(moves.front().from, moves.front().to, model::MoveKind::User);
    };
    engine->startPlaying({model::kBlack, 100});
    engine->setAnalysing(true);
    EXPECT_TRUE(engine->playing());
    ASSERT_TRUE(analysisOfShownPosition()) << "the user's first position is analysed";
    for (int turn = 0; turn < 2; ++turn) {
        const int before = game->pathLength();
        playRed();
        ASSERT_TRUE(QTest::qWaitFor([&] { return game->pathLength() == before + 2; }, kWaitMs))
            << "the engine replied at turn " << turn;
        EXPECT_EQ(model::SideOf(game->currentEntry().move.piece), model::kBlack);
        ASSERT_TRUE(analysisOfShownPosition()) << "the analysis goes on after the reply";
        EXPECT_TRUE(QTest::qWaitFor([&] { return frame->analysisStrip()->lineText().startsWith("<a href=\"play\">"); },
                                    kWaitMs))
            << frame->analysisStrip()->lineText().toStdString();
    }
    EXPECT_TRUE(engine->playing());
    EXPECT_TRUE(engine->analysing());

    // Without analysis the play goes on; without play the analysis does.
    engine->setAnalysing(false);
    playRed();
    ASSERT_TRUE(QTest::qWaitFor([&] { return game->pathLength() == 6; }, kWaitMs));
    engine->setAnalysing(true);
    engine->stopPlaying();
    playRed();
    EXPECT_TRUE(analysisOfShownPosition());
    QTest::qWait(300);
    EXPECT_EQ(game->pathLength(), 7) << "the engine no longer replies";
}

} // namespace
} // namespace marovin::board
