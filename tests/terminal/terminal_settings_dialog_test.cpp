// The terminal settings dialog on real widgets, offscreen, with the font and colour
// dialog replaced by a scripted answer.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

#include "platform/big5_text.h"
#include "terminal/terminal_settings_dialog.h"
#include "support/fixed_text.h"
#include "testkit/fakes.h"
#include "test_options.h"
#include "testkit/qt_application.h"
#include "testkit/temp_folder.h"

namespace marovin::shell {
namespace {

class TerminalSettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        testkit::qtApplication();
        setTestOptions(options);
    }
    bool fileWritten() const
    {
        struct stat info{};
        return ::stat(settings.path().c_str(), &info) == 0;
    }

    testkit::TempFolder folder;
    testkit::FakeDesktop desktop;
    SettingsFile settings{folder.file("Marovin.dat"), desktop};
    FontColourMemory memory;
    Options options{};
};

TEST_F(TerminalSettings, SpecialButtonsFollowTheirLeadingStrings)
{
    CTerminalSettingsDlg dialog(options, settings, memory);
    const bool expected[] = {true, true, true, false, false, false, false}; // "!", "#", "{tovalk"
    for (int i = 0; i < kSpecialButtonCount; ++i)
        EXPECT_EQ(dialog.button(kFirstSpecialButtonId + i)->isEnabled(), expected[i]) << "special " << i;

    QTest::keyClicks(dialog.leadEdit(4), "(x)");
    EXPECT_TRUE(dialog.button(kFirstSpecialButtonId + 4)->isEnabled());
    EXPECT_EQ(fieldText(dialog.edited().specialLineLead[4]), "(x)");
    EXPECT_TRUE(dialog.outputExample()->toPlainText().contains(QStringLiteral("\n(x):")));

    dialog.leadEdit(0)->selectAll();
    QTest::keyClick(dialog.leadEdit(0), Qt::Key_Delete);
    EXPECT_FALSE(dialog.button(kFirstSpecialButtonId)->isEnabled());
}

TEST_F(TerminalSettings, LeadingStringsKeepFiftyBytesAndWholeCharacters)
{
    CTerminalSettingsDlg dialog(options, settings, memory);
    QTest::keyClicks(dialog.leadEdit(3), QString(49, QLatin1Char('a')));
    QTest::sendKeyEvent(QTest::Click, dialog.leadEdit(3), Qt::Key_unknown, QStringLiteral("\u4E2D"), {});
    EXPECT_EQ(fieldText(dialog.edited().specialLineLead[3]), std::string(49, 'a')) << "no half character";
    EXPECT_EQ(boundedBig5("ab\xA4\xA4", 4), "ab\xA4\xA4");
    EXPECT_EQ(boundedBig5("ab\xA4\xA4", 3), "ab");
}

TEST_F(TerminalSettings, ShowsTheExampleLinesInTheirFormats)
{
    CTerminalSettingsDlg dialog(options, settings, memory);
    EXPECT_EQ(dialog.outputExample()->toPlainText(),
              QStringLiteral("DefaultText(Client SystemFont):\nClient Normal Text:\nClient Warnning Text:\n"
                             "Typed Text:\n!:\n#:\n{tovalk:"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Terminal settings: font  and color"));
}

TEST_F(TerminalSettings, EachButtonEditsItsFormatAndBackground)
{
    CTerminalSettingsDlg dialog(options, settings, memory);
    int mode = 99;
    dialog.setFontColourRunner([&mode](TextFormat& format, Colour& second, int runMode) {
        mode = runMode;
        format.textColour = 0x123456;
        second = 0x654321;
        return true;
    });
    QTest::mouseClick(dialog.button(kInputFormatButtonId), Qt::LeftButton);
    EXPECT_EQ(mode, 0);
    EXPECT_EQ(+dialog.edited().inputTextFormat.textColour, 0x123456u);
    EXPECT_EQ(+dialog.edited().inputBackColour, 0x654321u);
    EXPECT_EQ(+dialog.edited().outputBackColour, +options.outputBackColour);
    QTest::mouseClick(dialog.button(kFirstSpecialButtonId + 1), Qt::LeftButton);
    EXPECT_EQ(+dialog.edited().specialLineFormat[1].textColour, 0x123456u);
    EXPECT_EQ(+dialog.edited().outputBackColour, 0x654321u);
}

TEST_F(TerminalSettings, ChangeAllFontsCopiesTheFontButKeepsEveryColour)
{
    CTerminalSettingsDlg dialog(options, settings, memory);
    dialog.setFontColourRunner([](TextFormat& format, Colour&, int mode) {
        EXPECT_EQ(mode, -1);
        copyBounded(format.faceName, "DejaVu Serif");
        format.height = 300;
        format.effects = kEffectBold;
        format.textColour = 0xABCDEF; // the all-font mode changes no colour, and none is taken
        return true;
    });
    QTest::mouseClick(dialog.button(kChangeAllFontsButtonId), Qt::LeftButton);
    const Options& edited = dialog.edited();
    for (const TextFormat* format : {&edited.inputTextFormat, &edited.outputTextFormat, &edited.warningTextFormat,
                                     &edited.normalClientTextFormat, &edited.typedTextFormat,
                                     &edited.specialLineFormat[0], &edited.specialLineFormat[9]}) {
        EXPECT_EQ(fieldText(format->faceName), "DejaVu Serif");
        EXPECT_EQ(+format->height, 300);
        EXPECT_EQ(+format->effects, kEffectBold);
    }
    EXPECT_EQ(+edited.warningTextFormat.textColour, +options.warningTextFormat.textColour);
    EXPECT_EQ(+edited.specialLineFormat[1].textColour, +options.specialLineFormat[1].textColour);
}

TEST_F(TerminalSettings, OkWritesTheSettingsOnlyWhenSomethingChanged)
{
    {
        CTerminalSettingsDlg dialog(options, settings, memory);
        dialog.accept();
        EXPECT_FALSE(dialog.changed());
        EXPECT_FALSE(fileWritten());
    }
    CTerminalSettingsDlg dialog(options, settings, memory);
    dialog.echoBox()->setChecked(false);
    dialog.accept();
    EXPECT_TRUE(dialog.changed());
    EXPECT_EQ(+options.echoTypedText, 0);
    EXPECT_TRUE(fileWritten());
}

} // namespace
} // namespace marovin::shell
