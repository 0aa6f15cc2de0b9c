#include "game_window/board_settings_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QValidator>
#include <QVBoxLayout>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "game_window/choose_branch_dialog.h"
#include "game_window/game_frame.h"
#include "game_window/qt_game_windows.h"
#include "platform/big5_text.h"
#include "platform/platform_defaults.h"
#include "support/big5.h"
#include "support/fixed_text.h"

namespace marovin::board {

// A colour button: the pair of colours it edits (by their offsets in the record) and the
// font and colour dialog's mode.
struct BoardColourPair {
    int id;
    const char* text;
    int mode;
    std::size_t first;  // the dialog's text colour
    std::size_t second; // the dialog's background colour
};

namespace {

constexpr BoardColourPair kColourPairs[] = {
    {kRedSideButton, "RED  Side", 1, offsetof(Options, redTextColour), offsetof(Options, redFaceColour)},
    {kBlackSideButton, "BLACK  Side", 1, offsetof(Options, blackTextColour), offsetof(Options, blackFaceColour)},
    {kChessBoardButton, "Chess Board", 2, offsetof(Options, lineColour), offsetof(Options, boardColour)},
    {kPieceCursorButton, "Piece Cursor", 3, offsetof(Options, pieceCursorColour), offsetof(Options, boardColour)},
};

// A 32-bit field of the record at an offset. The record is packed: most of its integers
// are not aligned, so they are copied, never reached through a typed pointer.
std::uint32_t fieldAt(const Options& options, std::size_t offset)
{
    std::uint32_t value = 0;
    std::memcpy(&value, reinterpret_cast<const char*>(&options) + offset, sizeof value);
    return value;
}

void setFieldAt(Options& options, std::size_t offset, std::uint32_t value)
{
    std::memcpy(reinterpret_cast<char*>(&options) + offset, &value, sizeof value);
}

// The move the preview plays, so that its board shows the last-move highlight.
constexpr std::string_view kPreviewMove = "H2-H4";
constexpr int kSwatch = 16;
constexpr int kPiecesPerColumn = model::kPieceTypeCount / 2;

QString idName(int id)
{
    return QStringLiteral("control%1").arg(id);
}

// A swatch of a colour pair: the second colour as the ground, the first as a disc on it.
QIcon swatchOf(Colour first, Colour second)
{
    QPixmap picture(kSwatch, kSwatch);
    picture.fill(platform::qColour(second));
    QPainter painter(&picture);
    painter.setPen(QColor(Qt::gray));
    painter.drawRect(0, 0, kSwatch - 1, kSwatch - 1);
    painter.setPen(Qt::NoPen);
    painter.setBrush(platform::qColour(first));
    painter.drawEllipse(4, 4, kSwatch - 8, kSwatch - 8);
    return QIcon(picture);
}

// Accepts a piece text of at most one Chinese character (two Big5 bytes); an edit that
// would hold more, or a character Big5 lacks, is refused and the reason handed on.
class PieceTextValidator : public QValidator {
public:
    PieceTextValidator(std::function<void(const QString&)> refused, QObject* parent)
        : QValidator(parent), m_refused(std::move(refused))
    {
    }

    State validate(QString& input, int&) const override
    {
        const QByteArray utf8 = input.toUtf8();
        std::vector<std::string> unencodable;
        const std::string big5 =
            utf8ToBig5(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())), unencodable);
        if (!unencodable.empty()) {
            m_refused(QString::fromStdString(platform::unencodableMessage(unencodable)));
            return Invalid;
        }
        if (big5.size() > static_cast<std::size_t>(kPieceTextLimit)) {
            m_refused(QStringLiteral("A piece text is one Chinese character (two bytes in Big5) at most."));
            return Invalid;
        }
        return Acceptable;
    }

private:
    std::function<void(const QString&)> m_refused;
};

} // namespace

