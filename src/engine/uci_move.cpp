#include "engine/uci_move.h"

namespace marovin::engine {

namespace {

// Reads one square at text[pos...], advancing pos; rank digits are one or two bytes.
std::optional<model::Square> readSquare(std::string_view text, std::size_t& pos, RankBase base)
{
    if (pos >= text.size() || text[pos] < 'a' || text[pos] > 'i')
        return std::nullopt;
    const int column = text[pos++] - 'a';
    int rank = 0;
    int digits = 0;
    while (pos < text.size() && digits < 2 && text[pos] >= '0' && text[pos] <= '9') {
        rank = rank * 10 + (text[pos++] - '0');
        ++digits;
    }
    if (digits == 0 || (digits == 2 && rank < 10)) // "a01" is no square
        return std::nullopt;
    rank -= static_cast<int>(base);
    if (rank < 0 || rank > 9)
        return std::nullopt;
    return model::SquareOf(9 - rank, column);
}

} // namespace

std::string FormatUciMove(model::SquarePair move, RankBase base)
{
    std::string text;
    for (const model::Square square : {move.from, move.to}) {
        text += static_cast<char>('a' + model::ColumnOf(square));
        text += std::to_string(9 - model::RowOf(square) + static_cast<int>(base));
    }
    return text;
}

std::optional<model::SquarePair> ParseUciMove(std::string_view text, RankBase base)
{
    std::size_t pos = 0;
    const auto from = readSquare(text, pos, base);
    if (!from)
        return std::nullopt;
    const auto to = readSquare(text, pos, base);
    if (!to || pos != text.size())
        return std::nullopt;
    return model::SquarePair{*from, *to};
}

} // namespace marovin::engine
