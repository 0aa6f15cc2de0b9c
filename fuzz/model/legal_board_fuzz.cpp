// Any 90 bytes as a board (values beyond the piece numbers included), a side and two
// squares: the legality questions and the set-up checks must answer without fault.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "model/legality.h"
#include "model/setup.h"
#include "testkit/fakes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace marovin::model;
    if (size < 93)
        return 0;
    Board board;
    std::memcpy(board.data(), data, board.size());
    const bool red = data[90] & 1;
    marovin::testkit::FakeDesktop desktop;
    IsLegalMove(board, red, data[91], data[92] == 0xFF ? kAnyTarget : data[92], desktop);
    PackedMove move{};
    FindOnlyMove(board, red, move, desktop);
    for (const SquarePair& m : GenerateLegalMoves(board, red))
        if (m.from >= kSquareCount || m.to >= kSquareCount)
            std::abort();
    IsInCheck(board, red);
    EvaluatePosition(board, red);

    std::array<Square, 33> list{};
    std::uint8_t bottom = kRed;
    const SetupCheck check = FinishSetup(board, list, bottom);
    if (check.ok()) {
        for (int p = 1; p <= 32; ++p)
            if (list[p] < kSquareCount && board[list[p]] != p)
                std::abort();
    }
    return 0;
}
