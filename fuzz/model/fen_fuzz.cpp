// Reads any bytes as FEN. A position that is accepted must write back to text that reads
// to the same position, and the move generator must handle it.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "model/fen.h"
#include "model/legality.h"
#include "model/perft.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace marovin::model;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string error;
    const auto position = ReadFen(text, error);
    if (!position) {
        if (error.empty() || error.size() > 400)
            std::abort();
        return 0;
    }
    const std::string written = WriteFen(position->board, position->redToMove, position->counts);
    const auto again = ReadFen(written, error);
    if (!again || !(*again == *position))
        std::abort();
    const auto moves = GenerateLegalMoves(position->board, position->redToMove);
    if (Perft(position->board, position->redToMove, 1) != moves.size())
        std::abort();
    return 0;
}
