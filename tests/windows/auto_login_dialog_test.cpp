// The login window on its real widgets (offscreen), over a client context whose socket
// records every byte.

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QTest>

#include "platform/big5_text.h"
#include "support/fixed_text.h"
#include "testkit/qt_application.h"
#include "testkit/session_fakes.h"
#include "testkit/typing.h"
#include "windows/auto_login_dialog.h"

namespace marovin::windows {
namespace {

using session::LoginField;

QStringList itemTexts(const QListWidget& list, int count)
{
    QStringList texts;
    for (int i = 0; i < count && i < list.count(); ++i)
        texts << list.item(i)->text();
    return texts;
}

// Three servers; the third has two accounts.
class LoginDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        testkit::qtApplication();
        Options& options = *rig.options;
        const char* hosts[] = {"alpha.example", "beta.example", "gamma.example"};
        for (int i = 0; i < 20; ++i)
            options.servers[i].port = 5555;
        for (int i = 0; i < 3; ++i)
            copyBounded(options.servers[i].host, hosts[i]);
        options.servers[2].port = 7777;
        copyBounded(options.servers[0].logins[0].name, "alice");
        copyBounded(options.servers[0].logins[0].password, "wonder");
        copyBounded(options.servers[2].logins[0].name, "first");
        copyBounded(options.servers[2].logins[0].password, "one");
        copyBounded(options.servers[2].logins[1].name, "second");
        copyBounded(options.servers[2].logins[1].password, "two");
        options.showLoginAtStart = 1;
    }

    std::unique_ptr<CAutoLoginDlg> open()
    {
        auto dialog = std::make_unique<CAutoLoginDlg>(*rig.context, [this] { ++settingsWritten; });
        dialog->show();
        dialog->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        return dialog;
    }
    void click(CAutoLoginDlg& dialog, int id) { QTest::mouseClick(dialog.button(id), Qt::LeftButton); }
    void retype(CAutoLoginDlg& dialog, LoginField field, const char* text)
    {
        QLineEdit* edit = dialog.field(field);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        testkit::typeText(edit, text);
    }

    testkit::SessionRig rig;
    int settingsWritten = 0;
};

TEST_F(LoginDialog, OpensOnTheFirstServerWithThePasswordMaskedAndTheNameFocused)
{
    auto dialog = open();
    EXPECT_EQ(dialog->windowTitle(), "AutoLogin Dialog");
    EXPECT_EQ(dialog->button(kConnectExitButtonId)->text(), "Connect-Exit");
    EXPECT_TRUE(dialog->button(kConnectExitButtonId)->isDefault());
    ASSERT_EQ(dialog->hostList()->count(), 20);
    EXPECT_EQ(itemTexts(*dialog->hostList(), 3),
              (QStringList{"alpha.example", "beta.example", "gamma.example"}));
    EXPECT_EQ(dialog->hostList()->currentRow(), 0);
    ASSERT_EQ(dialog->accountList()->count(), 10);
    EXPECT_EQ(dialog->accountList()->item(0)->text(), "alice");
    EXPECT_EQ(dialog->field(LoginField::Host)->text(), "alpha.example");
    EXPECT_EQ(dialog->field(LoginField::Port)->text(), "5555");
    EXPECT_EQ(dialog->field(LoginField::Name)->text(), "alice");
    QLineEdit* password = dialog->field(LoginField::Password);
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    EXPECT_NE(password->displayText(), "wonder");
    EXPECT_TRUE(dialog->showAtStartBox()->isChecked());
    EXPECT_TRUE(dialog->field(LoginField::Name)->hasFocus());
}

// Blank slots before the entries in use are passed over: the first server with a host and
// its first account with a name are selected; every button says what it does.
TEST_F(LoginDialog, OpensOnTheFirstRealEntriesAndEveryButtonHasATip)
{
    Options& options = *rig.options;
    copyBounded(options.servers[0].host, "");
    copyBounded(options.servers[1].logins[3].name, "dora");
    copyBounded(options.servers[1].logins[3].password, "pw");
    auto dialog = open();
    EXPECT_EQ(dialog->hostList()->currentRow(), 1);
    EXPECT_EQ(dialog->accountList()->currentRow(), 3);
    EXPECT_EQ(dialog->field(LoginField::Host)->text(), "beta.example");
    EXPECT_EQ(dialog->field(LoginField::Name)->text(), "dora");
    // A server without accounts offers its first slot; one with accounts its first name.
    dialog->hostList()->setCurrentRow(3);
    EXPECT_EQ(dialog->accountList()->currentRow(), 0);
    dialog->hostList()->setCurrentRow(2);
    EXPECT_EQ(dialog->field(LoginField::Name)->text(), "first");

    for (int id : {kConnectButtonId, kConnectExitButtonId, kSaveExitButtonId, kSendNameButtonId,
                   kSendPasswordButtonId, 2})
        EXPECT_FALSE(dialog->button(id)->toolTip().isEmpty()) << dialog->button(id)->text().toStdString();
    EXPECT_TRUE(dialog->button(kConnectExitButtonId)->toolTip().contains("[Enter]"));
    EXPECT_TRUE(dialog->button(kConnectExitButtonId)->isDefault());
}

