// Server moves entering a game, the forced reply, and the one-line game notices.
//
//   Game 12 alice vs bob created. 20 min 1200 1200 10 1532 1480 0 rated even
//   Game 12 alice vs bob 3 H2-E2 1187 1195 10 1532 1480 2
//   Game 12 alice vs bob Black has been checkmated. 1-0
//   Game 12 alice vs bob adjourned. alice adjourned it.
#include <cstdlib>
#include <string>

#include "model/legality.h"
#include "session/alerts.h"
#include "session/reconnect.h"
#include "session/game_lines.h"
#include "session/game_support.h"
#include "session/game_updates.h"
#include "session/server_lines.h"
#include "support/big5.h"
#include "support/fixed_text.h"

namespace marovin::session {

using model::CGame;

void PlayServerMove(ClientContext& context, CGame& game, std::string_view text)
{
    if (game.mode == model::kModeNormal)
        refreshClocks(context, game);
    const bool live = game.participation <= model::kPlaying;
    if (text == "undo") {
        game.TakeBack(live ? model::TakeBackKind::Game : model::TakeBackKind::User, true);
        return;
    }
    const auto squares = model::ParseCoordinateMove(text, context.terminal, context.desktop);
    if (!squares)
        return;
    const model::Board before = game.gameBoard;
    game.PlayMove(squares->from, squares->to, live ? model::MoveKind::Game : model::MoveKind::User);
    // A move of the user's game as it happens (not one of a move list being replayed).
    if (game.participation == model::kPlaying && game.mode == model::kModeNormal)
        alertGameMove(context, game, before, *squares);
    if (game.mode == model::kModeNormal)
        PlayForcedReply(context, game);
}

namespace {

// The desktop as the legality question sees it: its boxes are shown and counted, since a
// question that shows one has found a position it cannot examine.
class CountingDesktop final : public DesktopPort {
public:
    explicit CountingDesktop(DesktopPort& desktop) : m_desktop(desktop) {}

    void beep() override { m_desktop.beep(); }
    void messageBox(std::string_view text) override
    {
        ++boxes;
        m_desktop.messageBox(text);
    }
    void captionedBox(std::string_view text, std::string_view caption) override
    {
        ++boxes;
        m_desktop.captionedBox(text, caption);
    }
    bool askYesNo(std::string_view text, bool defaultNo) override { return m_desktop.askYesNo(text, defaultNo); }
    FatalBoxAnswer fatalBox(std::string_view text, std::string_view caption) override
    {
        return m_desktop.fatalBox(text, caption);
    }
    [[noreturn]] void exitProgram(int status) override
    {
        m_desktop.exitProgram(status);
        std::abort(); // not reached: the desktop ends the program
    }

