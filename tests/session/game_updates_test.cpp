// Following server games through the scanner: notices, blocks, endings, forced replies and
// clocks, with the real game side on fake windows and a fake socket.

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/game_file.h"
#include "session/game_updates.h"
#include "support/fixed_text.h"
#include "testkit/game_fakes.h"

namespace marovin::session {
namespace {

using model::CGame;
using testkit::GameRig;

constexpr model::Square sq(const char* text) { return static_cast<model::Square>((9 - (text[1] - '0')) * 9 + (text[0] - 'A')); }

// The moves of the live line (alternative 0 all the way) as coordinate texts.
std::string liveLine(const CGame& game)
{
    std::string text;
    const model::BranchPoint* point = game.root().alternatives[0].continuation.get();
    while (point && !point->alternatives.empty()) {
        for (const model::MoveEntry& entry : point->alternatives[0].entries)
            if (entry.isMove())
                text += (text.empty() ? "" : " ") + model::FormatCoordinateMove(entry.move.from, entry.move.to);
        point = point->alternatives[0].continuation.get();
    }
    return text;
}

// Number, players with ratings and clocks, observers and participation in one line.
std::string header(const CGame& game)
{
    return std::to_string(game.gameNumber) + " " + std::string(fieldText(game.redName)) + " " +
           std::to_string(game.redRating) + " " + std::to_string(game.times[2]) + " | " +
           std::string(fieldText(game.blackName)) + " " + std::to_string(game.blackRating) + " " +
           std::to_string(game.times[3]) + " | " + std::to_string(game.observers) + " observers, participation " +
           std::to_string(game.participation);
}

// A rig observing game 7 (BotMa vs BotPao) with the given moves already played.
struct Observing : GameRig {
    explicit Observing(const std::vector<std::string>& moves = {})
    {
        std::vector<std::string> lines = {
            "observe: Game 7 BotMa vs BotPao added to your observation list. 10 min 600 590 5 1501 1502 4"};
        for (std::size_t i = 0; i < moves.size(); ++i)
            lines.push_back("(" + std::to_string(i + 1) + ") " + moves[i]);
        block(lines);
        game = live(7);
        clearRecords();
    }
    void report(int number, const std::string& move, const std::string& numbers = "500 480 5 1501 1502 4")
    {
        feed("\r\nGame 7 BotMa vs BotPao " + std::to_string(number) + " " + move + " " + numbers + "\r\nOMRA% ");
    }
    CGame* game = nullptr;
};

TEST(GameNotices, CreatedOpensAPlayedGameThatFollowsTheMovesUpToThePrompt)
{
    GameRig rig;
    rig.feed("\r\nGame 12 alice vs tester created. 20 min 1200 1100 10 1532 1480 2 rated even\r\n"
             "ODDS KNIGHT\r\n(1) H2-E2\r\n(2) H7-E7\r\n");
    CGame* game = rig.live(12);
    ASSERT_TRUE(game);
    EXPECT_EQ(rig.windows.log.front(), "open:playing");
    EXPECT_EQ(game->mode, model::kModeBusy);
    EXPECT_EQ(header(*game), "12 alice 1532 1200 | tester 1480 1100 | 2 observers, participation 1");
    EXPECT_EQ(game->userSide, model::kBlack);
    EXPECT_EQ(game->startBoard()[82], 0) << "the handicap removes Red's horse";
    EXPECT_EQ(liveLine(*game), "H2-E2 H7-E7");
    EXPECT_EQ(game->serverMoveCounter, 2);
    EXPECT_EQ(rig.clock.pauses, (std::vector<int>{300, 300}));

    rig.feed("OMRA% ");
    EXPECT_EQ(game->mode, model::kModeNormal);
    EXPECT_EQ(rig.windows.log.back(), "redraw:12");
    EXPECT_TRUE(rig.socket.sent.empty()) << "no move is sent for the user";
}

TEST(GameNotices, TheUserSideComesFromTheLoginNameAskedForWhenEmpty)
{
    const std::string longRed(20, 'r'), longBlack(20, 'b');
    struct Case {
        std::string login, red, black;
        bool yes;
        std::string loginAfter;
        int side;
    };
    const Case cases[] = {
        {"", "ann", "bob", true, "ann", model::kRed},
        {"", "ann", "bob", false, "bob", model::kBlack},
        {"tester", "tester", "testers", true, "tester", model::kRed}, // the whole name, not a prefix
        {longBlack, longRed, longBlack, true, longBlack, model::kBlack}, // both cut to 15 bytes
    };
    for (const Case& c : cases) {
        GameRig rig;
        rig.context->session.loggedInName = c.login;
        rig.desktop.yesNoAnswers = {c.yes};
        rig.feed("\r\nGame 3 " + c.red + " vs " + c.black + " created. 5 min 300 300 0 0 0 0\r\nOMRA% ");
        CGame* game = rig.live(3);
        ASSERT_TRUE(game) << c.red;
        EXPECT_EQ(rig.desktop.questions.size(), c.login.empty() ? 1u : 0u);
        if (c.login.empty()) {
            EXPECT_EQ(rig.desktop.questions[0], "Is your Login name  " + c.red + " ?");
        }
        EXPECT_EQ(rig.context->session.loggedInName, c.loginAfter);
        EXPECT_EQ(fieldText(game->redName), c.red.substr(0, 15));
        EXPECT_EQ(fieldText(game->blackName), c.black.substr(0, 15));
        EXPECT_EQ(game->userSide, c.side) << c.red << " vs " << c.black;
    }
}

TEST(GameNotices, ACreatedNoticeWithoutAWindowIsDropped)
{
    GameRig rig;
    rig.windows.refuse = true;
    rig.feed("\r\nGame 12 alice vs tester created. 20 min 1200 1100 10 1532 1480 2\r\n(1) H2-E2\r\nOMRA% ");
    EXPECT_EQ(rig.list().size(), 0u);
    EXPECT_TRUE(rig.terminal.contains("Cannot create GAME!"));
    EXPECT_EQ(rig.desktop.boxes, std::vector<std::string>{"Cannot create GAME!"});
    EXPECT_TRUE(rig.terminal.contains("(1) H2-E2")) << "the move line is shown, not collected";
}

TEST(GameNotices, MoveReportsArePlayedInSequenceOnlyButTheirNumbersAlwaysTaken)
{
    Observing rig({"H2-E2"});
    ASSERT_TRUE(rig.game);
    rig.clock.advance(5000);
    rig.report(3, "H7-E7", "500 480 5 1600 1610 9"); // 2 is missing: not played
    EXPECT_EQ(liveLine(*rig.game), "H2-E2");
    EXPECT_EQ(rig.game->gameBoard[sq("E7")], 0);
    EXPECT_EQ(rig.game->times[2], 500);
    EXPECT_EQ(rig.game->times[3], 480);
    EXPECT_EQ(rig.game->redRating, 1600);
    EXPECT_EQ(rig.game->blackRating, 1610);
    EXPECT_EQ(rig.game->observers, 9);
    EXPECT_EQ(rig.game->lastUpdateTime, rig.clock.nowSeconds());

    rig.report(2, "H7-E7", "470");
    rig.report(2, "C3-C4"); // a repeated report changes nothing
    EXPECT_EQ(liveLine(*rig.game), "H2-E2 H7-E7");
    EXPECT_EQ(rig.game->times[2], 500) << "a repeated report still sets the clocks";
    EXPECT_EQ(rig.game->observers, 4);
    EXPECT_GE(rig.windows.count("status:7"), 3);
}

TEST(GameNotices, BadMoveTextsAndBadNoticesChangeNothing)
{
    Observing rig({"H2-E2"});
    const model::Board before = rig.game->gameBoard;
    rig.report(2, "Z9-E7");
    EXPECT_TRUE(rig.terminal.contains("This move may be wrong: Z9-E7"));
    EXPECT_EQ(rig.desktop.beeps, 1);
    EXPECT_EQ(rig.game->gameBoard, before);
    EXPECT_EQ(rig.game->serverMoveCounter, 1);

    const std::string notices[] = {
        "Game 7x BotMa vs BotPao 2 H7-E7 1 2 3 4 5 6", "Game seven BotMa vs BotPao 2 H7-E7",
        "Game 7 BotMa vs", "Game 7 BotMa vs BotPao", "Game 7 BotMa vs BotPao Black has been",
        "Game 7 BotMa vs BotPao 2", "Game 7 BotMa vs BotPao whatever. 1-0",
    };
    for (const std::string& notice : notices) {
        rig.terminal.clear();
        rig.feed("\r\n" + notice + "\r\nOMRA% ");
        EXPECT_FALSE(rig.terminal.contains("Game not found: please type 'set client on'")) << notice;
        EXPECT_EQ(rig.game->serverMoveCounter, 1) << notice;
        EXPECT_EQ(rig.game->participation, model::kObserving) << notice;
    }
}

TEST(GameNotices, NoticesForGamesThatAreNotFollowedSayHowToRecover)
{
    Observing rig({"H2-E2"});
    rig.report(1, "H2-E2"); // fine: number 1 is old news
    rig.feed("\r\nGame 8 BotMa vs BotPao 2 H7-E7 1 2 3 4 5 6\r\nOMRA% ");
    EXPECT_TRUE(rig.terminal.contains("Game not found: please type 'set client on'"));
    rig.feed("\r\nGame 7 BotMa vs BotPao Black resigned. 1-0\r\nOMRA% ");
    ASSERT_EQ(rig.list().size(), 0u);
    rig.terminal.clear();
    rig.report(2, "H7-E7"); // the game is gone
    EXPECT_TRUE(rig.terminal.contains("Game not found: please type 'set client on'"));
}

TEST(GameEndings, AdjournmentAlwaysClosesOtherEndingsWaitForTheQuestion)
{
    struct Case {
        std::string ending;
        bool prompt;
        bool keptOpen;
    };
    const Case cases[] = {
        {"adjourned. alice adjourned it.", true, false}, {"adjourned. alice adjourned it.", false, false},
        {"Black resigned. 1-0", true, true},             {"Black resigned. 1-0", false, false},
        {"Red has been checkmated. 0-1", true, true},    {"draw. Agreed by both players. 1/2-1/2", true, true},
        {"Red has run out of time. 0-1", true, true},    {"Black has been stalemated. 1-0", true, true},
    };
    for (const Case& c : cases) {
        Observing rig({"H2-E2"});
        rig.options->promptGameOver = c.prompt ? 1 : 0;
        rig.game->modified = true;
        rig.feed("\r\nGame 7 BotMa vs BotPao " + c.ending + "\r\n");
        ASSERT_EQ(rig.list().size(), c.keptOpen ? 1u : 0u) << c.ending;
        if (!c.keptOpen) {
            EXPECT_EQ(rig.windows.log.back(), "close:7") << c.ending;
            continue;
        }
        CGame* game = rig.list().games().front();
        EXPECT_EQ(game->participation, model::kServerNotLive);
        EXPECT_EQ(game->mode, model::kModeGameOver);
        EXPECT_EQ(game->endOfGameText, c.ending);
        EXPECT_EQ(fieldText(game->subject).substr(0, 15), "BotMa.BotPao.7.");
        rig.windows.quitAnswers = {true};
        rig.feed("OMRA% ");
        EXPECT_EQ(rig.windows.quitReasons, std::vector<std::string>{c.ending});
        EXPECT_EQ(rig.list().size(), 0u) << "Quit closes the window";
    }
}

TEST(GameEndings, TwoEndedGamesAreAskedOneAfterTheOther)
{
    GameRig rig;
    rig.options->promptGameOver = 1;
    rig.block({"observe: Game 1 a vs b added to your observation list. 5 min 300 300 0 0 0 0"});
    rig.block({"observe: Game 2 c vs d added to your observation list. 5 min 300 300 0 0 0 0"});
    rig.feed("\r\nGame 1 a vs b Red resigned. 0-1\r\nGame 2 c vs d Black resigned. 1-0\r\n");
    rig.client.leftButton = true;
    rig.feed("OMRA% ");
    EXPECT_TRUE(rig.windows.quitReasons.empty()) << "no question while the mouse button is down";
    rig.client.leftButton = false;
    rig.windows.quitAnswers = {true};
    rig.feed("\r\nOMRA% ");
    EXPECT_EQ(rig.windows.quitReasons, std::vector<std::string>{"Black resigned. 1-0"}) << "newest first";
    EXPECT_EQ(rig.list().size(), 1u);
    rig.windows.quitAnswers = {false};
    rig.feed("\r\nOMRA% ");
    EXPECT_EQ(rig.windows.quitReasons.back(), "Red resigned. 0-1");
    ASSERT_EQ(rig.list().size(), 1u);
    EXPECT_EQ(rig.list().games().front()->mode, model::kModeNormal) << "Do not quit keeps it, asked once";
    rig.feed("\r\nOMRA% ");
    EXPECT_EQ(rig.windows.quitReasons.size(), 2u);
}

TEST(GameEndings, AWindowClosedWhileTheQuestionIsOpenEndsNothingElse)
{
    GameRig rig;
    rig.options->promptGameOver = 1;
    rig.block({"observe: Game 1 a vs b added to your observation list. 5 min 300 300 0 0 0 0"});
    rig.feed("\r\nGame 1 a vs b Red resigned. 0-1\r\n");
    rig.windows.onQuitQuestion = [&](CGame& game) { rig.list().remove(&game); };
    rig.windows.quitAnswers = {true};
    rig.feed("OMRA% ");
    EXPECT_EQ(rig.list().size(), 0u);
    EXPECT_EQ(rig.windows.count("close:"), 0);
}

TEST(ObserveBlocks, RemovedClosesTheGameOrSaysItIsNotFound)
{
    Observing rig({"H2-E2", "H7-E7"});
    ASSERT_TRUE(rig.game);
    EXPECT_EQ(header(*rig.game), "7 BotMa 1501 600 | BotPao 1502 590 | 4 observers, participation 0");
    EXPECT_EQ(rig.game->gamePly(), 2);
    rig.game->modified = true;
    rig.block({"observe: Game 7 BotMa vs BotPao removed from your observation list."});
    EXPECT_EQ(rig.list().size(), 0u);
    EXPECT_EQ(rig.windows.log, (std::vector<std::string>{"status:7", "close:7"}));

    rig.block({"observe: Game 7 BotMa vs BotPao removed from your observation list.", "(1) H2-E2"});
    EXPECT_TRUE(rig.terminal.contains("Game not found"));
    rig.block({"observe: There is no game 9.", "(1) H2-E2"});
    EXPECT_TRUE(rig.terminal.contains("There is no game 9."));
    EXPECT_EQ(rig.list().size(), 0u);
}

TEST(ObserveBlocks, UndoTakesBackTheLiveMoveAndTheNextReportRepeatsOrBranches)
{
    for (const bool repeat : {true, false}) {
        Observing rig({"H2-E2", "H7-E7"});
        rig.report(3, "undo");
        EXPECT_EQ(rig.game->gamePly(), 1);
        EXPECT_EQ(rig.game->browsedPly(), 1);
        EXPECT_EQ(rig.game->gameBoard[sq("E7")], 0) << "the cannon went back";
        rig.report(4, repeat ? "H7-E7" : "B7-E7");
        EXPECT_EQ(rig.game->gamePly(), 2);
        EXPECT_EQ(rig.game->serverMoveCounter, 4);
        EXPECT_EQ(liveLine(*rig.game), repeat ? "H2-E2 H7-E7" : "H2-E2 B7-E7");
        const model::BranchPoint* point = rig.game->root().alternatives[0].continuation.get();
        const model::MoveLine& main = point->alternatives[0];
        const model::BranchPoint* after = main.count() == 1 ? main.continuation.get() : nullptr;
        if (repeat) {
            EXPECT_EQ(main.count(), 2) << "the same move is followed, no branch";
        } else {
            ASSERT_TRUE(after);
            ASSERT_EQ(after->count(), 2) << "the taken-back move stays as a branch";
            EXPECT_EQ(model::FormatCoordinateMove(after->alternatives[1].entries[0].move.from,
                                                  after->alternatives[1].entries[0].move.to),
                      "H7-E7");
        }
    }
}

TEST(ForcedReplies, TheOnlyLegalReplyIsSentAndPlayedOnlyInAPlayedGame)
{
    enum Kind { Forced, TwoMoves, Observed };
    for (const Kind kind : {Forced, TwoMoves, Observed}) {
        const bool forced = kind != TwoMoves;
        GameRig rig;
        CGame* game = rig.list().open(false);
        model::Board board{};
        board[sq("D0")] = 17; // Red general
        board[sq("F9")] = 1;  // Black general
        board[sq("A2")] = 6;  // Black chariot
        ASSERT_TRUE(game->SetStartPosition(board, 1));
        game->participation = kind == Observed ? model::kObserving : model::kPlaying;
        game->gameNumber = 12;
        game->userSide = model::kRed;
        copyBounded(game->redName, "tester");
        copyBounded(game->blackName, "bob");
        rig.feed(std::string("\r\nGame 12 tester vs bob 1 ") + (forced ? "A2-A1" : "A2-A3") +
                 " 600 600 0 0 0 0\r\nOMRA% ");
        if (kind == Forced) {
            EXPECT_EQ(rig.socket.sent, "D0-E0 12\r\n");
            EXPECT_EQ(game->gamePly(), 2);
            EXPECT_EQ(game->gameBoard[sq("E0")], 17);
            rig.feed("\r\nGame 12 tester vs bob 2 D0-E0 600 600 0 0 0 0\r\nOMRA% ");
            EXPECT_EQ(game->gamePly(), 2) << "the server's report of the reply is old news";
        } else {
            EXPECT_EQ(rig.socket.sent, "");
            EXPECT_EQ(game->gamePly(), 1);
        }
    }
}

TEST(ForcedReplies, APositionThatCannotBeRightIsReportedOnceAndNotCheckedAgain)
{
    struct Case {
        const char* what;
        model::Square redGeneral; // kOffBoard: taken
        model::Square blackGeneral;
        const char* box;
    };
    const Case cases[] = {
        {"the user's general is gone", model::kOffBoard, sq("F9"), "Bug in Legal.c"},
        {"the generals face each other", sq("D0"), sq("D9"), "Checkmated"},
    };
    for (const Case& c : cases) {
        GameRig rig;
        CGame* game = rig.list().open(false);
        model::Board board{};
        if (c.redGeneral != model::kOffBoard)
            board[c.redGeneral] = 17;
        board[c.blackGeneral] = 1;
        board[sq("A2")] = 6;  // Black chariot
        board[sq("I0")] = 22; // Red chariot
        ASSERT_TRUE(game->SetStartPosition(board, 1));
        game->participation = model::kPlaying;
        game->gameNumber = 12;
        game->userSide = model::kRed;
        const char* const shuffle[] = {"A2-A1", "I0-I1", "A1-A2", "I1-I0"};
        for (int i = 0; i < 7; ++i) // four times the user's turn
            rig.feed("\r\nGame 12 tester vs bob " + std::to_string(i + 1) + " " + shuffle[i % 4] +
                     " 600 600 0 0 0 0\r\nOMRA% ");
        EXPECT_EQ(game->gamePly(), 7) << c.what;
        EXPECT_EQ(rig.desktop.boxes, std::vector<std::string>{c.box}) << c.what;
        EXPECT_EQ(rig.socket.sent, "") << c.what;
    }
}

TEST(GameNotices, PastTheWindowLimitNoticesAreRefusedWithOneBoxUntilAWindowCloses)
{
    GameRig rig;
    const auto create = [&](int number) {
        rig.feed("\r\nGame " + std::to_string(number) + " tester vs bob created. 5 min 300 300 0 0 0 0\r\nOMRA% ");
    };
    const int limit = static_cast<int>(kGameWindowLimit);
    for (int number = 1; number <= limit + 2; ++number)
        create(number);
    EXPECT_EQ(rig.list().size(), kGameWindowLimit);
    EXPECT_EQ(rig.desktop.boxes, std::vector<std::string>{"Cannot create GAME!"});
    const std::string full = "No window for this game: 50 game windows are open. Close some to follow more games.";
    const std::vector<std::string> texts = rig.terminal.texts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), full), 2);

    rig.list().close(*rig.live(1));
    create(100);
    EXPECT_TRUE(rig.live(100)) << "a closed window makes room";
    create(101);
    EXPECT_EQ(rig.desktop.boxes.size(), 2u) << "full again: said again";
}

