// The board settings dialog on real widgets (offscreen) over real game windows: every
// change shows at once on an open board (its pixels), Cancel puts back the options image
// byte for byte and the boards' pixels, OK writes the settings file, the piece text boxes
// refuse what Big5 cannot hold, and the window widens for the custom font group. The
// other windows it opens (colours, bitmap file, font) are replaced by scripted answers.

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTest>

#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "offscreen_windows.h"

#include "game_window/board_settings_dialog.h"
#include "game_window/game_frame.h"
#include "game_window/qt_game_windows.h"
#include "platform/platform_defaults.h"
#include "support/fixed_text.h"
#include "testkit/game_fakes.h"
#include "testkit/qt_application.h"
#include "testkit/temp_folder.h"

namespace marovin::board {
namespace {

using testing::settle;
using testing::grabbed;

const SystemMetrics kMetrics = deriveSystemMetrics(16, 7);
const std::string kPaper = std::string(MAROVIN_SOURCE_DIR) + "/assets/paper.bmp";

bool sameImage(const Options& a, const Options& b)
{
    return std::memcmp(&a, &b, sizeof(Options)) == 0;
}

template <class Widget = QAbstractButton>
Widget* controlOf(CBoardSettingsDlg& dialog, int id)
{
    auto* widget = qobject_cast<Widget*>(dialog.control(id));
    EXPECT_NE(widget, nullptr) << "control " << id;
    return widget;
}

// Types text into a box, one character per key, as a user (or an input method) would.
void typeInto(QLineEdit* edit, const QString& text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), {});
}

struct BoardSettings : ::testing::Test {
    BoardSettings()
    {
        area.resize(780, 580);
        area.show();
        shown = windows.newGame();
        // A move, so that the last-move highlight is on the board too.
        const auto move = model::ParseCoordinateMove("H2-E2");
        shown->game()->PlayMove(move->from, move->to, model::MoveKind::User);
        settle();
    }
    static bool defaults(Options& options)
    {
        setDefaultOptions(options, platform::measurePlatformDefaults());
        return true;
    }
    std::unique_ptr<CBoardSettingsDlg> openDialog()
    {
        auto dialog = std::make_unique<CBoardSettingsDlg>(windows, settings, memory);
        dialog->setFontColourRunner([this](TextFormat& format, Colour& second, int mode) {
            modes.push_back(mode);
            if (!colourAnswer)
                return false;
            format.textColour = colourAnswer->first;
            second = colourAnswer->second;
            return true;
        });
        dialog->setBitmapChooser([this](Options& options) {
            if (bitmapAnswer.empty())
                return false;
            copyBounded(options.boardBitmapPath, bitmapAnswer);
            return true;
        });
        dialog->setFontChooser([this](const QFont&) { return fontAnswer; });
        settle();
        return dialog;
    }
    QImage board()
    {
        settle();
        return grabbed(shown->view());
    }
    Options& options() { return *rig.options; }

    QApplication& application = testkit::qtApplication();
    testkit::GameRig rig;
    bool defaultsSet = defaults(*rig.options);
    testkit::TempFolder folder;
    SettingsFile settings{folder.file("Marovin.dat"), rig.desktop};
    shell::FontColourMemory memory;
    QMdiArea area;
    QtGameWindows windows{&area, *rig.context, kMetrics};
    CGameFrame* shown = nullptr;
    std::vector<int> modes;
    std::optional<std::pair<Colour, Colour>> colourAnswer;
    std::string bitmapAnswer;
    std::optional<QFont> fontAnswer;
};

