// Commands that list and describe: who, games, finger, history, stored, alias, rankings.
#include <algorithm>
#include <cstdio>

#include "bots.h"
#include "formats.h"
#include "server.h"
#include "storage.h"

namespace marovin::server {

namespace {
std::string lowerWord(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}
} // namespace

void Server::cmdWho(Session& s, const Args& args, std::string_view)
{
    WhoLayout layout = WhoLayout::Slow;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "-f")
            layout = WhoLayout::Fast;
        else if (args[i] == "-2")
            layout = WhoLayout::TwoColumns;
        else if (args[i] == "-b")
            layout = WhoLayout::BothRatings;
    }
    std::vector<WhoEntry> entries;
    const auto add = [&](const Account& a, Millis idleSince, int observing) {
        WhoEntry e;
        e.name = a.name;
        e.kind = a.bot ? "Bot" : (a.email.empty() ? "New" : "Reg");
        e.open = a.open;
        const auto games = gamesOf(a.name);
        e.playing = games.empty() ? 0 : games.front()->number();
        e.observing = observing;
        e.slowRating = ratingText(a.slowRating, a.hideRating);
        e.fastRating = ratingText(a.fastRating, a.hideRating);
        e.idleSeconds = static_cast<long>((m_now - idleSince) / 1000);
        entries.push_back(std::move(e));
    };
    for (const auto& [key, id] : m_online) {
        const Session& other = m_sessions.at(id);
        if (const Account* a = m_accounts.find(other.name))
            add(*a, other.lastCommand, other.observing.empty() ? 0 : *other.observing.begin());
    }
    if (m_bots)
        for (const std::string& bot : m_bots->names())
            if (const Account* a = m_accounts.find(bot))
                add(*a, m_now, 0);
    std::sort(entries.begin(), entries.end(),
              [](const WhoEntry& a, const WhoEntry& b) { return lowerWord(a.name) < lowerWord(b.name); });
    std::vector<std::string> lines = {std::to_string(entries.size()) +
                                      (entries.size() == 1 ? " player online" : " players online")};
    for (std::string& line : whoLines(entries, layout))
        lines.push_back(std::move(line));
    reply(s, "who", std::move(lines));
}

void Server::cmdGames(Session& s, const Args&, std::string_view)
{
    std::vector<std::string> lines = {gamesHeading()};
    for (const auto& [number, game] : m_games) {
        GameListEntry e;
        e.number = number;
        e.red = game->red();
        e.black = game->black();
        const Account* red = m_accounts.find(game->red());
        const Account* black = m_accounts.find(game->black());
        e.redRating = ratingText(ratingFor(game->red(), game->terms()), !red || red->hideRating);
        e.blackRating = ratingText(ratingFor(game->black(), game->terms()), !black || black->hideRating);
        e.terms = game->terms();
        e.ply = game->ply();
        e.observers = static_cast<int>(game->observers().size());
        lines.push_back(gamesLine(e));
    }
    reply(s, "games", std::move(lines));
}

