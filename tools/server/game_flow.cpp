// Starting, reporting, ending, adjourning and resuming games.
#include <algorithm>
#include <cmath>
#include <ctime>

#include "bots.h"
#include "formats.h"
#include "server.h"
#include "storage.h"

namespace marovin::server {

namespace {
constexpr int kBotPairMoveLimit = 300;
} // namespace

int Server::freeGameNumber() const
{
    for (int n = 1; n <= kMaxGameNumber; ++n)
        if (!m_games.count(n))
            return n;
    return 0;
}

LiveGame* Server::findGame(int number)
{
    const auto it = m_games.find(number);
    return it == m_games.end() ? nullptr : it->second.get();
}

LiveGame* Server::gameByNumber(std::string_view text)
{
    const std::optional<int> number = parseNumber(text, 1, kMaxGameNumber);
    return number ? findGame(*number) : nullptr;
}

std::vector<LiveGame*> Server::gamesOf(std::string_view name)
{
    std::vector<LiveGame*> list;
    for (auto& [number, game] : m_games)
        if (game->isPlayer(name))
            list.push_back(game.get());
    return list;
}

int Server::ratingFor(std::string_view name, const GameTerms& terms) const
{
    const Account* a = m_accounts.find(name);
    if (!a)
        return 0;
    return terms.fast() ? a->fastRating : a->slowRating;
}

NoticeNumbers Server::numbers(const LiveGame& game, Millis now) const
{
    NoticeNumbers n;
    n.redClock = game.remainingSeconds(true, now);
    n.blackClock = game.remainingSeconds(false, now);
    const Account* red = m_accounts.find(game.red());
    const Account* black = m_accounts.find(game.black());
    n.redRating = red && !red->hideRating ? ratingFor(game.red(), game.terms()) : 0;
    n.blackRating = black && !black->hideRating ? ratingFor(game.black(), game.terms()) : 0;
    n.observers = static_cast<int>(game.observers().size());
    return n;
}

std::vector<std::string> Server::createdLines(const LiveGame& game, Millis now) const
{
    std::vector<std::string> lines = {createdNotice(game, numbers(game, now))};
    if (const std::string odds = game.oddsWord(); !odds.empty())
        lines.push_back("ODDS " + odds);
    const auto& events = game.events();
    for (std::size_t i = 0; i < events.size(); ++i)
        lines.push_back("(" + std::to_string(i + 1) + ") " + events[i]);
    return lines;
}

LiveGame& Server::startGame(const std::string& red, const std::string& black, const GameTerms& terms, Millis now)
{
    const int number = freeGameNumber();
    auto game = std::make_unique<LiveGame>(number, red, black, terms, now, m_config.clockSpeed);
    LiveGame& ref = *game;
    m_games[number] = std::move(game);
    m_log.push_back("game " + std::to_string(number) + " " + red + " vs " + black + " started");
    return ref;
}

void Server::reportEvent(LiveGame& game, Millis now)
{
    const std::string line =
        moveNotice(game, static_cast<int>(game.events().size()), game.events().back(), numbers(game, now));
    for (const std::string& player : {game.red(), game.black()}) {
        const Account* a = m_accounts.find(player);
        notifyPlayer(player, {a && a->bell ? line + "\a" : line});
    }
    for (const ConnectionId id : game.observers())
        notify(id, {line});
    if (m_bots)
        m_bots->scheduleMove(game, now);
}

std::string Server::makeMove(LiveGame& game, std::string_view text, Millis now)
{
    const int number = game.number();
    if (game.flagFallen(now)) {
        const bool red = game.redToMove();
        finishGame(number, std::string(sideName(red)) + " has run out of time.", red ? 0 : 1, "time", now);
        return "Your time has run out.";
    }
    if (const auto error = game.play(text, now))
        return *error;
    reportEvent(game, now);
    const bool redToMove = game.redToMove();
    switch (game.positionEnding()) {
    case Ending::Checkmate:
        finishGame(number, std::string(sideName(redToMove)) + " has been checkmated.", redToMove ? 0 : 1, "checkmate",
                   now);
        return {};
    case Ending::Stalemate:
        finishGame(number, std::string(sideName(redToMove)) + " has been stalemated.", redToMove ? 0 : 1, "stalemate",
                   now);
        return {};
    default:
        break;
    }
    if (isBot(game.red()) && isBot(game.black()) && game.ply() >= kBotPairMoveLimit)
        finishGame(number, "draw. The move limit of bot games is reached.", 0.5, "move limit", now);
    return {};
}

void Server::takeBack(LiveGame& game, Millis now)
{
    if (game.takeBack(now))
        reportEvent(game, now);
}

StoredGame Server::snapshot(const LiveGame& game, char kind, std::string_view result, std::string_view reason,
                            Millis now) const
{
    StoredGame g;
    g.kind = kind;
    g.red = game.red();
    g.black = game.black();
    g.terms = game.terms();
    g.redMs = std::max<std::int64_t>(0, game.remainingMs(true, now));
    g.blackMs = std::max<std::int64_t>(0, game.remainingMs(false, now));
    g.redRating = ratingFor(game.red(), game.terms());
    g.blackRating = ratingFor(game.black(), game.terms());
    g.moves = game.moveTexts();
    g.result = std::string(result);
    g.reason = std::string(reason);
    g.time = static_cast<std::int64_t>(std::time(nullptr));
    return g;
}

namespace {
void rate(Account& a, int opponentRating, double score, bool fast)
{
    int& rating = fast ? a.fastRating : a.slowRating;
    const double expected = 1.0 / (1.0 + std::pow(10.0, (opponentRating - rating) / 400.0));
    rating = std::clamp(static_cast<int>(std::lround(rating + 32.0 * (score - expected))), kRatingFloor, kRatingCeiling);
    ++(fast ? a.fastGames : a.slowGames);
}
} // namespace

void Server::finishGame(int number, std::string_view endingText, double redScore, std::string_view reason, Millis now)
{
    const auto it = m_games.find(number);
    if (it == m_games.end())
        return;
    std::unique_ptr<LiveGame> game = std::move(it->second);
    m_games.erase(it);
    const char* result = redScore > 0.75 ? "1-0" : redScore < 0.25 ? "0-1" : "1/2-1/2";
    const std::string line = endNotice(*game, std::string(endingText) + " " + result);
    for (const std::string& player : {game->red(), game->black()})
        notifyPlayer(player, {line});
    for (const ConnectionId id : game->observers()) {
        notify(id, {line});
        if (const auto s = m_sessions.find(id); s != m_sessions.end())
            s->second.observing.erase(number);
    }
    m_log.push_back("game " + std::to_string(number) + " ended: " + std::string(endingText));

    const bool botsOnly = isBot(game->red()) && isBot(game->black());
    Account* red = m_accounts.find(game->red());
    Account* black = m_accounts.find(game->black());
    if (red && black) {
        if (!botsOnly)
            m_archive.add(snapshot(*game, 'F', result, reason, now), !isBot(game->red()), !isBot(game->black()));
        if (game->terms().rated && game->ply() >= 2) {
            const int redBefore = ratingFor(red->name, game->terms());
            const int blackBefore = ratingFor(black->name, game->terms());
            rate(*red, blackBefore, redScore, game->terms().fast());
            rate(*black, redBefore, 1.0 - redScore, game->terms().fast());
        }
        (redScore > 0.75 ? red->wins : redScore < 0.25 ? red->losses : red->draws)++;
        (redScore > 0.75 ? black->losses : redScore < 0.25 ? black->wins : black->draws)++;
        m_accounts.markChanged(red->name);
        m_accounts.markChanged(black->name);
    }
    if (m_bots)
        m_bots->onGameEnded(*game, now);
}

void Server::adjournGame(int number, std::string_view why, Millis now)
{
    const auto it = m_games.find(number);
    if (it == m_games.end())
        return;
    std::unique_ptr<LiveGame> game = std::move(it->second);
    m_games.erase(it);
    const bool botsOnly = isBot(game->red()) && isBot(game->black());
    std::string text = "adjourned. " + std::string(why);
    if (!botsOnly && m_accounts.find(game->red()) && m_accounts.find(game->black())) {
        const int id = m_archive.add(snapshot(*game, 'A', "*", why, now), !isBot(game->red()), !isBot(game->black()));
        text += "; resume it with \"restart " + m_archive.find(id)->word() + "\".";
    } else {
        text += ".";
    }
    const std::string line = endNotice(*game, text);
    for (const std::string& player : {game->red(), game->black()})
        notifyPlayer(player, {line});
    for (const ConnectionId id : game->observers()) {
        notify(id, {line});
        if (const auto s = m_sessions.find(id); s != m_sessions.end())
            s->second.observing.erase(number);
    }
    m_log.push_back("game " + std::to_string(number) + " adjourned");
    if (m_bots)
        m_bots->onGameEnded(*game, now);
}

void Server::checkClocks(Millis now)
{
    std::vector<int> fallen;
    for (const auto& [number, game] : m_games)
        if (game->flagFallen(now))
            fallen.push_back(number);
    for (const int number : fallen) {
        const bool red = m_games.at(number)->redToMove();
        finishGame(number, std::string(sideName(red)) + " has run out of time.", red ? 0 : 1, "time", now);
    }
}

void Server::resumeGame(const StoredGame& stored, Millis now)
{
    const StoredGame copy = stored;
    const int number = freeGameNumber();
    auto game = std::make_unique<LiveGame>(number, copy.red, copy.black, copy.terms, now, m_config.clockSpeed);
    if (number == 0 || !game->resume(copy.moves, copy.redMs, copy.blackMs, now))
        return;
    m_archive.remove(copy.id);
    m_restartRequests.erase(copy.id);
    LiveGame& ref = *game;
    m_games[number] = std::move(game);
    m_log.push_back("game " + std::to_string(number) + " resumed from " + copy.word());
    const std::vector<std::string> lines = createdLines(ref, now);
    for (const std::string& player : {ref.red(), ref.black()})
        notifyPlayer(player, lines);
    if (m_bots)
        m_bots->scheduleMove(ref, now);
}

void Server::acceptMatch(const MatchRequest& request, Millis now)
{
    const std::string red = request.fromRed ? request.from : request.to;
    const std::string black = request.fromRed ? request.to : request.from;
    dropRequestsOf(request.from);
    dropRequestsOf(request.to);
    if (freeGameNumber() == 0)
        return;
    LiveGame& game = startGame(red, black, request.terms, now);
    const std::vector<std::string> lines = createdLines(game, now);
    for (const std::string& player : {red, black}) {
        const Account* a = m_accounts.find(player);
        std::vector<std::string> own = lines;
        if (a && a->bell)
            own.front() += "\a";
        notifyPlayer(player, own);
    }
    if (m_bots)
        m_bots->scheduleMove(game, now);
}

void Server::dropRequestsOf(std::string_view name)
{
    const std::string key = nameKey(name);
    std::erase_if(m_requests, [&](const MatchRequest& r) { return nameKey(r.from) == key || nameKey(r.to) == key; });
}

} // namespace marovin::server
