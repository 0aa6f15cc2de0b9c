#pragma once
// "Chess Board Settings": how the boards look and how the mouse moves pieces. Every change
// goes into the live options record at once and every open board shows it, including a
// preview game window that the dialog opens for itself (a local game with the move H2-H4
// played, so that the last-move highlight shows). OK keeps the changes and writes the
// settings file; Cancel puts back the whole record, byte for byte, and the board bitmap
// as they were when the dialog opened, and draws every board again. The preview closes
// with the dialog, however it is closed.
//
// The move lists' notation (Chinese, WXF, ICCS) and whether boards grow with their windows
// are chosen here too; they are kept in the program's settings rather than the record,
// and Cancel puts them back as well.
//
// Narrow and wide: the "Custom Chess Font and Text" group (the 14 piece texts beside
// their pieces' pictures, and "Set Custom Font") shows, and is reachable, only while
// "Custom Chess Font and Text" is checked.

#include <QDialog>
#include <QFont>
#include <QPointer>

#include <array>
#include <functional>
#include <optional>

#include "board/board_bitmap.h"
#include "game_window/game_frame.h"
#include "game_window/move_list_settings.h"
#include "model/position.h"
#include "options/options.h"
#include "widgets/font_colour_dialog.h"

class QAbstractButton;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace marovin::board {

class QtGameWindows;
struct BoardColourPair;

constexpr int kBoardSettingsResource = 182;

// Control ids, as the settings are known by.
constexpr int kTwoClickMoveBox = 1151;
constexpr int kPromptGameOverBox = 1152;
constexpr int kHandCursorBox = 1200;
constexpr int kBitmapBoardBox = 1180;
constexpr int kOpenBitmapButton = 1181;
constexpr int kStretchBitmapRadio = 1183;
constexpr int kCopyBitmapRadio = 1184;
constexpr int kRedSideButton = 1033;
constexpr int kBlackSideButton = 1034;
constexpr int kChessBoardButton = 1037;
constexpr int kPieceCursorButton = 1173;
constexpr int kCustomFontBox = 1155;
constexpr int kDividerLine = 1157;
constexpr int kSetCustomFontButton = 1158;
constexpr int kFirstPieceTextEdit = 1159; // 1159..1172: piece types 0..13

// A piece text holds at most this many Big5 bytes: one Chinese character.
constexpr int kPieceTextLimit = 2;

class CBoardSettingsDlg : public QDialog {
    Q_OBJECT
public:
    // What the dialog asks the user through other windows; tests replace them.
    // The font and colour dialog on a format and a second colour in a mode: true on OK
    // with the new values.
    using FontColourRunner = std::function<bool(TextFormat& format, Colour& second, int mode)>;
    // The bitmap file chooser: true when a file was chosen into options.boardBitmapPath.
    using BitmapChooser = std::function<bool(Options& options)>;
    // The font chooser, offering scalable fonts: the chosen font, or nothing.
    using FontChooser = std::function<std::optional<QFont>(const QFont& current)>;

    // Opens the preview window among windows' game windows; the options are windows'
    // context's, and so is the desktop that reports bitmap faults.
    CBoardSettingsDlg(QtGameWindows& windows, const SettingsFile& settings, shell::FontColourMemory& memory,
                      QWidget* parent = nullptr);
    ~CBoardSettingsDlg() override;

    void setFontColourRunner(FontColourRunner runner) { m_runFontColour = std::move(runner); }
    void setBitmapChooser(BitmapChooser chooser) { m_chooseBitmap = std::move(chooser); }
    void setFontChooser(FontChooser chooser) { m_chooseFont = std::move(chooser); }

    // The control with this id (a check box, button, radio button, edit or the divider).
    QWidget* control(int id) const;
    QLineEdit* pieceTextEdit(int type) const { return m_pieceTexts[static_cast<std::size_t>(type)]; }
    QGroupBox* customGroup() const { return m_customGroup; }
    // "Let the board grow with the window".
    QCheckBox* growBox() const { return m_growBox; }
    // Why the last piece text edit was refused (empty after an accepted one).
    QLabel* refusalLine() const { return m_refusal; }
    // The preview game window (null once closed, or when none could be opened).
    CGameFrame* preview() const { return m_preview; }

    void accept() override;
    void reject() override;
    void done(int result) override;

private:
    QWidget* buildMainColumn();
    QGroupBox* buildCustomGroup();
    QGroupBox* buildNotationGroup();
    QCheckBox* addCheckBox(int id, const char* text, std::size_t option);
    QPushButton* addColourButton(const BoardColourPair& pair);
    void openPreview();
    void layoutWindow();
    void refreshBitmapControls();
    void refreshColourIcons();
    bool chooseBitmapFile();
    void onBitmapBoxClicked(bool checked);
    void onOpenBitmap();
    void onStretchChosen(bool stretch);
    void editColours(const BoardColourPair& pair);
    void onPieceTextEdited(int type);
    void onSetCustomFont();
    void redrawBoards();
    void closePreview();

    QtGameWindows& m_windows;
    Options& m_options;
    const SettingsFile& m_settings;
    shell::FontColourMemory& m_memory;
    // As they were when the dialog opened: Cancel puts them back.
    const Options m_saved;
    const BoardBitmap m_savedBitmap;
    const MoveListSettings m_savedListSettings;
    const bool m_savedGrows;
    QPointer<CGameFrame> m_preview;

    FontColourRunner m_runFontColour;
    BitmapChooser m_chooseBitmap;
    FontChooser m_chooseFont;

    QCheckBox* m_bitmapBox = nullptr;
    QPushButton* m_openBitmap = nullptr;
    QRadioButton* m_stretch = nullptr;
    QRadioButton* m_copy = nullptr;
    QCheckBox* m_customFontBox = nullptr;
    QCheckBox* m_growBox = nullptr;
    QFrame* m_divider = nullptr;
    QGroupBox* m_customGroup = nullptr;
    QLabel* m_refusal = nullptr;
    std::array<QLineEdit*, model::kPieceTypeCount> m_pieceTexts{};
    std::array<QPushButton*, 4> m_colourButtons{};
};

} // namespace marovin::board