TEST_F(LoginDialog, AfterAPasswordMismatchTheWindowAsksForThePasswordAndLogsIn)
{
    rig.connectNow();
    rig.context->session.passwordMismatch = 1;
    {
        auto dialog = open();
        EXPECT_EQ(dialog->windowTitle(), "Password NOT Match (Player Found in Database)");
        EXPECT_EQ(dialog->button(kConnectExitButtonId)->text(), "Login");
        EXPECT_TRUE(dialog->field(LoginField::Password)->hasFocus());
        QTest::keyClick(dialog->field(LoginField::Password), Qt::Key_Return);
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
        EXPECT_EQ(rig.socket.sent, "alice\r\n") << "the server waits for the name again";
        EXPECT_EQ(fieldText(rig.context->session.storedPassword), "wonder");
    }
    EXPECT_EQ(rig.context->session.passwordMismatch, 0) << "closing the window ends the mismatch";
}

TEST_F(LoginDialog, ConnectMovesTheChosenServerAndAccountToTheTopAndSavesOnlyChanges)
{
    auto dialog = open();
    dialog->hostList()->setCurrentRow(2);
    EXPECT_TRUE(dialog->field(LoginField::Host)->hasFocus());
    EXPECT_EQ(dialog->field(LoginField::Port)->text(), "7777");
    EXPECT_EQ(itemTexts(*dialog->accountList(), 2), (QStringList{"first", "second"}));
    dialog->accountList()->setCurrentRow(1);
    EXPECT_TRUE(dialog->field(LoginField::Name)->hasFocus());
    EXPECT_EQ(dialog->field(LoginField::Name)->text(), "second");

    click(*dialog, kConnectButtonId);
    EXPECT_TRUE(dialog->isVisible()) << "Connect keeps the window open";
    ASSERT_EQ(rig.socket.connects.size(), 1u);
    EXPECT_EQ(rig.socket.connects[0], (std::pair<std::string, int>{"gamma.example", 7777}));
    EXPECT_EQ(itemTexts(*dialog->hostList(), 3),
              (QStringList{"gamma.example", "alpha.example", "beta.example"}));
    EXPECT_EQ(itemTexts(*dialog->accountList(), 2), (QStringList{"second", "first"}));
    EXPECT_EQ(dialog->hostList()->currentRow(), 0);
    EXPECT_EQ(fieldText(rig.options->servers[0].logins[0].name), "second");
    EXPECT_EQ(fieldText(rig.context->session.storedLoginName), "second");
    EXPECT_EQ(settingsWritten, 1);

    // Saving again without a change writes nothing.
    click(*dialog, kSaveExitButtonId);
    EXPECT_FALSE(dialog->isVisible());
    auto again = open();
    click(*again, kSaveExitButtonId);
    EXPECT_EQ(settingsWritten, 1);
}

TEST_F(LoginDialog, EditsChangeTheListLinesAndCancelKeepsNothing)
{
    const Options before = *rig.options;
    auto dialog = open();
    retype(*dialog, LoginField::Host, "delta.example");
    retype(*dialog, LoginField::Name, "dora");
    retype(*dialog, LoginField::Password, "x");
    dialog->showAtStartBox()->setChecked(false);
    EXPECT_EQ(dialog->hostList()->item(0)->text(), "delta.example");
    EXPECT_EQ(dialog->accountList()->item(0)->text(), "dora");
    EXPECT_EQ(fieldText(dialog->model().copy().servers[0].logins[0].password), "x");
    EXPECT_EQ(+dialog->model().copy().showLoginAtStart, 0);

    click(*dialog, 2); // Cancel
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(std::memcmp(&before, rig.options.get(), sizeof(Options)), 0);
    EXPECT_EQ(settingsWritten, 0);
    EXPECT_TRUE(rig.socket.connects.empty());
}