TEST_F(BoardSettings, EveryChangeShowsAtOnceAndCancelPutsEverythingBack)
{
    struct Case {
        const char* name;
        std::function<void(BoardSettings&, CBoardSettingsDlg&)> change;
        std::function<bool(const Options&)> stored; // the options hold the change
    };
    const Case cases[] = {
        {"red side",
         [](BoardSettings& t, CBoardSettingsDlg& d) {
             t.colourAnswer = {0x00FF00, 0x404040};
             controlOf(d, kRedSideButton)->click();
         },
         [](const Options& o) { return o.redTextColour == 0x00FF00 && o.redFaceColour == 0x404040; }},
        {"black side",
         [](BoardSettings& t, CBoardSettingsDlg& d) {
             t.colourAnswer = {0x00FFFF, 0x800000};
             controlOf(d, kBlackSideButton)->click();
         },
         [](const Options& o) { return o.blackTextColour == 0x00FFFF && o.blackFaceColour == 0x800000; }},
        {"board lines and colour",
         [](BoardSettings& t, CBoardSettingsDlg& d) {
             t.colourAnswer = {0x0000FF, 0xC0C0C0};
             controlOf(d, kChessBoardButton)->click();
         },
         [](const Options& o) { return o.lineColour == 0x0000FF && o.boardColour == 0xC0C0C0; }},
        {"piece cursor",
         [](BoardSettings& t, CBoardSettingsDlg& d) {
             t.colourAnswer = {0x00FF00, Colour(t.options().boardColour)};
             controlOf(d, kPieceCursorButton)->click();
         },
         [](const Options& o) { return o.pieceCursorColour == 0x00FF00; }},
        {"custom font and text",
         [](BoardSettings&, CBoardSettingsDlg& d) {
             controlOf(d, kCustomFontBox)->click();
             typeInto(d.pieceTextEdit(12), QStringLiteral("砲"));
         },
         [](const Options& o) {
             return o.useCustomFont == 1 && std::string_view(o.pieceText[12]) == "\xAF\xA5";
         }},
        {"custom font chosen",
         [](BoardSettings& t, CBoardSettingsDlg& d) {
             controlOf(d, kCustomFontBox)->click();
             QFont font(QStringLiteral("DejaVu Serif"));
             font.setPixelSize(30);
             t.fontAnswer = font;
             controlOf(d, kSetCustomFontButton)->click();
         },
         [](const Options& o) {
             return o.customFont.height == -30 && fieldText(o.customFont.faceName) == "DejaVu Serif";
         }},
        {"bitmap board, stretched",
         [](BoardSettings& t, CBoardSettingsDlg& d) {
             t.bitmapAnswer = kPaper;
             controlOf(d, kBitmapBoardBox)->click();
             controlOf(d, kStretchBitmapRadio)->click();
         },
         [](const Options& o) {
             return o.useBitmapBoard == 1 && o.stretchBitmap == 1 && fieldText(o.boardBitmapPath) == kPaper;
         }},
    };
    const Options before = options();
    const QImage pixelsBefore = board();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto dialog = openDialog();
        ASSERT_NE(dialog->preview(), nullptr);
        EXPECT_EQ(windows.frames().size(), 2u) << "the preview opened";
        c.change(*this, *dialog);
        EXPECT_TRUE(c.stored(options()));
        EXPECT_NE(board(), pixelsBefore) << "the open board shows the change";

        dialog->reject();
        settle();
        EXPECT_TRUE(sameImage(options(), before)) << "the options image is as before";
        EXPECT_EQ(board(), pixelsBefore) << "the board looks as before";
        EXPECT_EQ(windows.frames().size(), 1u) << "the preview closed";
        EXPECT_FALSE(windows.boardBitmap().isLoaded()) << "the bitmap is as before: none";
        colourAnswer.reset();
        bitmapAnswer.clear();
        fontAnswer.reset();
    }
    EXPECT_EQ(modes, (std::vector<int>{1, 1, 2, 3})) << "the colour dialog's modes";
    EXPECT_TRUE(rig.desktop.boxes.empty());
}

TEST_F(BoardSettings, CancelAfterManyChangesAndACancelledColourWindowPutsBackTheImage)
{
    options().useBitmapBoard = 1; // a bitmap loaded before the dialog stays the one drawn
    copyBounded(options().boardBitmapPath, kPaper);
    loadBoardBitmap(options(), rig.desktop, windows.boardBitmap());
    windows.redrawBoards();
    const Options before = options();
    const QImage pixelsBefore = board();

    auto dialog = openDialog();
    controlOf(*dialog, kTwoClickMoveBox)->click();
    controlOf(*dialog, kPromptGameOverBox)->click();
    controlOf(*dialog, kHandCursorBox)->click();
    controlOf(*dialog, kStretchBitmapRadio)->click();
    controlOf(*dialog, kBitmapBoardBox)->click(); // off
    controlOf(*dialog, kCustomFontBox)->click();
    typeInto(dialog->pieceTextEdit(0), QStringLiteral("A"));
    controlOf(*dialog, kRedSideButton)->click(); // the colour window cancelled
    EXPECT_EQ(+options().twoClickMove, 1);
    EXPECT_EQ(+options().promptGameOver, 0);
    EXPECT_EQ(+options().handCursorOnPick, 0);
    EXPECT_EQ(+options().useBitmapBoard, 0);
    EXPECT_EQ(+options().redTextColour, +before.redTextColour);
    EXPECT_NE(board(), pixelsBefore);

    dialog->reject();
    settle();
    EXPECT_TRUE(sameImage(options(), before));
    EXPECT_EQ(board(), pixelsBefore);
    EXPECT_TRUE(windows.boardBitmap().isLoaded());
}

