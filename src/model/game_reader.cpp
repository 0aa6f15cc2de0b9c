#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "model/game_file.h"
#include "support/big5.h"
#include "support/fixed_text.h"

namespace marovin::model {

namespace {

constexpr std::string_view kSeparators = " \t\r\n";

// Prefixes here are a few characters long: a plain loop beats a library compare.
bool startsWith(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (text[i] != prefix[i])
            return false;
    return true;
}


bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

// The words of text, split at blanks, tabs, CR and LF.
std::vector<std::string_view> wordsOf(std::string_view text)
{
    std::vector<std::string_view> words;
    std::size_t pos = text.find_first_not_of(kSeparators);
    while (pos != std::string_view::npos) {
        const std::size_t end = text.find_first_of(kSeparators, pos);
        words.push_back(text.substr(pos, end == std::string_view::npos ? end : end - pos));
        pos = end == std::string_view::npos ? end : text.find_first_not_of(kSeparators, end);
    }
    return words;
}

// The first word of text (empty when there is none).
std::string_view firstWord(std::string_view text)
{
    std::size_t start = 0;
    while (start < text.size() && IsReadSeparator(text[start]))
        ++start;
    std::size_t end = start;
    while (end < text.size() && !IsReadSeparator(text[end]))
        ++end;
    return text.substr(start, end - start);
}

// The value of a header line: after the keyword and the blanks that follow it.
std::string_view valueAfter(std::string_view line, std::string_view keyword)
{
    std::string_view value = line.substr(keyword.size());
    const std::size_t start = value.find_first_not_of(" \t");
    return value.substr(start == std::string_view::npos ? value.size() : start);
}

// A decimal integer at the start of text (after separators); 0 when there is none.
// Values beyond the range of the result are clamped.
template <class Int>
bool readInteger(std::string_view& text, Int& value)
{
    std::size_t pos = text.find_first_not_of(kSeparators);
    if (pos == std::string_view::npos)
        return false;
    bool negative = false;
    if (text[pos] == '-' || text[pos] == '+')
        negative = text[pos++] == '-';
    if (pos >= text.size() || !std::isdigit(static_cast<unsigned char>(text[pos])))
        return false;
    long long magnitude = 0;
    constexpr long long limit = std::numeric_limits<Int>::max();
    for (; pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos])); ++pos) {
        const int digit = text[pos] - '0';
        magnitude = magnitude > (limit - digit) / 10 ? limit : magnitude * 10 + digit;
    }
    value = static_cast<Int>(negative ? -magnitude : magnitude);
    text.remove_prefix(pos);
    return true;
}

int integerOrZero(std::string_view text)
{
    int value = 0;
    return readInteger(text, value) ? value : 0;
}

} // namespace