void Server::cmdFinger(Session& s, const Args& args, std::string_view)
{
    const std::string name = args.size() > 1 ? args[1] : s.name;
    const Account* a = m_accounts.find(name);
    if (!a) {
        reply(s, "finger", {"There is no player called " + name + "."});
        return;
    }
    std::vector<std::string> lines = {"Finger of " + a->name + ":"};
    lines.push_back("");
    if (isOnline(a->name)) {
        lines.push_back("  On for: now");
    } else {
        lines.push_back("  Last seen: " + dateText(a->lastSeen) + " (UTC)");
    }
    if (a->bot)
        lines.push_back("  A bot of this server: it accepts every match.");
    for (const LiveGame* game : gamesOf(a->name))
        lines.push_back("  Playing game " + std::to_string(game->number()) + " against " +
                        game->opponentOf(a->name) + ".");
    if (a->hideRating) {
        lines.push_back("  Ratings: hidden");
    } else {
        lines.push_back("  Slow rating: " + std::to_string(a->slowRating) + " (" + std::to_string(a->slowGames) +
                        " games)   Fast rating: " + std::to_string(a->fastRating) + " (" +
                        std::to_string(a->fastGames) + " games)");
    }
    lines.push_back("  Won " + std::to_string(a->wins) + ", lost " + std::to_string(a->losses) + ", drawn " +
                    std::to_string(a->draws) + ".");
    lines.push_back("  Registered: " + dateText(a->registered) + " (UTC)");
    if (!a->email.empty() && !a->hideAddress)
        lines.push_back("  E-mail: " + a->email);
    lines.push_back(std::string("  Open for matches: ") + (a->open ? "yes" : "no"));
    if (!a->plan.empty()) {
        lines.push_back("");
        lines.push_back("Plan:");
        for (std::size_t i = 0; i < a->plan.size(); ++i)
            lines.push_back("  " + std::to_string(i + 1) + ": " + a->plan[i]);
    }
    reply(s, "finger", std::move(lines));
}

void Server::cmdHistory(Session& s, const Args& args, std::string_view)
{
    const std::string name = args.size() > 1 ? args[1] : s.name;
    const Account* a = m_accounts.find(name);
    if (!a) {
        reply(s, "history", {"There is no player called " + name + "."});
        return;
    }
    std::vector<std::string> lines = {"Recent games of " + a->name + ":"};
    int shown = 0;
    for (const StoredGame* g : m_archive.gamesOf(a->name, 'F', 10)) {
        const bool red = nameKey(g->red) == nameKey(a->name);
        const char outcome = g->result == "1/2-1/2" ? '=' : ((g->result == "1-0") == red ? '+' : '-');
        char line[200];
        std::snprintf(line, sizeof line, "%3d: %c %-5s %-15s %c%c %3d %3d  %-8s %s  %s", ++shown, outcome,
                      red ? "red" : "black", (red ? g->black : g->red).c_str(), ratedLetter(g->terms.rated),
                      oddsLetter(g->terms.odds), g->terms.minutes, g->terms.increment, g->result.c_str(),
                      dateText(g->time).c_str(), g->reason.c_str());
        lines.emplace_back(line);
    }
    if (shown == 0)
        lines.emplace_back("  (no finished games)");
    reply(s, "history", std::move(lines));
}

void Server::cmdStored(Session& s, const Args& args, std::string_view)
{
    const std::string name = args.size() > 1 ? args[1] : s.name;
    // Adjourned games first, then the newest finished ones: 60 at most (a bot, which plays
    // everybody, may have thousands).
    constexpr std::size_t kMaxListed = 60;
    std::vector<std::pair<char, std::string>> items;
    for (const char kind : {'A', 'F'})
        for (const StoredGame* g : m_archive.gamesOf(name, kind, kMaxListed - items.size()))
            items.emplace_back(kind, g->word());
    // The first line stays empty: the list reads every other line as kind letters and words.
    std::vector<std::string> lines = {""};
    for (std::string& line : storedLines(items))
        lines.push_back(std::move(line));
    reply(s, "stored", std::move(lines));
}

void Server::cmdAlias(Session& s, const Args& args, std::string_view rest)
{
    Account* own = accountOf(s);
    if (args.size() >= 2 && args[1] == "-l") {
        const std::string name = args.size() > 2 ? args[2] : s.name;
        const Account* a = m_accounts.find(name);
        if (!a) {
            reply(s, "alias", {"There is no player called " + name + "."});
            return;
        }
        std::vector<std::string> lines = {"Aliases of " + a->name + ":"};
        for (const auto& [word, expansion] : a->aliases)
            lines.push_back("  " + word + " = " + expansion);
        if (a->aliases.empty())
            lines.emplace_back("  (none)");
        reply(s, "alias", std::move(lines));
        return;
    }
    if (args.size() < 2 || !own) {
        reply(s, "alias", {"Usage: alias WORD COMMAND (define), alias WORD (remove), alias -l [NAME] (list)"});
        return;
    }
    const std::string word = lowerWord(args[1]);
    auto& aliases = own->aliases;
    aliases.erase(std::remove_if(aliases.begin(), aliases.end(), [&](const auto& a) { return lowerWord(a.first) == word; }),
                  aliases.end());
    const std::size_t start = rest.find_first_not_of(' ', args[1].size());
    m_accounts.markChanged(own->name);
    if (start == std::string_view::npos) {
        reply(s, "alias", {"Alias " + word + " removed."});
        return;
    }
    if (aliases.size() >= 50) {
        reply(s, "alias", {"At most 50 aliases."});
        return;
    }
    aliases.emplace_back(word, std::string(rest.substr(start, 400)));
    reply(s, "alias", {"Alias " + word + " = " + aliases.back().second});
}