TEST(MoveHistory, MovesAndRefreshFillInMissedMovesOnly)
{
    Observing rig({"H2-E2"});
    rig.block({"moves: Game 7 BotMa vs BotPao: 10 min 5 sec, unrated, even", "(1) H2-E2", "(2) H7-E7",
               "(3) B0-C2", "(9) A0-A1"});
    EXPECT_EQ(liveLine(*rig.game), "H2-E2 H7-E7 B0-C2");
    EXPECT_EQ(rig.clock.pauses, (std::vector<int>{300, 300}));
    EXPECT_EQ(rig.game->mode, model::kModeNormal);
    rig.block({"refresh: No such game.", "(1) H2-E2"});
    EXPECT_TRUE(rig.terminal.contains("No such game."));
    EXPECT_TRUE(rig.terminal.contains("(1) H2-E2")) << "without a game the lines are shown";
    rig.terminal.clear();
    rig.block({"moves: Game 99 x vs y: 10 min", "(1) H2-E2"});
    EXPECT_TRUE(rig.terminal.contains("Game 99 x vs y: 10 min"));
    // The number is read as "Game %d" reads it, whatever follows it.
    rig.block({"refresh: Game 7: BotMa vs BotPao", "(1) H2-E2", "(2) H7-E7", "(3) B0-C2", "(4) H9-G7"});
    EXPECT_EQ(liveLine(*rig.game), "H2-E2 H7-E7 B0-C2 H9-G7");
}

