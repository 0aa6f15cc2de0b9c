#include "line_reader.h"

namespace marovin::server {

namespace {
constexpr unsigned char kIac = 255;
constexpr unsigned char kSe = 240;
constexpr unsigned char kSb = 250;
constexpr unsigned char kWill = 251; // WILL, WONT, DO, DONT are 251..254
} // namespace

std::size_t LineReader::feed(std::string_view bytes, std::vector<ReceivedLine>& out, std::size_t maxLines)
{
    std::size_t lines = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char ch = bytes[i];
        const auto byte = static_cast<unsigned char>(ch);
        switch (m_state) {
        case State::Iac:
            if (byte == kSb) {
                m_state = State::Subnegotiation;
                m_subnegotiationLength = 0;
            } else if (byte >= kWill && byte != kIac) {
                m_state = State::Option;
            } else {
                m_state = State::Text; // IAC IAC or a two-byte command
            }
            continue;
        case State::Option:
            m_state = State::Text;
            continue;
        case State::Subnegotiation:
            // A runaway subnegotiation (no IAC SE) must not swallow the session forever.
            if (byte == kIac)
                m_state = State::SubnegotiationIac;
            else if (++m_subnegotiationLength > m_maxLength)
                m_state = State::Text;
            continue;
        case State::SubnegotiationIac:
            m_state = byte == kSe ? State::Text : State::Subnegotiation;
            continue;
        case State::Text:
            break;
        }
        if (byte == kIac) {
            m_state = State::Iac;
            continue;
        }
        if (byte == '\n') {
            out.push_back({std::move(m_line), m_overflow});
            m_line.clear();
            m_overflow = false;
            if (++lines == maxLines)
                return i + 1;
            continue;
        }
        // Byte 01 starts the game-transfer tells and is kept; other control bytes go.
        if (byte != '\t' && byte != 1 && (byte < 32 || byte == 127))
            continue;
        if (m_line.size() >= m_maxLength) {
            m_overflow = true;
            continue;
        }
        m_line.push_back(byte == '\t' ? ' ' : ch);
    }
    return bytes.size();
}

} // namespace marovin::server
