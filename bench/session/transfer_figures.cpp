// Figures of a game sent between two clients on the practice server, with the real
// pacing: a 300-move game with 20 branches of 5 moves goes from one logged-in client to
// another over loopback. The floor is the sum of the pauses the pacing asks for (150 ms
// after a short tell, 2000 ms once 250 bytes went out, 600 ms before the end); reported are
// the time the whole transfer took, that floor, their ratio, and the number of tells.
//
// Usage: bench_transfer (the practice server of this build)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>

#include "model/game_file.h"
#include "model/legality.h"
#include "server_harness.h"
#include "session/game_transfer.h"
#include "testkit/live_client.h"
#include "testkit/temp_folder.h"

namespace {

using namespace marovin;

// A clock that really waits, and counts the waiting asked for.
class PacingClock : public ClockPort {
public:
    std::int64_t nowSeconds() override { return std::time(nullptr); }
    std::int64_t nowMilliseconds() override
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    void pause(int milliseconds) override
    {
        pausedMs += milliseconds;
        ++pauses;
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
    void waitUntil(const std::function<bool()>& done) override { done(); }

    long pausedMs = 0;
    int pauses = 0; // one before each tell
};

// Plays count random legal moves from the position the game shows; false when the game
// ended before.
bool playRandomMoves(model::CGame& game, int count, std::mt19937& random)
{
    for (int i = 0; i < count; ++i) {
        const auto moves = model::GenerateLegalMoves(game.browsedBoard, game.browsedPly() % 2 == 0);
        if (moves.empty())
            return false;
        const model::SquarePair move = moves[random() % moves.size()];
        game.PlayMove(move.from, move.to, model::MoveKind::User);
    }
    return true;
}

// The main line's first ply moves, replayed from the start.
void goToPly(model::CGame& game, int ply)
{
    game.Rewind();
    for (int i = 0; i < ply; ++i)
        game.Navigate(model::kStepForward);
}

int mainLineMoves(const model::CGame& game)
{
    int moves = 0;
    for (const model::BranchPoint* point = &game.root(); point && !point->alternatives.empty();) {
        for (const model::MoveEntry& entry : point->alternatives[0].entries)
            moves += entry.isMove() ? 1 : 0;
        point = point->alternatives[0].continuation.get();
    }
    return moves;
}

bool buildGame(model::CGame& game, unsigned seed)
{
    std::mt19937 random(seed);
    game.ClearMoves();
    game.Rewind();
    if (!playRandomMoves(game, 300, random))
        return false;
    for (int branch = 0; branch < 20; ++branch) {
        goToPly(game, 10 + 14 * branch);
        if (!playRandomMoves(game, 5, random))
            return false;
    }
    game.Rewind();
    return true;
}

} // namespace

int main()
{
    testkit::TempFolder folder;
    ::setenv("XDG_DATA_HOME", folder.file("data").c_str(), 1);
    testing::ServerProcess server;
    if (server.port() <= 0) {
        std::fprintf(stderr, "the practice server did not start: %s\n", server.startError().c_str());
        return 1;
    }
    for (const char* name : {"alice", "bob"}) {
        testing::LineClient registration(server.port());
        registration.login(name, "pw", false);
    }
    PacingClock clock;
    testkit::LiveClient alice(server.port(), "alice", "pw", &clock);
    testkit::LiveClient bob(server.port(), "bob", "pw");
    if (!alice.loggedIn() || !bob.loggedIn()) {
        std::fprintf(stderr, "could not log in: %s\n", server.log().c_str());
        return 1;
    }
    model::CGame* game = alice.context->gameList.open(true);
    unsigned seed = 1;
    while (!buildGame(*game, seed))
        if (++seed > 1000) {
            std::fprintf(stderr, "no random game of 300 moves could be built\n");
            return 1;
        }
    const std::string sent = model::GameFileText(*game, model::GameFileForm::Old);

    const auto start = std::chrono::steady_clock::now();
    session::startSendGame(*alice.context, *game, [] { return std::optional<std::string>("bob"); });
    const auto done = [&] { return bob.terminal.contains("Sender is alice."); };
    while (!done() && std::chrono::steady_clock::now() - start < std::chrono::minutes(5)) {
        alice.socket.pump(2);
        bob.socket.pump(2);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    model::CGame* received = bob.context->gameList.newest();
    const bool same = done() && received && model::GameFileText(*received, model::GameFileForm::Old) == sent;
    const double floor = clock.pausedMs / 1000.0;
    std::printf("game: %d moves in the main line, 20 branches of 5 moves, %zu bytes in the send form\n",
                mainLineMoves(*game), model::GameFileText(*game, model::GameFileForm::Send).size());
    std::printf("transfer: %.2f s, pacing floor %.2f s, ratio %.3f; %d tells; received whole: %s\n", seconds, floor,
                seconds / floor, clock.pauses, same ? "yes" : "NO");
    return same ? 0 : 1;
}
