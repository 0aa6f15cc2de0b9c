// Playing and watching: match, moves, undo, pass, adjourn, resign, addtime, timeleft,
// allobservers, observe, moves/refresh, restart.
#include <algorithm>
#include <cstdlib>
#include <utility>

#include "bots.h"
#include "formats.h"
#include "server.h"
#include "storage.h"

namespace marovin::server {

namespace {

constexpr const char* kTimesRule = "Times: 0 to 300 minutes and 0 to 300 seconds of increment, not both 0.";

// "match [-FLAGS] NAME [r|b] [MINUTES [INCREMENT]]", the flags being r (rated) or
// u (unrated) and e (even), n (one knight), N (two knights); the flags and the colour
// may stand anywhere after "match".
MatchArgs parseMatch(const std::vector<std::string>& args)
{
    MatchArgs m;
    std::vector<std::string> positional;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i].size() < 2 || args[i][0] != '-') {
            positional.push_back(args[i]);
            continue;
        }
        for (const char c : args[i].substr(1)) {
            switch (c) {
            case 'r': m.terms.rated = true; break;
            case 'u': m.terms.rated = false; break;
            case 'e': m.terms.odds = Odds::Even; break;
            case 'n': m.terms.odds = Odds::OneKnight; break;
            case 'N': m.terms.odds = Odds::TwoKnights; break;
            default: m.error = std::string("Unknown match option: ") + c; return m;
            }
        }
        m.termsGiven = true;
    }
    std::size_t i = 0;
    if (i >= positional.size()) {
        m.error = "Usage: match NAME [r|b] [MINUTES [INCREMENT]], options -r/-u rated or not, -e/-n/-N odds";
        return m;
    }
    m.name = positional[i++];
    int numbers = 0;
    for (; i < positional.size(); ++i) {
        const std::string& word = positional[i];
        if (word == "r" || word == "b" || word == "red" || word == "black") {
            m.red = word[0] == 'r';
            m.colourGiven = true;
        } else if (numbers < 2 && isDigits(word)) {
            const std::optional<int> value = parseNumber(word, 0, kMaxMatchTime);
            if (!value) {
                m.error = kTimesRule;
                return m;
            }
            (numbers++ == 0 ? m.terms.minutes : m.terms.increment) = *value;
            m.termsGiven = true;
        } else {
            m.error = "Not understood: " + word;
            return m;
        }
    }
    if (m.terms.minutes == 0 && m.terms.increment == 0)
        m.error = kTimesRule;
    return m;
}

} // namespace

const MatchRequest* Server::agreeingRequest(const std::string& from, const std::string& to, const MatchArgs& m) const
{
    const auto pending = std::find_if(m_requests.begin(), m_requests.end(), [&](const MatchRequest& r) {
        return nameKey(r.from) == nameKey(from) && nameKey(r.to) == nameKey(to);
    });
    if (pending == m_requests.end())
        return nullptr;
    const bool termsAgree = !m.termsGiven || (m.terms.rated == pending->terms.rated && m.terms.odds == pending->terms.odds &&
                                              m.terms.minutes == pending->terms.minutes &&
                                              m.terms.increment == pending->terms.increment);
    const bool coloursAgree = !m.colourGiven || m.red != pending->fromRed;
    return termsAgree && coloursAgree ? &*pending : nullptr;
}