TEST_F(BoardSettings, OkKeepsTheChangesAndWritesTheSettingsFile)
{
    auto dialog = openDialog();
    controlOf(*dialog, kTwoClickMoveBox)->click();
    controlOf(*dialog, kCustomFontBox)->click();
    typeInto(dialog->pieceTextEdit(3), QString());
    dialog->accept();
    settle();
    EXPECT_EQ(+options().twoClickMove, 1);
    EXPECT_EQ(std::string_view(options().pieceText[3]), "") << "a cleared box leaves no text";
    const std::string written = testkit::TempFolder::read(settings.path());
    ASSERT_EQ(written.size(), kOptionsSize);
    EXPECT_EQ(std::memcmp(written.data(), &options(), kOptionsSize), 0);
    EXPECT_EQ(windows.frames().size(), 1u) << "the preview closed";
}

TEST_F(BoardSettings, TheMoveListNotationShowsAtOnceCancelPutsItBackAndOkKeepsIt)
{
    // The first move of the open board's list, as the list shows it.
    const auto firstMove = [this] { return shown->moveList()->rowTexts().value(0); };
    ASSERT_EQ(loadMoveListSettings().notation, model::MoveNotation::Chinese) << "the default";
    ASSERT_EQ(firstMove(), QString::fromUtf8("1. \u70AE\u4E8C\u5E73\u4E94")); // 炮二平五
    auto dialog = openDialog();
    dialog->findChild<QRadioButton*>(QStringLiteral("notationWXF"))->click();
    EXPECT_EQ(firstMove(), "1. C2.5");
    dialog->reject();
    EXPECT_EQ(firstMove(), QString::fromUtf8("1. \u70AE\u4E8C\u5E73\u4E94"));
    EXPECT_EQ(loadMoveListSettings().notation, model::MoveNotation::Chinese);

    dialog = openDialog();
    dialog->findChild<QRadioButton*>(QStringLiteral("notationICCS"))->click();
    dialog->accept();
    EXPECT_EQ(firstMove(), "1. h2e2");
    EXPECT_EQ(loadMoveListSettings().notation, model::MoveNotation::Iccs) << "kept in the program's settings";
    saveMoveListSettings({}); // as it was for the tests that follow
}

TEST_F(BoardSettings, TheGrowBoxGrowsTheOpenBoardsCancelPutsItBackAndOkKeepsIt)
{
    ASSERT_FALSE(loadBoardGrows()) << "the default: the fixed sizes";
    shown->resize(1300, 1200);
    settle();
    auto* splitter = shown->findChild<QSplitter*>(QStringLiteral("gameSplitter"));
    splitter->setSizes({splitter->width(), 0}); // the board pane the whole width
    settle();
    ASSERT_EQ(shown->view()->painter().geometry().pieceSize, kMaxPieceSize);
    auto dialog = openDialog();
    ASSERT_TRUE(dialog->growBox());
    EXPECT_EQ(dialog->growBox()->text(), "Let the board grow with the window");
    EXPECT_FALSE(dialog->growBox()->isChecked());
    dialog->growBox()->click();
    EXPECT_GT(shown->view()->painter().geometry().pieceSize, kMaxPieceSize) << "the open board grows at once";
    dialog->reject();
    EXPECT_EQ(shown->view()->painter().geometry().pieceSize, kMaxPieceSize);
    EXPECT_FALSE(windows.boardGrows());

    dialog = openDialog();
    dialog->growBox()->click();
    dialog->accept();
    EXPECT_TRUE(loadBoardGrows()) << "kept in the program's settings";
    EXPECT_TRUE(shown->view()->boardGrows());
    saveBoardGrows(false); // as it was for the tests that follow
}

