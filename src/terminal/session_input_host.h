#pragma once
// The input line's host in the running program: typed lines go to the session's
// sendCommand, scrolling to the terminal window.

#include <functional>

#include "session/client_context.h"
#include "terminal/input_line.h"

namespace marovin::windows {

class SessionInputHost : public shell::InputLineHost {
public:
    // scroller moves the terminal; unset: the input line scrolls nothing.
    SessionInputHost(session::ClientContext& context, std::function<void(shell::TerminalScroll)> scroller)
        : m_context(context), m_scroller(std::move(scroller))
    {
    }

    void sendCommand(std::string_view text, bool echo, bool appendNewline) override
    {
        session::sendCommand(m_context, text, echo, appendNewline);
    }
    void scrollTerminal(shell::TerminalScroll step) override
    {
        if (m_scroller)
            m_scroller(step);
    }
    DesktopPort& desktop() override { return m_context.desktop; }

private:
    session::ClientContext& m_context;
    std::function<void(shell::TerminalScroll)> m_scroller;
};

} // namespace marovin::windows
