#include "server.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <ctime>
#include <utility>

#include "bots.h"
#include "data_folder.h"
#include "event_loop.h"

namespace marovin::server {

namespace {

constexpr std::string_view kPrompt = "OMRA% ";
constexpr std::string_view kLoginPrompt = "Login: ";
constexpr std::string_view kPasswordPrompt = "Password: ";
// Exactly 37 characters: the client answers it like the password prompt.
constexpr std::string_view kVerifyPrompt = "Enter your password again to verify: ";
constexpr int kMaxAliasDepth = 3;
constexpr Millis kLoginTimeoutMs = 5 * 60 * 1000;
// Changes are handed to the writer this often, at most so many records of a table at a
// time: making a record takes a few microseconds of the loop's time.
constexpr Millis kSaveIntervalMs = 250;
constexpr std::size_t kMaxRecordsPerSave = 1000;
// How long the end waits for the last changes to reach the disk.
constexpr std::chrono::milliseconds kFinalSaveWait{2000};

std::int64_t wallSeconds() { return static_cast<std::int64_t>(std::time(nullptr)); }

std::string trim(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

std::vector<std::string> words(std::string_view text)
{
    std::vector<std::string> list;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && text[i] == ' ')
            ++i;
        const std::size_t start = i;
        while (i < text.size() && text[i] != ' ')
            ++i;
        if (i > start)
            list.emplace_back(text.substr(start, i - start));
    }
    return list;
}

std::string lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool looksLikeMove(std::string_view word)
{
    const auto column = [](char c) { return (c >= 'A' && c <= 'I') || (c >= 'a' && c <= 'i'); };
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    return word.size() == 5 && column(word[0]) && digit(word[1]) && word[2] == '-' && column(word[3]) &&
           digit(word[4]);
}

} // namespace

Server::Server(Transport& transport, ServerConfig config, std::function<Millis()> clock)
    : m_transport(transport), m_config(std::move(config)), m_clock(clock ? std::move(clock) : monotonicMillis)
{
}

Server::~Server() = default;

std::string Server::start(Millis now)
{
    m_now = now;
    m_lastSave = now;
    std::string error;
    if (!m_config.dataDirectory.empty()) {
        m_data = std::make_unique<DataFolder>(m_config.dataDirectory);
        error = m_data->open();
        m_accounts.load(m_data->takeRecords(DataFolder::Table::Accounts),
                        m_data->takeRecords(DataFolder::Table::Messages));
        m_archive.load(m_data->takeRecords(DataFolder::Table::Games));
    }
    m_bots = std::make_unique<Bots>(*this, m_config.seed);
    if (m_config.bots)
        m_bots->bringOnline(now);
    return error;
}

bool Server::shutdown(Millis now)
{
    m_now = now;
    std::vector<int> numbers;
    for (const auto& [number, game] : m_games)
        numbers.push_back(number);
    for (const int number : numbers) {
        const LiveGame& game = *m_games.at(number);
        if (isBot(game.red()) && isBot(game.black()))
            m_games.erase(number); // the bots start a new game next time
        else
            adjournGame(number, "The server is shutting down", now);
    }
    save();
    if (!m_data || m_data->waitUntilWritten(kFinalSaveWait))
        return true;
    m_log.push_back("the final save failed: the changes since the last save that worked are lost");
    return false;
}

void Server::save(std::size_t maxRecords)
{
    // Only the changed records are made here; the writing happens on the data folder's
    // own thread.
    RecordChanges accounts = m_accounts.takeAccountChanges(maxRecords);
    RecordChanges messages = m_accounts.takeMessageChanges(maxRecords);
    RecordChanges games = m_archive.takeChanges(maxRecords);
    if (!m_data)
        return;
    m_data->write(DataFolder::Table::Accounts, accounts);
    m_data->write(DataFolder::Table::Messages, messages);
    m_data->write(DataFolder::Table::Games, games);
}

std::vector<std::string> Server::takeLog()
{
    if (m_data)
        for (std::string& report : m_data->takeReports())
            m_log.push_back(std::move(report));
    return std::exchange(m_log, {});
}

bool Server::isBot(std::string_view name) const { return m_bots && m_bots->isBot(name); }

