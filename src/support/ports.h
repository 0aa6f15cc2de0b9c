#pragma once
// The ports through which the core (model, session, options) reaches the outside world.
//
// The core never includes Qt. It declares these small interfaces; the Qt layer
// (src/platform) implements them with real windows, and the tests implement them with
// recording fakes (tests/testkit). All text crossing a port is 8-bit, Chinese in Big5,
// exactly as it is on the wire and in files; the Qt side converts at the glass.
//
// Later layers extend these interfaces (for example the session's desktop port adds the
// list windows); add a method here only when the lowest layer needs it.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace marovin {

// The terminal window's text formats, by the role they play.
enum class TextFormatId : std::uint8_t {
    Output,       // default server text
    Warning,      // client warnings (red by default)
    NormalClient, // normal client messages
    Typed,        // echo of what the user typed or sent
    Special0,     // special line formats 0..9 follow in order
    Special1,
    Special2,
    Special3,
    Special4,
    Special5,
    Special6,
    Special7,
    Special8,
    Special9,
};

constexpr TextFormatId specialFormat(int index)
{
    return static_cast<TextFormatId>(static_cast<int>(TextFormatId::Special0) + index);
}

// Where the core writes the lines the user reads in the terminal window.
class TerminalPort {
public:
    virtual ~TerminalPort() = default;

    // One line (wrapped by the terminal as needed) in the given format.
    virtual void writeOutputLine(TextFormatId format, std::string_view text) = 0;
    // A line from the server, coloured by the user's leading strings.
    virtual void writeServerLine(std::string_view text) = 0;
    // Client text, split at its line ends: warning format when normal is false,
    // the normal client format otherwise. An empty piece is written as one blank.
    virtual void writeClientText(std::string_view text, bool normal) = 0;
};

// Answers of a Yes/No/Cancel question.
enum class YesNoCancel : std::uint8_t { Yes, No, Cancel };

// Answers of the fatal error box.
enum class FatalBoxAnswer : std::uint8_t { Abort, Retry, Ignore };

// Message boxes, questions and the beep.
class DesktopPort {
public:
    virtual ~DesktopPort() = default;

    virtual void beep() = 0;
    // The program's standard message box with an OK button.
    virtual void messageBox(std::string_view text) = 0;
    // A message box with an OK button under its own caption.
    virtual void captionedBox(std::string_view text, std::string_view caption)
    {
        static_cast<void>(caption);
        messageBox(text);
    }
    // A Yes/No question; defaultNo makes No the default button. True means Yes.
    virtual bool askYesNo(std::string_view text, bool defaultNo) = 0;
    // A Yes/No/Cancel question with Cancel the default button. A desktop without such a
    // box asks Yes/No instead, No meaning Cancel.
    virtual YesNoCancel askYesNoCancel(std::string_view text)
    {
        return askYesNo(text, true) ? YesNoCancel::Yes : YesNoCancel::Cancel;
    }
    // The error box with Abort, Retry and Ignore (retry may be refused by the caller).
    virtual FatalBoxAnswer fatalBox(std::string_view text, std::string_view caption) = 0;
    // Ends the program at once with the given status (Abort in the fatal box).
    [[noreturn]] virtual void exitProgram(int status) = 0;
};

// Time and waiting. Every pause and wait of the program goes through here so that the
// tests run at full speed with a fake clock while the program keeps its exact pacing.
class ClockPort {
public:
    virtual ~ClockPort() = default;

    // Wall-clock seconds since the epoch (game clocks, dates).
    virtual std::int64_t nowSeconds() = 0;
    // A monotonic millisecond counter (pacing).
    virtual std::int64_t nowMilliseconds() = 0;
    // A fixed pause of the given length.
    virtual void pause(int milliseconds) = 0;
    // A pause of at least the given length during which the program keeps painting and
    // answering the user (events are handled). Where events cannot be handled it is pause().
    virtual void pauseHandlingEvents(int milliseconds) { pause(milliseconds); }
    // Keeps the program responsive (handling events) until done() answers true.
    virtual void waitUntil(const std::function<bool()>& done) = 0;
};

} // namespace marovin
