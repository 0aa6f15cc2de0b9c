#include "session/game_transfer.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "model/game_file.h"
#include "model/position.h"
#include "session/game_support.h"
#include "session/game_updates.h"
#include "support/fixed_text.h"
#include "support/paths.h"

namespace marovin::session {

using model::CGame;

namespace {

constexpr std::size_t kLongestFileLine = model::kSendLineLimit + 2; // bytes of one sent line, line end included
constexpr int kShortPauseMs = 150;             // after a tell of at most kPauseBytes bytes
constexpr int kLongPauseMs = 2000;             // once more than kPauseBytes went out
constexpr int kPauseBytes = 250;
constexpr int kLastPauseMs = 600; // before "sendO"

constexpr const char* kOrderError = "Send order error";

bool sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// The game still has its window (the pointer may outlive it).
CGame* liveGame(ClientContext& context, CGame* game)
{
    return game && context.gameList.contains(game) ? game : nullptr;
}

// "tell PLAYER 01 MESSAGE", the whole text that goes out.
std::string tellText(std::string_view player, std::string_view message)
{
    std::string text = "tell ";
    text.append(player).append(" \x01").append(message);
    return text;
}

void tell(ClientContext& context, std::string_view player, std::string_view message)
{
    sendCommand(context, tellText(player, message), false, false);
}

void warn(ClientContext& context, std::string_view text)
{
    context.terminal.writeClientText(text, false);
}

void resetReceiving(TransferState& transfer)
{
    transfer.receiveSequence = 0;
    transfer.expectedLine = -1;
    transfer.receivingGame = nullptr;
    transfer.transferSender.clear();
}

// The next line of the file from where sending stands: at most kLongestFileLine bytes of
// it, without its line end. The rest of a longer line is passed over (and counted), so
// that it never arrives as a line of its own that the receiver would misread as moves.
std::string_view nextFileLine(TransferState& transfer)
{
    const std::string_view file = transfer.sendFile;
    const std::size_t start = transfer.sendBytesRead;
    std::size_t end = file.find('\n', start);
    end = end == std::string_view::npos ? file.size() : end + 1;
    transfer.sendBytesRead = end;
    std::string_view line = file.substr(start, std::min(end - start, kLongestFileLine));
    if (!line.empty() && line.back() == '\n')
        line.remove_suffix(1);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

// A number after optional blanks: an optional minus and at least one digit (kept within
// int). Advances text past it.
std::optional<int> readNumber(std::string_view& text)
{
    std::size_t at = text.find_first_not_of(' ');
    if (at == std::string_view::npos)
        return std::nullopt;
    const bool negative = text[at] == '-';
    if (negative)
        ++at;
    long long value = 0;
    const std::size_t digits = at;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
        value = std::min<long long>(value * 10 + (text[at] - '0'), 1LL << 31);
        ++at;
    }
    if (at == digits)
        return std::nullopt;
    text.remove_prefix(at);
    return static_cast<int>(std::clamp<long long>(negative ? -value : value, -(1LL << 30), 1LL << 30));
}

// A line message: "send<sequence> <percent> <line>".
struct LineMessage {
    int sequence;
    int percent;
    std::string_view line;
};

std::optional<LineMessage> readLineMessage(std::string_view text)
{
    std::string_view rest = text.substr(5); // after 01 "send"
    const auto sequence = readNumber(rest);
    if (!sequence || rest.empty() || rest[0] != ' ')
        return std::nullopt;
    const auto percent = readNumber(rest);
    if (!percent || rest.empty() || rest[0] != ' ')
        return std::nullopt;
    rest.remove_prefix(rest.find_first_not_of(' ') == std::string_view::npos ? rest.size()
                                                                              : rest.find_first_not_of(' '));
    return LineMessage{*sequence, std::clamp(*percent, 0, 100), rest};
}

// The game lines a line of the send form stands for: a header or note line ("H" and its
// text), or a move line (a type character, then square pairs). Nothing when it cannot be
// such a line.
std::optional<std::vector<std::string>> gameLinesOf(std::string_view line)
{
    if (line.empty())
        return std::nullopt;
    if (line[0] == 'H')
        return std::vector<std::string>{std::string(line.substr(1))};
    const std::string_view pairs = line.substr(1);
    if (pairs.empty() || pairs.size() % 2 != 0)
        return std::nullopt;
    std::vector<std::string> moves;
    for (std::size_t i = 0; i < pairs.size(); i += 2) {
        auto text = transferPairText(pairs[i], pairs[i + 1]);
        if (!text)
            return std::nullopt;
        moves.push_back(std::move(*text));
    }
    return moves;
}

void refuseLine(ClientContext& context, std::string_view sender)
{
    warn(context, kOrderError);
    tell(context, sender, "sendR\r\n");
}

// Hands the lines to the game reader as the line collector would, with its own line
// counter (the scanner's collection, if one runs, is left as it was).
void readTransferLines(ClientContext& context, TransferState& transfer, const std::vector<std::string>& lines)
{
    const int collecting = context.session.collectedLines;
    context.session.collectedLines = transfer.expectedLine;
    const CGame* newestBefore = context.gameList.newest();
    for (const std::string& line : lines) {
        CGame* game = liveGame(context, transfer.receivingGame);
        CollectGameFile(context, game, line);
        if (!game && context.gameList.newest() != newestBefore)
            transfer.receivingGame = context.gameList.newest(); // the first line opened it
        if (context.session.collectedLines < 0)
            break; // the reader refused the game
        ++context.session.collectedLines;
    }
    transfer.expectedLine = context.session.collectedLines;
    context.session.collectedLines = collecting;
}

void receiveLine(ClientContext& context, std::string_view text, std::string_view sender)
{
    TransferState& transfer = context.session.transfer;
    const auto message = readLineMessage(text);
    const auto lines = message ? gameLinesOf(message->line) : std::nullopt;
    if (transfer.receiveSequence == 0) {
        if (!lines || message->sequence != 1)
            return refuseLine(context, sender);
        transfer.receiveSequence = 1;
        transfer.expectedLine = 0;
        transfer.receivingGame = nullptr;
        transfer.transferSender = std::string(sender);
    } else if (!lines || !sameName(sender, transfer.transferSender) || message->sequence != transfer.receiveSequence ||
               (message->sequence != 1 && !liveGame(context, transfer.receivingGame))) {
        return refuseLine(context, sender);
    }
    readTransferLines(context, transfer, *lines);
    if (!liveGame(context, transfer.receivingGame)) {
        // The first line opened no game (it was no game header): nothing is being received,
        // and a transfer from anyone may start afresh.
        resetReceiving(transfer);
        return refuseLine(context, sender);
    }
    ++transfer.receiveSequence;
    if (CGame* game = liveGame(context, transfer.receivingGame)) {
        game->mode = model::kModeReceiving;
        game->transferPercent = message->percent;
        refreshStatus(context, *game);
    }
}

// The receiving game's window is left (its leave routine: a game not live just closes).
void leaveReceivingGame(ClientContext& context)
{
    TransferState& transfer = context.session.transfer;
    if (CGame* game = liveGame(context, transfer.receivingGame)) {
        game->mode = model::kModeNormal;
        context.gameList.close(*game);
    }
    resetReceiving(transfer);
}

} // namespace

std::string transferFilePath()
{
    return dataFolder() + "SendGame.tmp";
}

std::optional<std::string> transferPairText(char from, char to)
{
    const int a = static_cast<unsigned char>(from) - 33;
    const int b = static_cast<unsigned char>(to) - 33;
    if (a < 0 || a >= model::kSquareCount || b < 0 || b >= model::kSquareCount)
        return std::nullopt;
    return model::FormatCoordinateMove(static_cast<model::Square>(a), static_cast<model::Square>(b));
}

bool startSendGame(ClientContext& context, CGame& game, const AskPlayerName& askPlayer)
{
    TransferState& transfer = context.session.transfer;
    if (!isLoggedIn(context.session))
        return false;
    if (game.participation <= model::kPlaying) {
        context.desktop.messageBox("Cannot send playing games.");
        return false;
    }
    if (transfer.sendSequence != 0) {
        context.desktop.messageBox("A game is being sent already: stop it first.");
        return false;
    }
    const std::optional<std::string> answer = askPlayer ? askPlayer() : std::nullopt;
    if (!answer)
        return false;
    // One word: a blank would make the rest of the name a part of the told text.
    const std::size_t begin = answer->find_first_not_of(' ');
    const std::string name = begin == std::string::npos ? std::string() : answer->substr(begin, answer->find(' ', begin) - begin);
    if (name.empty() || std::any_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 32; })) {
        context.desktop.messageBox("Player name is empty.");
        return false;
    }
    copyBounded(transfer.transferPeer, name);

    const std::string path = transferFilePath();
    ensureFolder(folderOf(path));
    if (!model::WriteGameFile(game, path, model::GameFileForm::Send))
        return false;
    std::ifstream file(path, std::ios::binary);
    transfer.sendFile.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    transfer.sendBytesRead = 0;
    transfer.bytesSincePause = 0;
    transfer.sendSequence = 1;
    transfer.sendingGame = &game;
    game.mode = model::kModeSending;
    game.transferPercent = 0;
    redrawGame(context, game);
    sendNextGameLine(context);
    return true;
}