CBoardSettingsDlg::CBoardSettingsDlg(QtGameWindows& windows, const SettingsFile& settings,
                                     shell::FontColourMemory& memory, QWidget* parent)
    : QDialog(parent), m_windows(windows), m_options(windows.context().options), m_settings(settings),
      m_memory(memory), m_saved(m_options), m_savedBitmap(windows.boardBitmap()),
      m_savedListSettings(windows.moveListSettings()), m_savedGrows(windows.boardGrows())
{
    setObjectName(QStringLiteral("boardSettings"));
    setWindowTitle(QStringLiteral("Chess Board Settings"));
    openPreview();

    auto* layout = new QHBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize); // the window follows the shown groups
    layout->addWidget(buildMainColumn(), 0, Qt::AlignTop);
    m_divider = new QFrame;
    m_divider->setObjectName(idName(kDividerLine));
    m_divider->setFrameShape(QFrame::VLine);
    m_divider->setFrameShadow(QFrame::Sunken);
    layout->addWidget(m_divider);
    layout->addWidget(buildCustomGroup(), 0, Qt::AlignTop);
    layoutWindow();
}

CBoardSettingsDlg::~CBoardSettingsDlg()
{
    closePreview();
}

QWidget* CBoardSettingsDlg::buildMainColumn()
{
    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(addCheckBox(kTwoClickMoveBox, "Two-Click Move Piece", offsetof(Options, twoClickMove)));
    layout->addWidget(addCheckBox(kPromptGameOverBox, "Prompt Game Over", offsetof(Options, promptGameOver)));
    layout->addWidget(
        addCheckBox(kHandCursorBox, "Hand Mouse on Picking Piece ", offsetof(Options, handCursorOnPick)));
    // Not a byte of the options record either: kept in the program's settings on OK.
    m_growBox = new QCheckBox(QStringLiteral("Let the board grow with the window"));
    m_growBox->setObjectName(QStringLiteral("growBoardBox"));
    m_growBox->setChecked(m_windows.boardGrows());
    connect(m_growBox, &QCheckBox::toggled, this, [this](bool on) { m_windows.setBoardGrows(on, false); });
    layout->addWidget(m_growBox);

    m_bitmapBox = new QCheckBox(QStringLiteral("Bitmap (BMP) Chess Board"));
    m_bitmapBox->setObjectName(idName(kBitmapBoardBox));
    connect(m_bitmapBox, &QCheckBox::clicked, this, &CBoardSettingsDlg::onBitmapBoxClicked);
    m_openBitmap = new QPushButton(QStringLiteral("Open BMP File"));
    m_openBitmap->setObjectName(idName(kOpenBitmapButton));
    connect(m_openBitmap, &QPushButton::clicked, this, &CBoardSettingsDlg::onOpenBitmap);
    auto* bitmapRow = new QHBoxLayout;
    bitmapRow->addWidget(m_bitmapBox);
    bitmapRow->addWidget(m_openBitmap);
    layout->addLayout(bitmapRow);
    auto* method = new QGroupBox(QStringLiteral("Draw BMP-Board Method"));
    auto* methodLayout = new QHBoxLayout(method);
    m_stretch = new QRadioButton(QStringLiteral("Stretch BMP"));
    m_stretch->setObjectName(idName(kStretchBitmapRadio));
    m_copy = new QRadioButton(QStringLiteral("Copy BMP"));
    m_copy->setObjectName(idName(kCopyBitmapRadio));
    connect(m_stretch, &QRadioButton::clicked, this, [this] { onStretchChosen(true); });
    connect(m_copy, &QRadioButton::clicked, this, [this] { onStretchChosen(false); });
    methodLayout->addWidget(m_stretch);
    methodLayout->addWidget(m_copy);
    layout->addWidget(method);

    auto* colours = new QGroupBox(QStringLiteral("Set Colors"));
    auto* colourGrid = new QGridLayout(colours);
    for (std::size_t i = 0; i < std::size(kColourPairs); ++i) {
        m_colourButtons[i] = addColourButton(kColourPairs[i]);
        colourGrid->addWidget(m_colourButtons[i], static_cast<int>(i / 2), static_cast<int>(i % 2));
    }
    refreshColourIcons();
    layout->addWidget(colours);

    m_customFontBox = new QCheckBox(QStringLiteral("Custom Chess Font and Text"));
    m_customFontBox->setObjectName(idName(kCustomFontBox));
    m_customFontBox->setChecked(m_options.useCustomFont != 0);
    connect(m_customFontBox, &QCheckBox::toggled, this, [this](bool on) {
        m_options.useCustomFont = on ? 1 : 0;
        layoutWindow();
        redrawBoards();
    });
    layout->addWidget(m_customFontBox);
    layout->addWidget(buildNotationGroup());

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    return column;
}

