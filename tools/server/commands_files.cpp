// Whole games on request: "sendfile" answers with a stored or running game in the game
// file format (the old, all-text form, since the answer travels as lines); "look" lists
// its moves for the client's board display.
#include <cstdlib>
#include <ctime>
#include <functional>

#include "model/game.h"
#include "model/game_file.h"
#include "server.h"
#include "storage.h"
#include "support/fixed_text.h"

namespace marovin::server {

namespace {

// The record only needs its ports to tell a user about trouble; the server has no user
// at hand, and writing a file in memory cannot fail.
class Headless : public TerminalPort, public DesktopPort, public ClockPort {
public:
    void writeOutputLine(TextFormatId, std::string_view) override {}
    void writeServerLine(std::string_view) override {}
    void writeClientText(std::string_view, bool) override {}
    void beep() override {}
    void messageBox(std::string_view) override {}
    bool askYesNo(std::string_view, bool) override { return false; }
    FatalBoxAnswer fatalBox(std::string_view, std::string_view) override { return FatalBoxAnswer::Ignore; }
    [[noreturn]] void exitProgram(int) override { std::abort(); }
    std::int64_t nowSeconds() override { return static_cast<std::int64_t>(std::time(nullptr)); }
    std::int64_t nowMilliseconds() override { return 0; }
    void pause(int) override {}
    void waitUntil(const std::function<bool()>&) override {}
};

std::vector<std::string> splitCrLf(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

} // namespace

std::string Server::gameFileText(const StoredGame& stored) const
{
    Headless headless;
    model::NoGameWindows windows;
    model::GameSettings settings;
    const model::GamePorts ports{headless, headless, headless, windows, settings};
    model::CGame game(ports);
    copyBounded(game.redName, stored.red);
    copyBounded(game.blackName, stored.black);
    game.redRating = stored.redRating;
    game.blackRating = stored.blackRating;
    game.times = {stored.terms.minutes, stored.terms.increment, stored.redMs / 1000, stored.blackMs / 1000};
    const std::string subject = stored.red + " vs " + stored.black + " (" + (stored.terms.rated ? "rated" : "unrated") +
                                ", " + std::to_string(stored.terms.minutes) + " min " +
                                std::to_string(stored.terms.increment) + " sec, " + oddsText(stored.terms.odds) + ")";
    copyBounded(game.subject, subject);
    copyBounded(game.result, stored.result + (stored.reason.empty() ? "" : " " + stored.reason));
    copyBounded(game.date, dateText(stored.time).substr(0, 10));
    copyBounded(game.place, "Marovin practice server");
    if (stored.terms.odds == Odds::OneKnight)
        game.SetOddsPosition("KNIGHT", false);
    else if (stored.terms.odds == Odds::TwoKnights)
        game.SetOddsPosition("TWO-KNIGHTS", false);
    for (const std::string& text : stored.moves)
        if (const auto squares = model::ParseCoordinateMove(text))
            game.PlayMove(squares->from, squares->to, model::MoveKind::User);
    return model::GameFileText(game, model::GameFileForm::Old);
}

void Server::cmdLook(Session& s, const Args& args, std::string_view)
{
    StoredGame shown;
    if (args.size() < 2) {
        reply(s, "look", {"Usage: look GAME or look RED.BLACK.ID"});
        return;
    }
    if (const StoredGame* stored = m_archive.findByWord(args[1])) {
        shown = *stored;
    } else if (const LiveGame* game = gameByNumber(args[1])) {
        shown = snapshot(*game, 'P', "*", "in progress", m_now);
        shown.id = game->number();
    } else {
        reply(s, "look", {"There is no game " + args[1] + "."});
        return;
    }
    // The board display reads "Game:RED.BLACK. NUMBER", then the moves, then the date line.
    std::vector<std::string> lines = {"Game:" + shown.red + "." + shown.black + ". " + std::to_string(shown.id)};
    if (shown.terms.odds != Odds::Even)
        lines.push_back(std::string("ODDS ") + (shown.terms.odds == Odds::OneKnight ? "KNIGHT" : "TWO-KNIGHTS"));
    for (std::size_t i = 0; i < shown.moves.size(); ++i)
        lines.push_back("(" + std::to_string(i + 1) + ") " + shown.moves[i]);
    lines.push_back("Date: " + dateText(shown.time).substr(0, 10) + " " + shown.result +
                    (shown.reason.empty() ? "" : " " + shown.reason));
    reply(s, "look", std::move(lines));
}

void Server::cmdSendfile(Session& s, const Args& args, std::string_view)
{
    if (args.size() < 2) {
        reply(s, "sendfile", {"Usage: sendfile RED.BLACK.ID (from \"stored\") or sendfile GAME"});
        return;
    }
    std::string text;
    if (const StoredGame* stored = m_archive.findByWord(args[1])) {
        text = gameFileText(*stored);
    } else if (const LiveGame* game = gameByNumber(args[1])) {
        text = gameFileText(snapshot(*game, 'P', "*", "in progress", m_now));
    } else {
        reply(s, "sendfile", {"There is no game " + args[1] + "."});
        return;
    }
    reply(s, "sendfile", splitCrLf(text));
}

} // namespace marovin::server
