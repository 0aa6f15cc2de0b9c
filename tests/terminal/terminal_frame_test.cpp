// The terminal frame in an MDI area, offscreen: never maximised, never closed, its title
// and its one-second tick; and where it first appears.

#include <gtest/gtest.h>

#include <QMainWindow>
#include <QMdiArea>
#include <QTest>

#include <memory>

#include "terminal/output_view.h"
#include "terminal/terminal_frame.h"
#include "test_options.h"
#include "testkit/qt_application.h"

namespace marovin::shell {
namespace {

class TerminalFrame : public ::testing::Test {
protected:
    void SetUp() override
    {
        testkit::qtApplication();
        setTestOptions(options);
        window = std::make_unique<QMainWindow>();
        area = new QMdiArea;
        window->setCentralWidget(area);
        window->resize(900, 700);
        frame = new CTerminalFrame(options);
        area->addSubWindow(frame);
        frame->setGeometry(20, 30, 400, 300);
        window->show();
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    Options options{};
    std::unique_ptr<QMainWindow> window; // made once the application exists
    QMdiArea* area = nullptr;
    CTerminalFrame* frame = nullptr;
};

TEST_F(TerminalFrame, AMaximiseRequestLeavesItRestoredAtTheTop)
{
    frame->showMaximized();
    QTRY_VERIFY(!frame->isMaximized());
    const QRect viewportRect = area->viewport()->rect();
    EXPECT_EQ(frame->geometry().top(), 0);
    EXPECT_GE(frame->geometry().left(), 0);
    EXPECT_EQ(frame->geometry().right() + 1, viewportRect.width() - 5) << "right edge 5 pixels in";
    EXPECT_EQ(frame->geometry().bottom() + 1, viewportRect.height() - (viewportRect.height() > 600 ? 5 : 0));
}

TEST_F(TerminalFrame, MovedAboveTheAreaItComesBackToTheTop)
{
    frame->move(10, -50);
    QTRY_COMPARE(frame->geometry().top(), 0);
}

TEST_F(TerminalFrame, ClosingIsIgnored)
{
    frame->close();
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(area->subWindowList().size(), 1);
}

TEST_F(TerminalFrame, ShowsTheTitleItIsGivenAndResetsIt)
{
    frame->setTitle("Terminal window - \xA4\xA4"); // 中
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Terminal window - \u4E2D"));
    frame->view()->resetTerminal();
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Terminal window"));
}

TEST_F(TerminalFrame, TicksEverySecond)
{
    int ticks = 0;
    frame->setTickHandler([&ticks] { ++ticks; });
    QTRY_COMPARE_WITH_TIMEOUT(ticks, 2, 5000);
}

TEST(TerminalStartRect, KeepsTheStoredRectangleAwayFromTheScreensFarEdges)
{
    struct Case {
        const char* name;
        Rect32 stored;
        QPoint mainWindow;
        QRect expected;
    };
    const QSize screen(1024, 768);
    const Case cases[] = {
        {"unset", {0, 0, 10, 300}, {0, 0}, {}},
        {"kept", {10, 20, 610, 420}, {0, 0}, QRect(10, 20, 600, 400)},
        {"left too far right", {950, 20, 1200, 420}, {0, 0}, QRect(0, 20, 1200, 400)},
        {"counted from the main window", {900, 600, 1000, 700}, {30, 100}, QRect(0, 0, 1000, 700)},
        {"within reach", {900, 600, 1000, 700}, {0, 0}, QRect(900, 600, 100, 100)},
    };
    for (const Case& c : cases) {
        WindowPlacement placement{};
        placement.normalRect = c.stored;
        EXPECT_EQ(terminalStartRect(placement, screen, c.mainWindow), c.expected) << c.name;
    }
}

TEST(RestoredTerminalRect, MovesToTheTopAndPullsLargeEdgesIn)
{
    EXPECT_EQ(restoredTerminalRect(QRect(-4, -30, 808, 634)), QRect(0, 0, 799, 599));
    EXPECT_EQ(restoredTerminalRect(QRect(0, 0, 400, 300)), QRect(0, 0, 400, 300));
}

} // namespace
} // namespace marovin::shell
