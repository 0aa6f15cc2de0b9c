#pragma once
// Boards for tests, drawn as ten rows of nine characters from Black's back rank down:
// Red in upper case, Black in lower case, '.' empty. Letters: K general, A advisor,
// B elephant, R chariot, N horse, C cannon, P soldier. Pieces get the numbers of their
// type in square order, as in a record.

#include <array>
#include <stdexcept>
#include <string>
#include <string_view>

#include "model/position.h"

namespace marovin::model::testing {

// The square of a coordinate name such as "H2" (column letter, row digit from Red's side).
inline Square At(std::string_view coordinate)
{
    return SquareOf(9 - (coordinate[1] - '0'), coordinate[0] - 'A');
}

inline Board Diagram(const std::array<std::string_view, 10>& rows)
{
    static constexpr std::string_view kLetters = "kabrncp"; // type order within a side
    static constexpr int kFirst[7] = {1, 2, 4, 6, 8, 10, 12};
    int used[14] = {};
    Board board{};
    for (int row = 0; row < 10; ++row) {
        if (rows[row].size() != 9)
            throw std::invalid_argument("diagram row " + std::to_string(row) + " is not 9 wide");
        for (int column = 0; column < 9; ++column) {
            const char c = rows[row][column];
            if (c == '.')
                continue;
            const bool red = c >= 'A' && c <= 'Z';
            const auto kind = kLetters.find(static_cast<char>(red ? c - 'A' + 'a' : c));
            if (kind == std::string_view::npos)
                throw std::invalid_argument(std::string("unknown diagram letter ") + c);
            const int type = static_cast<int>(kind) + (red ? 7 : 0);
            board[SquareOf(row, column)] = static_cast<Piece>(kFirst[kind] + (red ? 16 : 0) + used[type]++);
        }
    }
    return board;
}

} // namespace marovin::model::testing
