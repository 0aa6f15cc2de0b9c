// The practice server's pieces that need no socket: line framing, the fixed line forms,
// the command line, clocks and the bots' choice of move.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <atomic>
#include <thread>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <regex>

#include "bots.h"
#include "event_loop.h"
#include "formats.h"
#include "line_reader.h"
#include "live_game.h"
#include "model/legality.h"
#include "server.h"
#include "server_driver.h"
#include "server_options.h"

namespace marovin::server {
namespace {

std::vector<ReceivedLine> feedAll(LineReader& reader, std::string_view bytes)
{
    std::vector<ReceivedLine> lines;
    reader.feed(bytes, lines);
    return lines;
}

TEST(ServerLineReader, AbsorbsTelnetAndControlBytes)
{
    const std::string negotiation("\xFF\xFD\x01\xFF\xFD\x03\xFF\xFC\x18\xFF\xFC\x1F\xFF\xFC\x23\xFF\xFC\x27"
                                  "\xFF\xFC\x24\xFF\xFC\x20\xFF\xFC\x21\xFF\xFC\x05",
                                  30);
    struct Case {
        const char* what;
        std::string bytes;
        std::vector<std::string> lines;
    } cases[] = {
        {"negotiation block then CR LF", negotiation + "\r\n", {""}},
        {"negotiation glued to a name", negotiation + "alice\r\n", {"alice"}},
        {"subnegotiation", std::string("a\xFF\xFA\x18\x01\xFF\xF0z\n"), {"az"}},
        {"IAC IAC and a two-byte command", std::string("a\xFF\xFF" "b\xFF\xF1" "c\n"), {"abc"}},
        {"LF, CR LF and LF CR each end one line", "a\nb\r\nc\n\rd\n", {"a", "b", "c", "d"}},
        {"a bare CR ends nothing", "a\rb\n", {"ab"}},
        {"byte 04 before quit", "\x04\r\nquit\r\n", {"", "quit"}},
        {"Ctrl+Break", "\x03\r\n", {""}},
        {"NUL bytes vanish", std::string("wh\0o\n", 5), {"who"}},
        {"byte 01 of a transfer tell stays", "tell bob \x01send1 0 HGAME\n", {"tell bob \x01send1 0 HGAME"}},
        {"Big5 bytes stay", "tell bob \xB1\x4E\n", {"tell bob \xB1\x4E"}},
        {"tab becomes a blank", "a\tb\n", {"a b"}},
        {"no line end yet", "who", {}},
    };
    for (const Case& c : cases) {
        LineReader reader;
        std::vector<std::string> got;
        for (const ReceivedLine& line : feedAll(reader, c.bytes))
            got.push_back(line.text);
        EXPECT_EQ(got, c.lines) << c.what;
    }
}

TEST(ServerLineReader, SplitsAnywhereAndBoundsLongLines)
{
    LineReader reader(8);
    std::vector<ReceivedLine> lines;
    for (const char c : std::string("ab\xFF"))
        reader.feed(std::string_view(&c, 1), lines);
    reader.feed("\xFD\x01" "cd\n", lines);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].text, "abcd");

    lines.clear();
    reader.feed(std::string(100000, 'x'), lines);
    EXPECT_LE(reader.pendingLength(), 8u);
    reader.feed("\nnext\n", lines);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(lines[0].truncated);
    EXPECT_EQ(lines[0].text, std::string(8, 'x'));
    EXPECT_EQ(lines[1].text, "next");
    EXPECT_FALSE(lines[1].truncated);
}

// The words of a text as the client's list windows split them.
std::vector<std::string> wordsOf(const std::string& text)
{
    std::vector<std::string> words;
    char word[64];
    for (const char* p = text.c_str(); std::sscanf(p, "%63s", word) == 1;) {
        words.emplace_back(word);
        p = std::strstr(p, word) + words.back().size();
    }
    return words;
}

