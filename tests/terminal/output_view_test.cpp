// The terminal's view on the real widget, offscreen: its rows, their formats, scrolling,
// picking text with the mouse, and the pixels of a coloured line.

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <string>
#include <vector>

#include "platform/platform_defaults.h"
#include "terminal/output_view.h"
#include "terminal_rows.h"
#include "support/fixed_text.h"
#include "test_options.h"
#include "testkit/qt_application.h"

namespace marovin::shell {
namespace {

// 中 and 文 in Big5.
constexpr std::string_view kZhong = "\xA4\xA4";
constexpr std::string_view kWen = "\xA4\xE5";

class OutputView : public ::testing::Test {
protected:
    void SetUp() override
    {
        testkit::qtApplication();
        setTestOptions(options);
        view = std::make_unique<COutputView>(options);
        view->setLoggedInQuery([this] { return loggedIn; });
        InputLineLink link;
        link.insertText = [this](const QString& text) { inserted.push_back(text); };
        link.canPaste = [this] { return canPaste; };
        link.pasteClipboard = [this] { ++pastes; };
        link.markReady = [this] { ++readyMarks; };
        view->setInputLink(link);
        view->resize(640, 400);
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    }

    // The rows held, oldest first.
    std::vector<std::string> rows() const { return TerminalRows(*view); }
    const TerminalSlot& newest(int back = 0) const
    {
        return view->slotAt((view->currentRow() - 1 - back + 2 * kTerminalRows) % kTerminalRows);
    }
    void writeNumbered(int count, int from = 1)
    {
        for (int i = from; i < from + count; ++i)
            view->writeOutputLine(TextFormatId::Output, "line " + std::to_string(i));
    }

