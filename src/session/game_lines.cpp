#include "session/game_lines.h"

#include <algorithm>
#include <limits>

#include "session/server_lines.h"

namespace marovin::session {

namespace {

constexpr std::string_view kSeparators = " \t\r\n\v\f";
constexpr int kLongestGameNumber = 9; // digits; keeps every number inside an int

bool isDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

void FieldCursor::skipSeparators()
{
    const std::size_t at = m_text.find_first_not_of(kSeparators);
    m_text.remove_prefix(at == std::string_view::npos ? m_text.size() : at);
}

bool FieldCursor::readInteger(std::int32_t& value)
{
    std::string_view text = m_text;
    const std::size_t start = text.find_first_not_of(kSeparators);
    if (start == std::string_view::npos)
        return false;
    std::size_t at = start;
    bool negative = false;
    if (text[at] == '-' || text[at] == '+')
        negative = text[at++] == '-';
    if (at >= text.size() || !isDigit(text[at]))
        return false;
    constexpr std::int64_t kLimit = std::numeric_limits<std::int32_t>::max();
    std::int64_t magnitude = 0;
    for (; at < text.size() && isDigit(text[at]); ++at)
        magnitude = std::min<std::int64_t>(magnitude * 10 + (text[at] - '0'), kLimit + 1);
    value = static_cast<std::int32_t>(negative ? -magnitude : std::min(magnitude, kLimit));
    m_text.remove_prefix(at);
    return true;
}

bool FieldCursor::readWord(std::string_view& word)
{
    skipSeparators();
    if (m_text.empty())
        return false;
    const std::size_t end = m_text.find_first_of(kSeparators);
    word = m_text.substr(0, end);
    m_text.remove_prefix(word.size());
    return true;
}

bool FieldCursor::skipCharacter(char c)
{
    if (m_text.empty() || m_text.front() != c)
        return false;
    m_text.remove_prefix(1);
    return true;
}

GameNumbers readGameNumbers(FieldCursor& cursor)
{
    GameNumbers numbers;
    std::int32_t value = 0;
    if (!cursor.readInteger(value))
        return numbers;
    numbers.redClock = value;
    if (!cursor.readInteger(value))
        return numbers;
    numbers.blackClock = value;
    if (!cursor.readInteger(value)) // not used
        return numbers;
    if (!cursor.readInteger(value))
        return numbers;
    numbers.redRating = value;
    if (!cursor.readInteger(value))
        return numbers;
    numbers.blackRating = value;
    if (cursor.readInteger(value))
        numbers.observers = value;
    return numbers;
}

GameNumbers readTermsAndNumbers(std::string_view text)
{
    FieldCursor cursor(text);
    std::int32_t unusedNumber = 0;
    std::string_view unusedWord;
    if (!cursor.readInteger(unusedNumber) || !cursor.readWord(unusedWord))
        return {};
    return readGameNumbers(cursor);
}

bool isAllDigits(std::string_view word)
{
    if (word.empty())
        return false;
    for (const char c : word)
        if (!isDigit(c))
            return false;
    return true;
}

std::optional<int> gameNumberWord(std::string_view word)
{
    if (!isAllDigits(word) || word.size() > kLongestGameNumber)
        return std::nullopt;
    int number = 0;
    for (const char c : word)
        number = number * 10 + (c - '0');
    return number;
}

std::optional<GameLineHead> decodeGameLineHead(std::string_view line)
{
    FieldCursor cursor(line);
    std::string_view game, number, red, link, black;
    if (!cursor.readWord(game) || game != "Game" || !cursor.readWord(number) || !cursor.readWord(red) ||
        !cursor.readWord(link) || !cursor.readWord(black))
        return std::nullopt;
    const auto n = gameNumberWord(number);
    if (!n)
        return std::nullopt;
    cursor.skipSeparators();
    return GameLineHead{*n, red, black, cursor.rest()};
}

std::optional<NoticeStatus> noticeStatus(std::string_view rest)
{
    FieldCursor cursor(rest);
    std::string_view word;
    while (cursor.readWord(word)) {
        if (word != "Black" && word != "Red" && word != "has" && word != "been")
            return NoticeStatus{word, cursor.rest()};
    }
    return std::nullopt;
}

std::optional<NumberedMove> decodeNumberedMove(std::string_view line)
{
    FieldCursor cursor(line);
    std::int32_t number = 0;
    std::string_view text;
    if (!cursor.skipCharacter('(') || !cursor.readInteger(number) || !cursor.skipCharacter(')') ||
        !cursor.readWord(text))
        return std::nullopt;
    return NumberedMove{number, text};
}

std::optional<BoardDisplayHead> decodeBoardDisplayHead(std::string_view text)
{
    if (!beginsWith(text, "Game:"))
        return std::nullopt;
    FieldCursor cursor(text.substr(5));
    cursor.skipSeparators();
    const std::string_view names = cursor.rest();
    const std::size_t firstDot = names.find('.');
    if (firstDot == std::string_view::npos)
        return std::nullopt;
    const std::size_t secondDot = names.find('.', firstDot + 1);
    if (secondDot == std::string_view::npos)
        return std::nullopt;
    FieldCursor after(names.substr(secondDot + 1));
    std::string_view word;
    if (!after.readWord(word))
        return std::nullopt;
    const auto number = gameNumberWord(word);
    if (!number)
        return std::nullopt;
    return BoardDisplayHead{names.substr(0, firstDot), names.substr(firstDot + 1, secondDot - firstDot - 1), *number};
}

DateLine decodeDateLine(std::string_view line)
{
    FieldCursor cursor(line.substr(std::min<std::size_t>(5, line.size())));
    DateLine date;
    if (cursor.readWord(date.date)) {
        cursor.skipSeparators();
        date.result = cursor.rest();
    }
    return date;
}

} // namespace marovin::session