TEST(BoardDisplay, ALookedAtGameIsNotLiveAndTakesDateAndResult)
{
    GameRig rig;
    rig.block({"look: Game: alice.tester.12 (shown)", "Date: 2024-03-05   1-0 Black resigned", "(1) H2-E2",
               "(5) H7-E7", "junk"});
    ASSERT_EQ(rig.list().size(), 1u);
    CGame* game = rig.list().games().front();
    EXPECT_EQ(header(*game), "-12 alice 0 0 | tester 0 0 | 0 observers, participation 2");
    EXPECT_EQ(game->userSide, model::kBlack);
    EXPECT_EQ(fieldText(game->result), "1-0 Black resigned");
    EXPECT_EQ(fieldText(game->subject), "alice.tester.12.2024-03-05");
    EXPECT_EQ(game->pathLength(), 2) << "numbers are not checked in a look block";
    rig.block({"look: Game: alice-tester 12", "(1) H2-E2"});
    rig.block({"look: Game: alice.tester.x12", "(1) H2-E2"});
    EXPECT_EQ(rig.list().size(), 1u) << "a header without its number opens nothing";
}

TEST(GameFileBlocks, ASentGameBecomesALocalGameWithItsMoves)
{
    GameRig rig;
    rig.block({"sendfile: GAME", "TIME    20\t10\t1190\t1180", "SUBJECT alice vs bob", "RESULT  1-0",
               "RED     alice; 1500", "BLACK   bob; 1490", "DATE    2024-03-05", "PLACE   here", "START", "H2-E2",
               "H7-E7", "BB", "B0-C2", "BE", "BB", "B0-A2", "BE"});
    ASSERT_EQ(rig.list().size(), 1u);
    CGame* game = rig.list().games().front();
    EXPECT_EQ(header(*game), "-1 alice 1500 1190 | bob 1490 1180 | 0 observers, participation 3");
    EXPECT_EQ(game->mode, model::kModeNormal);
    const std::string file = model::GameFileText(*game, model::GameFileForm::Old);
    EXPECT_NE(file.find("START\r\nH2-E2\r\nH7-E7\r\nBB\r\nB0-C2\r\nBE\r\nBB\r\nB0-A2\r\nBE\r\n"), std::string::npos)
        << file;

    rig.block({"sendfile: There is no game 5."});
    EXPECT_EQ(rig.list().size(), 1u);
    EXPECT_TRUE(rig.terminal.contains("There is no game 5."));
}

