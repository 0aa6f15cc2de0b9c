#pragma once
// Recording fakes of the core's ports, for tests. Each records what the core asked of
// it, in order, and answers questions from a script the test sets up.

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "support/ports.h"

namespace marovin::testkit {

class FakeTerminal : public TerminalPort {
public:
    struct Line {
        enum class Kind { Output, Server, Client } kind;
        TextFormatId format; // Output lines: the format; Client lines: Warning or NormalClient
        std::string text;
    };

    void writeOutputLine(TextFormatId format, std::string_view text) override;
    void writeServerLine(std::string_view text) override;
    void writeClientText(std::string_view text, bool normal) override;

    // Every text written, in order, whatever its kind.
    std::vector<std::string> texts() const;
    bool contains(std::string_view text) const;
    void clear() { lines.clear(); }

    std::vector<Line> lines;
};

// Thrown by FakeDesktop::exitProgram so that a test can see the program end.
struct ProgramExit {
    int status;
};

class FakeDesktop : public DesktopPort {
public:
    void beep() override { ++beeps; }
    void messageBox(std::string_view text) override { captionedBox(text, ""); }
    void captionedBox(std::string_view text, std::string_view caption) override
    {
        boxes.emplace_back(text);
        boxCaptions.emplace_back(caption);
        if (onBox)
            onBox();
    }
    bool askYesNo(std::string_view text, bool defaultNo) override;
    YesNoCancel askYesNoCancel(std::string_view text) override;
    FatalBoxAnswer fatalBox(std::string_view text, std::string_view caption) override;
    [[noreturn]] void exitProgram(int status) override;

    int beeps = 0;
    std::vector<std::string> boxes;     // message box texts
    std::vector<std::string> boxCaptions; // their captions ("" for the standard box)
    std::function<void()> onBox;          // called as each box opens
    std::vector<std::string> questions; // Yes/No question texts
    std::vector<std::string> fatalTexts;
    std::vector<std::string> fatalCaptions;
    std::deque<bool> yesNoAnswers;       // answers given in order; when empty: answerYesNo
    bool answerYesNo = true;
    std::deque<YesNoCancel> yesNoCancelAnswers; // when empty: Cancel
    std::deque<FatalBoxAnswer> fatalAnswers; // when empty: Abort
};

// A clock that only moves when told to. pause() advances it; waitUntil() runs the
// test's event hook until the condition holds (or gives up after maxWaitRounds).
class FakeClock : public ClockPort {
public:
    std::int64_t nowSeconds() override { return epochSeconds + milliseconds / 1000; }
    std::int64_t nowMilliseconds() override { return milliseconds; }
    void pause(int ms) override;
    void waitUntil(const std::function<bool()>& done) override;

    void advance(std::int64_t ms) { milliseconds += ms; }

    std::int64_t epochSeconds = 1'800'000'000; // a fixed wall-clock origin
    std::int64_t milliseconds = 0;
    std::vector<int> pauses;                // every pause asked for, in order
    int waits = 0;                          // number of waitUntil calls
    std::function<void()> onWaitRound;      // what "handling events" does in the test
    int maxWaitRounds = 1000;
};

} // namespace marovin::testkit
