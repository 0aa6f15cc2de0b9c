// The input bar in the main window: the fast keys Ctrl+F1 and F2 ... F8 with the dialog
// that edits their texts, and the game-window buttons.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QFormLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>

#include "frame/application.h"
#include "terminal/fast_key_dialog.h"
#include "support/fixed_text.h"
#include "test_platform.h"
#include "testkit/fakes.h"
#include "testkit/qt_application.h"
#include "testkit/settings_file.h"
#include "testkit/temp_folder.h"
#include "testkit/typing.h"
#include "frame/main_frame.h"

namespace marovin::windows {
namespace {

struct RecordingHost : shell::InputLineHost {
    struct Sent {
        std::string text;
        bool echo;
        bool appendNewline;
    };
    void sendCommand(std::string_view text, bool echo, bool appendNewline) override
    {
        sent.push_back({std::string(text), echo, appendNewline});
    }
    void scrollTerminal(shell::TerminalScroll) override {}
    DesktopPort& desktop() override { return boxes; }
    testkit::FakeDesktop boxes;
    std::vector<std::string> texts() const
    {
        std::vector<std::string> result;
        for (const Sent& s : sent)
            result.push_back(s.text);
        return result;
    }
    std::vector<Sent> sent;
};

class FrameInputBar : public ::testing::Test {
protected:
    void SetUp() override
    {
        testkit::qtApplication();
        ASSERT_TRUE(app.initInstance());
        frame = app.mainFrame();
        frame->inputBar()->setHost(&host);
        frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
    }

    testkit::TempFolder folder;
    testkit::FakeDesktop desktop;
    std::string path = testkit::existingSettings(folder.file("Marovin.dat"), testPlatform());
    shell::CMarovinApp app{desktop, testPlatform(), deriveSystemMetrics(16, 7), path};
    CMainFrame* frame = nullptr;
    RecordingHost host;
};

TEST_F(FrameInputBar, EachKeySendsItsTextAsTypedAndAnEmptyTextNothing)
{
    Options& options = app.options();
    for (int i = 0; i < 8; ++i)
        copyBounded(options.fastKeyText[i], "text " + std::to_string(i + 1));
    copyBounded(options.fastKeyText[4], ""); // F5

    QTest::keyClick(frame, Qt::Key_F1, Qt::ControlModifier);
    for (Qt::Key key : {Qt::Key_F2, Qt::Key_F3, Qt::Key_F4, Qt::Key_F5, Qt::Key_F6, Qt::Key_F7, Qt::Key_F8})
        QTest::keyClick(frame, key);
    EXPECT_EQ(host.texts(), (std::vector<std::string>{"text 1", "text 2", "text 3", "text 4", "text 6",
                                                      "text 7", "text 8"}));
    for (const RecordingHost::Sent& sent : host.sent)
        EXPECT_TRUE(sent.echo && sent.appendNewline) << sent.text;

    QTest::keyClick(frame, Qt::Key_F1); // F1 alone is help, not a fast key
    EXPECT_EQ(host.sent.size(), 7u);
}

TEST_F(FrameInputBar, TheDialogEditsTheEightTextsAndOkWritesTheSettingsFile)
{
    Options& options = app.options();
    copyBounded(options.fastKeyText[0], "who -2");
    copyBounded(options.fastKeyText[7], "tell . \xB1\x4E"); // 將
    {
        shell::CFastKeyDlg dialog(options, app.settingsFile(), desktop);
        EXPECT_EQ(dialog.windowTitle(), "Fast Key Dialog ( Ctrl F1 and F2 to F8)");
        auto* form = dialog.findChild<QFormLayout*>();
        ASSERT_NE(form, nullptr);
        const char* labels[] = {"Ctrl + F1:", "F2:", "F3:", "F4:", "F5:", "F6:", "F7:", "F8:"};
        for (int i = 0; i < 8; ++i) {
            auto* label = qobject_cast<QLabel*>(form->labelForField(dialog.edit(i)));
            ASSERT_NE(label, nullptr) << i;
            EXPECT_EQ(label->text(), labels[i]);
        }
        EXPECT_EQ(dialog.edit(0)->text(), "who -2");
        EXPECT_EQ(dialog.edit(7)->text(), QString::fromUtf8("tell . \xE5\xB0\x87"));

        dialog.edit(1)->setText(QStringLiteral("games"));
        dialog.edit(0)->clear();
        // 60 characters of two bytes each fill the 120 bytes; one more is refused.
        testkit::typeText(dialog.edit(2), QString(61, QChar(0x5C07)));
        EXPECT_EQ(dialog.edit(2)->text().size(), 60);
        dialog.edit(3)->setText(QString::fromUtf8("gg \xF0\x9F\x98\x80")); // an emoji: no Big5 code
        dialog.accept();
        EXPECT_EQ(dialog.result(), QDialog::Rejected) << "refused, the dialog stays";
        EXPECT_NE(desktop.boxes.back().find("U+1F600"), std::string::npos);
        EXPECT_EQ(fieldText(options.fastKeyText[1]), "") << "nothing stored yet";
        dialog.edit(3)->clear();
        dialog.accept();
    }
    EXPECT_EQ(fieldText(options.fastKeyText[0]), "");
    EXPECT_EQ(fieldText(options.fastKeyText[1]), "games");
    EXPECT_EQ(fieldText(options.fastKeyText[2]).size(), 120u);
    EXPECT_EQ(fieldText(options.fastKeyText[7]), "tell . \xB1\x4E");

    Options stored{};
    testkit::FakeDesktop reader;
    loadOptions(stored, testPlatform(), path, reader);
    EXPECT_EQ(fieldText(stored.fastKeyText[1]), "games");
    EXPECT_EQ(fieldText(stored.fastKeyText[2]), fieldText(options.fastKeyText[2]));
}

TEST_F(FrameInputBar, GameWindowButtonsShowWhileAWindowBesideTheTerminalIsOpen)
{
    const int ids[] = {shell::kWindowLeftId, shell::kWindowCentreId, shell::kWindowRightId,
                       shell::kNextWindowButtonId};
    const auto shown = [this, &ids] {
        QCoreApplication::processEvents();
        int count = 0;
        for (int id : ids)
            count += frame->inputBar()->gameButton(id)->isVisible() ? 1 : 0;
        return count;
    };
    EXPECT_EQ(shown(), 0) << "the terminal alone";
    QMdiSubWindow* game = frame->mdiArea()->addSubWindow(new QLabel(QStringLiteral("game")));
    game->show();
    EXPECT_EQ(shown(), 4);
    delete game;
    EXPECT_EQ(shown(), 0);
}

} // namespace
} // namespace marovin::windows
