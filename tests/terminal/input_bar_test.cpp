// The input-line bar on the real widgets (offscreen), sending through a client context
// whose socket records every byte.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QClipboard>
#include <QImage>
#include <QTest>

#include "platform/big5_text.h"
#include "widgets/big5_validator.h"
#include "terminal/input_bar.h"
#include "terminal/scroll_spin.h"
#include "testkit/qt_application.h"
#include "testkit/session_fakes.h"
#include "testkit/typing.h"
#include "terminal/session_input_host.h"

namespace marovin::shell {
namespace {

using testkit::FakeTerminal;

const char* scrollName(TerminalScroll step)
{
    switch (step) {
    case TerminalScroll::LineUp:
        return "line up";
    case TerminalScroll::LineDown:
        return "line down";
    case TerminalScroll::PageUp:
        return "page up";
    case TerminalScroll::PageDown:
        return "page down";
    case TerminalScroll::Top:
        return "top";
    case TerminalScroll::Bottom:
        return "bottom";
    case TerminalScroll::Newest:
        return "newest";
    }
    return "?";
}

class InputBar : public ::testing::Test {
protected:
    void SetUp() override
    {
        rig.options->echoTypedText = 1;
        rig.connectNow();
        rig.terminal.clear();
        bar.setHost(&host);
        bar.show();
        bar.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&bar));
        input()->setFocus();
        ASSERT_TRUE(input()->hasFocus());
    }

    CInputLine* input() const { return bar.inputLine(); }
    std::vector<std::string> scrollNames() const
    {
        std::vector<std::string> names;
        for (TerminalScroll step : scrolls)
            names.emplace_back(scrollName(step));
        return names;
    }
    // The lines echoed into the terminal as typed text.
    std::vector<std::string> echoed() const
    {
        std::vector<std::string> lines;
        for (const FakeTerminal::Line& line : rig.terminal.lines)
            if (line.format == TextFormatId::Typed)
                lines.push_back(line.text);
        return lines;
    }
    void type(const char* text) { testkit::typeText(input(), text); }
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(input(), key, modifiers);
    }

    QApplication& application = testkit::qtApplication(); // before any widget
    testkit::SessionRig rig;
    std::vector<TerminalScroll> scrolls;
    windows::SessionInputHost host{*rig.context, [this](TerminalScroll step) { scrolls.push_back(step); }};
    Options options{};
    CInputBar bar{options};
};

TEST_F(InputBar, TabCyclesThePrefixWipingWhatWasTyped)
{
    const char* expected[] = {"sh ", "tell . ", ""};
    type("typed text");
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < 3; ++i) {
            press(Qt::Key_Tab);
            EXPECT_EQ(input()->text(), expected[i]) << "round " << round << ", tab " << i + 1;
            EXPECT_EQ(input()->prefixIndex(), (i + 1) % 3);
            type("more");
        }
    }
    EXPECT_TRUE(input()->hasFocus()) << "Tab does not move the focus";
    EXPECT_TRUE(rig.socket.sent.empty());
}

TEST_F(InputBar, EnterSendsTheLineAndLeavesThePrefixInTheField)
{
    press(Qt::Key_Tab);
    press(Qt::Key_Tab);
    type("hello");
    press(Qt::Key_Return);
    EXPECT_EQ(rig.socket.sent, "tell . hello\r\n");
    EXPECT_EQ(input()->text(), "tell . ");
    EXPECT_EQ(scrollNames(), std::vector<std::string>{"newest"})
        << "the terminal returns to its newest lines";

    // Keypad Enter does the same; an empty field sends one blank.
    press(Qt::Key_Tab);
    EXPECT_EQ(input()->text(), "");
    press(Qt::Key_Enter);
    EXPECT_EQ(rig.socket.sent, "tell . hello\r\n \r\n");
    EXPECT_EQ(input()->lastSentLine(), " ");
    EXPECT_EQ(echoed(), (std::vector<std::string>{"tell . hello", " "}));
}

TEST_F(InputBar, ALineThatBig5CannotCarryIsRefusedAndKept)
{
    input()->setText(QString::fromUtf8("tell bob \xE4\xBD\xA0\xE4\xBB\xAC\xE5\xA5\xBD")); // 你们好: 们 is not Big5
    press(Qt::Key_Return);
    EXPECT_TRUE(rig.socket.sent.empty());
    EXPECT_EQ(input()->text(), QString::fromUtf8("tell bob \xE4\xBD\xA0\xE4\xBB\xAC\xE5\xA5\xBD"));
    ASSERT_EQ(rig.desktop.boxes.size(), 1u);
    EXPECT_NE(rig.desktop.boxes[0].find("(U+4EEC)"), std::string::npos) << rig.desktop.boxes[0];
    input()->setText(QString::fromUtf8("tell bob \xE4\xBD\xA0\xE5\x80\x91\xE5\xA5\xBD")); // 你們好
    press(Qt::Key_Return);
    EXPECT_EQ(rig.socket.sent, "tell bob \xA7\x41\xAD\xCC\xA6\x6E\r\n");
}