    Options options{};
    std::unique_ptr<COutputView> view;
    bool loggedIn = true;
    bool canPaste = true;
    std::vector<QString> inserted;
    int pastes = 0;
    int readyMarks = 0;
};

TEST_F(OutputView, LongLinesWrapIntoRowsWithoutSplittingACharacter)
{
    struct Case {
        const char* name;
        std::string text;
        std::vector<std::size_t> rowLengths;
    };
    const std::string x79(79, 'x');
    const std::vector<Case> cases = {
        {"80 bytes fit one row", std::string(80, 'a'), {80}},
        {"200 bytes", std::string(200, 'b'), {79, 79, 42}},
        {"a character across byte 79 moves down", std::string(78, 'c') + std::string(kZhong) + std::string(10, 'c'),
         {78, 12}},
        {"a character ending at byte 79 stays", std::string(77, 'd') + std::string(kZhong) + std::string(10, 'd'),
         {79, 10}},
        {"one trailing CR LF is removed", "text\r\n", {4}},
        {"a lone LF is removed", "text\n", {4}},
        {"an empty line is one empty row", "", {0}},
        {"81 bytes", x79 + "zz", {79, 2}},
    };
    for (const Case& c : cases) {
        const int before = view->currentRow();
        view->writeOutputLine(TextFormatId::Output, c.text);
        const int written = (view->currentRow() - before + kTerminalRows) % kTerminalRows;
        ASSERT_EQ(written, static_cast<int>(c.rowLengths.size())) << c.name;
        for (std::size_t i = 0; i < c.rowLengths.size(); ++i)
            EXPECT_EQ(static_cast<std::size_t>(view->slotAt((before + static_cast<int>(i)) % kTerminalRows).length),
                      c.rowLengths[i])
                << c.name << ", row " << i;
    }
}

TEST_F(OutputView, TheThreeHundredAndFirstLineDropsTheOldest)
{
    writeNumbered(301);
    const std::vector<std::string> held = rows();
    ASSERT_EQ(held.size(), 300u);
    EXPECT_EQ(held.front(), "line 2");
    EXPECT_EQ(held.back(), "line 301");
    EXPECT_EQ(view->currentRow(), 1);
}

TEST_F(OutputView, ServerLinesTakeTheFormatOfTheLongestLeadingStringOnlyAfterLogin)
{
    copyBounded(options.specialLineLead[3], "#");
    copyBounded(options.specialLineLead[4], "#ab");
    copyBounded(options.specialLineLead[5], "#ab"); // equal length: the first one found wins
    copyBounded(options.specialLineLead[1], "");
    struct Case {
        bool loggedIn;
        const char* line;
        TextFormatId format;
    };
    const Case cases[] = {
        {true, "#abc: hello", specialFormat(4)}, {true, "#x: hi", specialFormat(3)},
        {true, "!shout", specialFormat(0)},      {true, "plain", TextFormatId::Output},
        {false, "#abc: hi", TextFormatId::Output}, {false, "!shout", TextFormatId::Output},
    };
    for (const Case& c : cases) {
        loggedIn = c.loggedIn;
        view->writeServerLine(c.line);
        EXPECT_EQ(newest().format, c.format) << c.line << (c.loggedIn ? " after login" : " before login");
    }
}

TEST_F(OutputView, ClientTextIsCutAtItsLineEnds)
{
    view->writeClientText("first\r\nsecond", true);
    view->writeClientText("\r\n", false);
    view->writeClientText("a\rb\n\nc", false);
    EXPECT_EQ(rows(), (std::vector<std::string>{"first", "second", " ", "a", "b", " ", "c"}));
    EXPECT_EQ(newest(6).format, TextFormatId::NormalClient);
    EXPECT_EQ(newest(4).format, TextFormatId::Warning);
}

TEST_F(OutputView, FormattedClientTextIsCutAtItsBufferAndMayBeColouredAsAServerLine)
{
    view->writeClientTextFormatted(1, "%s %d", "game", 12);
    EXPECT_EQ(std::string(newest().text), "game 12");
    EXPECT_EQ(newest().format, TextFormatId::NormalClient);
    view->writeClientTextFormatted(-1, "!%s", "shout");
    EXPECT_EQ(newest().format, specialFormat(0));

    const int before = view->currentRow();
    view->writeClientTextFormatted(0, "%s", std::string(5000, 'w').c_str());
    const int written = (view->currentRow() - before + kTerminalRows) % kTerminalRows;
    EXPECT_EQ(written, 38) << "2999 bytes are 37 rows of 79 and one of 76";
    EXPECT_EQ(newest().length, 2999 - 37 * 79);
}

TEST_F(OutputView, APartialLineIsReplacedByTheNextServerLine)
{
    view->writeOutputLine(TextFormatId::Output, "Welcome");
    const int row = view->currentRow();
    view->showPartialLine("Log");
    view->showPartialLine("Login: ");
    EXPECT_EQ(view->currentRow(), row + 1) << "a growing partial line keeps its row";
    EXPECT_EQ(std::string(view->slotAt(row).text), "Login: ");
    // The completed line takes the row back; its tail wraps into a new row, nothing is lost.
    view->writeServerLine("Login: guest" + std::string(100, '.'));
    EXPECT_EQ(view->currentRow(), row + 2);
    EXPECT_EQ(view->slotAt(row).length, 79);
    EXPECT_EQ(std::string(view->slotAt(row + 1).text), std::string(112 - 79, '.'));
    EXPECT_EQ(view->replaceRow(), -1);
    view->writeServerLine("next");
    EXPECT_EQ(std::string(newest().text), "next");
}

TEST_F(OutputView, ResetFillsEveryRowWithAAndAsksForTheTitle)
{
    QSignalSpy titles(view.get(), &COutputView::titleRequested);
    writeNumbered(5);
    view->resetTerminal();
    EXPECT_EQ(view->rowCount(), 300);
    for (const std::string& row : rows())
        ASSERT_EQ(row, "A");
    ASSERT_EQ(titles.count(), 1);
    EXPECT_EQ(titles.front().front().toString(), QStringLiteral("Terminal window"));
    EXPECT_TRUE(view->following());
}

TEST_F(OutputView, FollowsTheNewestRowsUntilTheUserScrollsBack)
{
    writeNumbered(100);
    ASSERT_TRUE(view->following());
    const QRect last = view->rowRect((view->currentRow() + kTerminalRows - 1) % kTerminalRows);
    ASSERT_FALSE(last.isEmpty()) << "the newest row is shown";
    EXPECT_LE(last.bottom(), view->viewport()->height());

    view->scrollLines(-10);
    EXPECT_FALSE(view->following());
    const int top = view->topIndex();
    writeNumbered(5, 101);
    EXPECT_EQ(view->topIndex(), top) << "new rows do not move a view scrolled back";

    view->showNewest();
    EXPECT_TRUE(view->following());
    EXPECT_FALSE(view->rowRect((view->currentRow() + kTerminalRows - 1) % kTerminalRows).isEmpty());
}

TEST_F(OutputView, AViewAtTheOldestRowKeepsShowingTheOldestWhileTheRingOverwrites)
{
    writeNumbered(300);
    view->scrollToOldest();
    EXPECT_EQ(std::string(view->slotAt(view->topIndex()).text), "line 1");
    writeNumbered(3, 301);
    EXPECT_EQ(std::string(view->slotAt(view->topIndex()).text), "line 4");
    EXPECT_FALSE(view->following());
}

TEST_F(OutputView, ALineDownAtTheBottomMarksTheInputLineReady)
{
    writeNumbered(100);
    view->scrollLines(1);
    EXPECT_EQ(readyMarks, 1);
    view->scrollLines(-5);
    view->scrollLines(1);
    EXPECT_EQ(readyMarks, 1);
}

TEST_F(OutputView, ScrollsSidewaysByThreeHundredPixelsAndTypedTextReturnsToTheMargin)
{
    view->resize(400, 300);
    for (int i = 0; i < 40; ++i)
        view->writeOutputLine(TextFormatId::Output, std::string(80, 'm'));
    ASSERT_GE(view->horizontalScrollBar()->maximum(), kHorizontalStep) << "80 bytes are wider than the window";
    view->scrollHorizontally(1);
    EXPECT_EQ(view->horizontalOffset(), kHorizontalStep);
    view->writeOutputLine(TextFormatId::Output, "server text");
    EXPECT_EQ(view->horizontalOffset(), kHorizontalStep);
    view->writeOutputLine(TextFormatId::Typed, "who");
    EXPECT_EQ(view->horizontalOffset(), 0);
}

TEST_F(OutputView, TabsAndChineseAreShownThroughTheConverter)
{
    view->writeOutputLine(TextFormatId::Output, "ab\tc" + std::string(kZhong) + std::string(kWen) + "\x01");
    EXPECT_EQ(view->shownText((view->currentRow() + kTerminalRows - 1) % kTerminalRows),
              QStringLiteral("ab      c\u4E2D\u6587 "));
}

TEST_F(OutputView, DraggingInsideALineCopiesThePickedTextToTheInputLineAndTheClipboard)
{
    view->writeOutputLine(TextFormatId::Output, "say " + std::string(kZhong) + std::string(kWen) + " now");
    const int slot = (view->currentRow() + kTerminalRows - 1) % kTerminalRows;
    const QRect row = view->rowRect(slot);
    ASSERT_FALSE(row.isEmpty());
    const int charWidth = QFontMetrics(platform::fontFromTextFormat(options.outputTextFormat).value()).horizontalAdvance(
        QStringLiteral("s"));
    const auto at = [&](double characters) {
        return QPoint(kTerminalMargin + static_cast<int>(characters * charWidth), row.center().y());
    };
    const QString shown = view->shownText(slot);
    const int wideWidth = QFontMetrics(platform::fontFromTextFormat(options.outputTextFormat).value())
                              .horizontalAdvance(shown.left(6));
    QWidget* glass = view->viewport();
    QTest::mousePress(glass, Qt::LeftButton, {}, at(4.1));
    EXPECT_TRUE(view->selecting());
    QMouseEvent move(QEvent::MouseMove, QPointF(kTerminalMargin + wideWidth + 1, row.center().y()),
                     glass->mapToGlobal(QPointF(kTerminalMargin + wideWidth + 1, row.center().y())), Qt::NoButton,
                     Qt::LeftButton, {});
    QApplication::sendEvent(glass, &move);
    QTest::mouseRelease(glass, Qt::LeftButton, {}, QPoint(kTerminalMargin + wideWidth + 1, row.center().y()));
    EXPECT_FALSE(view->selecting());
    ASSERT_EQ(inserted.size(), 1u);
    EXPECT_EQ(inserted.front(), QStringLiteral("\u4E2D\u6587"));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("\u4E2D\u6587"));

