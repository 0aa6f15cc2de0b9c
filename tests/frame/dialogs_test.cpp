#include <gtest/gtest.h>

#include <QCheckBox>
#include <QSettings>

#include "terminal/output_windows_dialog.h"
#include "support/guarded_file.h"
#include "testkit/fakes.h"
#include "testkit/qt_application.h"
#include "testkit/temp_folder.h"
#include "frame/recent_files.h"
#include "widgets/text_prompt_dialog.h"

// Fields of the packed options record are compared by value (unary +): a reference to
// one may be misaligned.

namespace marovin::windows {
namespace {

using testkit::FakeDesktop;
using testkit::TempFolder;

class Dialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        testkit::qtApplication();
        setDefaultOptions(options, PlatformDefaults{});
    }
    TempFolder folder;
    FakeDesktop desktop;
    SettingsFile settings{folder.file("Marovin.dat"), desktop};
    Options options;
};

TEST_F(Dialogs, OutputWindowsShowsSixBoxesFromTheOptions)
{
    options.showFingerWindow = 0;
    shell::COutputWindowsDlg dialog(options, settings);
    const std::pair<int, const char*> boxes[] = {{1197, "who window"},    {1200, "games window"},
                                                 {1201, "finger window"}, {1199, "alias window"},
                                                 {1198, "match window"},
                                                 {1202, "Pop up Terminal  window when someone tells me"}};
    for (const auto& [id, text] : boxes) {
        ASSERT_NE(dialog.checkBox(id), nullptr) << id;
        EXPECT_EQ(dialog.checkBox(id)->text(), text) << id;
    }
    EXPECT_FALSE(dialog.checkBox(1201)->isChecked());
    EXPECT_TRUE(dialog.checkBox(1197)->isChecked());
    EXPECT_FALSE(dialog.checkBox(1202)->isChecked());
}

TEST_F(Dialogs, OutputWindowsOkWritesOnlyAChange)
{
    {
        shell::COutputWindowsDlg dialog(options, settings);
        dialog.accept();
        EXPECT_FALSE(fileExists(settings.path())) << "OK without a change writes nothing";
    }
    {
        shell::COutputWindowsDlg dialog(options, settings);
        dialog.checkBox(1197)->setChecked(false);
        dialog.checkBox(1202)->setChecked(true);
        dialog.reject();
        EXPECT_EQ(+options.showWhoWindow, 1) << "Cancel changes nothing";
    }
    shell::COutputWindowsDlg dialog(options, settings);
    dialog.checkBox(1197)->setChecked(false);
    dialog.checkBox(1202)->setChecked(true);
    dialog.accept();
    EXPECT_EQ(+options.showWhoWindow, 0);
    EXPECT_EQ(+options.raiseTerminalOnTell, 1);
    const std::string written = TempFolder::read(settings.path());
    ASSERT_EQ(written.size(), sizeof(Options));
    EXPECT_EQ(written[9672], 0) << "showWhoWindow in the file";
    EXPECT_EQ(written[9668], 1) << "raiseTerminalOnTell in the file";
}

TEST_F(Dialogs, TextPromptRefusesMoreThanItsMaximum)
{
    std::string name = "kept";
    CTextPromptDlg prompt(name, "finger: Please Input a Player's Name", 20, desktop);
    EXPECT_EQ(prompt.windowTitle(), "finger: Please Input a Player's Name");
    EXPECT_EQ(prompt.limitLine()->text(), "At most 20 characters");
    EXPECT_EQ(prompt.edit()->text(), "kept");

    prompt.show();
    prompt.edit()->setText(QString(21, 'a'));
    prompt.accept();
    EXPECT_EQ(desktop.boxes, std::vector<std::string>{"Too many characters"});
    EXPECT_TRUE(prompt.isVisible()) << "the prompt stays open";
    EXPECT_EQ(name, "kept");

    prompt.edit()->setText(QString(20, 'a'));
    prompt.accept();
    EXPECT_EQ(prompt.result(), QDialog::Accepted);
    EXPECT_EQ(name, std::string(20, 'a'));
}

TEST_F(Dialogs, TextPromptCancelKeepsTheValueAndBig5IsCountedInBytes)
{
    std::string text;
    CTextPromptDlg cancelled(text, "Register OMRA: Please Input Your Email Address", 200, desktop);
    cancelled.edit()->setText("a@b");
    cancelled.reject();
    EXPECT_EQ(text, "");

    CTextPromptDlg chinese(text, "t", 4, desktop);
    chinese.edit()->setText(QString::fromUtf8("將帥"));
    chinese.accept();
    EXPECT_EQ(text, "\xB1\x4E\xAB\xD3") << "the entered text is kept in Big5";
    chinese.edit()->setText(QString::fromUtf8("將帥兵"));
    chinese.accept();
    EXPECT_EQ(desktop.boxes.size(), 1u) << "six bytes are more than four";

    CTextPromptDlg unlimited(text, "t", 0, desktop);
    EXPECT_EQ(unlimited.limitLine()->text(), "");
}

TEST_F(Dialogs, RecentFilesKeepTheSixNewestFirst)
{
    const QString file = QString::fromStdString(folder.file("recent.ini"));
    {
        QSettings store(file, QSettings::IniFormat);
        RecentFileList recent(store);
        for (int i = 1; i <= 7; ++i)
            recent.add(QStringLiteral("/games/%1.che").arg(i));
        recent.add(QStringLiteral("/games/4.che"));
        EXPECT_EQ(recent.entries(), QStringList({"/games/4.che", "/games/7.che", "/games/6.che", "/games/5.che",
                                                 "/games/3.che", "/games/2.che"}));
        recent.remove(QStringLiteral("/games/3.che"));
    }
    QSettings store(file, QSettings::IniFormat);
    RecentFileList reloaded(store);
    EXPECT_EQ(reloaded.entries(),
              QStringList({"/games/4.che", "/games/7.che", "/games/6.che", "/games/5.che", "/games/2.che"}));
}

} // namespace
} // namespace marovin::windows
