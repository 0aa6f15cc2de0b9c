#include "database/game_codec.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "database/mixed_radix.h"
#include "model/game_file.h"
#include "model/legality.h"
#include "model/move_generator.h"
#include "model/pgn.h"
#include "model/tree_walk.h"
#include "support/fixed_text.h"

namespace marovin::database {

using model::Board;
using model::Square;

namespace {

// Which optional parts the blob holds (kept in the result column beside the outcome).
constexpr std::uint8_t kHasStart = 1;
constexpr std::uint8_t kHasNotes = 2;
constexpr std::uint8_t kHasResultText = 4;
constexpr std::uint8_t kHasTimes = 8;
constexpr std::uint8_t kHasPlace = 16;

// The digits after the special one.
constexpr int kNoteDigit = 0;
constexpr int kBeginDigit = 1;
constexpr int kEndDigit = 2;
constexpr int kSpecialRadix = 3;
// No game of the readers' bounds needs more (100,000 moves of 7 bits); a longer number is damage.
constexpr std::size_t kMaxMoveBytes = 1 << 17;

// The canonical result text of each outcome: stored as the outcome alone.
constexpr std::string_view kResultTexts[] = {"Unknown", "1-0", "1/2-1/2", "0-1"};

void putVarint(std::string& out, std::uint64_t value)
{
    while (value >= 0x80) {
        out += static_cast<char>(value | 0x80);
        value >>= 7;
    }
    out += static_cast<char>(value);
}

void putSigned(std::string& out, std::int64_t value)
{
    putVarint(out, (static_cast<std::uint64_t>(value) << 1) ^ static_cast<std::uint64_t>(value >> 63));
}

void putText(std::string& out, std::string_view text)
{
    putVarint(out, text.size());
    out.append(text);
}

// Reads the blob's parts; every read is checked against the blob's end.
class BlobReader {
public:
    explicit BlobReader(std::string_view data) : m_data(data) {}
    bool varint(std::uint64_t& value)
    {
        value = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (m_at >= m_data.size())
                return false;
            const auto byte = static_cast<unsigned char>(m_data[m_at++]);
            value |= std::uint64_t(byte & 0x7f) << shift;
            if (byte < 0x80)
                return true;
        }
        return false;
    }
    bool signedValue(std::int64_t& value)
    {
        std::uint64_t raw = 0;
        if (!varint(raw))
            return false;
        value = static_cast<std::int64_t>(raw >> 1) ^ -static_cast<std::int64_t>(raw & 1);
        return true;
    }
    bool text(std::string& out)
    {
        std::uint64_t size = 0;
        if (!varint(size) || size > m_data.size() - m_at)
            return false;
        out.assign(m_data.substr(m_at, size));
        m_at += size;
        return true;
    }
    bool bytes(std::size_t size, std::string_view& out)
    {
        if (size > m_data.size() - m_at)
            return false;
        out = m_data.substr(m_at, size);
        m_at += size;
        return true;
    }
    std::string_view rest() const { return m_data.substr(m_at); }

private:
    std::string_view m_data;
    std::size_t m_at = 0;
};

// The candidates of the side to move ordered by from- then to-square.
struct Candidates {
    std::uint16_t order[model::MoveGenerator::kMaxCandidates];
    int count = 0;
    bool generalMissing = false;