void Server::cmdRanking(Session& s, const Args& args, std::string_view)
{
    const bool fast = args.size() > 1 && lowerWord(args[1]) == "fast";
    std::vector<const Account*> list;
    for (const Account* a : m_accounts.all())
        if (!a->hideRating && (fast ? a->fastGames : a->slowGames) > 0)
            list.push_back(a);
    // Only the first 20 are shown: sorting them alone keeps the answer cheap with many
    // accounts. Equal ratings keep the order of the names.
    constexpr std::size_t kShown = 20;
    const std::size_t shown = std::min(list.size(), kShown);
    std::partial_sort(list.begin(), list.begin() + static_cast<std::ptrdiff_t>(shown), list.end(),
                      [fast](const Account* a, const Account* b) {
                          const int ra = fast ? a->fastRating : a->slowRating;
                          const int rb = fast ? b->fastRating : b->slowRating;
                          return ra != rb ? ra > rb : nameKey(a->name) < nameKey(b->name);
                      });
    std::vector<std::string> lines = {fast ? "Fast game ranking:" : "Slow game ranking:"};
    for (std::size_t i = 0; i < shown; ++i) {
        char line[80];
        std::snprintf(line, sizeof line, "%3zu. %-15s %4d  (%d games)", i + 1, list[i]->name.c_str(),
                      fast ? list[i]->fastRating : list[i]->slowRating, fast ? list[i]->fastGames : list[i]->slowGames);
        lines.emplace_back(line);
    }
    if (list.empty())
        lines.emplace_back("  (no rated games yet)");
    reply(s, "?", std::move(lines));
}

void Server::cmdWaiting(Session& s, const Args& args, std::string_view)
{
    if (args.size() < 2 || !isValidName(args[1])) {
        reply(s, "waiting", {"Usage: waiting NAME (you are told when NAME logs in)"});
        return;
    }
    if (isOnline(args[1])) {
        reply(s, "waiting", {args[1] + " is online now."});
        return;
    }
    s.waitingFor.insert(nameKey(args[1]));
    reply(s, "waiting", {"You will be told when " + args[1] + " logs in."});
}

void Server::cmdHelp(Session& s, const Args&, std::string_view)
{
    reply(s, "help",
          {"Commands:",
           "  who [-f|-2|-b]  games  finger [NAME]  history [NAME]  stored [NAME]  ? fast|best",
           "  tell NAME TEXT  / TEXT (shout)  message [NAME TEXT]  plan [TEXT | -nTEXT]  kibitz N TEXT",
           "  match NAME [-[r|u][e|n|N]] [r|b] [MINUTES] [INCREMENT]  decline NAME",
           "  H2-E2 [N] (move)  undo N  pass N (draw)  adjourn N  resign N  addtime MINUTES N",
           "  timeleft N  allobservers N  observe [N]  moves [N]  look N|WORD  sendfile N|WORD  restart WORD",
           "  set open|shout|quiet|bell|address|unrated|client on|off  register EMAIL  passwd OLD NEW",
           "  alias WORD COMMAND  alias -l [NAME]  waiting NAME  quit"});
}

} // namespace marovin::server
