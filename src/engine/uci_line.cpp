#include "engine/uci_line.h"

#include <charconv>

namespace marovin::engine {

int EngineLineFramer::push(std::string_view bytes, const std::function<void(std::string_view)>& onLine)
{
    int dropped = 0;
    for (const char c : bytes) {
        if (c == '\n') {
            if (m_dropping)
                ++dropped;
            else
                onLine(m_partial);
            m_partial.clear();
            m_dropping = false;
        } else if (c != '\r' && !m_dropping) {
            if (m_partial.size() >= kLongestEngineLine) {
                m_partial.clear();
                m_dropping = true;
            } else {
                m_partial += c;
            }
        }
    }
    return dropped;
}

void EngineLineFramer::reset()
{
    m_partial.clear();
    m_dropping = false;
}

namespace {

// A cursor over the blank-separated tokens of a line.
class Tokens {
public:
    explicit Tokens(std::string_view line) : m_line(line) {}

    std::optional<std::string_view> next()
    {
        while (m_pos < m_line.size() && isBlank(m_line[m_pos]))
            ++m_pos;
        if (m_pos >= m_line.size())
            return std::nullopt;
        const std::size_t start = m_pos;
        while (m_pos < m_line.size() && !isBlank(m_line[m_pos]))
            ++m_pos;
        return m_line.substr(start, m_pos - start);
    }

private:
    static bool isBlank(char c) { return c == ' ' || c == '\t'; }
    std::string_view m_line;
    std::size_t m_pos = 0;
};

// The next token as a number within [low, high]; none when absent, not a number or out
// of range.
std::optional<int> numberIn(Tokens& tokens, int low, int high)
{
    const auto token = tokens.next();
    if (!token)
        return std::nullopt;
    int value = 0;
    const char* end = token->data() + token->size();
    const auto [ptr, ec] = std::from_chars(token->data(), end, value);
    if (ec != std::errc{} || ptr != end || value < low || value > high)
        return std::nullopt;
    return value;
}

void readScore(Tokens& tokens, EngineScore& score)
{
    const auto unit = tokens.next();
    if (!unit)
        return;
    std::optional<int> value;
    ScoreKind kind = ScoreKind::None;
    if (*unit == "cp") {
        value = numberIn(tokens, -kLargestCentipawns, kLargestCentipawns);
        kind = ScoreKind::Centipawns;
    } else if (*unit == "mate") {
        value = numberIn(tokens, -kLongestMate, kLongestMate);
        kind = ScoreKind::Mate;
    }
    score = value ? EngineScore{kind, *value, false} : EngineScore{};
}

InfoLine decodeInfo(Tokens& tokens)
{
    InfoLine info;
    bool inPv = false;
    while (const auto token = tokens.next()) {
        if (inPv) {
            // A move starts with a file letter and a rank digit; a field name does not.
            if (token->size() >= 4 && token->size() <= 6 && (*token)[0] >= 'a' && (*token)[0] <= 'z' &&
                (*token)[1] >= '0' && (*token)[1] <= '9') {
                if (info.pv.size() < kLongestVariation)
                    info.pv.emplace_back(*token);
                continue;
            }
            inPv = false; // a field name after the variation
        }
        if (*token == "depth")
            info.depth = numberIn(tokens, 0, kDeepestSearch);
        else if (*token == "multipv")
            info.multipv = numberIn(tokens, 1, 1000);
        else if (*token == "score")
            readScore(tokens, info.score);
        else if (*token == "lowerbound" || *token == "upperbound")
            info.score.bound = true;
        else if (*token == "pv")
            inPv = true;
        else if (*token == "string") {
            info.hasText = true;
            break; // the rest is free text
        } else if (*token == "seldepth" || *token == "nodes" || *token == "nps" || *token == "time" ||
                   *token == "tbhits" || *token == "hashfull" || *token == "currmovenumber" ||
                   *token == "currmove" || *token == "cpuload") {
            tokens.next(); // a field with one value we do not show
        }
    }
    return info;
}

OptionLine decodeOption(Tokens& tokens)
{
    OptionLine option;
    if (tokens.next() != std::optional<std::string_view>("name"))
        return option;
    // The name runs up to the "type" field.
    while (const auto token = tokens.next()) {
        if (*token == "type") {
            tokens.next();
            break;
        }
        if (option.name.size() + token->size() < kLongestOptionName)
            option.name += (option.name.empty() ? "" : " ") + std::string(*token);
    }
    while (const auto token = tokens.next())
        if (*token == "default") {
            option.numericDefault = numberIn(tokens, -kLargestCentipawns, kLargestCentipawns);
            break;
        }
    return option;
}

} // namespace

EngineLine DecodeEngineLine(std::string_view line)
{
    Tokens tokens(line);
    EngineLine result;
    const auto first = tokens.next();
    if (!first)
        return result;
    if (*first == "uciok")
        result.kind = EngineLineKind::UciOk;
    else if (*first == "readyok")
        result.kind = EngineLineKind::ReadyOk;
    else if (*first == "id")
        result.kind = EngineLineKind::Id;
    else if (*first == "option") {
        result.kind = EngineLineKind::Option;
        result.option = decodeOption(tokens);
    }
    else if (*first == "info") {
        result.kind = EngineLineKind::Info;
        result.info = decodeInfo(tokens);
    } else if (*first == "bestmove") {
        result.kind = EngineLineKind::BestMove;
        const auto move = tokens.next();
        if (move && *move != "(none)" && *move != "0000")
            result.bestMove.move = std::string(*move);
    } else {
        result.kind = EngineLineKind::Other;
    }
    return result;
}

} // namespace marovin::engine
