// Talking: tell, shout, kibitz, message, plan.
#include <cstdlib>
#include <ctime>

#include "bots.h"
#include "formats.h"
#include "server.h"

namespace marovin::server {

namespace {
constexpr std::size_t kMaxPlanLines = 20;
constexpr std::size_t kMaxPlanLine = 200;

// The text after the first word of rest (and the blanks after it), unchanged.
std::string_view afterFirstWord(std::string_view rest)
{
    const std::size_t blank = rest.find(' ');
    if (blank == std::string_view::npos)
        return {};
    const std::size_t start = rest.find_first_not_of(' ', blank);
    return start == std::string_view::npos ? std::string_view() : rest.substr(start);
}
} // namespace

void Server::cmdTell(Session& s, const Args& args, std::string_view rest)
{
    if (args.size() < 2) {
        reply(s, "tell", {"Usage: tell NAME TEXT (NAME \".\" is the last player you talked with)"});
        return;
    }
    const std::string target = args[1] == "." ? s.lastTellPartner : args[1];
    const std::string_view text = afterFirstWord(rest);
    if (target.empty()) {
        reply(s, "tell", {"Nobody to tell yet: name a player."});
        return;
    }
    const Account* a = m_accounts.find(target);
    if (!a) {
        replyPlain(s, {"Player " + target + " does not exist."});
        return;
    }
    if (!isOnline(a->name)) {
        replyPlain(s, {"Player " + a->name + " is not logged in."});
        return;
    }
    s.lastTellPartner = a->name;
    reply(s, "tell", {"(told " + a->name + ")"});
    if (a->bot) {
        notify(s.id, {"#" + a->name + ">: I am a bot of this server. Type \"match " + a->name +
                      "\" to play me, or \"games\" to find a game to observe."});
        return;
    }
    // The receiving client takes the sender's name from the word after "#" less its last
    // two characters, so the name is followed by exactly two: ">:".
    if (Session* other = sessionOf(a->name)) {
        other->lastTellPartner = s.name;
        notify(other->id, {"#" + s.name + ">: " + std::string(text)});
    }
}

void Server::cmdShout(Session& s, const Args&, std::string_view rest)
{
    std::string_view text = rest;
    if (text.empty()) {
        reply(s, "shout", {"Usage: / TEXT  or  shout TEXT"});
        return;
    }
    int heard = 0;
    for (auto& [id, other] : m_sessions) {
        if (id == s.id || other.stage != Stage::Ready)
            continue;
        const Account* a = m_accounts.find(other.name);
        if (a && a->shout && !a->quiet) {
            notify(id, {"!" + s.name + ": " + std::string(text)});
            ++heard;
        }
    }
    reply(s, "shout", {"(shouted to " + std::to_string(heard) + (heard == 1 ? " player)" : " players)")});
}

void Server::cmdKibitz(Session& s, const Args& args, std::string_view rest)
{
    LiveGame* game = args.size() > 1 ? gameByNumber(args[1]) : nullptr;
    if (!game && args.size() > 1 && gamesOf(s.name).size() == 1)
        game = gamesOf(s.name).front(); // "kibitz TEXT" in one's own game
    if (!game) {
        reply(s, "kibitz", {"Usage: kibitz GAME TEXT (no such game)"});
        return;
    }
    const std::string_view text = args[1] == std::to_string(game->number()) ? afterFirstWord(rest) : rest;
    const std::string line = "Kibitz " + s.name + " [" + std::to_string(game->number()) + "]: " + std::string(text);
    std::set<ConnectionId> listeners = game->observers();
    for (const std::string& player : {game->red(), game->black()})
        if (Session* other = sessionOf(player))
            listeners.insert(other->id);
    listeners.erase(s.id);
    int heard = 0;
    for (const ConnectionId id : listeners) {
        const Account* a = m_accounts.find(m_sessions.at(id).name);
        if (a && !a->quiet) {
            notify(id, {line});
            ++heard;
        }
    }
    reply(s, "kibitz", {"(kibitzed to " + std::to_string(heard) + ")"});
}

void Server::cmdMessage(Session& s, const Args& args, std::string_view rest)
{
    if (args.size() < 2) {
        std::vector<StoredMessage> list = m_accounts.takeMessages(s.name);
        s.messagesNotified = false;
        if (list.empty()) {
            // Without the keyword: the client opens a message window for every message block.
            replyPlain(s, {"You have no messages."});
            return;
        }
        std::vector<std::string> lines;
        for (const StoredMessage& m : list)
            lines.push_back(m.from + " (" + dateText(m.time) + "): " + m.text);
        reply(s, "message", std::move(lines));
        return;
    }
    const Account* a = m_accounts.find(args[1]);
    if (!a) {
        replyPlain(s, {"Player " + args[1] + " does not exist."});
        return;
    }
    if (a->bot) {
        replyPlain(s, {a->name + " is a bot and reads no messages."});
        return;
    }
    m_accounts.addMessage(a->name, {s.name, static_cast<std::int64_t>(std::time(nullptr)),
                                    std::string(afterFirstWord(rest).substr(0, 1000))});
    // Not under the "message" keyword, which would open a message window at the sender.
    replyPlain(s, {"Message stored for " + a->name + "."});
    if (Session* other = sessionOf(a->name); other && !other->messagesNotified) {
        other->messagesNotified = true;
        notify(other->id, {"You have messages."});
    }
}

void Server::cmdPlan(Session& s, const Args& args, std::string_view rest)
{
    Account* a = accountOf(s);
    if (!a)
        return;
    if (args.size() < 2 && rest.empty()) {
        std::vector<std::string> lines = {"Plan of " + a->name + ":"};
        for (std::size_t i = 0; i < a->plan.size(); ++i)
            lines.push_back("  " + std::to_string(i + 1) + ": " + a->plan[i]);
        if (a->plan.empty())
            lines.emplace_back("  (empty)");
        reply(s, "plan", std::move(lines));
        return;
    }
    m_accounts.markChanged(a->name);
    if (rest.substr(0, 2) == "-n") {
        if (a->plan.size() >= kMaxPlanLines) {
            reply(s, "plan", {"A plan has at most 20 lines."});
            return;
        }
        a->plan.emplace_back(rest.substr(2, kMaxPlanLine));
    } else {
        a->plan = {std::string(rest.substr(0, kMaxPlanLine))};
    }
    reply(s, "plan", {"Plan line " + std::to_string(a->plan.size()) + " set."});
}

} // namespace marovin::server