void Server::cmdMatch(Session& s, const Args& args, std::string_view)
{
    const MatchArgs m = parseMatch(args);
    if (!m.error.empty()) {
        reply(s, "match", {m.error});
        return;
    }
    const Account* target = m_accounts.find(m.name);
    if (!target || !isOnline(target->name)) {
        reply(s, "match", {m.name + " is not logged in."});
        return;
    }
    if (nameKey(target->name) == nameKey(s.name)) {
        reply(s, "match", {"You cannot play yourself."});
        return;
    }
    if (const auto own = gamesOf(s.name); !own.empty()) {
        reply(s, "match", {"You are already playing game " + std::to_string(own.front()->number()) + "."});
        return;
    }
    if (!target->bot && !gamesOf(target->name).empty()) {
        reply(s, "match", {target->name + " is playing a game."});
        return;
    }
    if (freeGameNumber() == 0) {
        reply(s, "match", {"The server has no room for another game now."});
        return;
    }
    // A game that could not be adjourned would be lost with its player's connection.
    if (adjournedListFull(s.name)) {
        reply(s, "match", {"You have " + std::to_string(GameArchive::kMaxPerPlayer) +
                           " adjourned games: resume one of them (\"stored\" lists them) before you start another."});
        return;
    }
    if (adjournedListFull(target->name)) {
        reply(s, "match", {target->name + " has " + std::to_string(GameArchive::kMaxPerPlayer) +
                           " adjourned games and cannot start another."});
        return;
    }
    if (target->bot) {
        reply(s, "match", {target->name + " accepts your challenge."});
        acceptMatch({s.name, target->name, m.terms, m.colourGiven ? m.red : true, true}, m_now);
        return;
    }
    // A challenge from the target to us with terms we do not contradict is accepted.
    if (const MatchRequest* theirs = agreeingRequest(target->name, s.name, m)) {
        const MatchRequest accepted = *theirs;
        reply(s, "match", {"You accept the challenge of " + target->name + "."});
        acceptMatch(accepted, m_now);
        return;
    }
    if (!target->open) {
        reply(s, "match", {target->name + " is not open for matches."});
        return;
    }
    MatchRequest request{s.name, target->name, m.terms, m.colourGiven ? m.red : true, m.colourGiven};
    std::erase_if(m_requests, [&](const MatchRequest& r) {
        return (nameKey(r.from) == nameKey(s.name) && nameKey(r.to) == nameKey(target->name)) ||
               (nameKey(r.from) == nameKey(target->name) && nameKey(r.to) == nameKey(s.name));
    });
    m_requests.push_back(request);
    const std::string text = matchRequestText(request.terms, s.name, request.fromRed);
    reply(s, "match", {"Challenge sent to " + target->name + ": " + text});
    notifyPlayer(target->name, {text, "Type \"match " + s.name + "\" to accept or \"decline " + s.name +
                                          "\" to decline."});
}

void Server::cmdDecline(Session& s, const Args& args, std::string_view)
{
    const std::string who = args.size() > 1 ? nameKey(args[1]) : "";
    std::vector<std::string> declined;
    std::erase_if(m_requests, [&](const MatchRequest& r) {
        if (nameKey(r.to) != nameKey(s.name) || (!who.empty() && nameKey(r.from) != who))
            return false;
        declined.push_back(r.from);
        return true;
    });
    for (const std::string& name : declined)
        notifyPlayer(name, {s.name + " declines your challenge."});
    reply(s, "decline", {declined.empty() ? "No challenge to decline." : "Declined " + std::to_string(declined.size()) + "."});
}

LiveGame* Server::playersGame(Session& s, const Args& args, std::size_t numberArg, std::string_view keyword)
{
    if (numberArg < args.size()) {
        LiveGame* game = gameByNumber(args[numberArg]);
        if (game && game->isPlayer(s.name))
            return game;
        reply(s, keyword, {"You are not playing game " + args[numberArg] + "."});
        return nullptr;
    }
    const auto own = gamesOf(s.name);
    if (own.size() == 1)
        return own.front();
    reply(s, keyword, {own.empty() ? "You are not playing a game." : "Name the game: you play more than one."});
    return nullptr;
}

