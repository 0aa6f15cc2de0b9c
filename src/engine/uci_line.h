#pragma once
// What an engine writes, cut into lines and decoded.
//
//   uciok | readyok
//   id name Fairy-Stockfish 11.1
//   info depth 11 seldepth 14 multipv 1 score cp 48 nodes 68274 time 306 pv g4g5 c7c6 ...
//   info depth 20 score mate -3 upperbound pv ...
//   info string <free text>
//   option name Move Overhead type spin default 10 min 0 max 5000
//   bestmove g4g5 ponder c7c6 | bestmove (none)
//
// Framing (bytes -> lines) keeps the partial line between chunks; CR is dropped, LF ends
// a line, and a line longer than kLongestEngineLine is dropped whole (it is reported as
// overlong, not cut into pieces that could be mistaken for other lines). Decoding is a
// free function of one line; values out of range count as absent.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marovin::engine {

constexpr std::size_t kLongestEngineLine = 16384;
// Variations longer than this are cut; no engine searches deeper than this is useful.
constexpr std::size_t kLongestVariation = 128;
constexpr int kDeepestSearch = 1000;
constexpr int kLargestCentipawns = 1000000;
constexpr int kLongestMate = 1000;
constexpr std::size_t kLongestOptionName = 100;

class EngineLineFramer {
public:
    // Calls onLine for every complete line of bytes (without its line end); returns the
    // number of overlong lines dropped in this chunk.
    int push(std::string_view bytes, const std::function<void(std::string_view)>& onLine);
    void reset();

private:
    std::string m_partial;
    bool m_dropping = false; // inside an overlong line: skip to its end
};

enum class ScoreKind { None, Centipawns, Mate };

// A score from the point of view of the side to move, as the engine gives it.
struct EngineScore {
    ScoreKind kind = ScoreKind::None;
    int value = 0;      // centipawns, or moves to mate (negative: the side to move is mated)
    bool bound = false; // lowerbound or upperbound: not exact
    friend bool operator==(const EngineScore&, const EngineScore&) = default;
};

struct InfoLine {
    std::optional<int> depth;
    std::optional<int> multipv;
    EngineScore score;
    std::vector<std::string> pv; // move texts as written, at most kLongestVariation
    bool hasText = false;        // an "info string" line: no search figures
};

// An option the engine offers: its name (which may hold blanks) and its default value.
struct OptionLine {
    std::string name;
    std::optional<int> numericDefault; // a spin option's default
};

struct BestMoveLine {
    std::optional<std::string> move; // none for "(none)" or a missing move
};

enum class EngineLineKind { Empty, UciOk, ReadyOk, Id, Option, Info, BestMove, Other };

struct EngineLine {
    EngineLineKind kind = EngineLineKind::Empty;
    InfoLine info;         // kind Info
    BestMoveLine bestMove; // kind BestMove
    OptionLine option;     // kind Option
};

// Decodes one line (tokens separated by blanks or tabs). Unknown lines are Other; unknown
// info fields are skipped with their value.
EngineLine DecodeEngineLine(std::string_view line);

} // namespace marovin::engine
