#pragma once
// The server's own players. All of them are always online and accept every match:
// BotJiang waits for challengers; BotMa and BotPao play each other without end, so that
// there is always a game to observe. They play legal moves with a little sense (mate in
// one, captures that do not lose the capturer, checks), never stall, accept take-backs
// and decline draws. With the same seed they choose the same moves.

#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "live_game.h"
#include "transport.h"

namespace marovin::server {

class Server;

// Chooses a move for the side to move (empty when there is none). Pure: exposed for tests.
// game, when given, is asked how often a position has occurred so that the bot avoids
// going round in circles.
std::string chooseBotMove(const model::Board& board, bool redToMove, const LiveGame* game, std::mt19937& rng);

class Bots {
public:
    Bots(Server& server, unsigned seed);

    // Creates the bot accounts where needed and starts the bots' own game.
    void bringOnline(Millis now);
    bool isBot(std::string_view name) const;
    const std::vector<std::string>& names() const { return m_names; }

    // Plans a move when a bot is to move in game.
    void scheduleMove(LiveGame& game, Millis now);
    void onGameEnded(const LiveGame& game, Millis now);
    void onTimer(Millis now);
    Millis nextDeadline() const { return m_pairStartAt; }

private:
    void startPairGame(Millis now);
    Millis thinkTime();

    Server& m_server;
    std::mt19937 m_rng;
    std::vector<std::string> m_names;
    bool m_online = false;
    Millis m_pairStartAt = -1;
    bool m_pairRedFirst = true;
};

} // namespace marovin::server