TEST_F(BoardSettings, PieceTextBoxesHoldOneBig5CharacterAndSayWhyTheyRefuse)
{
    struct Case {
        QString typed;
        QString shown;
        std::string stored;
        const char* refusal; // part of the message, or "" when nothing was refused
    };
    const Case cases[] = {
        {QStringLiteral("將"), QStringLiteral("將"), "\xB1\x4E", ""},
        {QStringLiteral("AB"), QStringLiteral("AB"), "AB", ""},
        {QStringLiteral("車馬"), QStringLiteral("車"), "\xA8\xAE", "one Chinese character"},
        {QStringLiteral("ABC"), QStringLiteral("AB"), "AB", "one Chinese character"},
        {QStringLiteral("한"), QString(), "", "cannot carry (U+D55C"},
    };
    auto dialog = openDialog();
    controlOf(*dialog, kCustomFontBox)->click();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        QLineEdit* edit = dialog->pieceTextEdit(8);
        typeInto(edit, c.typed);
        EXPECT_EQ(edit->text(), c.shown);
        EXPECT_EQ(std::string_view(options().pieceText[8]), c.stored);
        const std::string refusal = dialog->refusalLine()->text().toStdString();
        if (*c.refusal)
            EXPECT_NE(refusal.find(c.refusal), std::string::npos) << refusal;
        else
            EXPECT_EQ(refusal, "");
    }
}

TEST_F(BoardSettings, TheWindowWidensForTheCustomFontGroup)
{
    auto dialog = openDialog();
    dialog->show();
    settle();
    const int narrow = dialog->width();
    for (const bool wide : {true, false, true}) {
        controlOf(*dialog, kCustomFontBox)->click();
        settle();
        EXPECT_EQ(dialog->customGroup()->isVisible(), wide);
        EXPECT_EQ(dialog->pieceTextEdit(13)->isEnabled(), wide) << "reachable only when shown";
        EXPECT_EQ(dialog->control(kSetCustomFontButton)->isEnabled(), wide);
        EXPECT_EQ(dialog->control(kDividerLine)->isVisible(), wide);
        if (wide)
            EXPECT_GT(dialog->width(), narrow + dialog->customGroup()->width() / 2);
        else
            EXPECT_EQ(dialog->width(), narrow);
    }
    dialog->reject();
}

TEST_F(BoardSettings, TheBitmapBoxAsksForAFileAndIsOnOnlyWhenOneLoads)
{
    struct Case {
        std::string answer; // "" cancels the chooser
        bool on;
        const char* box; // the message shown, if any
    };
    const std::string missing = folder.file("missing.bmp");
    const Case cases[] = {
        {"", false, ""},
        {kPaper, true, ""},
        {missing, false, "Fail to load BMP file:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        rig.desktop.boxes.clear();
        auto dialog = openDialog();
        bitmapAnswer = c.answer;
        controlOf(*dialog, kBitmapBoardBox)->click();
        EXPECT_EQ(+options().useBitmapBoard, c.on ? 1 : 0);
        EXPECT_EQ(controlOf(*dialog, kBitmapBoardBox)->isChecked(), c.on);
        for (int id : {kOpenBitmapButton, kStretchBitmapRadio, kCopyBitmapRadio})
            EXPECT_EQ(dialog->control(id)->isEnabled(), c.on) << "control " << id;
        EXPECT_EQ(windows.boardBitmap().isLoaded(), c.on);
        const std::string shownBox = rig.desktop.boxes.empty() ? "" : rig.desktop.boxes.front();
        EXPECT_EQ(shownBox.rfind(c.box, 0), 0u) << shownBox;
        dialog->reject();
    }
}

TEST_F(BoardSettings, ThePreviewShowsARedCannonOnTheHighlightedSquareH4)
{
    CGameFrame* active = windows.newGame();
    area.setActiveSubWindow(active);
    auto dialog = openDialog();
    CGameFrame* preview = dialog->preview();
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->windowTitle(), "Preview of the board settings");
    EXPECT_NE(preview->windowTitle(), active->windowTitle()) << "the preview is not taken for a new game";
    const model::CGame& game = *preview->game();
    const auto move = model::ParseCoordinateMove("H2-H4");
    EXPECT_EQ(model::TypeOf(game.browsedBoard[move->to]), 12) << "a Red cannon";
    EXPECT_FALSE(game.modified);
    const BoardGeometry& g = preview->view()->painter().geometry();
    const int column = move->to % 9, row = move->to / 9;
    const QPoint corner(g.fileX[column] - g.halfSquare, g.rankY[row] - g.halfSquare);
    const Colour cursor = options().pieceCursorColour;
    EXPECT_EQ(preview->view()->screen().pixel(corner), platform::qColour(cursor).rgb()) << "the highlight";
    dialog.reset(); // destroyed without being closed: the preview goes all the same
    settle();
    EXPECT_EQ(windows.frames().size(), 2u);
    EXPECT_EQ(area.activeSubWindow(), active) << "the window active before is again";
}

} // namespace
} // namespace marovin::board