TEST(ServerFormats, WhoLinesHaveTheLengthsAndWordsTheClientReads)
{
    WhoEntry longest{"abcdefghijklmno", "Reg", false, 123, 45, "1876", "1432", 3 * 3600};
    WhoEntry shortest{"ab", "Bot", true, 0, 0, "----", "----", 0};
    const auto one = whoLines({longest, shortest}, WhoLayout::Slow);
    ASSERT_EQ(one.size(), 2u);
    for (const std::string& line : one)
        EXPECT_EQ(line.size(), 38u) << line;
    EXPECT_EQ(wordsOf(one[0]), (std::vector<std::string>{"RegX", "123", "45", "abcdefghijklmno", "1876", "3h"}));
    EXPECT_EQ(wordsOf(one[1]), (std::vector<std::string>{"Bot.", "-", "-", "ab", "----", "0s"}));
    EXPECT_NE(one[0].back(), 'e');

    EXPECT_EQ(wordsOf(whoLines({longest}, WhoLayout::Fast)[0])[4], "1432");

    const auto two = whoLines({longest, shortest, longest}, WhoLayout::TwoColumns);
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0].size(), 79u);
    EXPECT_EQ(two[0].substr(40, 4), "Bot.") << "the second player starts at character 40";
    EXPECT_EQ(two[1].size(), 38u) << "an odd last player stands alone";

    const std::string both = whoLines({longest}, WhoLayout::BothRatings)[0];
    ASSERT_EQ(both.size(), 43u);
    const std::string ratings = wordsOf(both)[4];
    EXPECT_EQ(ratings.substr(0, 4), "1876");
    EXPECT_EQ(ratings.substr(5, 4), "1432");
}

TEST(ServerFormats, SmallTextsStayInTheirColumns)
{
    EXPECT_EQ(idleText(59), "59s");
    EXPECT_EQ(idleText(3599), "59m");
    EXPECT_EQ(idleText(360000), "99h+");
    EXPECT_EQ(idleText(-5), "0s");
    EXPECT_EQ(ratingText(120, false), "1000");
    EXPECT_EQ(ratingText(20000, false), "9999");
    EXPECT_EQ(ratingText(1500, true), "----");
}

TEST(ServerFormats, GamesLineCarriesNumberAndRatingsWhereTheListReadsThem)
{
    for (const int number : {1, 12, 999}) {
        GameListEntry e{number, "alice", "bob", "1532", "1480", {}, 14, 2};
        const std::string line = gamesLine(e);
        EXPECT_EQ(line[4], ']') << line;
        EXPECT_EQ(line[0], ' ') << "the list reads the number from character 1 on";
        int read = 0;
        ASSERT_EQ(std::sscanf(line.c_str() + 1, "%d]", &read), 1);
        EXPECT_EQ(read, number);
        const auto words = wordsOf(line.substr(5));
        EXPECT_EQ(std::atoi(words[1].c_str() + 1), 1532);
        EXPECT_EQ(std::atoi(words[3].c_str() + 1), 1480);
    }
}

TEST(ServerFormats, MatchRequestReadsBackAsTheDialogReadsIt)
{
    struct Case {
        GameTerms terms;
        bool challengerRed;
        char oddsFirst;
        char oddsThird;
    } cases[] = {
        {{true, Odds::Even, 20, 10}, true, 'e', 'e'},
        {{false, Odds::OneKnight, 5, 0}, false, '1', 'k'},
        {{true, Odds::TwoKnights, 30, 30}, true, '2', 'k'},
    };
    for (const Case& c : cases) {
        const std::string text = matchRequestText(c.terms, "alice", c.challengerRed);
        SCOPED_TRACE(text);
        const auto words = wordsOf(text);
        EXPECT_EQ(words[0], c.terms.rated ? "Rated" : "Unrated");
        EXPECT_EQ(words[1][0], c.oddsFirst);
        EXPECT_EQ(words[1][words[1].size() > 2 ? 2 : 0], c.oddsThird);
        char minutes[16], seconds[16], name[16], colour[16];
        const char* rest = text.c_str() + text.find(words[1]) + words[1].size() + 1;
        ASSERT_EQ(std::sscanf(rest, "game in %15s minutes (%15s seconds increment) requested with %15s as %15s",
                              minutes, seconds, name, colour),
                  4);
        EXPECT_EQ(std::atoi(minutes), c.terms.minutes);
        EXPECT_EQ(std::atoi(seconds), c.terms.increment);
        EXPECT_STREQ(name, "alice");
        EXPECT_EQ(colour[0] == 'r', c.challengerRed);
    }
}

