#include "live_game.h"

#include <algorithm>
#include <cmath>

#include "model/legality.h"
#include "storage.h"

namespace marovin::server {

using model::Board;
using model::SquarePair;

namespace {
// Red's horses stand on these squares in the opening position (row 9, columns 1 and 7).
constexpr model::Square kRedLeftHorse = 82;
constexpr model::Square kRedRightHorse = 88;

std::uint64_t positionHash(const Board& board, bool redToMove)
{
    std::uint64_t hash = redToMove ? 1469598103934665603ULL : 1099511628211ULL;
    for (const model::Piece piece : board)
        hash = (hash ^ piece) * 1099511628211ULL;
    return hash;
}

bool sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}
} // namespace

LiveGame::LiveGame(int number, std::string red, std::string black, GameTerms terms, Millis now, double clockSpeed)
    : m_number(number), m_red(std::move(red)), m_black(std::move(black)), m_terms(terms),
      m_speed(clockSpeed > 0 ? clockSpeed : 1.0), m_board(model::kStandardOpening), m_turnStart(now)
{
    if (terms.odds != Odds::Even)
        m_board[kRedLeftHorse] = 0;
    if (terms.odds == Odds::TwoKnights)
        m_board[kRedRightHorse] = 0;
    m_clockMs[0] = m_clockMs[1] = static_cast<std::int64_t>(terms.minutes) * 60000;
    m_positions.push_back(positionHash(m_board, true));
}

int LiveGame::repetitions(const Board& board, bool redToMove) const
{
    return static_cast<int>(std::count(m_positions.begin(), m_positions.end(), positionHash(board, redToMove)));
}

bool LiveGame::resume(const std::vector<std::string>& moves, std::int64_t redMs, std::int64_t blackMs, Millis now)
{
    for (const std::string& text : moves) {
        const auto squares = model::ParseCoordinateMove(text);
        if (!squares || text.size() != 5)
            return false;
        const auto legal = model::GenerateLegalMoves(m_board, redToMove());
        if (std::find(legal.begin(), legal.end(), *squares) == legal.end())
            return false;
        m_moves.push_back(model::ApplyMove(m_board, squares->from, squares->to));
        m_events.push_back(text);
        m_positions.push_back(positionHash(m_board, redToMove()));
    }
    m_clockMs[1] = std::clamp<std::int64_t>(redMs, 0, kMaxClockMs);
    m_clockMs[0] = std::clamp<std::int64_t>(blackMs, 0, kMaxClockMs);
    m_turnStart = now;
    return true;
}

std::vector<std::string> LiveGame::moveTexts() const
{
    std::vector<std::string> texts;
    for (const auto& move : m_moves)
        texts.push_back(model::FormatCoordinateMove(move.from, move.to));
    return texts;
}

std::string LiveGame::oddsWord() const
{
    switch (m_terms.odds) {
    case Odds::OneKnight: return "KNIGHT";
    case Odds::TwoKnights: return "TWO-KNIGHTS";
    case Odds::Even: break;
    }
    return {};
}

bool LiveGame::isPlayer(std::string_view name) const { return sameName(name, m_red) || sameName(name, m_black); }
bool LiveGame::playsRed(std::string_view name) const { return sameName(name, m_red); }
std::string LiveGame::opponentOf(std::string_view name) const { return playsRed(name) ? m_black : m_red; }

std::optional<std::string> LiveGame::play(std::string_view text, Millis now)
{
    const auto squares = model::ParseCoordinateMove(text);
    if (!squares || text.size() != 5)
        return "Not a move: " + std::string(text);
    const auto legal = model::GenerateLegalMoves(m_board, redToMove());
    if (std::find(legal.begin(), legal.end(), *squares) == legal.end())
        return "Illegal move: " + std::string(text);
    const bool red = redToMove();
    m_clockMs[red ? 1 : 0] = remainingMs(red, now) + static_cast<std::int64_t>(m_terms.increment) * 1000;
    m_moves.push_back(model::ApplyMove(m_board, squares->from, squares->to));
    m_events.emplace_back(text.substr(0, 5));
    m_positions.push_back(positionHash(m_board, redToMove()));
    switchTurn(now);
    return std::nullopt;
}

bool LiveGame::takeBack(Millis now)
{
    if (m_moves.empty())
        return false;
    // The side that is to move now keeps the time it has used so far.
    const bool red = redToMove();
    m_clockMs[red ? 1 : 0] = remainingMs(red, now);
    model::TakeBackMove(m_board, m_moves.back());
    m_moves.pop_back();
    m_positions.pop_back();
    m_events.emplace_back("undo");
    switchTurn(now);
    return true;
}

void LiveGame::switchTurn(Millis now)
{
    m_turnStart = now;
    m_drawOffer[0] = m_drawOffer[1] = false;
    m_undoRequest[0] = m_undoRequest[1] = false;
}

Ending LiveGame::positionEnding() const
{
    switch (model::EvaluatePosition(m_board, redToMove())) {
    case model::GameStatus::Checkmate: return Ending::Checkmate;
    case model::GameStatus::Stalemate: return Ending::Stalemate;
    case model::GameStatus::Playing: break;
    }
    return Ending::None;
}

std::int64_t LiveGame::remainingMs(bool red, Millis now) const
{
    std::int64_t left = m_clockMs[red ? 1 : 0];
    if (red == redToMove())
        left -= static_cast<std::int64_t>(std::llround(static_cast<double>(now - m_turnStart) * m_speed));
    return left;
}

long LiveGame::remainingSeconds(bool red, Millis now) const
{
    // Rounded up, so that a clock shows 0 only when its time is out.
    return static_cast<long>((std::max<std::int64_t>(0, remainingMs(red, now)) + 999) / 1000);
}

Millis LiveGame::flagTime() const
{
    const std::int64_t left = m_clockMs[redToMove() ? 1 : 0];
    return m_turnStart + static_cast<Millis>(std::ceil(static_cast<double>(std::max<std::int64_t>(0, left)) / m_speed));
}

void LiveGame::addTime(bool red, std::int64_t ms)
{
    std::int64_t& clock = m_clockMs[red ? 1 : 0];
    clock = std::min(clock + std::clamp<std::int64_t>(ms, 0, kMaxClockMs), kMaxClockMs);
}

} // namespace marovin::server