bool Server::adjournedListFull(std::string_view name) const
{
    return !isBot(name) && m_archive.adjournedCount(name) >= GameArchive::kMaxPerPlayer;
}

bool Server::isOnline(std::string_view name) const
{
    return m_online.count(nameKey(name)) || isBot(name);
}

// ---- output -------------------------------------------------------------------------

void Server::sendRaw(ConnectionId id, std::string_view bytes) { m_transport.send(id, bytes); }

void Server::reply(Session& s, std::string_view keyword, std::vector<std::string> lines)
{
    std::string out;
    if (s.clientMode) {
        out += std::string(keyword) + ": " + (lines.empty() ? std::string() : lines.front()) + "\r\n";
        if (!lines.empty())
            lines.erase(lines.begin());
    } else if (!lines.empty() && lines.front().empty()) {
        lines.erase(lines.begin());
    }
    for (const std::string& line : lines)
        out += line + "\r\n";
    out += kPrompt;
    sendRaw(s.id, out);
}

void Server::replyPlain(Session& s, const std::vector<std::string>& lines)
{
    std::string out;
    for (const std::string& line : lines)
        out += line + "\r\n";
    out += kPrompt;
    sendRaw(s.id, out);
}

void Server::notify(ConnectionId id, const std::vector<std::string>& lines)
{
    const auto it = m_sessions.find(id);
    if (it == m_sessions.end() || it->second.stage != Stage::Ready)
        return;
    std::string out = "\r\n";
    for (const std::string& line : lines)
        out += line + "\r\n";
    out += kPrompt;
    sendRaw(id, out);
}

Server::Session* Server::sessionOf(std::string_view name)
{
    const auto it = m_online.find(nameKey(name));
    if (it == m_online.end())
        return nullptr;
    const auto s = m_sessions.find(it->second);
    return s == m_sessions.end() ? nullptr : &s->second;
}

void Server::notifyPlayer(std::string_view name, const std::vector<std::string>& lines)
{
    if (Session* s = sessionOf(name))
        notify(s->id, lines);
}

// ---- connections --------------------------------------------------------------------

void Server::onConnected(ConnectionId id, const std::string& peer)
{
    m_now = m_clock();
    Session& s = m_sessions[id];
    s.id = id;
    s.peer = peer;
    s.lastCommand = m_now;
    m_log.push_back("connect " + std::to_string(id) + " from " + peer);
    sendRaw(id, "\r\nMarovin practice server\r\n"
                "Log in with your name. A new name is registered with the password you choose.\r\n\r\n");
    sendRaw(id, kLoginPrompt);
}

void Server::onDisconnected(ConnectionId id)
{
    m_now = m_clock();
    const auto it = m_sessions.find(id);
    if (it == m_sessions.end())
        return;
    Session s = std::move(it->second);
    m_sessions.erase(it);
    for (const int number : s.observing)
        if (LiveGame* game = findGame(number))
            game->observers().erase(id);
    std::string who = s.stage == Stage::Ready ? s.name : "(not logged in)";
    m_log.push_back("disconnect " + std::to_string(id) + " " + who);
    if (s.stage != Stage::Ready)
        return;
    const auto online = m_online.find(nameKey(s.name));
    if (online == m_online.end() || online->second != id)
        return; // replaced by a newer login of the same player
    m_online.erase(online);
    if (Account* a = m_accounts.find(s.name)) {
        a->lastSeen = wallSeconds();
        m_accounts.markChanged(a->name);
    }
    dropRequestsOf(s.name);
    for (LiveGame* game : gamesOf(s.name))
        adjournGame(game->number(), s.name + " disconnected", m_now);
}

void Server::onLine(ConnectionId id, const ReceivedLine& line)
{
    const auto it = m_sessions.find(id);
    if (it == m_sessions.end())
        return;
    Session& s = it->second;
    // The time of this line, not of the last timer: clocks are charged from it.
    m_now = m_clock();
    s.lastCommand = m_now;
    if (s.stage != Stage::Ready) {
        loginLine(s, trim(line.text));
        return;
    }
    if (line.truncated) {
        replyPlain(s, {"Line too long: at most 4096 characters are read."});
        return;
    }
    runCommand(s, trim(line.text));
}