    explicit Candidates(model::MoveGenerator& generator)
    {
        generalMissing = !generator.generate();
        count = generator.count();
        for (int i = 0; i < count; ++i) {
            const model::SquarePair c = generator.candidate(i);
            order[i] = static_cast<std::uint16_t>(c.from * model::kSquareCount + c.to);
        }
    }
    // The rank of from-to among the candidates, or -1 when it is none of them.
    int rankOf(Square from, Square to) const
    {
        const int wanted = from * model::kSquareCount + to;
        int rank = 0;
        bool found = false;
        for (int i = 0; i < count; ++i) {
            rank += order[i] < wanted;
            found |= order[i] == wanted;
        }
        return found ? rank : -1;
    }
    model::SquarePair atRank(int rank)
    {
        std::sort(order, order + count);
        const int value = order[rank];
        return {static_cast<Square>(value / model::kSquareCount), static_cast<Square>(value % model::kSquareCount)};
    }
};

// Where a walk of the tree stands: the position (kept in a generator, which makes and
// generates moves without building its piece list again), the key and the ply.
struct WalkState {
    model::MoveGenerator generator;
    PositionKey key;
    int ply;
};

std::string moveName(const WalkState& state, int firstMover, Square from, Square to)
{
    const int number = (state.ply + firstMover) / 2 + 1;
    return "move " + std::to_string(number) + (state.generator.redToMove() ? " by Red (" : " by Black (") +
           model::FormatCoordinateMove(from, to) + ")";
}

class Encoder : public model::TreeVisitor {
public:
    Encoder(const model::CGame& game, EncodedGame& out)
        : m_out(out), m_firstMover(game.firstMover),
          m_state{model::MoveGenerator(game.startBoard(), game.firstMover == 0), 0, 0}
    {
        m_state.key = ZobristKey(m_state.generator.board(), m_state.generator.redToMove());
    }

    void entry(const model::MoveEntry& entry, const model::MoveLine&, std::size_t)
    {
        if (!m_error.empty())
            return;
        if (entry.isMove())
            move(entry.move.from, entry.move.to);
        if (entry.note && m_error.empty()) {
            special(kNoteDigit);
            m_notes.push_back(entry.note.get());
        }
    }
    // The digits of a branch's brackets are read where a reading of the file stands: its
    // begin where the branch starts, its end at the end of the alternative, after which the
    // reading is back at the start.
    void beginAlternative(const model::BranchPoint&, int alternative, int)
    {
        if (alternative == 0)
            m_saved.push_back(m_state);
        special(kBeginDigit);
    }
    void endAlternative(const model::BranchPoint& point, int alternative, int)
    {
        special(kEndDigit);
        m_state = m_saved.back();
        m_candidates.reset();
        if (alternative == point.count() - 1)
            m_saved.pop_back();
    }
    void leaveLine(const model::MoveLine& line)
    {
        if (!line.continuation)
            m_out.positions.push_back({m_state.key, kNoMove, !m_saved.empty()});
    }

    bool finish(std::string& error)
    {
        special(kEndDigit);
        if (!m_error.empty()) {
            error = m_error;
            return false;
        }
        return true;
    }
    const std::vector<const std::string*>& notes() const { return m_notes; }
    MixedRadixWriter& digits() { return m_digits; }

private:
    const Candidates& candidates()
    {
        if (!m_candidates)
            m_candidates.emplace(m_state.generator);
        return *m_candidates;
    }

    void special(int digit)
    {
        const int count = candidates().count;
        m_digits.put(count, count + 1);
        m_digits.put(digit, kSpecialRadix);
    }

    void move(Square from, Square to)
    {
        const Candidates& list = candidates();
        const int rank = list.rankOf(from, to);
        model::MoveGenerator& position = m_state.generator;
        const bool red = position.redToMove();
        if (rank < 0 || list.generalMissing) {
            m_error = moveName(m_state, m_firstMover, from, to) + " is not allowed here";
            return;
        }
        const PositionKey before = m_state.key;
        m_state.key = ZobristAfterMove(m_state.key, position.board(), from, to);
        const model::PackedMove made = position.make(from, to);
        if (model::IsGeneralAttacked(position.board(), red, position.squareOf(red ? 17 : 1))) {
            position.unmake(made);
            m_state.key = before;
            m_error = moveName(m_state, m_firstMover, from, to) + " is not allowed here";
            return;
        }
        position.flipSide();
        m_digits.put(rank, list.count + 1);
        m_out.positions.push_back({before, PackMove(from, to), !m_saved.empty()});
        ++m_state.ply;
        m_candidates.reset();
    }