bool IsReadSeparator(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// ---- the body ----------------------------------------------------------------------

void PlayReadMove(CGame& game, Square from, Square to, bool merge, ReadBranches& branches)
{
    if (game.browsedPly() == 0)
        game.mirror = merge && !game.customPosition && CGame::OpensFromLeft(from);
    if (game.mirror) {
        from = MirrorSquare(from);
        to = MirrorSquare(to);
    }
    game.observer().moveRead(game, from, to);
    const int before = game.browsedPly();
    game.PlayMove(from, to, MoveKind::User);
    if (merge && branches.depth >= 0) {
        branches.counters.resize(std::max<std::size_t>(branches.counters.size(), branches.depth + 1u));
        branches.counters[static_cast<std::size_t>(branches.depth)] += game.browsedPly() - before;
    }
}

void AddReadNote(CGame& game, std::string_view text, bool merge, bool continuation)
{
    const std::size_t before = game.currentEntry().noteText().size();
    const std::size_t dropped = merge          ? game.AddNoteOnce(text)
                                : continuation ? game.ContinueNote(text)
                                               : game.SetNote(text, true);
    if (dropped > 0 && before + 2 < kNoteLimit)
        game.ports().terminal.writeClientText(NoteCutMessage(game.browsedPly()), false);
}

namespace {

// A move word of a text body: coordinate text, or "undo".
void playMoveWord(CGame& game, std::string_view word, bool merge, ReadBranches& branches)
{
    const GamePorts& ports = game.ports();
    if (word == "undo") {
        branches.starts.clear(); // the path may now leave the positions kept
        const int before = game.browsedPly();
        game.TakeBack(game.participation <= kPlaying ? TakeBackKind::Game : TakeBackKind::User,
                      game.mode == kModeNormal);
        if (merge && branches.depth >= 0 && static_cast<std::size_t>(branches.depth) < branches.counters.size())
            branches.counters[static_cast<std::size_t>(branches.depth)] += game.browsedPly() - before;
        return;
    }
    if (const auto squares = ParseCoordinateMove(word, ports.terminal, ports.desktop))
        PlayReadMove(game, squares->from, squares->to, merge, branches);
}

void beginBranch(CGame& game, bool merge, ReadBranches& branches)
{
    if (!merge) {
        game.OpenBranch();
        const int ply = game.browsedPly();
        while (!branches.starts.empty() && branches.starts.back().ply > ply)
            branches.starts.pop_back(); // not on the path any more
        if (!branches.starts.empty() && branches.starts.back().ply == ply)
            ++branches.starts.back().open; // kept once, however many branches begin here
        else
            branches.starts.push_back({ply, game.browsedBoard, 1});
        return;
    }
    branches.depth = game.browsedPly() == 0 ? 0 : branches.depth + 1;
    branches.counters.resize(std::max<std::size_t>(branches.counters.size(), branches.depth + 1u));
    branches.counters[static_cast<std::size_t>(branches.depth)] = 0;
}

// A branch end goes back to the position where its branch began, however the branch's
// moves were recorded: first along existing moves and then splitting them, the cursor's
// line begins after the branch start. A branch whose moves began a line of their own at
// the start (as written files have it) is left at once for the kept position; otherwise
// the moves are taken back one by one. Without a kept start (more ends than begins, or
// after an "undo" word) the moves of the cursor's line are taken back.
void endBranch(CGame& game, bool merge, ReadBranches& branches)
{
    int target = game.browsedPly() - game.indexInLine() - 1;
    if (merge) {
        if (branches.depth < 0 || static_cast<std::size_t>(branches.depth) >= branches.counters.size())
            return; // more ends than begins
        target = game.browsedPly() - branches.counters[static_cast<std::size_t>(branches.depth)];
        --branches.depth;
    } else if (!branches.starts.empty()) {
        ReadBranches::Start& start = branches.starts.back();
        target = start.ply;
        const bool leftAtOnce = game.mode == kModeReading &&
                                game.browsedPly() - game.indexInLine() - 1 == target && game.LeaveLine(start.board);
        if (--start.open == 0)
            branches.starts.pop_back();
        if (leftAtOnce)
            return;
    }
    while (game.browsedPly() > std::max(target, 0)) {
        const int before = game.browsedPly();
        game.TakeBack(TakeBackKind::User);
        if (game.browsedPly() >= before)
            break;
    }
}

void readBodyLine(CGame& game, std::string_view line, int& lineCounter, bool merge, ReadBranches& branches)
{
    TerminalPort& terminal = game.ports().terminal;
    if (startsWith(line, "}")) {
        // It closes a brace body, which is then whole; in any other body it cuts the game short.
        terminal.writeServerLine(line);
        lineCounter = game.format == kFormatBrace ? kReadComplete : kReadStopped;
        game.ComposeName(false);
    } else if (startsWith(line, "#")) {
        if (game.mode == kModeBusy)
            terminal.writeServerLine(line);
        std::string_view text = line.substr(1);
        const bool continuation = !text.empty() && text[0] == kNoteContinuation;
        if (continuation || (!text.empty() && (text[0] == ' ' || text[0] == '\t')))
            text.remove_prefix(1);
        if (!text.empty() && text.back() == kNoteContinuation)
            text.remove_suffix(1);
        AddReadNote(game, text, merge, continuation);
    } else if (startsWith(line, "BB") || equalsIgnoringCase(line, "VAR")) {
        beginBranch(game, merge, branches);
    } else if (startsWith(line, "BE") || equalsIgnoringCase(line, "END")) {
        endBranch(game, merge, branches);
    } else if (game.format == kFormatOld) {
        if (game.mode == kModeBusy) {
            char number[16];
            std::snprintf(number, sizeof number, "%3d) ", game.browsedPly() + 1);
            terminal.writeServerLine(std::string(number).append(line));
        }
        playMoveWord(game, firstWord(line), merge, branches);
    } else if (game.format == kFormatBrace) {
        if (game.mode == kModeBusy)
            terminal.writeServerLine(line);
        const auto words = wordsOf(line);
        for (std::size_t i = 1; i < 3 && i < words.size(); ++i) {
            if (words[i][0] == '}')
                break;
            if (static_cast<unsigned char>(words[i][0]) >= 'A')
                playMoveWord(game, words[i], merge, branches);
        }
    }
}

// ---- the header ----------------------------------------------------------------------

void readPlayerLine(CGame& game, std::string_view line, bool red)
{
    const std::string_view value = valueAfter(line, red ? "RED" : "BLACK");
    const std::size_t semicolon = value.find(';');
    const std::string_view name = value.substr(0, semicolon);
    const int rating = semicolon == std::string_view::npos ? 0 : integerOrZero(value.substr(semicolon + 1));
    if (red) {
        copyBounded(game.redName, name);
        game.redRating = rating;
    } else {
        copyBounded(game.blackName, name);
        game.blackRating = rating;
    }
    if (!startsWith(name, game.ports().settings.loginName))
        return;
    if (!red && fieldText(game.blackName) != fieldText(game.redName)) {
        game.userSide = kBlack;
    } else {
        game.userSide = kRed;
        game.bottomSide = kRed;
    }
}

void readPositionLine(CGame& game, std::string_view line)
{
    const std::string_view value = valueAfter(line, "POSITION");
    if (!value.empty() && value[0] == 'B')
        game.firstMover = 1;
    for (int piece = 1; piece <= 32; ++piece) {
        const std::size_t at = static_cast<std::size_t>(piece);
        const int code = at < value.size() ? static_cast<unsigned char>(value[at]) : 0;
        const int square = code - 33;
        game.pieceList[at] = square >= 0 && square < kSquareCount ? static_cast<Square>(square) : kOffBoard;
        if (game.pieceList[at] < kOffBoard)
            game.browsedBoard[game.pieceList[at]] = static_cast<Piece>(piece);
    }
    game.customPosition = 1;
}

void startBody(CGame& game, std::uint8_t format)
{
    game.format = format;
    const bool subjectWasEmpty = fieldEmpty(game.subject);
    game.ResetPosition();
    if (subjectWasEmpty)
        copyBounded(game.subject, "");
}

void refuseMiddleGame(CGame& game, int& lineCounter)
{
    game.ports().desktop.messageBox("Can not merge Middle game");
    lineCounter = kReadStopped;
}

void readHeaderLine(CGame& game, std::string_view line, int& lineCounter, bool merge)
{
    if (startsWith(line, "TIME")) {
        if (merge)
            return;
        std::string_view rest = line.substr(4);
        for (auto& value : game.times)
            if (!readInteger(rest, value))
                value = 0;
    } else if (startsWith(line, "RED") || startsWith(line, "BLACK")) {
        if (!merge)
            readPlayerLine(game, line, startsWith(line, "RED"));
    } else if (startsWith(line, "DATE")) {
        if (!merge) {
            copyBounded(game.date, valueAfter(line, "DATE"));
            game.ComposeName(false);
        }
    } else if (startsWith(line, "SUBJECT")) {
        if (!merge)
            copyBounded(game.subject, valueAfter(line, "SUBJECT"));
    } else if (startsWith(line, "POSITION")) {
        if (merge)
            refuseMiddleGame(game, lineCounter);
        else
            readPositionLine(game, line);
    } else if (startsWith(line, "PLACE")) {
        if (!merge)
            copyBounded(game.place, valueAfter(line, "PLACE"));
    } else if (startsWith(line, "RESULT")) {
        if (!merge)
            copyBounded(game.result, valueAfter(line, "RESULT"));
    } else if (startsWith(line, "CSTART")) {
        startBody(game, kFormatNew);
    } else if (startsWith(line, "START{") || startsWith(line, "START {")) {
        startBody(game, kFormatBrace);
    } else if (startsWith(line, "START")) {
        startBody(game, kFormatOld);
    } else if (startsWith(line, "ODDS")) {
        if (merge)
            refuseMiddleGame(game, lineCounter);
        else
            game.SetOddsPosition(line.substr(4), false);
    }
}

} // namespace

void ReadGameLine(CGame*& game, std::string_view line, int& lineCounter, bool merge, ReadBranches& branches,
                  const GamePorts& ports)
{
    // A second character "a" marks a line that is not part of the body ("Game ..." notices
    // between server lines), except for a note or a "var" branch line. The "a" that ends a
    // Big5 first character is not a second character.
    const bool foreign = line.size() >= 2 && line[1] == 'a' && big5CharLength(line, 0) == 1 &&
                         !startsWith(line, "#") && !equalsIgnoringCase(line, "VAR");
    const bool body =
        lineCounter != 0 && game && game->format != kFormatNone && !startsWith(line, "{") && !foreign;
    if (body) {
        readBodyLine(*game, line, lineCounter, merge, branches);
        return;
    }
    ports.terminal.writeServerLine(line);
    if (lineCounter == 0) {
        if (!startsWith(line, "GAME")) {
            lineCounter = kReadStopped;
            return;
        }
        if (!game) {
            game = ports.windows.openGameWindow();
            if (!game) {
                ports.terminal.writeClientText("Cannot create GAME!", false);
                ports.desktop.messageBox("Cannot create GAME!");
                return;
            }
        }
        game->participation = kLocalGame;
        game->userSide = kRed;
        game->gameNumber = -1;
        game->mode = kModeBusy;
        if (!merge)
            copyBounded(game->subject, "");
    }
    if (game)
        readHeaderLine(*game, line, lineCounter, merge);
}

} // namespace marovin::model