    int boxes = 0;

private:
    DesktopPort& m_desktop;
};

} // namespace

void PlayForcedReply(ClientContext& context, CGame& game)
{
    if (game.participation != model::kPlaying || game.mode != model::kModeNormal || game.forcedRepliesStopped)
        return;
    if (game.isRedToMoveLive() != (game.userSide == model::kRed))
        return;
    // A server that reported a general taken (or left one to be taken) would otherwise have
    // every later check of this game say so again.
    CountingDesktop desktop(context.desktop);
    model::PackedMove move;
    const bool only = model::FindOnlyMove(game.gameBoard, game.isRedToMoveLive(), move, desktop);
    if (desktop.boxes > 0)
        game.forcedRepliesStopped = true;
    if (!only)
        return;
    const std::string line =
        model::FormatCoordinateMove(move.from, move.to) + " " + std::to_string(game.gameNumber) + "\r\n";
    sendCommand(context, line, true, false);
    const model::Board before = game.gameBoard;
    game.PlayMove(move.from, move.to, model::MoveKind::Game);
    alertGameMove(context, game, before, {move.from, move.to});
}

namespace {

void onGameCreated(ClientContext& context, const GameLineHead& head, std::string_view terms)
{
    // A game resumed after a lost connection comes back into the window it had.
    CGame* game = takeRejoinWindow(context, head.number, head.red, head.black, true);
    if (!game)
        game = context.gameList.open(false);
    if (!game)
        return;
    alertGameStart(context);
    applyGameNumbers(*game, readTermsAndNumbers(terms));
    game->mode = model::kModeBusy;
    copyBounded(game->redName, head.red);
    copyBounded(game->blackName, head.black);
    SessionState& state = context.session;
    if (state.loggedInName.empty()) {
        // A server reached without the login window: the notice tells who the user is.
        state.loginState = login_state::kLoggedIn;
        const bool red = context.desktop.askYesNo(
            "Is your Login name  " + std::string(fieldText(game->redName)) + " ?", false);
        if (!context.gameList.contains(game))
            return; // its window was closed while the question was open
        state.loggedInName = fieldText(red ? game->redName : game->blackName);
        SyncGameSettings(context);
    }
    game->userSide = isUserName(fieldText(game->blackName), state.loggedInName) ? model::kBlack : model::kRed;
    game->participation = model::kPlaying;
    game->gameNumber = head.number;
    resetGamePosition(context, *game);
    // The moves played so far (a resumed game) follow as numbered lines up to the prompt.
    state.collector = Collector::MoveHistory;
    state.collectedLines = 1;
}

void onMoveReport(ClientContext& context, CGame& game, std::string_view status, std::string_view rest)
{
    FieldCursor cursor(rest);
    std::string_view move;
    if (cursor.readWord(move))
        applyGameNumbers(game, readGameNumbers(cursor));
    game.lastUpdateTime = context.clock.nowSeconds();
    const auto number = gameNumberWord(status);
    if (!move.empty() && number && *number == game.serverMoveCounter + 1)
        PlayServerMove(context, game, move);
    // The clocks, ratings and observers of a report are shown even when its move is not
    // played.
    if (context.gameList.contains(&game) && game.mode == model::kModeNormal)
        refreshStatus(context, game);
}

bool isEnding(std::string_view status)
{
    return status == "adjourned." || status == "draw." || status == "resigned." || status == "checkmated." ||
           status == "stalemated." || status == "run";
}

void onGameEnded(ClientContext& context, CGame& game, std::string_view status, std::string_view endText)
{
    if (game.participation == model::kPlaying)
        alertGameEnd(context, game, endText);
    game.participation = model::kServerNotLive;
    const bool adjourned = status.front() == 'a';
    if (!adjourned && context.options.promptGameOver) {
        // The window stays: the game keeps how it ended, for the window and for the file.
        std::string_view result = endText;
        while (!result.empty() && std::string_view(" \t\r\n").find(result.back()) != std::string_view::npos)
            result.remove_suffix(1);
        copyBounded(game.result, result.substr(0, big5PrefixLength(result, model::kResultLength)));
        game.mode = model::kModeGameOver;
        game.endOfGameText = std::string(endText);
        game.ComposeName(true);
        refreshStatus(context, game);
    } else {
        game.modified = false;
        context.gameList.close(game);
    }
}

} // namespace

void ParseGameNotice(ClientContext& context, std::string_view line)
{
    const auto head = decodeGameLineHead(line);
    if (!head)
        return;
    const auto status = noticeStatus(head->rest);
    if (!status)
        return;
    if (status->word == "created.") {
        onGameCreated(context, *head, status->after);
        return;
    }
    CGame* game = context.gameList.findLive(head->number);
    if (!game) {
        context.terminal.writeClientText("Game not found: please type 'set client on'", false);
        return;
    }
    if (isAllDigits(status->word))
        onMoveReport(context, *game, status->word, status->after);
    else if (isEnding(status->word))
        onGameEnded(context, *game, status->word, head->rest);
}

} // namespace marovin::session