    EncodedGame& m_out;
    int m_firstMover;
    WalkState m_state;
    std::vector<WalkState> m_saved;
    std::optional<Candidates> m_candidates;
    MixedRadixWriter m_digits;
    std::vector<const std::string*> m_notes;
    std::string m_error;
};

// Writes the blob's header parts and returns which optional ones it wrote.
std::uint8_t encodeHeader(const model::CGame& game, const Encoder& encoder, std::uint8_t outcome, std::string& out)
{
    const std::string_view result = fieldText(game.result);
    const std::string_view place = fieldText(game.place);
    const bool times = std::any_of(game.times.begin(), game.times.end(), [](std::int64_t t) { return t != 0; });
    std::uint8_t flags = 0;
    flags |= game.customPosition ? kHasStart : 0;
    flags |= encoder.notes().empty() ? 0 : kHasNotes;
    flags |= result != kResultTexts[outcome] ? kHasResultText : 0;
    flags |= times ? kHasTimes : 0;
    flags |= place.empty() ? 0 : kHasPlace;
    putSigned(out, game.redRating);
    putSigned(out, game.blackRating);
    if (times)
        for (std::int64_t t : game.times)
            putSigned(out, t);
    if (game.customPosition) {
        out += static_cast<char>(game.firstMover ? 1 : 0);
        for (int piece = 1; piece <= 32; ++piece)
            out += static_cast<char>(std::min<int>(game.pieceList[static_cast<std::size_t>(piece)], model::kOffBoard));
    }
    if (flags & kHasResultText)
        putText(out, result);
    if (flags & kHasPlace)
        putText(out, place);
    if (flags & kHasNotes) {
        putVarint(out, encoder.notes().size());
        for (const std::string* note : encoder.notes())
            putText(out, *note);
    }
    return flags;
}

// Each (position, move) once per game, in key order.
void uniquePositions(std::vector<IndexedPosition>& positions)
{
    std::sort(positions.begin(), positions.end(), [](const IndexedPosition& a, const IndexedPosition& b) {
        return a.key != b.key ? a.key < b.key : a.move != b.move ? a.move < b.move : a.inVariation < b.inVariation;
    });
    positions.erase(std::unique(positions.begin(), positions.end(),
                                [](const IndexedPosition& a, const IndexedPosition& b) {
                                    return a.key == b.key && a.move == b.move;
                                }),
                    positions.end());
}

} // namespace

Outcome OutcomeOf(std::string_view result)
{
    std::string lower(result);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    const auto has = [&](std::string_view word) { return lower.find(word) != std::string::npos; };
    if (lower.starts_with("1-0") || has("red win") || has("\xac\xf5\xb3\xd3")) // 紅勝
        return Outcome::RedWins;
    if (lower.starts_with("0-1") || has("black win") || has("\xb6\xc2\xb3\xd3")) // 黑勝
        return Outcome::BlackWins;
    if (lower.starts_with("1/2") || has("draw") || lower == "\xa9\x4d" || has("\xa9\x4d\xa7\xbd")) // 和, 和局
        return Outcome::Draw;
    return Outcome::Unknown;
}

std::optional<EncodedGame> EncodeGame(const model::CGame& game, std::string& error)
{
    EncodedGame out;
    out.red = fieldText(game.redName);
    out.black = fieldText(game.blackName);
    out.event = fieldText(game.subject);
    out.date = fieldText(game.date);
    out.outcome = OutcomeOf(fieldText(game.result));
    out.positions.reserve(128);
    Encoder encoder(game, out);
    model::WalkTree(game.root(), encoder);
    if (!encoder.finish(error))
        return std::nullopt;
    out.parts = encodeHeader(game, encoder, static_cast<std::uint8_t>(out.outcome), out.data);
    encoder.digits().appendTo(out.data);
    uniquePositions(out.positions);
    out.hash = IdentityHash(out);
    return out;
}