    QTest::mouseClick(glass, Qt::LeftButton, {}, at(1.1));
    EXPECT_EQ(inserted.size(), 1u) << "a click picks nothing";
}

TEST_F(OutputView, TheMiddleButtonPastesOnlyWhenTheInputLineCan)
{
    QTest::mouseClick(view->viewport(), Qt::MiddleButton);
    EXPECT_EQ(pastes, 1);
    canPaste = false;
    QTest::mouseClick(view->viewport(), Qt::MiddleButton);
    EXPECT_EQ(pastes, 1);
}

TEST_F(OutputView, AColouredLineIsDrawnInItsColourOnTheBackground)
{
    options.outputBackColour = 0x00FFFF; // yellow
    options.specialLineFormat[0].textColour = 0x0000FF; // red shouts
    options.specialLineFormat[0].effects = kEffectBold;
    view->reformat();
    view->writeServerLine("!" + std::string(30, 'M'));
    view->writeServerLine("plain line");
    const int shout = (view->currentRow() + kTerminalRows - 2) % kTerminalRows;
    const QRect row = view->rowRect(shout);
    ASSERT_FALSE(row.isEmpty());
    const QImage image = view->viewport()->grab().toImage();
    int red = 0;
    int black = 0;
    for (int y = row.top(); y <= row.bottom(); ++y)
        for (int x = 0; x < image.width() / 2; ++x) {
            const QColor pixel = image.pixelColor(x, y);
            red += pixel.red() > 200 && pixel.green() < 60 && pixel.blue() < 60;
            black += pixel.red() < 60 && pixel.green() < 60 && pixel.blue() < 60;
        }
    EXPECT_GT(red, 50) << "the shout is drawn red";
    EXPECT_EQ(black, 0) << "and nothing of it black";
    EXPECT_EQ(image.pixelColor(image.width() - 2, row.center().y()), QColor(255, 255, 0)) << "on yellow";
}

TEST_F(OutputView, SuspendedOutputDropsEveryWrite)
{
    view->setOutputSuspended(true);
    view->writeServerLine("late");
    view->writeClientText("later", true);
    EXPECT_EQ(view->rowCount(), 0);
}

} // namespace
} // namespace marovin::shell