TEST_F(InputBar, UpRecallsTheLastLineAndEscEmptiesTheField)
{
    type("finger \xE5\xB0\x87"); // 將: sent in Big5
    press(Qt::Key_Return);
    EXPECT_EQ(rig.socket.sent, "finger \xB1\x4E\r\n");
    type("half typed");
    press(Qt::Key_Up);
    EXPECT_EQ(input()->text(), QString::fromUtf8("finger \xE5\xB0\x87"));
    press(Qt::Key_Escape);
    EXPECT_EQ(input()->text(), "");
    press(Qt::Key_Return);
    EXPECT_EQ(rig.socket.sent, "finger \xB1\x4E\r\n \r\n");
}

TEST_F(InputBar, PageKeysScrollTheTerminalAndCtrlBreakSendsTheInterrupt)
{
    press(Qt::Key_PageUp);
    press(Qt::Key_PageDown);
    EXPECT_EQ(scrollNames(), (std::vector<std::string>{"page up", "page down"}));

    type("abc");
    press(Qt::Key_Pause, Qt::ControlModifier);
    EXPECT_EQ(rig.socket.sent, "\x03\r\n");
    EXPECT_TRUE(echoed().empty()) << "the interrupt is not echoed";
    EXPECT_EQ(input()->text(), "abc") << "the key then edits as usual";
    EXPECT_TRUE(rig.terminal.lines.empty());
}

TEST_F(InputBar, PastingSendsEachLineThatEndsInALineFeedAndKeepsTheRest)
{
    press(Qt::Key_Tab); // "sh " stays in front of each line sent
    QGuiApplication::clipboard()->setText(QStringLiteral("hi all\r\nbye\nto be continued"));
    input()->pasteClipboardIntoInput();
    EXPECT_EQ(rig.socket.sent, "sh hi all\r\nsh bye\r\n");
    EXPECT_EQ(input()->text(), "sh to be continued");
    EXPECT_EQ(input()->lastSentLine(), "sh bye");

    // The middle button pastes the same way.
    rig.socket.sent.clear();
    input()->clear();
    QGuiApplication::clipboard()->setText(QStringLiteral("who\n"));
    QTest::mouseClick(input(), Qt::MiddleButton);
    EXPECT_EQ(rig.socket.sent, "who\r\n");
    EXPECT_EQ(input()->text(), "sh ");

    // Without the focus nothing happens.
    input()->clearFocus();
    input()->pasteClipboardIntoInput();
    EXPECT_EQ(rig.socket.sent, "who\r\n");
}

TEST_F(InputBar, TheLabelShowsItsTextWithALeadingBlankInItsColour)
{
    QLabel* label = bar.stateLabel();
    EXPECT_EQ(label->text(), " Input Line");
    EXPECT_EQ(bar.labelColour(), 0u);

    bar.setStatusLabel(0x00FFFF, std::string_view("\xB1\x4E"
                                                  "bob")); // yellow, 將bob
    EXPECT_EQ(label->text(), QString::fromUtf8(" \xE5\xB0\x87"
                                               "bob"));
    bar.setStatusLabel(std::nullopt, std::string_view("Login name"));
    EXPECT_EQ(label->text(), " Login name");
    EXPECT_EQ(bar.labelColour(), 0x00FFFFu) << "no colour keeps the colour";
    bar.setStatusLabel(0x0000C0, std::nullopt);
    EXPECT_EQ(label->text(), " Login name") << "no text keeps the text";

    bar.setStatusLabel(0x00FFFF, std::nullopt);
    const QImage image = label->grab().toImage();
    int yellow = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            yellow += pixel.red() > 180 && pixel.green() > 180 && pixel.blue() < pixel.red() - 100;
        }
    EXPECT_GT(yellow, 5) << "the text is painted in the label's colour";

    // Sending a command turns the label to its "command sent" colour.
    type("who");
    press(Qt::Key_Return);
    EXPECT_EQ(rig.client.labelColour, 0x0000C0u);
}