QGroupBox* CBoardSettingsDlg::buildNotationGroup()
{
    // The move lists' notation is not a byte of the options record: it lives in the
    // program's settings, shown at once like every choice here and kept on OK.
    auto* group = new QGroupBox(QStringLiteral("Move List Notation"));
    auto* row = new QHBoxLayout(group);
    const std::pair<model::MoveNotation, const char*> choices[] = {
        {model::MoveNotation::Chinese, "Chinese"}, {model::MoveNotation::Wxf, "WXF"}, {model::MoveNotation::Iccs, "ICCS"}};
    for (const auto& [notation, text] : choices) {
        auto* button = new QRadioButton(QString::fromLatin1(text));
        button->setObjectName(QStringLiteral("notation%1").arg(QString::fromLatin1(text)));
        button->setChecked(m_windows.moveListSettings().notation == notation);
        connect(button, &QRadioButton::clicked, this, [this, notation = notation] {
            MoveListSettings settings = m_windows.moveListSettings();
            settings.notation = notation;
            m_windows.setMoveListSettings(settings, false);
        });
        row->addWidget(button);
    }
    return group;
}

QCheckBox* CBoardSettingsDlg::addCheckBox(int id, const char* text, std::size_t option)
{
    auto* box = new QCheckBox(QString::fromLatin1(text));
    box->setObjectName(idName(id));
    box->setChecked(fieldAt(m_options, option) != 0);
    connect(box, &QCheckBox::toggled, this, [this, option](bool on) { setFieldAt(m_options, option, on ? 1 : 0); });
    return box;
}

QPushButton* CBoardSettingsDlg::addColourButton(const BoardColourPair& pair)
{
    auto* button = new QPushButton(QString::fromLatin1(pair.text));
    button->setObjectName(idName(pair.id));
    connect(button, &QPushButton::clicked, this, [this, &pair] { editColours(pair); });
    return button;
}

QGroupBox* CBoardSettingsDlg::buildCustomGroup()
{
    m_customGroup = new QGroupBox(QStringLiteral("Custom Chess Font and Text"));
    auto* grid = new QGridLayout(m_customGroup);
    for (int type = 0; type < model::kPieceTypeCount; ++type) {
        auto* picture = new QLabel;
        picture->setPixmap(QPixmap::fromImage(CChooseBranchDlg::piecePicture(type)));
        auto* edit = new QLineEdit(platform::fromBig5(fieldText(m_options.pieceText[type])));
        edit->setObjectName(idName(kFirstPieceTextEdit + type));
        edit->setMaximumWidth(4 * fontMetrics().averageCharWidth() + 12);
        edit->setValidator(new PieceTextValidator(
            [this](const QString& why) {
                m_refusal->setText(why);
                QApplication::beep();
            },
            edit));
        connect(edit, &QLineEdit::textEdited, this, [this, type] { onPieceTextEdited(type); });
        m_pieceTexts[static_cast<std::size_t>(type)] = edit;
        // Black in the left column, Red in the right, general at the top.
        const int row = type % kPiecesPerColumn, column = 2 * (type / kPiecesPerColumn);
        grid->addWidget(picture, row, column);
        grid->addWidget(edit, row, column + 1);
    }
    auto* note = new QLabel(QStringLiteral("Default Text is in BIG5 code"));
    grid->addWidget(note, kPiecesPerColumn, 0, 1, 4);
    m_refusal = new QLabel;
    m_refusal->setObjectName(QStringLiteral("pieceTextRefusal"));
    m_refusal->setWordWrap(true);
    m_refusal->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Room for a message is kept, so that the window does not jump when one shows.
    m_refusal->setMinimumHeight(5 * m_refusal->fontMetrics().lineSpacing());
    QPalette warning = m_refusal->palette();
    warning.setColor(QPalette::WindowText, Qt::red);
    m_refusal->setPalette(warning);
    grid->addWidget(m_refusal, kPiecesPerColumn + 1, 0, 1, 4);
    auto* setFont = new QPushButton(QStringLiteral("Set Custom Font"));
    setFont->setObjectName(idName(kSetCustomFontButton));
    connect(setFont, &QPushButton::clicked, this, &CBoardSettingsDlg::onSetCustomFont);
    grid->addWidget(setFont, kPiecesPerColumn + 2, 0, 1, 4);
    // As wide as the boxes need: a message wraps within it.
    m_customGroup->setFixedWidth(m_customGroup->sizeHint().width());
    return m_customGroup;
}