namespace {

// The parts of a blob.
struct BlobParts {
    std::uint8_t flags = 0;
    std::int64_t redRating = 0, blackRating = 0;
    std::int64_t times[4] = {0, 0, 0, 0};
    std::string_view start; // first mover and 32 squares, when set up
    std::string result, place;
    std::vector<std::string> notes;
    std::string_view moves;
};

bool parseBlob(std::int64_t result, std::string_view data, BlobParts& parts)
{
    BlobReader reader(data);
    if (!reader.signedValue(parts.redRating) || !reader.signedValue(parts.blackRating))
        return false;
    parts.flags = static_cast<std::uint8_t>(result >> 2 & 0x1f);
    const Outcome outcome = OutcomeOfColumn(result);
    for (int i = 0; i < 4 && (parts.flags & kHasTimes); ++i)
        if (!reader.signedValue(parts.times[i]))
            return false;
    if ((parts.flags & kHasStart) && !reader.bytes(33, parts.start))
        return false;
    parts.result = kResultTexts[static_cast<int>(outcome) & 3];
    if ((parts.flags & kHasResultText) && !reader.text(parts.result))
        return false;
    if ((parts.flags & kHasPlace) && !reader.text(parts.place))
        return false;
    if (parts.flags & kHasNotes) {
        std::uint64_t count = 0;
        if (!reader.varint(count) || count > data.size())
            return false;
        parts.notes.resize(count);
        for (std::string& note : parts.notes)
            if (!reader.text(note))
                return false;
    }
    parts.moves = reader.rest();
    return true;
}

void setHeader(model::CGame& game, std::string_view red, std::string_view black, std::string_view event,
               std::string_view date, const BlobParts& parts)
{
    copyBounded(game.redName, red);
    copyBounded(game.blackName, black);
    copyBounded(game.subject, event);
    copyBounded(game.date, date);
    copyBounded(game.result, parts.result);
    copyBounded(game.place, parts.place);
    game.redRating = static_cast<int>(parts.redRating);
    game.blackRating = static_cast<int>(parts.blackRating);
    for (int i = 0; i < 4; ++i)
        game.times[static_cast<std::size_t>(i)] = parts.times[i];
    game.customPosition = parts.start.empty() ? 0 : 1;
    if (!parts.start.empty()) {
        game.firstMover = parts.start[0] ? 1 : 0;
        for (int piece = 1; piece <= 32; ++piece) {
            const auto square = static_cast<unsigned char>(parts.start[static_cast<std::size_t>(piece)]);
            game.pieceList[static_cast<std::size_t>(piece)] = square < model::kSquareCount ? square : model::kOffBoard;
        }
    }
}

// Plays the digits into game the way a reading of the compact body would.
bool replayMoves(model::CGame& game, const BlobParts& parts, std::string& error)
{
    if (parts.moves.size() > kMaxMoveBytes) {
        error = "the stored moves are too long";
        return false;
    }
    MixedRadixReader digits(parts.moves);
    model::ReadBranches branches;
    int lineCounter = 1;
    int depth = 0;
    std::size_t note = 0;
    model::CGame* target = &game;
    for (int items = 0; items < 2 * static_cast<int>(model::kPgnMoveLimit); ++items) {
        if (digits.exhausted()) {
            error = "the stored moves end too early";
            return false;
        }
        model::MoveGenerator position(game.browsedBoard, game.isRedToMoveBrowsed());
        Candidates list(position);
        const int digit = digits.take(list.count + 1);
        if (digit < list.count) {
            const model::SquarePair move = list.atRank(digit);
            model::PlayReadMove(game, move.from, move.to, false, branches);
            continue;
        }
        switch (digits.take(kSpecialRadix)) {
        case kNoteDigit:
            if (note >= parts.notes.size()) {
                error = "the stored notes are missing";
                return false;
            }
            game.SetNote(parts.notes[note++], true);
            break;
        case kBeginDigit:
            ++depth;
            model::ReadGameLine(target, "BB", lineCounter, false, branches, game.ports());
            break;
        default:
            if (depth == 0)
                return true;
            --depth;
            model::ReadGameLine(target, "BE", lineCounter, false, branches, game.ports());
            break;
        }
    }
    error = "the stored moves do not end";
    return false;
}

} // namespace