TEST_F(InputBar, APasswordAskedForIsMaskedNeitherEchoedNorRecalled)
{
    type("who");
    press(Qt::Key_Return);
    rig.terminal.clear();

    bar.setStatusLabel(std::nullopt, kPasswordLabelText);
    EXPECT_EQ(input()->echoMode(), QLineEdit::Password);
    type("s3cr\xE5\xB0\x87"); // a password with a Chinese character
    press(Qt::Key_Return);
    EXPECT_EQ(rig.socket.sent, "who\r\ns3cr\xB1\x4E\r\n");
    EXPECT_TRUE(rig.terminal.lines.empty()) << "the password is not echoed";
    EXPECT_EQ(input()->echoMode(), QLineEdit::Normal);
    EXPECT_EQ(input()->text(), "");
    press(Qt::Key_Up);
    EXPECT_EQ(input()->text(), "who") << "the password is not recalled";

    // A label that asks for something else ends the password entry and drops what was typed.
    bar.setStatusLabel(std::nullopt, kPasswordLabelText);
    type("half");
    bar.setStatusLabel(std::nullopt, kInitialLabelText);
    EXPECT_EQ(input()->echoMode(), QLineEdit::Normal);
    EXPECT_EQ(input()->text(), "");
}

TEST_F(InputBar, TheUpDownControlScrollsByTheButtonThatHoldsIt)
{
    struct Case {
        Qt::MouseButton button;
        bool upper;
        int modeWhileHeld;
        std::vector<std::string> steps;
    };
    const Case cases[] = {
        {Qt::LeftButton, true, 1, {"line up"}},  {Qt::LeftButton, false, 1, {"line down"}},
        {Qt::RightButton, true, 2, {"page up"}}, {Qt::RightButton, false, 2, {"page down"}},
        {Qt::MiddleButton, true, 0, {"top"}},    {Qt::MiddleButton, false, 0, {"bottom", "line down"}},
    };
    CScrollSpin* spin = bar.scrollSpin();
    ASSERT_GE(spin->height(), 8);
    for (const Case& c : cases) {
        scrolls.clear();
        const QPoint at(spin->width() / 2, c.upper ? 2 : spin->height() - 3);
        QTest::mousePress(spin, c.button, {}, at);
        EXPECT_EQ(spin->spinMode(), c.modeWhileHeld) << "button " << c.button << (c.upper ? " up" : " down");
        QTest::mouseRelease(spin, c.button, {}, at);
        EXPECT_EQ(spin->spinMode(), 0);
        EXPECT_EQ(scrollNames(), c.steps) << "button " << c.button << (c.upper ? " up" : " down");
    }

    // The left button pressed while the right one holds the control keeps the page steps.
    scrolls.clear();
    QTest::mousePress(spin, Qt::RightButton, {}, QPoint(2, 2));
    QTest::mousePress(spin, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(spin->spinMode(), 2);
    QTest::mouseRelease(spin, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(scrollNames(), (std::vector<std::string>{"page up", "page up"}));
}

TEST(Big5Limits, CutWholeCharactersOnly)
{
    struct Case {
        std::string text;
        std::size_t limit;
        std::string expected;
    };
    const Case cases[] = {
        {"abc", 2, "ab"},
        {"a\xB1\x4E", 2, "a"}, // 將 would straddle the limit
        {"a\xB1\x4E", 3, "a\xB1\x4E"},
        {"\xB1\x4E\xAB\xD3", 3, "\xB1\x4E"},
        {"ab\xB1", 3, "ab\xB1"}, // a lone lead byte at the end counts as one
        {"", 5, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::big5Prefix(c.text, c.limit), c.expected) << c.text << " in " << c.limit;

    testkit::qtApplication();
    platform::Big5LengthValidator validator(15);
    int position = 0;
    QString name = QStringLiteral("abcdefghijklmno");
    EXPECT_EQ(validator.validate(name, position), QValidator::Acceptable);
    QString longer = name + QLatin1Char('p');
    EXPECT_EQ(validator.validate(longer, position), QValidator::Invalid);
    QString chinese = QString::fromUtf8("將將將將將將將a"); // 15 bytes
    EXPECT_EQ(validator.validate(chinese, position), QValidator::Acceptable);
    QString tooMuch = QString::fromUtf8("將將將將將將將將"); // 16 bytes
    EXPECT_EQ(validator.validate(tooMuch, position), QValidator::Invalid);
    QString simplified = QString::fromUtf8("将"); // no Big5 code: never stored as '?'
    EXPECT_EQ(validator.validate(simplified, position), QValidator::Invalid);
}

} // namespace
} // namespace marovin::shell