void sendNextGameLine(ClientContext& context)
{
    TransferState& transfer = context.session.transfer;
    if (transfer.sendSequence == 0)
        return;
    while (transfer.sendBytesRead < transfer.sendFile.size()) {
        const std::string_view line = nextFileLine(transfer);
        if (line.empty())
            continue;
        const int percent = transfer.sendFile.empty()
                                ? 100
                                : static_cast<int>(transfer.sendBytesRead * 100 / transfer.sendFile.size());
        const int sequence = transfer.sendSequence++;
        char head[48];
        std::snprintf(head, sizeof head, "send%d %d ", sequence, percent);
        const std::string told = tellText(transfer.transferPeer, std::string(head).append(line).append("\r\n"));
        transfer.bytesSincePause += static_cast<int>(told.size());
        if (transfer.bytesSincePause <= kPauseBytes) {
            context.clock.pauseHandlingEvents(kShortPauseMs);
        } else {
            context.clock.pauseHandlingEvents(kLongPauseMs);
            transfer.bytesSincePause = 0;
        }
        // The user may have stopped the send while the program waited.
        if (transfer.sendSequence != sequence + 1)
            return;
        sendCommand(context, told, false, false);
        if (CGame* game = liveGame(context, transfer.sendingGame)) {
            game->transferPercent = percent;
            refreshStatus(context, *game);
        }
        return; // one line per ready prompt
    }
    context.clock.pauseHandlingEvents(kLastPauseMs);
    if (transfer.sendSequence == 0)
        return;
    tell(context, transfer.transferPeer, "sendO\r\n");
    abortSend(context);
}

