#include "database/zobrist.h"

namespace marovin::database {

namespace detail {

namespace {

constexpr std::uint64_t splitmix64(std::uint64_t& state)
{
    std::uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

// One value per piece type (side and kind) and square; piece numbers of one type share it.
// An empty square, and any byte that is not a piece number, adds nothing.
constexpr ZobristTable makeTable()
{
    std::uint64_t state = 0x4d61726f76696e21ULL;
    std::array<std::array<std::uint64_t, model::kSquareCount>, 14> byType{};
    for (auto& squares : byType)
        for (auto& value : squares)
            value = splitmix64(state);
    ZobristTable table{};
    for (int piece = 1; piece <= 32; ++piece) {
        const int type = model::SideOf(piece) * 7 + static_cast<int>(model::KindOf(piece)) - 1;
        table.piece[static_cast<std::size_t>(piece)] = byType[static_cast<std::size_t>(type)];
    }
    table.blackToMove = splitmix64(state);
    return table;
}

} // namespace

constinit const ZobristTable kZobrist = makeTable();

} // namespace detail

PositionKey ZobristKey(const model::Board& board, bool redToMove)
{
    PositionKey key = redToMove ? 0 : detail::kZobrist.blackToMove;
    for (int square = 0; square < model::kSquareCount; ++square) {
        const model::Piece piece = board[static_cast<std::size_t>(square)];
        if (piece >= 1 && piece <= 32)
            key ^= detail::kZobrist.piece[piece][static_cast<std::size_t>(square)];
    }
    return key;
}

} // namespace marovin::database
