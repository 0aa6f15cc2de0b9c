// The collectors of the game blocks that answer the client's commands, and the handicap
// lines inside them.
//
//   observe: Game 7 BotMa vs BotPao added to your observation list. 10 min 600 600 5 0 0 1
//   ODDS KNIGHT
//   (1) H2-E2
//   (2) H9-G7
//   OMRA%
//
//   moves: Game 7 BotMa vs BotPao: 10 min 5 sec, unrated, even     (or "refresh:")
//   (1) H2-E2 ...
//
//   look: Game: alice.bob.12 ...
//   Date: 2024-03-05 1-0 Black resigned
//   (1) H2-E2 ...
//
//   sendfile: GAME
//   TIME    ... (a whole game file, line by line)
#include <string>

#include "model/game_file.h"
#include "session/game_lines.h"
#include "session/game_support.h"
#include "session/game_updates.h"
#include "session/reconnect.h"
#include "session/server_lines.h"
#include "support/fixed_text.h"

namespace marovin::session {

using model::CGame;

namespace {

// So that the moves are seen one after the other. The window keeps painting and answering
// the user meanwhile; further server input waits in the socket.
constexpr int kMoveHistoryPauseMs = 300;

bool isKeywordLine(const ClientContext& context) { return context.session.collectedLines == 0; }

void stopCollection(ClientContext& context) { context.session.collectedLines = -1; }

bool takenAsHandicap(ClientContext& context, std::string_view line)
{
    return beginsWith(line, "O") && OfferHandicapLine(context, line);
}

void observeAdded(ClientContext& context, const GameLineHead& head, std::string_view afterStatus)
{
    const std::size_t dot = afterStatus.find('.');
    FieldCursor cursor(dot == std::string_view::npos ? std::string_view{} : afterStatus.substr(dot + 1));
    cursor.skipSeparators();
    // A game observed before the connection was lost comes back into its window.
    CGame* game = takeRejoinWindow(context, head.number, head.red, head.black, false);
    if (!game)
        game = context.gameList.open(true);
    if (!game) {
        stopCollection(context);
        return;
    }
    game->mode = model::kModeBusy;
    applyGameNumbers(*game, readTermsAndNumbers(cursor.rest()));
    copyBounded(game->redName, head.red);
    copyBounded(game->blackName, head.black);
    game->participation = model::kObserving;
    game->gameNumber = head.number;
    game->userSide = model::kRed;
    resetGamePosition(context, *game);
}

void observeRemoved(ClientContext& context, int number)
{
    if (CGame* game = context.gameList.findLive(number)) {
        game->modified = false;
        game->participation = model::kServerNotLive;
        refreshStatus(context, *game);
        context.gameList.close(*game);
    } else {
        context.terminal.writeClientText("Game not found", false);
    }
    stopCollection(context);
}

void observeKeywordLine(ClientContext& context, std::string_view text)
{
    if (!beginsWith(text, "Game ")) {
        context.terminal.writeServerLine(text);
        stopCollection(context);
        return;
    }
    const auto head = decodeGameLineHead(text);
    if (!head) {
        stopCollection(context);
        return;
    }
    FieldCursor cursor(head->rest);
    std::string_view status;
    cursor.readWord(status);
    if (status == "added")
        observeAdded(context, *head, cursor.rest());
    else if (status == "removed")
        observeRemoved(context, head->number);
}

} // namespace

bool OfferHandicapLine(ClientContext& context, std::string_view line)
{
    CGame* game = context.gameList.currentGame;
    if (!game)
        return true;
    if (!beginsWith(line, "ODDS"))
        return false;
    game->SetOddsPosition(line.substr(4), true);
    return true;
}

void CollectObserve(ClientContext& context, CGame* game, std::string_view line)
{
    if (isKeywordLine(context)) {
        observeKeywordLine(context, line);
        return;
    }
    if (takenAsHandicap(context, line) || !game) {
        context.terminal.writeServerLine(line);
        return;
    }
    if (!beginsWith(line, "("))
        return;
    const auto move = decodeNumberedMove(line);
    if (!move) {
        stopCollection(context);
        return;
    }
    if (move->number == game->serverMoveCounter + 1)
        PlayServerMove(context, *game, move->text);
}

void CollectMoveHistory(ClientContext& context, CGame* game, std::string_view line)
{
    if (isKeywordLine(context)) {
        if (beginsWith(line, "Game ")) {
            // The number as "Game %d" reads it: "Game 12:" is game 12.
            FieldCursor cursor(line.substr(5));
            std::int32_t number = 0;
            if (CGame* live = cursor.readInteger(number) ? context.gameList.findLive(number) : nullptr) {
                live->mode = model::kModeBusy;
                return;
            }
        }
        context.terminal.writeServerLine(line);
        return;
    }
    if (game && !takenAsHandicap(context, line) && beginsWith(line, "(")) {
        const auto move = decodeNumberedMove(line);
        if (move && move->number == game->serverMoveCounter + 1) {
            PlayServerMove(context, *game, move->text);
            context.clock.pauseHandlingEvents(kMoveHistoryPauseMs);
        }
        return;
    }
    context.terminal.writeServerLine(line);
}

void CollectBoardDisplay(ClientContext& context, CGame* game, std::string_view line)
{
    if (isKeywordLine(context)) {
        const auto head = decodeBoardDisplayHead(line);
        if (!head)
            return;
        CGame* shown = context.gameList.open(true);
        if (!shown) {
            stopCollection(context);
            return;
        }
        shown->gameNumber = -head->number;
        shown->mode = model::kModeBusy;
        copyBounded(shown->redName, head->red);
        copyBounded(shown->blackName, head->black);
        shown->times[2] = shown->times[3] = 0;
        shown->redRating = shown->blackRating = 0;
        shown->participation = model::kServerNotLive;
        const std::string& login = context.session.loggedInName;
        const bool userBlack = beginsWith(fieldText(shown->blackName), login) &&
                               !beginsWith(fieldText(shown->redName), login);
        shown->userSide = userBlack ? model::kBlack : model::kRed;
        resetGamePosition(context, *shown);
        return;
    }
    if (takenAsHandicap(context, line))
        return;
    if (!game) {
        context.terminal.writeServerLine(line);
        return;
    }
    if (beginsWith(line, "Date:")) {
        context.terminal.writeServerLine(line);
        const DateLine date = decodeDateLine(line);
        copyBounded(game->date, date.date);
        copyBounded(game->result, date.result);
        game->ComposeName(true);
        return;
    }
    if (const auto move = decodeNumberedMove(line))
        PlayServerMove(context, *game, move->text);
}

void CollectGameFile(ClientContext& context, CGame* game, std::string_view line)
{
    const model::GamePorts ports{context.terminal, context.desktop, context.clock, context.gameList,
                                 context.gameSettings};
    const bool hadBody = game && game->format != model::kFormatNone;
    model::ReadBranches unused; // only a merge reading counts its branches
    model::ReadGameLine(game, line, context.session.collectedLines, false, unused, ports);
    // The start line resets the position: handicap lines refer to this game from now on.
    if (game && !hadBody && game->format != model::kFormatNone && context.gameList.contains(game))
        context.gameList.currentGame = game;
}

} // namespace marovin::session