QWidget* CBoardSettingsDlg::control(int id) const
{
    return findChild<QWidget*>(idName(id));
}

// ---- the preview -------------------------------------------------------------------------

void CBoardSettingsDlg::openPreview()
{
    QMdiSubWindow* before = m_windows.area() ? m_windows.area()->currentSubWindow() : nullptr;
    model::CGame* game = m_windows.context().gameList.openForUser(false);
    if (!game)
        return; // "Cannot create GAME!" has been said; the settings work without a preview
    if (const auto move = model::ParseCoordinateMove(kPreviewMove))
        game->PlayMove(move->from, move->to, model::MoveKind::User);
    game->modified = false;
    m_preview = m_windows.frameOf(game);
    if (m_preview)
        m_preview->setDocumentName(QStringLiteral("Preview of the board settings"));
    // Once the preview has gone, the window that was active before it is again, rather
    // than whichever the area picks (often the terminal, over every game window).
    if (m_preview && before)
        connect(m_preview, &QObject::destroyed, before, [before] {
            if (QMdiArea* area = before->mdiArea())
                area->setActiveSubWindow(before);
        });
}

void CBoardSettingsDlg::closePreview()
{
    if (m_preview)
        m_preview->requestClose();
    m_preview = nullptr;
}

// ---- layout and refreshing ---------------------------------------------------------------

void CBoardSettingsDlg::layoutWindow()
{
    const bool wide = m_options.useCustomFont != 0;
    m_divider->setVisible(wide);
    m_customGroup->setVisible(wide);
    m_customGroup->setEnabled(wide);
    if (!wide)
        m_refusal->clear();
    refreshBitmapControls();
}

void CBoardSettingsDlg::refreshBitmapControls()
{
    const bool on = m_options.useBitmapBoard != 0;
    m_bitmapBox->setChecked(on);
    m_stretch->setChecked(m_options.stretchBitmap != 0);
    m_copy->setChecked(m_options.stretchBitmap == 0);
    for (QWidget* control : std::initializer_list<QWidget*>{m_openBitmap, m_stretch, m_copy})
        control->setEnabled(on);
}

void CBoardSettingsDlg::refreshColourIcons()
{
    for (std::size_t i = 0; i < std::size(kColourPairs); ++i)
        m_colourButtons[i]->setIcon(
            swatchOf(fieldAt(m_options, kColourPairs[i].first), fieldAt(m_options, kColourPairs[i].second)));
}

void CBoardSettingsDlg::redrawBoards()
{
    m_windows.redrawBoards();
}

// ---- the settings ------------------------------------------------------------------------

bool CBoardSettingsDlg::chooseBitmapFile()
{
    return m_chooseBitmap ? m_chooseBitmap(m_options) : chooseBoardBitmap(m_options, m_windows.context().desktop, this);
}

