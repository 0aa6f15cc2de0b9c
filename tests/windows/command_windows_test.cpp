// The who window, the games list, the stored games window, the match dialog and the
// finger window on a client context whose connection is a real loopback socket: what each
// shows, and the exact bytes each button puts on the wire.

#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include <QCursor>
#include <QElapsedTimer>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include "testkit/loopback_socket.h"
#include "testkit/qt_application.h"
#include "testkit/session_fakes.h"
#include "widgets/dialog_buttons.h"
#include "windows/finger_window.h"
#include "windows/games_window.h"
#include "windows/match_controls.h"
#include "windows/match_dialog.h"
#include "windows/stored_games_window.h"
#include "windows/who_window.h"

namespace marovin::session {
void PrintTo(const MatchTerms& t, std::ostream* out)
{
    *out << '{' << t.name << ' ' << t.minutes << ' ' << t.seconds << " colour " << t.colour << " rated " << t.rated
         << " odds " << t.odds << '}';
}
} // namespace marovin::session

namespace marovin::windows {
namespace {

std::string answer(const char* name)
{
    std::ifstream in(std::string(MAROVIN_TEST_DATA "/session/answers/") + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A context logged in as "me" over a loopback connection to a peer that keeps the bytes.
class OnLoopback : public ::testing::Test {
protected:
    void SetUp() override
    {
        testkit::qtApplication();
        ASSERT_TRUE(listener.listen(QHostAddress::LocalHost, 0));
        rig.options->startupCommands[0] = 0;
        rig.options->echoTypedText = 1;
        rig.context->connection.connectToServer("127.0.0.1", listener.serverPort());
        ASSERT_TRUE(socket.runUntil([&] { return rig.context->connection.isConnected(); }));
        ASSERT_TRUE(listener.waitForNewConnection(5000));
        peer = listener.nextPendingConnection();
        rig.feed("Login as me\r\nOMRA% ");
        sent("set client on\r\n");
    }

    // What the peer received since the last call, waiting until expected has arrived
    // (or two seconds passed) and a moment longer for anything after it.
    std::string sent(std::string_view expected = {})
    {
        QElapsedTimer timer;
        timer.start();
        while (received.size() < expected.size() && timer.elapsed() < 2000)
            if (peer->waitForReadyRead(50))
                received += peer->readAll().toStdString();
        if (peer->waitForReadyRead(30))
            received += peer->readAll().toStdString();
        return std::exchange(received, {});
    }
    static void click(QWidget* window, const char* caption)
    {
        QPushButton* button = findButton(window, QString::fromLatin1(caption));
        ASSERT_NE(button, nullptr) << caption;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    // A check box or radio button takes a click on its box or its caption only.
    static void check(QAbstractButton* button)
    {
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    }
    static void doubleClick(QListWidget* list, int row)
    {
        const QPoint at = list->visualItemRect(list->item(row)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }
    static QStringList texts(const QListWidget* list)
    {
        QStringList lines;
        for (int i = 0; i < list->count(); ++i)
            lines << list->item(i)->text();
        return lines;
    }

    QTcpServer listener;
    testkit::LoopbackSocket socket;
    testkit::SessionRig rig{&socket};
    QTcpSocket* peer = nullptr;
    std::string received;
};

// A who list of three players: the user, P (open, playing game 12) and Q (not open).
const std::string kThreePlayers = "3 players online\r\n"
                                  "New.   -   - me              1500   1m\r\n"
                                  "Reg.  12   - P               1720   0s\r\n"
                                  "RegX   -   - Q               1810   5m\r\n";

using WhoWindow = OnLoopback;

TEST_F(WhoWindow, ShowsTheSortedListUnderItsHeadingAndTitle)
{
    const session::WhoRecords records = session::allocateWhoRecords();
    CWhoDlg who(records.get(), *rig.context);
    EXPECT_EQ(who.windowTitle(), "Who Window(0 players): DoubleClick mouse to match");
    who.updateWhoList(answer("who_2.txt"), true);
    EXPECT_EQ(who.windowTitle(), "Who Window(7 players): DoubleClick mouse to match");
    EXPECT_EQ(who.heading()->text(), "Open Slow/Fast Name           Info Play Obs Idle");
    EXPECT_EQ(who.list()->item(3)->text(), "    ----/     Erin7           New    -   -   0s") << "byte order";
    EXPECT_EQ(who.list()->item(5)->text(), "  X 1500/     dave            New    -   -   0s");

    who.updateWhoList(kThreePlayers, true);
    EXPECT_EQ(texts(who.list()), QStringList({"    1720/     P               Reg   12   -   0s",
                                              "  X 1810/     Q               Reg    -   -   5m",
                                              "    1500/     me              New    -   -   1m"}));
    EXPECT_EQ(who.list()->currentRow(), 2) << "the user's own line is selected at first";
    check(who.sortButton(1));
    EXPECT_EQ(+rig.options->whoSortKey, 1);
    check(who.openFirstBox());
    EXPECT_EQ(+rig.options->whoOpenFirst, 1);
    EXPECT_EQ(texts(who.list()).join('|').toStdString(),
              "    1720/     P               Reg   12   -   0s|    1500/     me              New    -   -   1m|"
              "  X 1810/     Q               Reg    -   -   5m");
    EXPECT_EQ(who.list()->currentRow(), 1) << "the remembered name stays selected";
}

TEST_F(WhoWindow, EachButtonSendsItsLine)
{
    const session::WhoRecords records = session::allocateWhoRecords();
    CWhoDlg who(records.get(), *rig.context);
    who.show();
    who.updateWhoList(kThreePlayers, true);
    who.selectByName("P");
    ASSERT_TRUE(findButton(&who, "Match")->isEnabled());
    ASSERT_TRUE(findButton(&who, "Observe")->isEnabled());

    // Unrated, one knight, black, 5 minutes and no increment.
    check(who.ratedBox());
    who.oddsBox()->setCurrentIndex(1);
    QTest::mouseClick(who.colourDisc(), Qt::LeftButton);
    EXPECT_EQ(+rig.options->preferredColour, 1);
    who.minutesBox()->setCurrentText("5");
    who.secondsBox()->setCurrentText("0");
    click(&who, "Match");
    EXPECT_EQ(sent("match -un  P  b 5 0\r\n"), "match -un  P  b 5 0\r\n");
    doubleClick(who.list(), 0);
    EXPECT_EQ(sent("match -un  P  b 5 0\r\n"), "match -un  P  b 5 0\r\n") << "a double click matches";
    EXPECT_TRUE(who.isVisible());

    struct Button {
        const char* caption;
        const char* line;
        bool hides;
    };
    const Button buttons[] = {
        {"Update", "who -2\r\n", false},         {"Finger", "finger P\r\n", false},
        {"Alias -l", "alias -l P\r\n", false},    {"Stored", "stored P\r\n", true},
        {"Observe", "observe 12\r\n", true},      {"History", "history P\r\n", true},
        {"Match-Exit", "match -un  P  b 5 0\r\n", true},
    };
    for (const Button& button : buttons) {
        who.show();
        click(&who, button.caption);
        EXPECT_EQ(sent(button.line), button.line) << button.caption;
        EXPECT_EQ(who.isVisible(), !button.hides) << button.caption;
    }
    EXPECT_TRUE(rig.desktop.boxes.empty());
}

TEST_F(WhoWindow, MatchAndObserveOnlyWhereTheyCanWork)
{
    const session::WhoRecords records = session::allocateWhoRecords();
    CWhoDlg who(records.get(), *rig.context);
    who.show();
    who.updateWhoList(kThreePlayers, true);
    const auto state = [&](const char* name) {
        who.selectByName(name);
        return std::pair(findButton(&who, "Match")->isEnabled(), findButton(&who, "Observe")->isEnabled());
    };
    EXPECT_EQ(state("me"), std::pair(false, false));
    EXPECT_EQ(state("Q"), std::pair(false, false));
    EXPECT_EQ(state("P"), std::pair(true, true));
    doubleClick(who.list(), 1);
    EXPECT_EQ(sent(), "") << "a double click on a player who is not open sends nothing";

    // The user's own line marked "X": nobody can be matched.
    who.updateWhoList("NewX   -   - me              1500   1m\r\n" + kThreePlayers.substr(kThreePlayers.find("Reg.")),
                      true);
    EXPECT_EQ(who.imOpen(), 0);
    EXPECT_EQ(state("P"), std::pair(false, true));

    who.list()->clearSelection();
    click(&who, "Finger");
    EXPECT_EQ(rig.desktop.boxes, std::vector<std::string>{"Please Select an Item"});
    EXPECT_EQ(who.rememberedName(), "");
    EXPECT_EQ(sent(), "");
}

TEST_F(OnLoopback, GamesListPreselectsTheStrongestGameAndObservesIt)
{
    CGamesDlg games(*rig.context);
    games.show();
    const std::string heading = "   #] Red             Rating Black           Rating Min Inc Kind  Ply Obs\r\n";
    games.updateGamesList(heading, QFont());
    EXPECT_EQ(games.windowTitle(), "0 Game(s): Double click to observe a game");
    EXPECT_EQ(games.list()->currentRow(), 0);
    click(&games, "Observe");
    EXPECT_EQ(rig.desktop.boxes, std::vector<std::string>{"Please choose a game first"});

    games.updateGamesList(heading + "   3] a (1700) b (1650)\r\n\r\n  12] c (1500) d (1700)\r\n", QFont());
    EXPECT_EQ(games.windowTitle(), "3 Game(s): Double click to observe a game");
    EXPECT_EQ(games.list()->item(2)->text(), "") << "lines are shown as they came";
    EXPECT_EQ(games.list()->currentRow(), 3);
    click(&games, "Observe");
    EXPECT_EQ(sent("observe 12\r\n"), "observe 12\r\n");
    EXPECT_TRUE(games.isVisible());
    games.list()->setCurrentRow(2);
    click(&games, "Observe-Exit");
    EXPECT_EQ(sent(), "") << "an empty line has no game number";
    EXPECT_EQ(rig.desktop.boxes.size(), 2u);
    EXPECT_TRUE(games.isVisible());
}

TEST_F(OnLoopback, GamesListClosesAfterADoubleClick)
{
    QPointer<CGamesDlg> games = new CGamesDlg(*rig.context);
    games->show();
    games->updateGamesList("   #] Red\r\n   3] a (1700) b (1650)\r\n", QFont());
    doubleClick(games->list(), 1);
    EXPECT_EQ(sent("observe 3\r\n"), "observe 3\r\n");
    QTRY_VERIFY(games.isNull());
}

TEST_F(OnLoopback, StoredGamesRestartOrFetchTheChosenGame)
{
    const std::string stored = "\r\nA carol.me.12  F me.bob.7  A bob.carol.9\r\n";
    QPointer<CStoredGamesDlg> window = new CStoredGamesDlg(*rig.context, stored, QFont());
    window->show();
    EXPECT_EQ(window->windowTitle(), "3 Stored Game(s)");
    EXPECT_EQ(texts(window->list()), QStringList({"A  carol.me.12", "F  me.bob.7", "A  bob.carol.9"}));
    EXPECT_EQ(window->list()->currentRow(), 0);

    doubleClick(window->list(), 1);
    EXPECT_EQ(sent("sendfile   me.bob.7\r\n"), "sendfile   me.bob.7\r\n");
    window->list()->setCurrentRow(1);
    click(window, "Restart");
    EXPECT_EQ(sent("set open on\r\nrestart   me.bob.7\r\n"), "set open on\r\nrestart   me.bob.7\r\n");
    ASSERT_FALSE(window.isNull()) << "a finished game leaves the window open";

    doubleClick(window->list(), 0);
    EXPECT_EQ(sent("set open on\r\nrestart   carol.me.12\r\n"), "set open on\r\nrestart   carol.me.12\r\n")
        << "the user's own adjourned game is restarted";
    QTRY_VERIFY(window.isNull());

    QPointer<CStoredGamesDlg> other = new CStoredGamesDlg(*rig.context, stored, QFont());
    other->show();
    other->list()->setCurrentRow(2);
    click(other, "Look");
    EXPECT_EQ(sent("sendfile   bob.carol.9\r\n"), "sendfile   bob.carol.9\r\n");
    QTRY_VERIFY(other.isNull());
}

TEST_F(OnLoopback, MatchDialogAnswersAChallenge)
{
    session::LastMatch last;
    ASSERT_TRUE(session::admitMatchDialog(
        last,
        {session::MatchOpening::From::Challenge,
         "Unrated 1-knight game in 5 minutes (0 seconds increment) requested with alice as black."},
        0));
    QPointer<CMatchDlg> dialog = new CMatchDlg(*rig.context, last);
    dialog->show();
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    EXPECT_EQ(dialog->windowTitle(), "Match Dialog");
    EXPECT_EQ(dialog->nameEdit()->text(), "alice");
    EXPECT_TRUE(dialog->ratedButton(1)->isChecked());
    EXPECT_TRUE(dialog->oddsButton(1)->isChecked());
    EXPECT_EQ(dialog->colourDisc()->colour(), 0) << "the challenger plays black";
    EXPECT_EQ(dialog->lineEdit()->text(), "match -un  alice  r 5 0");
    EXPECT_EQ(QApplication::focusWidget(), findButton(dialog, "Exit"));

    // Every change shows in the line at once.
    check(dialog->ratedButton(0));
    check(dialog->oddsButton(0));
    dialog->minutesBox()->setCurrentIndex(7);
    dialog->secondsBox()->setCurrentIndex(2);
    EXPECT_EQ(dialog->lineEdit()->text(), "match -re  alice  r 20 10");
    click(dialog, "OK");
    EXPECT_EQ(sent("set open on\r\nmatch -re  alice  r 20 10\r\n"), "set open on\r\nmatch -re  alice  r 20 10\r\n");
    QTRY_VERIFY(dialog.isNull());
    EXPECT_EQ(last.openMatchDialogs, 0);
    EXPECT_EQ(last.terms, (session::MatchTerms{"alice", "20", "10", 0, 0, 0})) << "OK keeps the values";
}

TEST_F(OnLoopback, MatchDialogRefusesAnEmptyNameAndSendsTheBusyReply)
{
    session::LastMatch last;
    ASSERT_TRUE(session::admitMatchDialog(last, {}, 1));
    QPointer<CMatchDlg> dialog = new CMatchDlg(*rig.context, last);
    dialog->show();
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    EXPECT_EQ(dialog->lineEdit()->text(), "match -re    b 20 10");
    for (const char* button : {"OK", "Finger", "Alias -l"}) {
        click(dialog, button);
        EXPECT_EQ(rig.desktop.boxes.back(), "Player name is empty.") << button;
    }
    EXPECT_EQ(sent(), "");
    EXPECT_EQ(QApplication::focusWidget(), dialog->nameEdit());
    QTest::keyClicks(dialog->nameEdit(), " P  ");
    EXPECT_EQ(dialog->lineEdit()->text(), "match -re  P  b 20 10");
    click(dialog, "Finger");
    EXPECT_EQ(sent("finger P\r\n"), "finger P\r\n");
    click(dialog, "I'm busy now. Play later.");
    EXPECT_EQ(sent("/ P: I'm busy now. Play later.\r\n"), "/ P: I'm busy now. Play later.\r\n");
    QTRY_VERIFY(dialog.isNull());
}

TEST(FingerWindow, ShowsTheAnswerAndPutsThePointerOnOk)
{
    testkit::qtApplication();
    QPointer<CFingerDlg> window =
        new CFingerDlg(kFingerTitle, "Finger of bob:\r\n\r\n  On for: now\r\n", QFont());
    window->show();
    EXPECT_EQ(window->windowTitle(), "Finger Information");
    EXPECT_EQ(window->text()->toPlainText(), "Finger of bob:\n\n  On for: now");
    EXPECT_TRUE(window->text()->isReadOnly());
    QPushButton* ok = window->okButton();
    QTRY_COMPARE(QCursor::pos(), ok->mapToGlobal(ok->rect().center()));
    QTest::mouseClick(ok, Qt::LeftButton);
    QTRY_VERIFY(window.isNull());
}

} // namespace
} // namespace marovin::windows