TEST_F(LoginDialog, EmptyFieldsAreRefusedWithTheirMessageAndTheFocus)
{
    struct Case {
        LoginField field;
        const char* message;
    };
    const Case cases[] = {{LoginField::Host, "Host / IP is empty"},
                          {LoginField::Name, "Login name is empty"},
                          {LoginField::Password, "Password is empty"}};
    const Options original = *rig.options;
    for (const Case& c : cases) {
        *rig.options = original; // a refused connect has saved the emptied field
        rig.desktop.boxes.clear();
        auto dialog = open();
        retype(*dialog, c.field, "   "); // blanks are trimmed away
        click(*dialog, kConnectExitButtonId);
        EXPECT_EQ(rig.desktop.boxes, std::vector<std::string>{c.message});
        EXPECT_TRUE(dialog->isVisible()) << c.message;
        EXPECT_TRUE(dialog->field(c.field)->hasFocus()) << c.message;
        EXPECT_TRUE(rig.socket.connects.empty()) << c.message;
        click(*dialog, 2);
    }
}

TEST_F(LoginDialog, ConnectWhileConnectedAsksTheServerToTelnetAndDoubleClickConnects)
{
    rig.connectNow();
    auto dialog = open();
    dialog->hostList()->setCurrentRow(2);
    const QListWidget& hosts = *dialog->hostList();
    const QRect row = hosts.visualItemRect(hosts.item(2));
    // A double click: a click, then the second press that the system reports as a double click.
    QTest::mouseClick(hosts.viewport(), Qt::LeftButton, {}, row.center());
    QTest::mouseDClick(hosts.viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(rig.socket.sent, "telnet gamma.example 7777\r\n");
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(rig.socket.connects.size(), 1u) << "no second connection";
}

TEST_F(LoginDialog, SendButtonsSendTheNameWithEchoAndThePasswordWithout)
{
    rig.options->echoTypedText = 1;
    rig.connectNow();
    auto dialog = open();
    retype(*dialog, LoginField::Password,
           "p\xE5\xB0\x87"
           "9"); // 將, two bytes in Big5
    click(*dialog, kSendNameButtonId);
    click(*dialog, kSendPasswordButtonId);
    EXPECT_EQ(rig.socket.sent, "alice\r\np\xB1\x4E"
                               "9\r\n");
    EXPECT_TRUE(rig.terminal.contains("alice"));
    for (const std::string& text : rig.terminal.texts())
        EXPECT_EQ(text.find("p\xB1\x4E"), std::string::npos) << "the password is never shown: " << text;
    EXPECT_EQ(fieldText(rig.context->session.storedPassword), "p\xB1\x4E"
                                                              "9");
    EXPECT_TRUE(dialog->isVisible());

    retype(*dialog, LoginField::Name, "");
    click(*dialog, kSendPasswordButtonId);
    EXPECT_EQ(rig.desktop.boxes, std::vector<std::string>{"Login name is empty"});
    EXPECT_TRUE(dialog->field(LoginField::Name)->hasFocus());
}

TEST_F(LoginDialog, EditsStopAtTheirFieldsLengths)
{
    struct Case {
        LoginField field;
        const char* typed;
        const char* kept;
    };
    const Case cases[] = {
        {LoginField::Name, "abcdefghijklmnopq", "abcdefghijklmno"},
        {LoginField::Password,
         "\xE5\xB0\x87\xE5\xB0\x87\xE5\xB0\x87\xE5\xB0\x87\xE5\xB0\x87\xE5\xB0\x87\xE5\xB0\x87"
         "a\xE5\xB0\x87",
         "\xE5\xB0\x87\xE5\xB0\x87\xE5\xB0\x87\xE5\xB0\x87\xE5\xB0\x87\xE5\xB0\x87\xE5\xB0\x87"
         "a"}, // 15 bytes of Big5; the next character would split
        {LoginField::Port, "655359", "65535"},
    };
    auto dialog = open();
    for (const Case& c : cases) {
        retype(*dialog, c.field, c.typed);
        EXPECT_EQ(dialog->field(c.field)->text(), QString::fromUtf8(c.kept)) << c.kept;
    }
    std::string host(60, 'h');
    retype(*dialog, LoginField::Host, host.c_str());
    EXPECT_EQ(dialog->model().host(), std::string(50, 'h'));
    EXPECT_EQ(dialog->model().port(), 65535);
    EXPECT_EQ(dialog->model().password().size(), 15u);
}

} // namespace
} // namespace marovin::windows
