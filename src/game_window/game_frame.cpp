#include "game_window/game_frame.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTimer>
#include <QVBoxLayout>

#include "board/board_scene.h"
#include "game_window/game_command_dialog.h"
#include "game_window/game_header_dialog.h"
#include "game_window/game_navigation.h"
#include "game_window/qt_game_windows.h"
#include "model/game_file.h"
#include "platform/big5_text.h"
#include "session/game_status_text.h"
#include "session/game_transfer.h"
#include "support/big5.h"
#include "support/fixed_text.h"

namespace marovin::board {

namespace {

// While a large file is read, the windows paint this often.
constexpr int kReadingPaintMs = 100;

bool isLive(const model::CGame& game)
{
    return game.participation <= model::kPlaying;
}

} // namespace

CGameFrame::CGameFrame(model::CGame& game, QtGameWindows& host, const WindowSizeRecord& size, QWidget* parent)
    : QMdiSubWindow(parent), m_game(&game), m_host(host), m_splitter(new QSplitter(Qt::Horizontal)),
      m_view(new CGameView(game, host.resources())), m_note(new CNoteEdit(game)),
      m_moveList(new CMoveListView(game)), m_listAndNote(new QSplitter(Qt::Vertical)), m_strip(new AnalysisStrip),
      m_explorer(new ExplorerPane(game)), m_engine(new GameEngine(game, *m_strip, host.enginePool(), this)),
      m_analysisPane(new AnalysisPane(game, host.enginePool())), m_size(size)
{
    setObjectName(QStringLiteral("gameWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_view->setInputLineLink(host.inputLineLink());
    m_note->field()->setFocusReturn([&host] { host.requestInputFocus(); });
    // A note written in this window shows in the game's other windows at once, and its
    // mark in every move list.
    m_note->setNoteWritten([this] {
        for (CGameFrame* frame : m_host.framesOf(m_game)) {
            if (frame != this)
                frame->notePane()->showNote();
            frame->moveList()->gameChanged();
        }
    });
    m_moveList->setInputLineLink(host.inputLineLink());
    m_moveList->setHost({[this](GameCommand command) { return commandEnabled(command); },
                         [this](GameCommand command) { runCommand(command); },
                         [this] { m_note->field()->setFocus(Qt::ShortcutFocusReason); }});
    m_splitter->setObjectName(QStringLiteral("gameSplitter"));
    // The board's column: the board, and under it the whole-game analysis while there is one.
    auto* boardColumn = new QWidget;
    boardColumn->setObjectName(QStringLiteral("boardColumn"));
    auto* boardLayout = new QVBoxLayout(boardColumn);
    boardLayout->setContentsMargins(0, 0, 0, 0);
    boardLayout->setSpacing(0);
    boardLayout->addWidget(m_view, 1);
    boardLayout->addWidget(m_analysisPane);
    m_splitter->addWidget(boardColumn);
    // The note pane's column: the engine's strip (shown while it is used) above the move
    // list and the note, which share the rest.
    auto* noteColumn = new QWidget;
    noteColumn->setObjectName(QStringLiteral("noteColumn"));
    auto* columnLayout = new QVBoxLayout(noteColumn);
    columnLayout->setContentsMargins(0, 0, 0, 0);
    columnLayout->setSpacing(0);
    columnLayout->addWidget(m_strip);
    columnLayout->addWidget(m_explorer, 1);
    m_listAndNote->setObjectName(QStringLiteral("listNoteSplitter"));
    m_listAndNote->addWidget(m_moveList);
    m_listAndNote->addWidget(m_note);
    // Only now that the list has its place: shown earlier it would be a window of its own.
    applyMoveListSettings(host.moveListSettings());
    columnLayout->addWidget(m_listAndNote, 1);
    m_splitter->addWidget(noteColumn);
    m_splitter->setCollapsible(0, false);
    m_splitter->setCollapsible(1, true);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setChildrenCollapsible(true);
    // Whatever in the window is given the keyboard, the board view hands it on.
    m_splitter->setFocusProxy(m_view);
    setWidget(m_splitter);
    setFocusProxy(m_view);

    connect(m_view, &CGameView::refreshRequested, this, &CGameFrame::refreshGameCommand);
    // Every change of the shown position passes through stateChanged.
    connect(this, &CGameFrame::stateChanged, m_engine, &GameEngine::positionChanged);
    connect(this, &CGameFrame::stateChanged, m_moveList, &CMoveListView::gameChanged);
    connect(this, &CGameFrame::stateChanged, m_analysisPane, &AnalysisPane::positionChanged);
    // The active window takes an engine to analyse with (from another window if need be).
    connect(this, &QMdiSubWindow::aboutToActivate, m_engine, &GameEngine::activated);
    connect(this, &CGameFrame::stateChanged, m_explorer, &ExplorerPane::positionChanged);
    connect(m_view, &CGameView::headerRequested, this, [this] { runCommand(GameCommand::Header); });
    connect(m_view, &CGameView::gameCommandsRequested, this, [this] {
        if (m_game && isLive(*m_game))
            openGameCommands(false);
    });
    connect(m_view, &CGameView::editCommand, this, &CGameFrame::runEditCommand);
    m_view->setMoveSender([this](std::string_view line) { sendLine(line); });
    updateCaption();
    m_view->refreshStatus();
}

CGameFrame::~CGameFrame()
{
    // A window detached when it closed has let go of its game, the engines and the
    // database already, and may outlive them: the area still holds it after the game
    // windows (and their engine pool) are gone.
    model::CGame* game = std::exchange(m_game, nullptr);
    if (!game)
        return;
    m_engine->detach();
    m_analysisPane->detach();
    m_explorer->detach();
    m_host.frameClosed(this, game);
}

void CGameFrame::detach()
{
    m_game = nullptr;
    m_view->detach();
    m_note->detach();
    m_moveList->detach();
    m_engine->detach();
    m_analysisPane->detach();
    m_explorer->detach();
}

// ---- the document --------------------------------------------------------------------

void CGameFrame::setFilePath(const QString& path)
{
    // The file is the game's: every window of it is saved to and named after it.
    for (CGameFrame* frame : m_host.framesOf(m_game)) {
        frame->m_filePath = path;
        frame->m_readIncomplete = false;
        frame->updateCaption();
    }
}

void CGameFrame::takeDocumentOf(const CGameFrame& source)
{
    m_filePath = source.m_filePath;
    m_readIncomplete = source.m_readIncomplete;
    updateCaption();
}

bool CGameFrame::canOpenView() const
{
    return m_game && !m_reading && m_game->mode != model::kModeEditing;
}

bool CGameFrame::readFile(const QString& path)
{
    if (!m_game)
        return false;
    const QPointer<CGameFrame> self(this);
    m_reading = true;
    setWindowTitle(QStringLiteral("Reading game now. Please wait..."));
    QElapsedTimer sincePaint;
    sincePaint.start();
    // The user's input waits (it would act on a game half read); painting and the
    // server's output go on.
    const auto keepPainting = [&sincePaint] {
        if (sincePaint.elapsed() < kReadingPaintMs)
            return;
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        sincePaint.restart();
    };
    model::CGame& game = *m_game;
    const std::string file = QFile::encodeName(path).toStdString();
    // Text left unread at the end would be lost by saving over the file: such a file is
    // read in part too.
    bool leftUnread = false;
    const bool whole = model::ReadGameFile(game, file, false, &leftUnread, keepPainting) == 1 && !leftUnread;
    if (!self)
        return false;
    m_reading = false;
    if (whole) {
        setFilePath(path);
    } else if (game.format != model::kFormatNone) {
        m_readIncomplete = true;
        game.ports().terminal.writeClientText(
            "The game file was not read to its end; the window shows what was read, and saving it asks for a "
            "file name: " + file,
            false);
    }
    updateCaption();
    emit stateChanged();
    return whole || m_readIncomplete;
}

void CGameFrame::readPgnGame(const model::PgnGameText& text, const QString& path, int number)
{
    if (!m_game)
        return;
    std::string error, warning;
    const bool whole = model::BuildPgnGame(text, *m_game, error, warning);
    // The reader's texts are UTF-8 (they quote the file); the record's ports take Big5.
    const std::string where = QFile::encodeName(QFileInfo(path).fileName()).toStdString() + ", game " +
                              std::to_string(number);
    if (!warning.empty())
        m_game->ports().terminal.writeClientText(utf8ToBig5(where + ": " + warning), false);
    if (!whole) {
        m_readIncomplete = true;
        m_game->ports().desktop.messageBox(
            utf8ToBig5("The PGN game cannot be read to its end (" + where + "): " + error +
                       "\nThe window shows the moves before it."));
    }
    updateCaption();
    emit stateChanged();
}

bool CGameFrame::readDatabaseGame(database::GameDatabase& database, std::int64_t id)
{
    if (!m_game)
        return false;
    std::string error;
    const bool whole = database.loadGame(id, *m_game, error);
    if (!whole)
        m_game->ports().desktop.messageBox(utf8ToBig5("The game cannot be read from the database: " + error));
    updateCaption();
    emit stateChanged();
    return whole;
}

// ---- what the window shows ---------------------------------------------------------------

QString CGameFrame::captionText() const
{
    if (!m_game)
        return windowTitle();
    const model::CGame& game = *m_game;
    const bool showsName = game.mode == model::kModeNormal || game.mode == model::kModeGameOver;
    if (showsName && !isLive(game)) {
        if (!m_filePath.isEmpty())
            return QFileInfo(m_filePath).fileName() + platform::fromBig5(session::resultSuffix(game));
        if (m_readIncomplete)
            return platform::fromBig5(fieldText(game.subject)) + QStringLiteral(" (read in part)");
        if (!m_documentName.isEmpty() && game.participation == model::kLocalGame)
            return m_documentName;
    }
    return platform::fromBig5(session::gameCaption(game));
}

QString CGameFrame::quitTitle() const
{
    if (m_game && !isLive(*m_game))
        return m_filePath.isEmpty() ? platform::fromBig5(fieldText(m_game->subject))
                                    : QFileInfo(m_filePath).fileName();
    return captionText();
}

void CGameFrame::setDocumentName(const QString& name)
{
    m_documentName = name;
    updateCaption();
}

void CGameFrame::updateCaption()
{
    if (m_reading)
        return;
    const QString caption = captionText();
    if (caption != windowTitle())
        setWindowTitle(caption);
}

void CGameFrame::refreshStatus()
{
    updateCaption();
    m_view->refreshStatus();
    emit stateChanged();
}

void CGameFrame::refreshClocks()
{
    m_view->refreshClocks();
}

// ---- shown and hidden (sizes and panes: game_frame_panes.cpp) ------------------------------

void CGameFrame::showEvent(QShowEvent* event)
{
    QMdiSubWindow::showEvent(event);
    if (!m_panesApplied) {
        m_panesApplied = true;
        applyPanes(m_size);
        // The list takes a little more than half the column's height (the splitter shares
        // its height out in these proportions).
        m_listAndNote->setSizes({550, 450});
    }
    m_engine->setSuspended(false);
}

void CGameFrame::hideEvent(QHideEvent* event)
{
    QMdiSubWindow::hideEvent(event);
    m_engine->setSuspended(true);
}

// ---- commands --------------------------------------------------------------------------

bool CGameFrame::commandEnabled(GameCommand command) const
{
    if (!m_game || !gameCommandEnabled(command, *m_game))
        return false;
    // Editing lays out its window around the palette: with other windows on the game they
    // would show a position being edited without one.
    return command != GameCommand::SetupPosition || m_host.framesOf(m_game).size() == 1;
}

void CGameFrame::runCommand(GameCommand command)
{
    if (!commandEnabled(command))
        return;
    switch (command) {
    case GameCommand::Adjourn:
    case GameCommand::Pass:
    case GameCommand::Undo:
    case GameCommand::AllObservers:
    case GameCommand::TimeLeft:
        sendGameLine(command);
        break;
    case GameCommand::Resign:
        resign();
        break;
    case GameCommand::AddTime:
        openGameCommands(false);
        break;
    case GameCommand::Kibitz:
        openGameCommands(true);
        break;
    case GameCommand::RefreshGame:
        refreshGame(*m_game);
        break;
    case GameCommand::Header:
        openHeader();
        break;
    case GameCommand::DeleteMoves: {
        const ModalScope scope(*this);
        m_game->DeleteFromHere(platform::toBig5(windowTitle()));
        break;
    }
    case GameCommand::SendGame:
        sendGame();
        break;
    case GameCommand::StopSend:
    case GameCommand::StopReceive:
        session::stopTransfer(m_host.context(), *m_game);
        break;
    case GameCommand::Merge:
        break; // the files are the main frame's: see the documents
    case GameCommand::SetupPosition:
        enterEditing();
        break;
    case GameCommand::PromoteVariation:
        m_game->PromoteCurrentLine();
        break;
    }
    emit stateChanged();
}

void CGameFrame::sendGameLine(GameCommand command)
{
    if (m_game)
        sendLine(gameCommandLine(command, m_game->gameNumber));
}

void CGameFrame::sendLine(std::string_view line)
{
    m_host.send(line);
}

// ---- editing a position ----------------------------------------------------------------------

void CGameFrame::enterEditing()
{
    const ModalScope scope(*this);
    model::EnterEditMode(*m_game, *this);
}

void CGameFrame::runEditCommand(int id)
{
    if (m_game && m_game->mode == model::kModeEditing) {
        const ModalScope scope(*this); // Finish may show a message
        switch (id) {
        case model::kEditClearAllId: model::EditClearAll(*m_game); break;
        case model::kEditAllPiecesId: model::EditAllPieces(*m_game); break;
        case model::kEditBlackTurnId: model::EditToggleFirstMover(*m_game); break;
        case model::kEditFinishId: model::FinishEdit(*m_game, *this); break;
        default: break;
        }
    }
    emit stateChanged();
    m_host.requestInputFocus();
}

bool CGameFrame::askQuitGame(model::CGame& game, std::string_view text)
{
    return m_host.askQuitGame(game, text);
}

void CGameFrame::beginEditLayout(model::CGame&)
{
    m_view->cancelCarry();
    m_view->setControlsVisible(false);
    m_view->setEditButtonsShown(true);
    showEditPalette();
}

void CGameFrame::endEditLayout(model::CGame&)
{
    m_view->cancelCarry();
    hideEditPalette();
    m_view->setEditButtonsShown(false);
    m_view->setControlsVisible(true);
}

void CGameFrame::markPiece(model::CGame&, int screenSquare)
{
    m_view->markPiece(screenSquare);
}

void CGameFrame::resign()
{
    const QPointer<CGameFrame> self(this);
    bool yes = false;
    {
        const ModalScope scope(*this);
        yes = m_game->ports().desktop.askYesNo(resignQuestion(*m_game), true);
    }
    // The game may have ended while the question was open.
    if (yes && self && m_game && gameCommandEnabled(GameCommand::Resign, *m_game))
        sendGameLine(GameCommand::Resign);
}

void CGameFrame::sendGame()
{
    const QPointer<CGameFrame> self(this);
    session::startSendGame(m_host.context(), *m_game, [this, self]() -> std::optional<std::string> {
        std::optional<std::string> name = m_host.askPlayerName(*this);
        // The window may have been closed meanwhile: then nothing is sent.
        if (!self || !m_game)
            return std::nullopt;
        return name;
    });
}

void CGameFrame::refreshGameCommand()
{
    runCommand(GameCommand::RefreshGame);
}

void CGameFrame::openHeader()
{
    CGameHeaderDlg dialog(*m_game, m_host.headerMemory(), this);
    const QPointer<CGameFrame> self(this);
    const bool accepted = execDialog(dialog) == QDialog::Accepted;
    if (!self || !m_game)
        return;
    if (accepted) {
        dialog.applyTo(*m_game);
        refreshStatus();
    }
    m_host.requestInputFocus();
}

void CGameFrame::openGameCommands(bool kibitz)
{
    if (!m_game)
        return;
    CGameCommandDlg dialog(*this, kibitz);
    execDialog(dialog);
    m_host.requestInputFocus();
}

void CGameFrame::flipBoard()
{
    if (!m_game)
        return;
    m_game->bottomSide = m_game->bottomSide == model::kBlack ? model::kRed : model::kBlack;
    // The side at the bottom is the game's: all its windows turn.
    for (CGameFrame* frame : m_host.framesOf(m_game))
        frame->view()->fullRepaint();
}

// ---- closing ----------------------------------------------------------------------------

CGameFrame::ModalScope::ModalScope(CGameFrame& frame) : m_frame(&frame)
{
    ++frame.m_modalDepth;
}

CGameFrame::ModalScope::~ModalScope()
{
    if (!m_frame)
        return;
    if (--m_frame->m_modalDepth == 0 && m_frame->m_closePending) {
        m_frame->m_closePending = false;
        m_frame->postClose();
    }
}

int CGameFrame::execDialog(QDialog& dialog)
{
    const ModalScope scope(*this);
    m_dialogs.emplace_back(&dialog);
    const QPointer<CGameFrame> self(this);
    const int result = dialog.exec();
    if (self)
        std::erase_if(m_dialogs, [&](const QPointer<QDialog>& d) { return !d || d == &dialog; });
    return result;
}

void CGameFrame::requestClose()
{
    if (m_modalDepth == 0) {
        postClose();
        return;
    }
    m_closePending = true;
    for (const QPointer<QDialog>& dialog : m_dialogs)
        if (dialog)
            dialog->reject();
}

void CGameFrame::postClose()
{
    QTimer::singleShot(0, this, [self = QPointer<CGameFrame>(this)] {
        if (self)
            self->close();
    });
}

void CGameFrame::closeEvent(QCloseEvent* event)
{
    model::CGame* game = m_game;
    if (!game) {
        QMdiSubWindow::closeEvent(event);
        return;
    }
    // A file being read, a close already being decided, or a dialog of the window still
    // open: not now.
    if (m_reading || m_closing || m_modalDepth > 0) {
        if (m_modalDepth > 0 && !m_reading && !m_closing)
            requestClose();
        event->ignore();
        return;
    }
    if (m_host.framesOf(game).size() > 1) {
        // Another window still shows the game: only this view goes, and the game's newest
        // other window comes to the front (the area would bring up the next one it made).
        QMdiSubWindow::closeEvent(event);
        if (event->isAccepted()) {
            detach();
            m_host.frameClosed(this, game);
            m_host.bringToFront(m_host.framesOf(game).back());
        }
        return;
    }
    if (isLive(*game)) {
        // Leaving a live game is the server's to confirm: it ends the game, which closes
        // the window. Only a closing program does not wait.
        m_host.sendLeave(*game);
        if (!m_host.programClosing()) {
            event->ignore();
            return;
        }
    } else if (game->modified) {
        const QPointer<CGameFrame> self(this);
        m_closing = true;
        bool quit = false;
        {
            const ModalScope scope(*this);
            quit = m_host.askQuitGame(*game, {});
        }
        if (!self)
            return;
        m_closing = false;
        m_closePending = false;
        if (!quit) {
            event->ignore();
            return;
        }
    }
    QMdiSubWindow::closeEvent(event);
    if (!event->isAccepted())
        return;
    // A game being sent or received: the other player is told that it stops.
    session::stopTransfer(m_host.context(), *game);
    detach();
    m_host.frameClosed(this, game);
}

// ---- GameObserver ---------------------------------------------------------------------------

void CGameFrame::redraw(model::CGame& game)
{
    m_view->fullRepaint();
    updateCaption();
    if (game.mode == model::kModeNormal)
        m_note->showNote();
    emit stateChanged();
}

void CGameFrame::moveMade(model::CGame& game, const model::PackedMove& move)
{
    m_view->showMove(move, true);
    m_moveList->gameChanged();
    if (game.mode == model::kModeNormal)
        emit stateChanged();
}

void CGameFrame::moveTakenBack(model::CGame& game, const model::PackedMove& move)
{
    m_view->showMove(move, false);
    m_moveList->gameChanged();
    if (game.mode == model::kModeNormal)
        emit stateChanged();
}

void CGameFrame::showNote(model::CGame&)
{
    m_note->showNote();
}

void CGameFrame::moveScroll(model::CGame&, int maximum, int position)
{
    m_view->setMoveScroll(maximum, position);
    m_moveList->gameChanged(); // a live move that the browsed position does not follow
}

void CGameFrame::nameChanged(model::CGame&)
{
    updateCaption();
}

} // namespace marovin::board