TEST(ServerFormats, NoticesGiveTheirFieldsInTheClientsOrder)
{
    LiveGame game(7, "alice", "bob", {true, Odds::Even, 20, 10}, 0, 1.0);
    const NoticeNumbers n{1190, 1185, 1532, 1480, 3};
    int number = 0, first = 0, observers = 0, redRating = 0, blackRating = 0;
    long red = 0, black = 0, unused = 0;
    char a[16], vs[16], b[16], status[16], word[16], move[16];

    const std::string created = createdNotice(game, n);
    ASSERT_EQ(std::sscanf(created.c_str(), "Game %d %15s %15s %15s %15s %d%15s%ld%ld%ld%d%d%d", &number, a, vs, b,
                          status, &first, word, &red, &black, &unused, &redRating, &blackRating, &observers),
              13)
        << created;
    EXPECT_EQ(number, 7);
    EXPECT_STREQ(a, "alice");
    EXPECT_STREQ(b, "bob");
    EXPECT_STREQ(status, "created.");
    EXPECT_EQ(red, 1190);
    EXPECT_EQ(black, 1185);
    EXPECT_EQ(redRating, 1532);
    EXPECT_EQ(blackRating, 1480);
    EXPECT_EQ(observers, 3);

    const std::string report = moveNotice(game, 4, "H2-E2", n);
    int m = 0;
    ASSERT_EQ(std::sscanf(report.c_str(), "Game %d %15s %15s %15s %d %15s%ld%ld%ld%d%d%d", &number, a, vs, b, &m, move,
                          &red, &black, &unused, &redRating, &blackRating, &observers),
              12)
        << report;
    EXPECT_EQ(m, 4);
    EXPECT_STREQ(move, "H2-E2");
    EXPECT_EQ(black, 1185);
    EXPECT_EQ(observers, 3);

    const std::string added = observeAddedLine(game, n);
    const std::size_t dot = added.find('.');
    ASSERT_NE(dot, std::string::npos);
    ASSERT_EQ(std::sscanf(added.c_str() + dot + 1, "%d%15s%ld%ld%ld%d%d%d", &first, word, &red, &black, &unused,
                          &redRating, &blackRating, &observers),
              8);
    EXPECT_EQ(wordsOf(added)[5], "added");
    EXPECT_EQ(red, 1190);
}

TEST(ServerFormats, StoredLinesHoldThreeItemsEach)
{
    const auto lines = storedLines({{'A', "a.b.1"}, {'F', "a.c.2"}, {'F', "c.a.3"}, {'F', "a.d.4"}});
    ASSERT_EQ(lines.size(), 2u);
    char k1, k2, k3;
    char w1[32], w2[32], w3[32];
    EXPECT_EQ(std::sscanf(lines[0].c_str(), "%c %31s %c %31s %c %31s", &k1, w1, &k2, w2, &k3, w3), 6);
    EXPECT_EQ(k1, 'A');
    EXPECT_STREQ(w3, "c.a.3");
    EXPECT_EQ(lines[1], "F a.d.4");
}

TEST(ServerOptions, ParsesTheCommandLineAndRefusesNonsense)
{
    std::string error;
    const auto o = parseServerOptions({"--port", "0", "--bind", "::1", "--data", "/tmp/x", "--no-bots", "--seed", "7",
                                       "--clock-speed", "60"},
                                      error);
    ASSERT_TRUE(o) << error;
    EXPECT_EQ(o->listen.port, 0);
    EXPECT_EQ(o->listen.host, "::1");
    EXPECT_EQ(o->config.dataDirectory, "/tmp/x");
    EXPECT_FALSE(o->config.bots);
    EXPECT_EQ(o->config.seed, 7u);
    EXPECT_DOUBLE_EQ(o->config.clockSpeed, 60.0);

    const auto defaults = parseServerOptions({}, error);
    ASSERT_TRUE(defaults);
    EXPECT_EQ(defaults->listen.port, 5555);
    EXPECT_EQ(defaults->listen.host, "127.0.0.1");
    EXPECT_TRUE(defaults->config.bots);

    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"--port", "70000"}, {"--port"}, {"--clock-speed", "0"}, {"--clock-speed", "fast"}, {"--seed", "-1"},
             {"--data", ""}, {"--frobnicate"}}) {
        error.clear();
        EXPECT_FALSE(parseServerOptions(bad, error)) << bad[0];
        EXPECT_FALSE(error.empty()) << bad[0];
    }
}

