#pragma once
// Cuts one connection's received bytes into command lines.
//
// What a client sends is telnet-flavoured text: right after connecting it negotiates
// options (IAC DO / WONT ... sequences), and later it may send stray control bytes (04
// before "quit", 03 CR LF for Ctrl+Break, NUL bytes). The reader absorbs all of that:
//
//   IAC IAC            a literal 255, dropped (no command word uses it)
//   IAC DO|DONT|WILL|WONT x     three bytes, dropped
//   IAC SB ... IAC SE  a subnegotiation, dropped (bounded like a line)
//   IAC x              any other command, two bytes, dropped
//   CR                 dropped; LF ends the line (CR LF, LF and LF CR all end one line)
//   other bytes < 32   dropped (NUL, 03, 04, BEL ...), except TAB, which becomes a
//                      blank, and 01, which game-transfer tells carry
//
// A line longer than the limit is cut: the reader keeps the first maxLength bytes, drops
// the rest up to the next LF and reports the line as truncated, so that neither memory
// nor time grows with what a client sends.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace marovin::server {

struct ReceivedLine {
    std::string text;
    bool truncated = false;
};

class LineReader {
public:
    explicit LineReader(std::size_t maxLength = 4096) : m_maxLength(maxLength) {}

    // Feeds received bytes; complete lines are appended to out in order. Stops after
    // maxLines lines and returns how many bytes it took (all of them unless it stopped), so
    // that a caller can hand out lines a few at a time.
    std::size_t feed(std::string_view bytes, std::vector<ReceivedLine>& out,
                     std::size_t maxLines = static_cast<std::size_t>(-1));

    // Bytes of the line being assembled (for tests and limits).
    std::size_t pendingLength() const { return m_line.size(); }

private:
    enum class State { Text, Iac, Option, Subnegotiation, SubnegotiationIac };

    std::size_t m_maxLength;
    State m_state = State::Text;
    std::string m_line;
    bool m_overflow = false;
    std::size_t m_subnegotiationLength = 0;
};

} // namespace marovin::server