void CBoardSettingsDlg::onBitmapBoxClicked(bool checked)
{
    // The file is asked for at once; only a chosen file that loads turns the bitmap on.
    m_options.useBitmapBoard = 0;
    if (checked && chooseBitmapFile()) {
        m_options.useBitmapBoard = 1;
        loadBoardBitmap(m_options, m_windows.context().desktop, m_windows.boardBitmap());
    }
    refreshBitmapControls();
    redrawBoards();
}

void CBoardSettingsDlg::onOpenBitmap()
{
    if (!chooseBitmapFile())
        return;
    loadBoardBitmap(m_options, m_windows.context().desktop, m_windows.boardBitmap());
    refreshBitmapControls();
    redrawBoards();
}

void CBoardSettingsDlg::onStretchChosen(bool stretch)
{
    m_options.stretchBitmap = stretch ? 1 : 0;
    refreshBitmapControls();
    redrawBoards();
}

void CBoardSettingsDlg::editColours(const BoardColourPair& pair)
{
    const Options before = m_options;
    TextFormat sample = m_options.outputTextFormat;
    sample.textColour = fieldAt(m_options, pair.first);
    Colour second = fieldAt(m_options, pair.second);
    bool accepted = false;
    if (m_runFontColour) {
        accepted = m_runFontColour(sample, second, pair.mode);
    } else {
        shell::CFontColourDlg dialog(sample, second, pair.mode, m_memory, this);
        accepted = dialog.exec() == QDialog::Accepted;
        sample = dialog.format();
        second = dialog.secondColour();
    }
    if (!accepted) {
        m_options = before;
        return;
    }
    setFieldAt(m_options, pair.first, sample.textColour);
    setFieldAt(m_options, pair.second, second);
    refreshColourIcons();
    redrawBoards();
}

void CBoardSettingsDlg::onPieceTextEdited(int type)
{
    // The box's validator let only Big5 text of one character through. Only the edited
    // box is copied: another box may show stored bytes that its text cannot give back.
    m_refusal->clear();
    copyBounded(m_options.pieceText[type], platform::toBig5(pieceTextEdit(type)->text()));
    redrawBoards();
}

void CBoardSettingsDlg::onSetCustomFont()
{
    QFont current = platform::fontOfDescription(m_options.customFont);
    // The chooser picks its style by name; the font as it resolves here names it.
    current.setStyleName(QFontInfo(current).styleName());
    std::optional<QFont> chosen;
    if (m_chooseFont) {
        chosen = m_chooseFont(current);
    } else {
        bool ok = false;
        const QFont font = QFontDialog::getFont(&ok, current, this, QStringLiteral("Set Custom Font"),
                                                QFontDialog::ScalableFonts | QFontDialog::DontUseNativeDialog);
        if (ok)
            chosen = font;
    }
    if (!chosen)
        return;
    // The record keeps the face in Big5 in a 32-byte field: a face that does not fit
    // would name another font, so it is refused rather than cut.
    const QString family = QFontInfo(*chosen).family();
    const std::optional<std::string> face = platform::toBig5Checked(family, m_windows.context().desktop);
    if (!face)
        return;
    if (face->size() >= sizeof m_options.customFont.faceName) {
        showProgramMessage(m_windows.context().desktop, "The name of this font is too long to be kept:\n%s",
                           face->c_str());
        return;
    }
    m_options.customFont = platform::describeFont(*chosen);
    redrawBoards();
}

// ---- closing -----------------------------------------------------------------------------

void CBoardSettingsDlg::accept()
{
    m_settings.save(m_options);
    saveMoveListSettings(m_windows.moveListSettings());
    saveBoardGrows(m_windows.boardGrows());
    QDialog::accept();
}

void CBoardSettingsDlg::reject()
{
    m_options = m_saved;
    m_windows.boardBitmap() = m_savedBitmap;
    m_windows.setMoveListSettings(m_savedListSettings, false);
    m_windows.setBoardGrows(m_savedGrows, false);
    redrawBoards();
    QDialog::reject();
}

void CBoardSettingsDlg::done(int result)
{
    closePreview();
    QDialog::done(result);
}

} // namespace marovin::board