TEST(ServerLiveGame, ClocksRunAtTheClockSpeedAndTakeTheIncrement)
{
    LiveGame game(1, "alice", "bob", {true, Odds::Even, 1, 2}, 1000, 10.0);
    EXPECT_EQ(game.remainingMs(true, 1000), 60000);
    EXPECT_EQ(game.flagTime(), 1000 + 6000);
    EXPECT_EQ(game.remainingMs(true, 2000), 50000) << "one real second is ten game seconds";
    EXPECT_FALSE(game.play("H2-E2", 2000).has_value());
    EXPECT_EQ(game.remainingMs(true, 2000), 52000) << "the increment is added after the move";
    EXPECT_EQ(game.remainingMs(false, 2500), 55000);
    EXPECT_TRUE(game.flagFallen(2000 + 6000));
    EXPECT_EQ(game.play("H2-E2", 2500).value_or(""), "Illegal move: H2-E2");
    EXPECT_EQ(game.play("Z9-A1", 2500).value_or(""), "Not a move: Z9-A1");
}

TEST(ServerLiveGame, TakeBackIsAnEventAndOddsRemoveRedHorses)
{
    LiveGame game(1, "alice", "bob", {true, Odds::TwoKnights, 10, 0}, 0, 1.0);
    EXPECT_EQ(game.board()[82], 0);
    EXPECT_EQ(game.board()[88], 0);
    EXPECT_EQ(game.oddsWord(), "TWO-KNIGHTS");
    ASSERT_FALSE(game.play("H2-E2", 0));
    ASSERT_TRUE(game.takeBack(0));
    EXPECT_FALSE(game.takeBack(0));
    EXPECT_EQ(game.events(), (std::vector<std::string>{"H2-E2", "undo"}));
    EXPECT_TRUE(game.moveTexts().empty());
    EXPECT_TRUE(game.redToMove());
    EXPECT_EQ(game.repetitions(game.board(), true), 1);
}

TEST(ServerBots, FindMateInOneAndTakeFreeMaterial)
{
    // Black general on E9; Red chariots on A8 and I7 (A8 holds row 1, so I7-I9 mates).
    model::Board mate{};
    mate[4] = 1;
    mate[9] = 22;
    mate[26] = 23;
    mate[84] = 17;
    std::mt19937 rng(1);
    const std::string move = chooseBotMove(mate, true, nullptr, rng);
    const auto squares = model::ParseCoordinateMove(move);
    ASSERT_TRUE(squares) << move;
    model::Board after = mate;
    model::ApplyMove(after, squares->from, squares->to);
    EXPECT_EQ(model::EvaluatePosition(after, false), model::GameStatus::Checkmate) << move;

    // A Black chariot hangs in front of a Red chariot; nothing guards it.
    model::Board capture{};
    capture[4] = 1;
    capture[84] = 17;
    capture[81] = 22; // Red chariot A0
    capture[45] = 6;  // Black chariot A4, capturable
    capture[8] = 7;   // the other Black chariot, far away
    for (unsigned seed = 0; seed < 5; ++seed) {
        std::mt19937 r(seed);
        EXPECT_EQ(chooseBotMove(capture, true, nullptr, r), "A0-A4") << "seed " << seed;
    }

    // No legal move: nothing is chosen.
    model::Board none{};
    none[4] = 1;
    none[84] = 17;
    EXPECT_EQ(chooseBotMove(none, false, nullptr, rng).empty(), model::GenerateLegalMoves(none, false).empty());
}

} // namespace
} // namespace marovin::server

namespace marovin::server {
namespace {

// Echoes every line, many times over, to every connection, and records who left.
class Broadcaster : public ConnectionHandler {
public:
    explicit Broadcaster(Transport& transport) : m_transport(transport) {}
    void onConnected(ConnectionId id, const std::string&) override { ids.push_back(id); }
    void onLine(ConnectionId, const ReceivedLine& line) override
    {
        const std::string block = std::string(65536, 'x') + line.text + "\n";
        for (const ConnectionId id : ids)
            m_transport.send(id, block);
    }
    void onDisconnected(ConnectionId id) override
    {
        gone.push_back(id);
        goneCount = static_cast<int>(gone.size());
    }
    void onTimer(Millis) override {}
    Millis nextDeadline() const override { return -1; }

