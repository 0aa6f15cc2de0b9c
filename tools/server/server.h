#pragma once
// The practice server's logic: sessions, commands, games and bots, driven through the
// ConnectionHandler interface and answering through a Transport. It never touches a
// socket, so tests and the fuzz target can drive it directly.
//
// Framing (see PROTOCOL.md): prompts ("Login: ", "Password: ", "OMRA% ") are sent
// without a line end; every other line ends in CR LF. After login every command's answer
// ends with the prompt; in client mode ("set client on") it begins with the command's
// keyword and a blank ("who: ..."). Unrequested output (tells, shouts, game reports)
// comes as CR LF, the lines, and a fresh prompt.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "accounts.h"
#include "formats.h"
#include "game_archive.h"
#include "live_game.h"
#include "transport.h"

namespace marovin::server {

// Game numbers stay below 1000: the games list shows them right-aligned in four
// characters before "]", and the client reads them from there.
constexpr int kMaxGameNumber = 999;

struct ServerConfig {
    std::string dataDirectory; // empty: keep nothing on disk
    bool bots = true;
    unsigned seed = 0;
    double clockSpeed = 1.0;
};

struct MatchRequest {
    std::string from;
    std::string to;
    GameTerms terms;
    bool fromRed = true;
    bool colourChosen = false;
};

// A match command as typed: what it names and which of the terms it states.
struct MatchArgs {
    std::string name;
    GameTerms terms;
    bool termsGiven = false;
    bool red = true;
    bool colourGiven = false;
    std::string error;
};

class Bots;
class DataFolder;

class Server : public ConnectionHandler {
public:
    // clock gives the current time; by default the monotonic clock.
    Server(Transport& transport, ServerConfig config, std::function<Millis()> clock = {});
    ~Server() override;

    // Loads the data folder and brings the bots online. Returns an error text or "".
    std::string start(Millis now);
    // Adjourns every game in progress and saves everything, waiting for the disk. False
    // when the last changes could not be written.
    bool shutdown(Millis now);
    // Hands what changed to the data folder's writer, at most maxRecords records of each
    // table (the rest at the next call). onTimer calls it four times a second with a bound
    // that keeps it to a few milliseconds however much changes; shutdown hands over all.
    // It never waits for the disk.
    void save(std::size_t maxRecords = static_cast<std::size_t>(-1));
    // Messages about saving and connections, for the log.
    std::vector<std::string> takeLog();

    void onConnected(ConnectionId id, const std::string& peer) override;
    void onLine(ConnectionId id, const ReceivedLine& line) override;
    void onDisconnected(ConnectionId id) override;
    void onTimer(Millis now) override;
    Millis nextDeadline() const override;

    // What the bots and tests may look at.
    const std::map<int, std::unique_ptr<LiveGame>>& games() const { return m_games; }
    bool isOnline(std::string_view name) const;
    bool isBot(std::string_view name) const;

private:
    friend class Bots;
    enum class Stage { LoginName, Password, NewPassword, VerifyPassword, Ready };

    struct Session {
        ConnectionId id = 0;
        std::string peer;
        Stage stage = Stage::LoginName;
        std::string name; // the account name once logged in (or the name being tried)
        std::string firstPassword;
        bool clientMode = false;
        bool messagesNotified = false;
        bool timedOut = false;
        Millis lastCommand = 0;
        std::set<int> observing;
        std::string lastTellPartner;
        std::set<std::string> waitingFor; // name keys
    };

    using Args = std::vector<std::string>;
    using Handler = void (Server::*)(Session&, const Args&, std::string_view rest);
    struct Command {
        const char* word;
        Handler handler;
    };
    static const std::vector<Command>& commandTable();

    // ---- output -------------------------------------------------------------------
    void sendRaw(ConnectionId id, std::string_view bytes);
    // The answer to a command: lines, then the prompt; in client mode the first line is
    // preceded by "keyword: ".
    void reply(Session& s, std::string_view keyword, std::vector<std::string> lines);
    // An answer that carries no keyword (its first line is read by its own start).
    void replyPlain(Session& s, const std::vector<std::string>& lines);
    // Unrequested output for a logged-in player or observer.
    void notify(ConnectionId id, const std::vector<std::string>& lines);
    void notifyPlayer(std::string_view name, const std::vector<std::string>& lines);
    Session* sessionOf(std::string_view name);
    Account* accountOf(const Session& s) { return m_accounts.find(s.name); }

    // ---- login and dispatch -------------------------------------------------------
    void loginLine(Session& s, const std::string& text);
    void loginName(Session& s, const std::string& text);
    void completeLogin(Session& s);
    void runCommand(Session& s, std::string text, int aliasDepth = 0);