bool DecodeHeader(std::int64_t result, std::string_view data, StoredHeader& header)
{
    BlobParts parts;
    if (!parseBlob(result, data, parts))
        return false;
    header.redRating = static_cast<int>(parts.redRating);
    header.blackRating = static_cast<int>(parts.blackRating);
    header.result = std::move(parts.result);
    header.place = std::move(parts.place);
    return true;
}

bool DecodeGame(std::string_view red, std::string_view black, std::string_view event, std::string_view date,
                std::int64_t result, std::string_view data, model::CGame& game, std::string& error)
{
    BlobParts parts;
    if (!parseBlob(result, data, parts)) {
        error = "the stored header is damaged";
        return false;
    }
    setHeader(game, red, black, event, date, parts);
    game.format = model::kFormatNew;
    game.ResetPosition();
    game.mode = model::kModeReading;
    game.Rewind();
    const bool whole = replayMoves(game, parts, error);
    model::EndReading(game, false);
    // Naming the game fills an empty date or subject; the stored ones stand as they were.
    copyBounded(game.subject, event);
    copyBounded(game.date, date);
    game.modified = false;
    return whole;
}

std::int64_t DayNumber(int year, int month, int day)
{
    // Days from 1970-01-01 in the proleptic Gregorian calendar (H. Hinnant's days_from_civil).
    const int y = year - (month <= 2);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yearOfEra = y - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return static_cast<std::int64_t>(era) * 146097 + dayOfEra - 719468;
}

std::string DateText(std::int64_t days)
{
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t mp = (5 * dayOfYear + 2) / 153;
    const std::int64_t day = dayOfYear - (153 * mp + 2) / 5 + 1;
    const std::int64_t month = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t year = yearOfEra + era * 400 + (month <= 2);
    char text[80];
    std::snprintf(text, sizeof text, "%04lld-%02d-%02d", static_cast<long long>(year), static_cast<int>(month),
                  static_cast<int>(day));
    return text;
}

std::optional<std::int64_t> DateNumber(std::string_view date)
{
    if (date.size() != 10 || date[4] != '-' || date[7] != '-')
        return std::nullopt;
    int parts[3] = {0, 0, 0};
    for (std::size_t i = 0; i < 10; ++i) {
        if (i == 4 || i == 7)
            continue;
        if (!std::isdigit(static_cast<unsigned char>(date[i])))
            return std::nullopt;
        int& part = parts[i < 4 ? 0 : i < 7 ? 1 : 2];
        part = part * 10 + (date[i] - '0');
    }
    if (parts[1] < 1 || parts[1] > 12 || parts[2] < 1 || parts[2] > 31)
        return std::nullopt;
    const std::int64_t days = DayNumber(parts[0], parts[1], parts[2]);
    // A day that does not exist (February 30) is kept as text.
    return DateText(days) == date ? std::optional(days) : std::nullopt;
}

std::uint64_t HashBytes(std::string_view bytes, std::uint64_t seed)
{
    std::uint64_t hash = 0xcbf29ce484222325ULL ^ seed;
    for (char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ULL;
    }
    return hash ^ (hash >> 29);
}

std::uint64_t IdentityHash(const EncodedGame& game)
{
    std::string bytes;
    for (const std::string* part : {&game.red, &game.black, &game.event, &game.date})
        bytes.append(*part).append(1, '\0');
    bytes += static_cast<char>(ResultColumn(game));
    return HashBytes(bytes.append(game.data));
}

} // namespace marovin::database