void Server::playerMove(Session& s, const Args& args)
{
    LiveGame* game = playersGame(s, args, 1, "move");
    if (!game)
        return;
    if (game->playsRed(s.name) != game->redToMove()) {
        reply(s, "move", {"It is not your move in game " + std::to_string(game->number()) + "."});
        return;
    }
    std::string text = args[0];
    for (std::size_t i : {0, 3})
        text[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
    if (const std::string error = makeMove(*game, text, m_now); !error.empty())
        reply(s, "move", {error});
}

void Server::cmdUndo(Session& s, const Args& args, std::string_view)
{
    LiveGame* game = playersGame(s, args, 1, "undo");
    if (!game)
        return;
    if (game->ply() == 0) {
        reply(s, "undo", {"There is no move to take back."});
        return;
    }
    const bool red = game->playsRed(s.name);
    const std::string opponent = game->opponentOf(s.name);
    const bool opponentAsked = game->undoRequested(!red);
    if (!opponentAsked && !isBot(opponent)) {
        game->setUndoRequest(red, true);
        reply(s, "undo", {"You ask " + opponent + " to take back a move."});
        notifyPlayer(opponent, {s.name + " asks to take back a move in game " + std::to_string(game->number()) +
                                ": type \"undo " + std::to_string(game->number()) + "\" to agree."});
        return;
    }
    // Take back to the position in which the player who asked first is to move.
    const bool asker = opponentAsked ? !red : red;
    reply(s, "undo", {"Taking back."});
    takeBack(*game, m_now);
    if (game->redToMove() != asker && game->ply() > 0)
        takeBack(*game, m_now);
}

void Server::cmdPass(Session& s, const Args& args, std::string_view)
{
    LiveGame* game = playersGame(s, args, 1, "pass");
    if (!game)
        return;
    const bool red = game->playsRed(s.name);
    const std::string opponent = game->opponentOf(s.name);
    if (game->drawOffered(!red)) {
        reply(s, "pass", {"You accept the draw."});
        finishGame(game->number(), "draw. Agreed by both players.", 0.5, "agreed draw", m_now);
        return;
    }
    if (isBot(opponent)) {
        reply(s, "pass", {opponent + " declines the draw: bots play on."});
        return;
    }
    game->setDrawOffer(red, true);
    reply(s, "pass", {"You offer " + opponent + " a draw."});
    notifyPlayer(opponent, {s.name + " offers a draw in game " + std::to_string(game->number()) + ": type \"pass " +
                            std::to_string(game->number()) + "\" to accept."});
}

void Server::cmdAdjourn(Session& s, const Args& args, std::string_view)
{
    if (LiveGame* game = playersGame(s, args, 1, "adjourn")) {
        reply(s, "adjourn", {"Adjourning game " + std::to_string(game->number()) + "."});
        adjournGame(game->number(), s.name + " adjourned it", m_now);
    }
}

void Server::cmdResign(Session& s, const Args& args, std::string_view)
{
    if (LiveGame* game = playersGame(s, args, 1, "resign")) {
        const bool red = game->playsRed(s.name);
        reply(s, "resign", {"You resign game " + std::to_string(game->number()) + "."});
        finishGame(game->number(), std::string(sideName(red)) + " resigned.", red ? 0 : 1, "resignation", m_now);
    }
}

void Server::cmdAddtime(Session& s, const Args& args, std::string_view)
{
    const std::optional<int> given = args.size() > 1 ? parseNumber(args[1], 1, 100) : std::nullopt;
    if (!given) {
        reply(s, "addtime", {"Usage: addtime MINUTES GAME (1 to 100 minutes for your opponent)"});
        return;
    }
    const int minutes = *given;
    LiveGame* game = playersGame(s, args, 2, "addtime");
    if (!game)
        return;
    const std::string opponent = game->opponentOf(s.name);
    game->addTime(!game->playsRed(s.name), static_cast<std::int64_t>(minutes) * 60000);
    reply(s, "addtime", {opponent + " has " + std::to_string(minutes) + " more minutes in game " +
                         std::to_string(game->number()) + "."});
    notifyPlayer(opponent, {s.name + " gives you " + std::to_string(minutes) + " more minutes in game " +
                            std::to_string(game->number()) + "."});
}

namespace {
std::string clockText(long seconds)
{
    char text[24];
    std::snprintf(text, sizeof text, "%ld:%02ld", seconds / 60, seconds % 60);
    return text;
}
} // namespace

void Server::cmdTimeleft(Session& s, const Args& args, std::string_view)
{
    LiveGame* game = args.size() > 1 ? gameByNumber(args[1]) : nullptr;
    if (!game && args.size() < 2 && gamesOf(s.name).size() == 1)
        game = gamesOf(s.name).front();
    if (!game) {
        reply(s, "timeleft", {"Usage: timeleft GAME (no such game)"});
        return;
    }
    reply(s, "timeleft", {"Game " + std::to_string(game->number()) + ": Red " + game->red() + " " +
                          clockText(game->remainingSeconds(true, m_now)) + ", Black " + game->black() + " " +
                          clockText(game->remainingSeconds(false, m_now)) + ", " +
                          sideName(game->redToMove()) + " to move."});
}

void Server::cmdAllobservers(Session& s, const Args& args, std::string_view)
{
    LiveGame* game = args.size() > 1 ? gameByNumber(args[1]) : nullptr;
    if (!game) {
        reply(s, "allobservers", {"Usage: allobservers GAME (no such game)"});
        return;
    }
    std::string names;
    for (const ConnectionId id : game->observers())
        names += " " + m_sessions.at(id).name;
    reply(s, "allobservers", {"Observers of game " + std::to_string(game->number()) + ":" +
                              (names.empty() ? std::string(" none") : names)});
}

void Server::cmdObserve(Session& s, const Args& args, std::string_view)
{
    const auto removedLine = [](const LiveGame& game) {
        return "Game " + std::to_string(game.number()) + " " + game.red() + " vs " + game.black() +
               " removed from your observation list.";
    };
    if (args.size() < 2) {
        if (s.observing.empty()) {
            reply(s, "observe", {"You are not observing any game."});
            return;
        }
        // One block per game: the client reads one game from each "observe:" block.
        const std::set<int> observed = std::exchange(s.observing, {});
        for (const int number : observed) {
            if (LiveGame* game = findGame(number)) {
                game->observers().erase(s.id);
                reply(s, "observe", {removedLine(*game)});
            }
        }
        return;
    }
    LiveGame* game = gameByNumber(args[1]);
    if (!game)
        if (const auto played = gamesOf(args[1]); !played.empty())
            game = played.front(); // "observe NAME"
    if (!game) {
        reply(s, "observe", {"There is no game " + args[1] + "."});
        return;
    }
    if (game->isPlayer(s.name)) {
        reply(s, "observe", {"You are playing game " + std::to_string(game->number()) + "."});
        return;
    }
    if (s.observing.erase(game->number())) {
        game->observers().erase(s.id);
        reply(s, "observe", {removedLine(*game)});
        return;
    }
    s.observing.insert(game->number());
    game->observers().insert(s.id);
    std::vector<std::string> lines = {observeAddedLine(*game, numbers(*game, m_now))};
    if (const std::string odds = game->oddsWord(); !odds.empty())
        lines.push_back("ODDS " + odds);
    const auto& events = game->events();
    for (std::size_t i = 0; i < events.size(); ++i)
        lines.push_back("(" + std::to_string(i + 1) + ") " + events[i]);
    reply(s, "observe", std::move(lines));
}

namespace {
std::string termsText(const GameTerms& t)
{
    return std::to_string(t.minutes) + " min " + std::to_string(t.increment) + " sec, " +
           (t.rated ? "rated, " : "unrated, ") + oddsText(t.odds);
}
} // namespace

void Server::cmdMoves(Session& s, const Args& args, std::string_view)
{
    LiveGame* game = args.size() > 1 ? gameByNumber(args[1]) : nullptr;
    if (!game && args.size() < 2) {
        if (const auto own = gamesOf(s.name); !own.empty())
            game = own.front();
        else if (!s.observing.empty())
            game = findGame(*s.observing.begin());
    }
    const std::string keyword = args.front() == "refresh" ? "refresh" : "moves";
    if (!game) {
        reply(s, keyword, {"No such game."});
        return;
    }
    std::vector<std::string> lines = {"Game " + std::to_string(game->number()) + " " + game->red() + " vs " +
                                      game->black() + ": " + termsText(game->terms())};
    if (const std::string odds = game->oddsWord(); !odds.empty())
        lines.push_back("ODDS " + odds);
    const auto& events = game->events();
    for (std::size_t i = 0; i < events.size(); ++i)
        lines.push_back("(" + std::to_string(i + 1) + ") " + events[i]);
    reply(s, keyword, std::move(lines));
}

void Server::cmdRefresh(Session& s, const Args& args, std::string_view rest)
{
    Args copy = args;
    copy.front() = "refresh";
    cmdMoves(s, copy, rest);
}

void Server::cmdRestart(Session& s, const Args& args, std::string_view)
{
    const StoredGame* stored = args.size() > 1 ? m_archive.findByWord(args[1]) : nullptr;
    if (!stored || stored->kind != 'A') {
        reply(s, "restart", {"No adjourned game " + (args.size() > 1 ? args[1] : std::string()) + "."});
        return;
    }
    const bool red = nameKey(stored->red) == nameKey(s.name);
    if (!red && nameKey(stored->black) != nameKey(s.name)) {
        reply(s, "restart", {"You did not play " + stored->word() + "."});
        return;
    }
    const std::string opponent = red ? stored->black : stored->red;
    if (!gamesOf(s.name).empty() || (!isBot(opponent) && !gamesOf(opponent).empty())) {
        reply(s, "restart", {"Finish the game in progress first."});
        return;
    }
    if (!isOnline(opponent)) {
        reply(s, "restart", {opponent + " is not logged in."});
        return;
    }
    auto& asked = m_restartRequests[stored->id];
    if (isBot(opponent) || asked.count(nameKey(opponent))) {
        reply(s, "restart", {"Resuming " + stored->word() + "."});
        resumeGame(*stored, m_now);
        return;
    }
    asked.insert(nameKey(s.name));
    reply(s, "restart", {"You ask " + opponent + " to resume " + stored->word() + "."});
    notifyPlayer(opponent, {s.name + " would like to resume the adjourned game " + stored->word() +
                            ": type \"restart " + stored->word() + "\" to resume it."});
}

} // namespace marovin::server