    // ---- commands (commands_*.cpp) ------------------------------------------------
    void cmdWho(Session&, const Args&, std::string_view);
    void cmdGames(Session&, const Args&, std::string_view);
    void cmdFinger(Session&, const Args&, std::string_view);
    void cmdHistory(Session&, const Args&, std::string_view);
    void cmdStored(Session&, const Args&, std::string_view);
    void cmdAlias(Session&, const Args&, std::string_view);
    void cmdRanking(Session&, const Args&, std::string_view);
    void cmdWaiting(Session&, const Args&, std::string_view);
    void cmdTell(Session&, const Args&, std::string_view);
    void cmdShout(Session&, const Args&, std::string_view);
    void cmdKibitz(Session&, const Args&, std::string_view);
    void cmdMessage(Session&, const Args&, std::string_view);
    void cmdPlan(Session&, const Args&, std::string_view);
    void cmdSet(Session&, const Args&, std::string_view);
    void cmdRegister(Session&, const Args&, std::string_view);
    void cmdPasswd(Session&, const Args&, std::string_view);
    void cmdTelnet(Session&, const Args&, std::string_view);
    void cmdQuit(Session&, const Args&, std::string_view);
    void cmdHelp(Session&, const Args&, std::string_view);
    void cmdMatch(Session&, const Args&, std::string_view);
    void cmdDecline(Session&, const Args&, std::string_view);
    void cmdObserve(Session&, const Args&, std::string_view);
    void cmdMoves(Session&, const Args&, std::string_view);
    void cmdRefresh(Session&, const Args&, std::string_view);
    void cmdUndo(Session&, const Args&, std::string_view);
    void cmdPass(Session&, const Args&, std::string_view);
    void cmdAdjourn(Session&, const Args&, std::string_view);
    void cmdResign(Session&, const Args&, std::string_view);
    void cmdAddtime(Session&, const Args&, std::string_view);
    void cmdTimeleft(Session&, const Args&, std::string_view);
    void cmdAllobservers(Session&, const Args&, std::string_view);
    void cmdSendfile(Session&, const Args&, std::string_view);
    void cmdLook(Session&, const Args&, std::string_view);
    void cmdRestart(Session&, const Args&, std::string_view);
    // A coordinate move ("H2-E2" or "H2-E2 12").
    void playerMove(Session& s, const Args& args);

    // ---- games (game_flow.cpp) ----------------------------------------------------
    int freeGameNumber() const;
    LiveGame& startGame(const std::string& red, const std::string& black, const GameTerms& terms, Millis now);
    // Sends the "created" notice (and the moves so far) to a player of a game.
    std::vector<std::string> createdLines(const LiveGame& game, Millis now) const;
    NoticeNumbers numbers(const LiveGame& game, Millis now) const;
    int ratingFor(std::string_view name, const GameTerms& terms) const;
    // Reports the last event of a game to both players and all observers.
    void reportEvent(LiveGame& game, Millis now);
    // Plays a move for the player to move; returns an error text or "".
    std::string makeMove(LiveGame& game, std::string_view text, Millis now);
    void takeBack(LiveGame& game, Millis now);
    // Ends a game: reports, stores, rates, removes. redScore is 1, 0.5 or 0.
    void finishGame(int number, std::string_view endingText, double redScore, std::string_view reason, Millis now);
    void adjournGame(int number, std::string_view why, Millis now);
    void checkClocks(Millis now);
    // The game a player plays that a command names: by number, or the player's only game.
    LiveGame* playersGame(Session& s, const Args& args, std::size_t numberArg, std::string_view keyword);
    LiveGame* findGame(int number);
    // Whether a player (not a bot) has as many adjourned games as may be stored.
    bool adjournedListFull(std::string_view name) const;
    // The game in progress that a word names by its number (nullptr: none).
    LiveGame* gameByNumber(std::string_view text);
    std::vector<LiveGame*> gamesOf(std::string_view name);
    void resumeGame(const StoredGame& stored, Millis now);
    std::string gameFileText(const StoredGame& game) const;
    StoredGame snapshot(const LiveGame& game, char kind, std::string_view result, std::string_view reason,
                        Millis now) const;
    void acceptMatch(const MatchRequest& request, Millis now);
    // The pending challenge from one player to another that a match command agrees with.
    const MatchRequest* agreeingRequest(const std::string& from, const std::string& to, const MatchArgs& m) const;
    void dropRequestsOf(std::string_view name);

    Transport& m_transport;
    ServerConfig m_config;
    AccountStore m_accounts;
    GameArchive m_archive;
    std::unique_ptr<DataFolder> m_data; // none when nothing is kept on disk
    std::map<ConnectionId, Session> m_sessions;
    std::map<std::string, ConnectionId> m_online; // name key -> session
    std::map<int, std::unique_ptr<LiveGame>> m_games;
    std::vector<MatchRequest> m_requests;
    std::map<int, std::set<std::string>> m_restartRequests; // stored id -> name keys
    std::unique_ptr<Bots> m_bots;
    std::vector<std::string> m_log;
    std::function<Millis()> m_clock;
    Millis m_now = 0; // the time of the event being handled
    Millis m_lastSave = 0;
};

} // namespace marovin::server