void Server::onTimer(Millis now)
{
    m_now = now;
    checkClocks(now);
    // A connection that does not log in within a while is let go.
    for (auto& [id, s] : m_sessions)
        if (s.stage != Stage::Ready && now - s.lastCommand > kLoginTimeoutMs && !s.timedOut) {
            s.timedOut = true;
            sendRaw(id, "\r\nNo login for five minutes: goodbye.\r\n");
            m_transport.closeAfterFlush(id);
        }
    if (m_bots)
        m_bots->onTimer(now);
    if (now - m_lastSave >= kSaveIntervalMs) {
        m_lastSave = now;
        save(kMaxRecordsPerSave);
    }
}

Millis Server::nextDeadline() const
{
    Millis next = -1;
    const auto consider = [&next](Millis t) {
        if (t >= 0 && (next < 0 || t < next))
            next = t;
    };
    for (const auto& [number, game] : m_games) {
        consider(game->flagTime());
        consider(game->botMoveAt);
    }
    if (m_bots)
        consider(m_bots->nextDeadline());
    return next;
}

// ---- login --------------------------------------------------------------------------

void Server::loginName(Session& s, const std::string& text)
{
    if (text.empty())
        return; // what follows the telnet negotiation, or a stray line end
    const std::string name = words(text).front();
    if (!isValidName(name)) {
        sendRaw(s.id, "Invalid name. A name has 2 to 15 letters and digits and begins with a letter.\r\n");
        sendRaw(s.id, kLoginPrompt);
        return;
    }
    if (const Account* a = m_accounts.find(name); a && a->bot) {
        sendRaw(s.id, "That name belongs to one of the server's bots.\r\n");
        sendRaw(s.id, kLoginPrompt);
        return;
    } else if (a) {
        s.name = a->name;
        s.stage = Stage::Password;
        sendRaw(s.id, kPasswordPrompt);
        return;
    }
    s.name = name;
    s.stage = Stage::NewPassword;
    sendRaw(s.id, "New player " + name + ". Choose a password of 2 to 15 characters without blanks.\r\n");
    sendRaw(s.id, kPasswordPrompt);
}

void Server::loginLine(Session& s, const std::string& text)
{
    switch (s.stage) {
    case Stage::LoginName:
        loginName(s, text);
        return;
    case Stage::Password: {
        const Account* a = m_accounts.find(s.name);
        if (!a || a->password != text) {
            // Closing stops a client that keeps answering with a stored wrong password.
            sendRaw(s.id, "Invalid password.\r\n");
            m_transport.closeAfterFlush(s.id);
            s.stage = Stage::LoginName;
            return;
        }
        completeLogin(s);
        return;
    }
    case Stage::NewPassword:
        if (text.size() < 2 || text.size() > 15 || text.find(' ') != std::string::npos) {
            sendRaw(s.id, "A password has 2 to 15 characters and no blanks.\r\n");
            sendRaw(s.id, kPasswordPrompt);
            return;
        }
        s.firstPassword = text;
        s.stage = Stage::VerifyPassword;
        sendRaw(s.id, kVerifyPrompt);
        return;
    case Stage::VerifyPassword:
        if (text != s.firstPassword) {
            s.firstPassword.clear();
            s.stage = Stage::LoginName;
            sendRaw(s.id, "Passwords do not match.\r\n");
            sendRaw(s.id, kLoginPrompt);
            return;
        }
        if (m_accounts.find(s.name)) {
            // Someone registered the name meanwhile.
            s.stage = Stage::LoginName;
            sendRaw(s.id, "That name has just been taken. Choose another.\r\n");
            sendRaw(s.id, kLoginPrompt);
            return;
        }
        m_accounts.create(s.name, text, wallSeconds());
        s.firstPassword.clear();
        completeLogin(s);
        return;
    case Stage::Ready:
        return;
    }
}

