#include "bots.h"

#include <algorithm>
#include <cmath>

#include "model/legality.h"
#include "server.h"

namespace marovin::server {

namespace {

constexpr const char* kChallengeBot = "BotJiang";
constexpr const char* kPairRed = "BotMa";
constexpr const char* kPairBlack = "BotPao";

int pieceValue(model::Piece piece)
{
    switch (model::KindOf(piece)) {
    case model::PieceKind::Soldier: return 1;
    case model::PieceKind::Advisor:
    case model::PieceKind::Elephant: return 2;
    case model::PieceKind::Horse:
    case model::PieceKind::Cannon: return 4;
    case model::PieceKind::Chariot: return 9;
    case model::PieceKind::General: return 50;
    case model::PieceKind::None: break;
    }
    return 0;
}

} // namespace

std::string chooseBotMove(const model::Board& board, bool redToMove, const LiveGame* game, std::mt19937& rng)
{
    const auto moves = model::GenerateLegalMoves(board, redToMove);
    if (moves.empty())
        return {};
    int bestScore = -1000000;
    std::string best;
    for (const model::SquarePair& move : moves) {
        model::Board after = board;
        const model::PackedMove packed = model::ApplyMove(after, move.from, move.to);
        int score = 0;
        const bool givesCheck = model::IsInCheck(after, !redToMove);
        const auto replies = model::GenerateLegalMoves(after, !redToMove);
        if (replies.empty()) {
            // The opponent cannot move: a win either way, mate the plainer one.
            score = givesCheck ? 200000 : 100000;
        } else {
            score = 10 * pieceValue(packed.captured);
            if (givesCheck)
                score += 15;
            // A piece left where the opponent can take it counts as mostly lost.
            for (const model::SquarePair& reply : replies) {
                if (reply.to == move.to) {
                    score -= 9 * pieceValue(packed.piece);
                    break;
                }
            }
            if (game)
                score -= 12 * game->repetitions(after, !redToMove); // no endless shuffling
            // Pieces that head for the enemy's side make the game go somewhere.
            const int advance = redToMove ? model::RowOf(move.from) - model::RowOf(move.to)
                                          : model::RowOf(move.to) - model::RowOf(move.from);
            if (advance > 0 && model::KindOf(packed.piece) != model::PieceKind::General)
                score += 1;
        }
        score += static_cast<int>(rng() % 6);
        if (score > bestScore) {
            bestScore = score;
            best = model::FormatCoordinateMove(move.from, move.to);
        }
    }
    return best;
}

Bots::Bots(Server& server, unsigned seed) : m_server(server), m_rng(seed) {}

void Bots::bringOnline(Millis now)
{
    for (const char* name : {kChallengeBot, kPairRed, kPairBlack}) {
        Account* a = m_server.m_accounts.find(name);
        if (a && !a->bot)
            continue; // a player took the name before the bots existed
        if (!a) {
            a = &m_server.m_accounts.create(name, "", 0);
            a->bot = true;
        }
        m_names.emplace_back(name);
    }
    m_online = true;
    if (isBot(kPairRed) && isBot(kPairBlack))
        m_pairStartAt = now;
}

bool Bots::isBot(std::string_view name) const
{
    if (!m_online)
        return false;
    return std::any_of(m_names.begin(), m_names.end(), [&](const std::string& n) { return nameKey(n) == nameKey(name); });
}

Millis Bots::thinkTime()
{
    const double real = static_cast<double>(400 + m_rng() % 1200) / m_server.m_config.clockSpeed;
    return std::max<Millis>(5, static_cast<Millis>(real));
}

void Bots::scheduleMove(LiveGame& game, Millis now)
{
    const std::string& mover = game.redToMove() ? game.red() : game.black();
    game.botMoveAt = isBot(mover) ? now + thinkTime() : -1;
}

void Bots::onGameEnded(const LiveGame& game, Millis now)
{
    const bool pair = (nameKey(game.red()) == nameKey(kPairRed) && nameKey(game.black()) == nameKey(kPairBlack)) ||
                      (nameKey(game.red()) == nameKey(kPairBlack) && nameKey(game.black()) == nameKey(kPairRed));
    if (pair && m_online)
        m_pairStartAt = now + std::max<Millis>(50, static_cast<Millis>(3000 / m_server.m_config.clockSpeed));
}

void Bots::startPairGame(Millis now)
{
    m_pairStartAt = -1;
    if (!m_server.freeGameNumber())
        return;
    GameTerms terms;
    terms.rated = false;
    terms.minutes = 10;
    terms.increment = 5;
    const std::string red = m_pairRedFirst ? kPairRed : kPairBlack;
    const std::string black = m_pairRedFirst ? kPairBlack : kPairRed;
    m_pairRedFirst = !m_pairRedFirst;
    LiveGame& game = m_server.startGame(red, black, terms, now);
    scheduleMove(game, now);
}

void Bots::onTimer(Millis now)
{
    if (m_pairStartAt >= 0 && now >= m_pairStartAt)
        startPairGame(now);
    std::vector<int> due;
    for (const auto& [number, game] : m_server.m_games)
        if (game->botMoveAt >= 0 && now >= game->botMoveAt)
            due.push_back(number);
    for (const int number : due) {
        LiveGame* game = m_server.findGame(number);
        if (!game)
            continue;
        game->botMoveAt = -1;
        const std::string move = chooseBotMove(game->board(), game->redToMove(), game, m_rng);
        if (!move.empty())
            m_server.makeMove(*game, move, now);
    }
}

} // namespace marovin::server
