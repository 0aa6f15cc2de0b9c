#pragma once
// Recording fakes of the session's ports (the desktop beyond the core ports, the game side
// and the socket), and SessionRig, a complete client context built from them.

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "session/alert_ports.h"
#include "session/client_context.h"
#include "session/client_ports.h"
#include "session/socket_driver.h"
#include "testkit/fakes.h"

namespace marovin::testkit {

class FakeClientDesktop : public session::ClientDesktopPort {
public:
    struct Label {
        std::optional<std::uint32_t> colour;
        std::optional<std::string> text;
    };
    struct TellLine {
        TextFormatId format;
        std::string text;
    };
    struct WhoList {
        std::string output;
        int kind;
    };

    void setStatusLabel(std::optional<std::uint32_t> colour, std::optional<std::string_view> text) override;
    void raiseTerminal() override;
    void setTerminalTitle(std::string_view title) override;
    void showPartialLine(std::string_view text) override;
    void handleOnePendingEvent() override;
    bool leftButtonDown() override { return leftButton; }
    void appendTellLine(TextFormatId format, std::string_view line) override;
    void setPlayerName(std::string_view name) override;
    void updateWhoList(std::string_view output, int kind) override;
    void showWhoWindow() override;
    void updateGamesList(std::string_view output) override;
    void createStoredGamesWindow(std::string_view output) override;
    void createFingerWindow(std::string_view output) override;
    void openMessageDialog(std::string_view output) override;
    void openAliasResult(std::string_view output) override;
    void openMatchDialog(std::string_view line) override;
    void openLoginWindow() override;

    // The label as the user sees it now (colour and text of the last calls that set them).
    std::uint32_t labelColour = 0;
    std::string labelText;

    std::vector<Label> labels;
    int raises = 0;
    std::vector<std::string> titles;
    std::vector<std::string> partialLines;
    int pendingEventsHandled = 0;
    bool leftButton = false;
    std::vector<TellLine> tellLines;
    std::vector<std::string> playerNames;
    std::vector<WhoList> whoLists;
    int whoWindowShown = 0;
    std::vector<std::string> gamesLists;
    std::vector<std::string> storedWindows;
    std::vector<std::string> fingerWindows;
    std::vector<std::string> messageDialogs;
    std::vector<std::string> aliasResults;
    std::vector<std::string> matchDialogs;
    int loginWindowOpened = 0;
    std::function<void()> onPendingEvent; // what handling one event does in the test
    std::vector<std::string> log;         // every call, in order, as "name:text"

private:
    void note(std::vector<std::string>& list, std::string_view name, std::string_view text);
};

class FakeGames : public session::GamePort {
public:
    struct Collected {
        session::Collector collector;
        std::string line;
        bool keywordLine;
    };

    void parseGameNotice(std::string_view line) override;
    void collectGameLine(session::Collector collector, std::string_view line, bool keywordLine) override;
    bool offerHandicapLine(std::string_view line) override;
    void clearCurrentGame() override { ++currentGameCleared; }
    void finishUpdates() override;
    void endSessionGames() override;
    void resetTransfers() override { ++transfersReset; }
    bool sendingGame() override { return sending; }
    void sendNextGameLine() override;
    void onTransferTell(std::string_view text, std::string_view sender) override;
    void askGameOverQuestions() override;
    void tickClocks(std::int64_t nowSeconds) override { ticks.push_back(nowSeconds); }

    std::vector<std::string> notices;
    std::vector<Collected> collected;
    std::vector<std::string> handicapLines;
    bool takeHandicapLines = true;
    int currentGameCleared = 0;
    int updatesFinished = 0;
    int sessionsEnded = 0;
    int transfersReset = 0;
    bool sending = false;
    int nextLinesSent = 0;
    std::vector<std::pair<std::string, std::string>> transferTells; // text, sender
    int gameOverAsks = 0;
    std::vector<std::int64_t> ticks;
    std::function<void(std::string_view)> onCollect; // lets a test act as a collector would
    std::vector<std::string> log;
};

// Sounds and notifications, recorded in the order they were asked for.
class FakeAlerts : public session::SoundPort, public session::NotificationPort {
public:
    void playSound(SoundEvent event) override { sounds.push_back(event); }
    void notify(const session::Notice& notice) override { notices.push_back(notice); }

    std::vector<SoundEvent> sounds;
    std::vector<session::Notice> notices;
};

// A socket that records what it is asked and answers from a script.
class FakeSocketDriver : public session::SocketDriver {
public:
    void setEventSink(session::SocketEventSink* newSink) override { sink = newSink; }
    bool create() override;
    bool connect(std::string_view host, int port) override;
    int send(const char* bytes, int count) override;
    int receive(char* buffer, int capacity) override;
    void close() override;
    int lastError() const override { return error; }

    // Queues bytes and raises the readable event until they are all read, or until an event
    // is left unanswered (the connection holds its input).
    void deliver(std::string_view bytes);

    session::SocketEventSink* sink = nullptr;
    int error = 0;
    bool open = false;
    int creates = 0;
    int closes = 0;
    std::vector<std::pair<std::string, int>> connects;
    std::string sent; // every byte taken, in order
    int receives = 0; // receive calls

    // Script: the answers of the next calls.
    bool createFails = false;
    bool connectAtOnce = false;
    int connectError = session::kWouldBlock; // when not at once
    int sendLimit = -1;                      // most bytes one send takes (-1: all)
    int sendError = 0;                       // non-zero: send fails with it (10035: would block)
    std::deque<std::string> incoming;
    bool peerClosed = false; // receive answers 0 once incoming is empty
};

// A whole client context on fakes. connectNow() leaves it connected with nothing sent yet.
// Given a driver (a real socket), the context uses it instead of the fake one.
struct SessionRig {
    explicit SessionRig(session::SocketDriver* driver = nullptr);

    void connectNow(std::string_view host = "localhost", int port = 5555);
    // Scans bytes as one read from the server.
    void feed(std::string_view bytes);
    // Connects and logs in as name with the start-up script of the options record.
    void logIn(std::string_view name = "tester");
    void clearRecords();

    std::unique_ptr<Options> options;
    FakeTerminal terminal;
    FakeDesktop desktop;
    FakeClock clock;
    FakeClientDesktop client;
    FakeGames games;
    FakeSocketDriver socket;
    std::unique_ptr<session::ClientContext> context;
};

} // namespace marovin::testkit