void abortSend(ClientContext& context)
{
    TransferState& transfer = context.session.transfer;
    for (CGame* game : context.gameList.games()) {
        if (game->mode == model::kModeSending) {
            game->mode = model::kModeNormal;
            redrawGame(context, *game);
        }
    }
    transfer.sendSequence = 0;
    transfer.sendFile.clear();
    transfer.sendFile.shrink_to_fit();
    transfer.sendBytesRead = 0;
    transfer.sendingGame = nullptr;
}

void onTransferTell(ClientContext& context, std::string_view text, std::string_view sender)
{
    TransferState& transfer = context.session.transfer;
    const char kind = text.size() > 5 ? text[5] : '\0';
    const bool fromSender = transfer.receiveSequence != 0 && sameName(sender, transfer.transferSender);
    switch (kind) {
    case 'C':
        if (!fromSender)
            return;
        warn(context, "Sender canceled the game");
        leaveReceivingGame(context);
        return;
    case 'O':
        if (!fromSender)
            return;
        if (CGame* game = liveGame(context, transfer.receivingGame)) {
            game->mode = model::kModeNormal;
            redrawGame(context, *game);
        }
        warn(context, "Sender is " + transfer.transferSender + ".");
        resetReceiving(transfer);
        return;
    case 'R':
        if (transfer.sendSequence == 0 || !sameName(sender, transfer.transferPeer))
            return;
        abortSend(context);
        warn(context, "Receiver cancels the game");
        return;
    default:
        receiveLine(context, text, sender);
        return;
    }
}

void stopTransfer(ClientContext& context, CGame& game)
{
    TransferState& transfer = context.session.transfer;
    if (game.mode == model::kModeReceiving && &game == transfer.receivingGame) {
        tell(context, transfer.transferSender, "sendR\n");
        warn(context, "Stop receiving game");
        leaveReceivingGame(context);
    } else if (game.mode == model::kModeSending && transfer.sendSequence != 0) {
        tell(context, transfer.transferPeer, "sendC\n");
        abortSend(context);
        warn(context, "Stop sending game");
    }
}

void resetTransfers(ClientContext& context)
{
    TransferState& transfer = context.session.transfer;
    abortSend(context);
    // What arrived stays in its window: the game is no longer being received.
    if (CGame* game = liveGame(context, transfer.receivingGame)) {
        game->mode = model::kModeNormal;
        redrawGame(context, *game);
    }
    resetReceiving(transfer);
}

} // namespace marovin::session
