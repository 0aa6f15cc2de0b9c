// Talking through the whole program against the practice server, with a second player on a
// plain connection: the shout text set in the other options, a plan read back by finger, a
// message sent and one received (which opens a reply window), and a text of the command
// window.

#include <gtest/gtest.h>

#include <QTest>

#include "server_harness.h"
#include "frame/application.h"
#include "frame/client_session.h"
#include "test_platform.h"
#include "testkit/fakes.h"
#include "testkit/loopback.h"
#include "testkit/qt_application.h"
#include "testkit/settings_file.h"
#include "testkit/temp_folder.h"
#include "windows/command_dialog.h"
#include "frame/command_windows.h"
#include "frame/frame_tools.h"
#include "frame/main_frame.h"
#include "windows/message_dialogs.h"
#include "windows/other_options_dialog.h"

namespace marovin::windows {
namespace {

constexpr int kNetworkWaitMs = 15000;

TEST(TalkFlow, ShoutsPlansMessagesAndReadyMadeTextsReachTheOtherPlayer)
{
    testkit::qtApplication();
    testing::ServerProcess server;
    ASSERT_GT(server.port(), 0) << server.startError();
    testing::LineClient otto(server.port());
    ASSERT_TRUE(otto.login("otto", "pw", false));
    {
        testing::LineClient registration(server.port());
        ASSERT_TRUE(registration.login("nina", "pw", false));
    }
    testkit::TempFolder folder;
    testkit::FakeDesktop desktop;
    shell::CMarovinApp app(desktop, testPlatform(), deriveSystemMetrics(16, 7),
                           testkit::existingSettings(folder.file("Marovin.dat"), testPlatform()));
    ASSERT_TRUE(app.initInstance());
    CMainFrame* frame = app.mainFrame();
    shell::ClientSession& session = *app.clientSession();
    session.connectTo({"127.0.0.1", server.port(), "nina", "pw"});
    ASSERT_TRUE(testkit::waitFor([&] { return session::isLoggedIn(session.context().session); }, kNetworkWaitMs));

    // The thanks text set in the other options is what the tool bar shouts.
    {
        COtherOptionsDlg others(app.options(), app.settingsFile(), desktop, frame->listFont());
        others.thanksEdit()->setText("Thanks, well played!");
        others.accept();
    }
    otto.drain(200);
    frame->action("actionShoutThanks")->trigger();
    QTest::qWait(100);
    EXPECT_TRUE(otto.readUntil("!nina: Thanks, well played!", kNetworkWaitMs).ok);

    // A plan of two lines is read back by finger.
    CPlanDlg* plan = session.commandWindows()->openPlanDialog();
    plan->textEdit()->setPlainText("I play the cannon opening.\nChallenge me any time.");
    QTest::mouseClick(plan->sendButton(), Qt::LeftButton);
    EXPECT_EQ(desktop.boxes.back(), kSentCompletelyText);
    QTest::qWait(100); // the socket writes from the event loop; the other player's reads block it
    otto.sendLine("finger nina");
    const std::string finger = otto.readUntilText("Challenge me any time.", kNetworkWaitMs);
    EXPECT_NE(finger.find("I play the cannon opening."), std::string::npos) << finger;

    // A message to otto is stored for him; one from him opens a reply window here.
    CMessageDlg* message = session.commandWindows()->openMessageDialog(std::nullopt);
    message->nameField()->setText("otto");
    message->textEdit()->setPlainText("see you at ten");
    QTest::mouseClick(message->sendButton(), Qt::LeftButton);
    QTest::qWait(100);
    EXPECT_TRUE(otto.readUntil("You have messages.", kNetworkWaitMs).ok);
    otto.sendLine("message");
    EXPECT_NE(otto.readUntilText("see you at ten", kNetworkWaitMs).find("nina"), std::string::npos);
    otto.sendLine("message nina fine, see you");
    CMessageDlg* reply = nullptr;
    ASSERT_TRUE(testkit::waitFor(
        [&] {
            for (CMessageDlg* open : frame->findChildren<CMessageDlg*>())
                if (open != message && open->receivedEdit()->toPlainText().contains("fine, see you"))
                    reply = open;
            return reply != nullptr;
        },
        kNetworkWaitMs));
    EXPECT_EQ(reply->nameField()->text(), "otto");

    // A ready-made text of the command window is sent as it stands.
    const std::string texts = folder.write("shout.txt", "tell otto from the list\r\n");
    FrameTools tools(*frame, session.context(), app.settingsFile(), texts);
    QTest::mouseClick(tools.showCommandWindow()->sendButton(), Qt::LeftButton);
    QTest::qWait(100);
    EXPECT_TRUE(otto.readUntil("#nina>: from the list", kNetworkWaitMs).ok);
}

} // namespace
} // namespace marovin::windows
