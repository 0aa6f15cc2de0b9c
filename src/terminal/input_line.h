#pragma once
// The input line: the one-line field in which the user types server commands.
//
// Enter sends the field's first line (an empty line as one blank) and leaves the chosen
// prefix ("sh " or "tell . ") in the field for the next command; Tab cycles the prefix,
// Up recalls the last line sent, Esc empties the field, Page Up / Page Down scroll the
// terminal and Ctrl+Break sends the interrupt bytes 03 CR LF. The middle button and the
// terminal's middle button paste the clipboard, sending each line that ends in a line feed.
//
// Text is Unicode on screen and Big5 towards the server: a line holding characters that
// Big5 lacks is not sent (the user is told which) and stays in the field.

#include <cstdint>
#include <string>
#include <string_view>

#include <QLineEdit>

#include "support/ports.h"

namespace marovin::shell {

// A scrolling step of the terminal window asked for by the input line or its up/down
// control. Newest returns the terminal to its newest lines (it follows new output again).
enum class TerminalScroll : std::uint8_t { LineUp, LineDown, PageUp, PageDown, Top, Bottom, Newest };

// Where the input line's work goes: the server (through the session's sendCommand) and
// the terminal window. Text is Big5.
class InputLineHost {
public:
    virtual ~InputLineHost() = default;
    virtual void sendCommand(std::string_view text, bool echo, bool appendNewline) = 0;
    virtual void scrollTerminal(TerminalScroll step) = 0;
    // Where the user is told that a line cannot be sent.
    virtual DesktopPort& desktop() = 0;
};

// The prefixes that stay in the field between commands, in Tab order.
inline constexpr std::string_view kInputPrefixes[] = {"", "sh ", "tell . "};
// Sent by Ctrl+Break: the interrupt byte and a line end.
inline constexpr std::string_view kBreakBytes = "\x03\r\n";

class CInputLine : public QLineEdit {
    Q_OBJECT
public:
    explicit CInputLine(QWidget* parent = nullptr);

    // Null: nothing is sent and nothing scrolls.
    void setHost(InputLineHost* host) { m_host = host; }

    int prefixIndex() const { return m_prefixIndex; }
    // Big5, as it was sent.
    const std::string& lastSentLine() const { return m_lastSentLine; }

    // Enter: sends the field's first line and puts the prefix back in its place.
    void submit();
    // Only while the field has the focus and the clipboard holds text: inserts the text at
    // the caret, sending at each line feed what the field then holds.
    void pasteClipboardIntoInput();
    // While the server waits for a typed password the field is masked, and the line is
    // sent without echo and not kept for recall.
    void setPasswordEntry(bool on);
    bool passwordEntry() const { return m_passwordEntry; }

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void cyclePrefix();
    void scroll(TerminalScroll step);

    InputLineHost* m_host = nullptr;
    int m_prefixIndex = 0;
    std::string m_lastSentLine;
    bool m_passwordEntry = false;
};

} // namespace marovin::shell