TEST(Handicaps, OddsLinesSetUpTheGameLastResetAndOtherOLinesPassUntilThen)
{
    GameRig rig;
    rig.feed("\r\nODDS KNIGHT\r\nOMRA% ");
    EXPECT_EQ(rig.list().size(), 0u);
    rig.block({"observe: Game 5 a vs b added to your observation list. 5 min 300 300 0 0 0 0", "ODDS TWO-KNIGHTS",
               "(1) H2-E2"});
    CGame* game = rig.live(5);
    ASSERT_TRUE(game);
    EXPECT_EQ(game->startBoard()[82], 0);
    EXPECT_EQ(game->startBoard()[88], 0);
    EXPECT_TRUE(rig.terminal.contains("ODDS TWO-KNIGHTS"));
    rig.feed("\r\nODDS KNIGHT\r\nOMRA% "); // after the prompt no game is current
    EXPECT_EQ(game->startBoard()[88], 0);
}

TEST(Clocks, TheSideToMoveLosesTheWallClockSecondsSinceTheLastUpdate)
{
    Observing rig;
    CGame* game = rig.game;
    const std::int64_t start = game->lastUpdateTime;
    rig.games.tickClocks(start + 3);
    rig.games.tickClocks(start + 3); // a second tick in the same second drops nothing more
    EXPECT_EQ(game->times[2], 597);
    EXPECT_EQ(game->times[3], 590);
    EXPECT_EQ(rig.windows.count("clocks:7"), 1);
    rig.report(1, "H2-E2", "597 590");
    rig.games.tickClocks(game->lastUpdateTime - 2); // a clock set back counts as well
    EXPECT_EQ(game->times[3], 588) << "Black runs after an odd number of moves";

    rig.options->promptGameOver = 1; // the game stays, ended
    rig.feed("\r\nGame 7 BotMa vs BotPao Black resigned. 1-0\r\n");
    rig.games.tickClocks(game->lastUpdateTime + 100);
    EXPECT_EQ(game->times[3], 588) << "an ended game's clock stands";
}

TEST(Sessions, EndingTheSessionLeavesNoGameLive)
{
    Observing rig({"H2-E2"});
    CGame* local = rig.list().open(true);
    local->mode = model::kModeEditing;
    rig.feed("quit: bye\r\n");
    EXPECT_EQ(rig.game->participation, model::kServerNotLive);
    EXPECT_EQ(local->mode, model::kModeEditing);
    EXPECT_EQ(rig.live(7), nullptr);
    EXPECT_EQ(rig.list().size(), 2u);
}

} // namespace
} // namespace marovin::session
