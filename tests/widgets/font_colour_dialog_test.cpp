// The font and colour dialog on real widgets, offscreen: its palette, sizes, modes and
// what OK gives back.

#include <gtest/gtest.h>

#include <QListWidget>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextEdit>

#include <algorithm>
#include <set>
#include <tuple>

#include "platform/big5_text.h"
#include "widgets/font_colour_dialog.h"
#include "support/fixed_text.h"
#include "testkit/qt_application.h"

namespace marovin::shell {
namespace {

TextFormat formatOf(const char* face, std::int32_t twips, std::uint32_t effects, Colour colour)
{
    TextFormat format{};
    format.cbSize = sizeof(TextFormat);
    format.height = twips;
    format.effects = effects;
    format.textColour = colour;
    format.charSet = kCharSetBig5;
    format.pitchAndFamily = 0x31;
    copyBounded(format.faceName, face);
    return format;
}

TEST(BasicPalette, HoldsTheSystemColoursAtBothEndsAndNoGreyTwice)
{
    const auto& palette = basicPalette();
    const auto rgb = [](Rgb c) { return std::make_tuple(c.red, c.green, c.blue); };
    EXPECT_EQ(rgb(palette[0]), std::make_tuple(0, 0, 0));
    EXPECT_EQ(rgb(palette[9]), std::make_tuple(166, 202, 240));
    EXPECT_EQ(rgb(palette[246]), std::make_tuple(255, 251, 240));
    EXPECT_EQ(rgb(palette[249]), std::make_tuple(255, 0, 0));
    EXPECT_EQ(rgb(palette[255]), std::make_tuple(255, 255, 255));
    std::set<std::tuple<int, int, int>> middle;
    for (int i = 10; i < 246; ++i)
        middle.insert(rgb(palette[static_cast<std::size_t>(i)]));
    EXPECT_EQ(middle.size(), 236u) << "the 236 colours between the ends differ";
    EXPECT_EQ(colourOf(Rgb{1, 2, 3}), 0x030201u);
}

TEST(SizeText, ShowsWholeAndHalfPoints)
{
    const std::pair<std::int32_t, const char*> cases[] = {
        {240, "12"}, {200, "10"}, {210, "10.5"}, {195, "10"}, {-20, ""}, {0, "0"}, {150, "7.5"}, {181, "9"},
    };
    for (const auto& [twips, text] : cases)
        EXPECT_EQ(sizeTextOfTwips(twips), text) << twips << " twips";
}

TEST(SpinAcceleration, GrowsAfterOneAndTwoSecondsHeld)
{
    EXPECT_EQ(spinAcceleration(0), 1);
    EXPECT_EQ(spinAcceleration(999), 1);
    EXPECT_EQ(spinAcceleration(1000), 2);
    EXPECT_EQ(spinAcceleration(2000), 5);
}

class FontColourDialog : public ::testing::Test {
protected:
    void SetUp() override { testkit::qtApplication(); }
    FontColourMemory memory;
};

TEST_F(FontColourDialog, OpensOnTheRecordsFaceSizeStyleAndColour)
{
    CFontColourDlg dialog(formatOf("DejaVu Sans Mono", 210, kEffectItalic, 0x0000FF), 0xFFFFFF, 0, memory);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Font and color"));
    ASSERT_NE(dialog.fontList()->currentItem(), nullptr);
    EXPECT_TRUE(dialog.fontList()->currentItem()->text().startsWith(QStringLiteral("* DejaVu Sans Mono")))
        << "fixed-pitch faces are marked";
    ASSERT_NE(dialog.sizeList()->currentItem(), nullptr);
    EXPECT_EQ(dialog.sizeList()->currentItem()->text(), QStringLiteral("10.5"));
    EXPECT_TRUE(dialog.styleRadio(2)->isChecked());
    EXPECT_EQ(dialog.rgbSpin(0)->value(), 255);
    EXPECT_EQ(dialog.rgbSpin(2)->value(), 0);
    EXPECT_TRUE(dialog.sample()->toPlainText().startsWith(QStringLiteral("10 DejaVu Sans Mono")));
}

TEST_F(FontColourDialog, OkGivesTheChosenFontSizeStyleAndColours)
{
    CFontColourDlg dialog(formatOf("DejaVu Sans Mono", 240, 0, 0x000000), 0xFFFFFF, 0, memory);
    dialog.show();
    const auto faces = dialog.fontList()->findItems(QStringLiteral("DejaVu Serif"), Qt::MatchStartsWith);
    ASSERT_FALSE(faces.isEmpty());
    dialog.fontList()->setCurrentItem(faces.front());
    EXPECT_EQ(dialog.sizeList()->currentItem()->text(), QStringLiteral("12")) << "the size is kept";
    dialog.sizeList()->setCurrentItem(dialog.sizeList()->findItems(QStringLiteral("16"), Qt::MatchExactly).front());
    dialog.styleRadio(1)->setChecked(true);
    dialog.rgbSpin(1)->setValue(128); // green of the text colour
    dialog.colourRadio(1)->setChecked(true);
    EXPECT_EQ(dialog.rgbSpin(0)->value(), 255) << "the fields now show the background";
    QTest::mouseClick(dialog.paletteArea(), Qt::LeftButton, {}, CPaletteArea::cellRect(4).center()); // (0,0,128)
    EXPECT_EQ(dialog.rgbSpin(2)->value(), 128);
    dialog.accept();
    EXPECT_EQ(fieldText(dialog.format().faceName), "DejaVu Serif");
    EXPECT_EQ(+dialog.format().height, 320);
    EXPECT_EQ(+dialog.format().effects, kEffectBold);
    EXPECT_EQ(+dialog.format().textColour, 0x008000u);
    EXPECT_EQ(dialog.secondColour(), 0x800000u);
    EXPECT_FALSE(memory.editTextColour) << "the background radio is remembered";

    CFontColourDlg again(formatOf("DejaVu Sans Mono", 240, 0, 0), 0xFFFFFF, 0, memory);
    EXPECT_TRUE(again.colourRadio(1)->isChecked());
}

TEST_F(FontColourDialog, ColourModesLockTheFontAndNameTheirColours)
{
    struct Case {
        int mode;
        const char* title;
        const char* first;
        const char* second;
        bool secondEnabled;
    };
    const Case cases[] = {
        {1, "Set Colors", "Piece Text Color", "Piece Color", true},
        {2, "Set Colors", "Board Line Color", "Board Color", true},
        {3, "Set Colors", "Piece Cursor Color", "Board Color", false},
    };
    memory.editTextColour = false;
    for (const Case& c : cases) {
        CFontColourDlg dialog(formatOf("DejaVu Sans", 240, 0, 0x0000FF), 0x00FF00, c.mode, memory);
        EXPECT_EQ(dialog.windowTitle(), QString::fromLatin1(c.title)) << c.mode;
        EXPECT_EQ(dialog.colourRadio(0)->text(), QString::fromLatin1(c.first)) << c.mode;
        EXPECT_EQ(dialog.colourRadio(1)->text(), QString::fromLatin1(c.second)) << c.mode;
        EXPECT_EQ(dialog.colourRadio(1)->isEnabled(), c.secondEnabled) << c.mode;
        EXPECT_FALSE(dialog.fontList()->isEnabled()) << c.mode;
        EXPECT_FALSE(dialog.styleRadio(0)->isEnabled()) << c.mode;
        if (c.mode == 3) {
            EXPECT_TRUE(dialog.colourRadio(0)->isChecked()) << "the cursor colour is always the one edited";
        }
    }
}

TEST_F(FontColourDialog, TheAllFontModeHidesTheColours)
{
    CFontColourDlg dialog(formatOf("DejaVu Sans", 240, 0, 0x0000FF), 0x00FF00, -1, memory);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Set All Font"));
    EXPECT_TRUE(dialog.fontList()->isEnabled());
    EXPECT_TRUE(dialog.colourRadio(0)->isHidden());
    EXPECT_TRUE(dialog.rgbSpin(0)->isHidden());
    EXPECT_FALSE(dialog.paletteArea()->active());
    QTest::mouseClick(dialog.paletteArea(), Qt::LeftButton, {}, CPaletteArea::cellRect(3).center());
    dialog.accept();
    EXPECT_EQ(+dialog.format().textColour, 0x0000FFu) << "a click on the hidden palette does nothing";
    EXPECT_EQ(dialog.secondColour(), 0x00FF00u);
}

TEST_F(FontColourDialog, ListsTheInstalledFacesOncePerScriptWithTheirPitch)
{
    CFontColourDlg dialog(formatOf("DejaVu Sans", 240, 0, 0), 0xFFFFFF, 0, memory);
    QStringList names;
    for (int row = 0; row < dialog.fontList()->count(); ++row)
        names << dialog.fontList()->item(row)->text();
    EXPECT_TRUE(names.contains(QStringLiteral("* DejaVu Sans Mono")) ||
                names.contains(QStringLiteral("* DejaVu Sans Mono (Western)")))
        << names.join(QLatin1Char('|')).toStdString();
    const bool bigFive = std::any_of(names.begin(), names.end(), [](const QString& name) {
        return name.contains(QStringLiteral("CJK TC")) && name.contains(QStringLiteral("CHINESE_BIG5"));
    });
    EXPECT_TRUE(bigFive) << "the project's CJK font is listed for Big5";
    EXPECT_EQ(names.filter(QRegularExpression(QStringLiteral("^@"))).size(), 0);
}

} // namespace
} // namespace marovin::shell
