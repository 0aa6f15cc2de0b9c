#pragma once
// Reading the collected answer of a list command: the lines, and the words of a line.
//
// An answer is the collected lines, each followed by "\r\n". A line is the text up to a
// carriage return; the byte after each carriage return (the line feed) is skipped, and
// text after the last carriage return belongs to no line.

#include <cstddef>
#include <string_view>

namespace marovin::session {

// White space between words; a NUL byte separates words too (the fixed fields that words
// are copied into end at the first NUL).
inline bool isWordSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == '\0';
}

// Calls line(text) for every line of an answer, in order; stops early when it returns false.
template <typename LineFunction>
void forEachAnswerLine(std::string_view answer, LineFunction line)
{
    std::size_t start = 0;
    for (std::size_t end = answer.find('\r'); end != std::string_view::npos; end = answer.find('\r', start)) {
        if (!line(answer.substr(start, end - start)))
            return;
        start = end + 2; // the carriage return and the byte after it
        if (start > answer.size())
            return;
    }
}

// Words separated by white space, read from the front.
class WordReader {
public:
    explicit WordReader(std::string_view text) : m_text(text) {}

    // The next word; empty at the end of the text.
    std::string_view word()
    {
        skipSpace();
        const std::size_t start = m_at;
        while (m_at < m_text.size() && !isWordSpace(m_text[m_at]))
            ++m_at;
        return m_text.substr(start, m_at - start);
    }
    // The next byte that is not white space; 0 at the end of the text.
    char character()
    {
        skipSpace();
        return m_at < m_text.size() ? m_text[m_at++] : '\0';
    }
    // The next byte as it stands, white space included; 0 at the end of the text.
    char rawCharacter() { return m_at < m_text.size() ? m_text[m_at++] : '\0'; }
    // The text not read yet.
    std::string_view rest() const { return m_text.substr(m_at); }
    bool atEnd() const { return m_at >= m_text.size(); }

private:
    void skipSpace()
    {
        while (m_at < m_text.size() && isWordSpace(m_text[m_at]))
            ++m_at;
    }

    std::string_view m_text;
    std::size_t m_at = 0;
};

// A leading decimal number of text (digits only), or fallback when text does not begin
// with a digit. Values beyond limit are not numbers either.
inline long leadingNumber(std::string_view text, long fallback, long limit = 999'999'999)
{
    long value = 0;
    std::size_t i = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > limit)
            return fallback;
    }
    return i == 0 ? fallback : value;
}

} // namespace marovin::session