void Server::completeLogin(Session& s)
{
    Account& a = *m_accounts.find(s.name);
    if (Session* old = sessionOf(a.name); old && old->id != s.id) {
        sendRaw(old->id, "\r\nYou have logged in from elsewhere; this connection ends.\r\n");
        m_transport.closeAfterFlush(old->id);
        const ConnectionId oldId = old->id;
        onDisconnected(oldId);
    }
    s.stage = Stage::Ready;
    s.name = a.name;
    a.lastSeen = wallSeconds();
    m_accounts.markChanged(a.name);
    m_online[nameKey(a.name)] = s.id;
    m_log.push_back("login " + std::to_string(s.id) + " " + a.name);
    std::string out = "Login as " + a.name + "\r\n";
    out += "Type \"help\" for the commands; \"who\" shows who is online and \"games\" the games.\r\n";
    if (m_accounts.messageCount(a.name) > 0) {
        out += "You have messages.\r\n";
        s.messagesNotified = true;
    }
    out += kPrompt;
    sendRaw(s.id, out);
    for (auto& [id, other] : m_sessions)
        if (other.stage == Stage::Ready && other.waitingFor.erase(nameKey(a.name)))
            notify(id, {"Player " + a.name + " has logged in."});
}

// ---- dispatch -----------------------------------------------------------------------

const std::vector<Server::Command>& Server::commandTable()
{
    static const std::vector<Command> table = {
        {"who", &Server::cmdWho},         {"games", &Server::cmdGames},
        {"finger", &Server::cmdFinger},   {"history", &Server::cmdHistory},
        {"stored", &Server::cmdStored},   {"alias", &Server::cmdAlias},
        {"?", &Server::cmdRanking},       {"waiting", &Server::cmdWaiting},
        {"tell", &Server::cmdTell},       {"shout", &Server::cmdShout},
        {"kibitz", &Server::cmdKibitz},   {"message", &Server::cmdMessage},
        {"plan", &Server::cmdPlan},       {"set", &Server::cmdSet},
        {"register", &Server::cmdRegister}, {"passwd", &Server::cmdPasswd},
        {"telnet", &Server::cmdTelnet},   {"quit", &Server::cmdQuit},
        {"help", &Server::cmdHelp},       {"match", &Server::cmdMatch},
        {"decline", &Server::cmdDecline}, {"observe", &Server::cmdObserve},
        {"moves", &Server::cmdMoves},     {"refresh", &Server::cmdRefresh},
        {"undo", &Server::cmdUndo},       {"pass", &Server::cmdPass},
        {"adjourn", &Server::cmdAdjourn}, {"resign", &Server::cmdResign},
        {"addtime", &Server::cmdAddtime}, {"timeleft", &Server::cmdTimeleft},
        {"allobservers", &Server::cmdAllobservers}, {"sendfile", &Server::cmdSendfile},
        {"restart", &Server::cmdRestart}, {"look", &Server::cmdLook},
    };
    return table;
}

void Server::runCommand(Session& s, std::string text, int aliasDepth)
{
    if (text.empty()) {
        replyPlain(s, {});
        return;
    }
    // "/ text" and "/text" shout.
    if (text[0] == '/')
        text = "shout " + text.substr(1);
    Args args = words(text);
    std::string word = lower(args.front());
    const std::size_t restStart = text.find_first_not_of(' ', args.front().size());
    const std::string_view rest = restStart == std::string::npos ? std::string_view() : std::string_view(text).substr(restStart);

    if (looksLikeMove(args.front())) {
        playerMove(s, args);
        return;
    }
    if (const Account* a = accountOf(s); a && aliasDepth < kMaxAliasDepth) {
        for (const auto& [alias, expansion] : a->aliases) {
            if (lower(alias) == word) {
                runCommand(s, trim(expansion + (rest.empty() ? "" : " ") + std::string(rest)), aliasDepth + 1);
                return;
            }
        }
    }
    static const std::map<std::string, std::string> abbreviations = {
        {"sh", "shout"}, {"t", "tell"}, {"obs", "observe"}, {"fi", "finger"}, {"ki", "kibitz"},
        {"mes", "message"}, {"exit", "quit"}, {"bye", "quit"}, {"password", "passwd"}};
    if (const auto it = abbreviations.find(word); it != abbreviations.end())
        word = it->second;
    for (const Command& command : commandTable()) {
        if (word == command.word) {
            (this->*command.handler)(s, args, rest);
            return;
        }
    }
    replyPlain(s, {"Unknown command: " + args.front() + " (type \"help\" for the commands)"});
}

} // namespace marovin::server