    std::vector<ConnectionId> ids;
    std::vector<ConnectionId> gone;
    std::atomic<int> goneCount{0};

private:
    Transport& m_transport;
};

TEST(ServerEventLoop, DropsAReaderThatFallsTooFarBehindAndServesTheOthers)
{
    EventLoopLimits limits;
    limits.maxQueuedBytes = 256 * 1024;
    EventLoop loop(limits);
    ASSERT_EQ(loop.listen({"127.0.0.1", 0}), "");
    Broadcaster handler(loop);
    volatile int stop = 0;
    std::thread runner([&] { loop.run(handler, &stop); });

    const auto connectTo = [&] {
        const int fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(loop.boundPort()));
        inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
        EXPECT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        return fd;
    };
    const int sleeper = connectTo(); // never reads
    int rcvbuf = 4096;
    setsockopt(sleeper, SOL_SOCKET, SO_RCVBUF, &rcvbuf, sizeof rcvbuf);
    const int talker = connectTo();
    std::size_t received = 0;
    char buffer[65536];
    const auto talk = [&] {
        ASSERT_EQ(send(talker, "hello\n", 6, MSG_NOSIGNAL), 6);
        // Read what has come so far, waiting a little for it.
        pollfd p{talker, POLLIN, 0};
        while (poll(&p, 1, 5) > 0) {
            const ssize_t n = recv(talker, buffer, sizeof buffer, 0);
            ASSERT_GT(n, 0) << "the talker must stay connected";
            received += static_cast<std::size_t>(n);
        }
    };
    for (int i = 0; i < 3000 && handler.goneCount == 0; ++i)
        talk();
    const std::size_t before = received;
    for (int i = 0; i < 10; ++i)
        talk();
    EXPECT_GT(received, before) << "the talker is still served after the sleeper was dropped";
    stop = 1;
    runner.join();
    close(sleeper);
    close(talker);
    ASSERT_EQ(handler.gone.size(), 1u) << "only the sleeper was dropped";
    EXPECT_EQ(handler.gone.front(), handler.ids.front());
    EXPECT_GT(received, 2u * limits.maxQueuedBytes) << "the talker kept being served";
}

} // namespace
} // namespace marovin::server

namespace marovin::server {
namespace {

TEST(ServerBotsGame, TheBotsPlayToAnEndAndStartAgainAsAnObserverSees)
{
    RecordingTransport transport;
    ServerConfig config;
    config.seed = 1;
    config.clockSpeed = 10;
    Millis now = 0;
    Server server(transport, config, [&now] { return now; });
    ASSERT_EQ(server.start(now), "");
    server.onTimer(now); // the bots begin their game
    server.onConnected(1, "test");
    for (const char* line : {"watcher", "pw", "pw", "set client on", "observe BotMa"})
        server.onLine(1, {line, false});
    ASSERT_NE(transport.output[1].find("observe: Game 1 BotMa vs BotPao added"), std::string::npos)
        << transport.output[1];
    std::smatch ending;
    const std::regex endingLine("\r\nGame 1 Bot\\w+ vs Bot\\w+ ((?:Red|Black|draw)[^\r]*)\r\n");
    for (int step = 0; step < 20000 && !std::regex_search(transport.output[1], ending, endingLine); ++step) {
        now += 50;
        server.onTimer(now);
    }
    ASSERT_FALSE(ending.empty()) << "no ending within the move limit";
    const std::string text = ending[1];
    EXPECT_TRUE(std::regex_match(text, std::regex("(Red|Black) has been (checkmated|stalemated)\\. (1-0|0-1)")) ||
                std::regex_match(text, std::regex("draw\\. The move limit of bot games is reached\\. 1/2-1/2")))
        << text;
    // Every report before the ending was numbered one after the other.
    std::regex report("\r\nGame 1 Bot\\w+ vs Bot\\w+ (\\d+) [A-I][0-9]-[A-I][0-9] ");
    int expected = 1;
    for (auto it = std::sregex_iterator(transport.output[1].begin(), transport.output[1].end(), report);
         it != std::sregex_iterator(); ++it)
        EXPECT_EQ(std::stoi((*it)[1]), expected++);
    for (int step = 0; step < 200 && server.games().empty(); ++step) {
        now += 50;
        server.onTimer(now);
    }
    EXPECT_EQ(server.games().size(), 1u) << "the bots start their next game";
}

} // namespace
} // namespace marovin::server
