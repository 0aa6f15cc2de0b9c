#include "frame/game_documents.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QStandardPaths>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMimeData>
#include <QPointer>
#include <QUrl>

#include "game_window/game_frame.h"
#include "game_window/game_command_rules.h"
#include "model/game_file.h"
#include "model/merge.h"
#include "model/pgn.h"
#include "model/position_editor.h"
#include "session/game_updates.h"
#include "windows/merge_dialog.h"
#include "windows/pgn_game_chooser.h"
#include "platform/big5_text.h"
#include "support/big5.h"
#include "support/fixed_text.h"
#include "frame/game_file_dialog.h"
#include "frame/main_frame.h"
#include "frame/recent_files.h"

namespace marovin::windows {

namespace {

QStringList askForFiles(QWidget* parent, const QString& title, const QString& start, bool forSaving)
{
    const std::unique_ptr<QFileDialog> dialog = makeGameFileDialog(parent, title, start, forSaving);
    return dialog->exec() == QDialog::Accepted ? dialog->selectedFiles() : QStringList{};
}

// A PGN file by its name, or by its first character: a tag ("[") where a game file has
// its "GAME" line.
bool isPgnFile(const QString& path)
{
    if (path.endsWith(QLatin1String(".pgn"), Qt::CaseInsensitive))
        return true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray start = file.read(64);
    if (start.startsWith("\xEF\xBB\xBF"))
        start.remove(0, 3);
    return start.trimmed().startsWith('[');
}

QStringList droppedFiles(const QMimeData* data)
{
    QStringList files;
    if (data && data->hasUrls())
        for (const QUrl& url : data->urls())
            if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile())
                files << url.toLocalFile();
    return files;
}

} // namespace

GameDocuments::GameDocuments(CMainFrame& frame, board::QtGameWindows& windows, RecentFileList& recentFiles)
    : m_frame(frame), m_windows(windows), m_recentFiles(recentFiles),
      m_chooser([&frame](const QString& title, const QString& start, bool forSaving) {
          return askForFiles(&frame, title, start, forSaving);
      }),
      m_mergeChooser([&windows](board::CGameFrame& window, const QString& start) {
          session::ClientContext& context = windows.context();
          CMergeGameDlg dialog(context.options, context.desktop, start, &window);
          window.execDialog(dialog);
          return MergeChoice{dialog.direction(), dialog.files()};
      }),
      m_pgnChooser([&frame](const QString& fileName, const QStringList& titles) {
          PgnGameChooser chooser(fileName, titles, &frame);
          return chooser.exec() == QDialog::Accepted ? chooser.chosen() : QList<int>{};
      })
{
    const auto command = [this](const char* name, auto act) {
        QAction* action = m_frame.action(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, act);
        return action;
    };
    command("actionFileNew", [this] { newGame(); })->setEnabled(true);
    command("actionFileOpen", [this] { open(); })->setEnabled(true);
    command("actionFileSave", [this] {
        if (board::CGameFrame* window = m_windows.activeFrame())
            save(*window);
    });
    command("actionFileSaveAs", [this] {
        if (board::CGameFrame* window = m_windows.activeFrame())
            saveAs(*window);
    });
    command("actionFileClose", [this] { closeActive(); });
    frame.setRecentFileOpener([this](const QString& path) { openFile(path); });
    frame.setAcceptDrops(true);
    frame.installEventFilter(this);
    connect(&windows, &board::QtGameWindows::windowsChanged, this, &GameDocuments::updateCommands);
    connect(frame.mdiArea(), &QMdiArea::subWindowActivated, this, &GameDocuments::updateCommands);
    updateCommands();
}

void GameDocuments::updateCommands()
{
    const bool window = m_windows.activeFrame() != nullptr;
    for (const char* name : {"actionFileSave", "actionFileSaveAs", "actionFileClose"})
        m_frame.action(QString::fromLatin1(name))->setEnabled(window);
}

board::CGameFrame* GameDocuments::newGame()
{
    board::CGameFrame* window = m_windows.newGame();
    m_frame.requestInputFocus();
    return window;
}

QString GameDocuments::startPath() const
{
    return QFile::decodeName(fieldText(m_windows.context().options.lastGameFilePath).data());
}

QString GameDocuments::startFolder() const
{
    return gameFileFolder(startPath(), QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
}

void GameDocuments::open()
{
    openFiles(m_chooser(QStringLiteral("Open"), startFolder(), false));
}

void GameDocuments::openFiles(const QStringList& paths)
{
    for (const QString& path : paths)
        openFile(path);
}

board::CGameFrame* GameDocuments::openFile(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (isPgnFile(absolute))
        return openPgn(absolute);
    for (board::CGameFrame* window : m_windows.frames()) {
        if (window->filePath() == absolute) {
            m_windows.area()->setActiveSubWindow(window);
            m_frame.requestInputFocus();
            return window;
        }
    }
    board::CGameFrame* window = m_windows.newGame();
    if (!window)
        return nullptr;
    const QPointer<board::CGameFrame> guard(window);
    const bool read = window->readFile(absolute);
    if (!guard)
        return nullptr;
    if (!read) {
        // Nothing came of the file: the window goes without a question.
        if (window->game())
            window->game()->modified = false;
        window->close();
        if (!QFileInfo::exists(absolute)) {
            m_recentFiles.remove(absolute);
            m_frame.refreshRecentFiles();
        }
        return nullptr;
    }
    if (!window->readIncomplete())
        remember(absolute);
    m_frame.requestInputFocus();
    return window;
}

board::CGameFrame* GameDocuments::openPgn(const QString& path)
{
    DesktopPort& desktop = m_windows.context().desktop;
    const std::string file = QFile::encodeName(path).toStdString();
    std::string text, error;
    if (!model::ReadPgnFile(file, text, error)) {
        desktop.messageBox(utf8ToBig5("The PGN file " + error + ": " + file));
        return nullptr;
    }
    std::vector<model::PgnGameText> games;
    model::PgnReader reader(text);
    text.clear();
    for (model::PgnGameText game; reader.next(game);)
        games.push_back(std::move(game));
    if (games.empty()) {
        desktop.messageBox(utf8ToBig5("The PGN file holds no game: " + file));
        return nullptr;
    }
    std::vector<int> wanted{0};
    if (games.size() > 1) {
        QStringList titles;
        for (std::size_t i = 0; i < games.size(); ++i)
            titles << PgnGameTitle(games[i], static_cast<int>(i) + 1);
        board::CGameFrame* first = openPgnGame(games[0], path, 1);
        QList<int> chosen = m_pgnChooser(QFileInfo(path).fileName(), titles);
        if (chosen.size() > kPgnWindowLimit) {
            desktop.messageBox("Only the first " + std::to_string(kPgnWindowLimit) + " of the " +
                               std::to_string(chosen.size()) + " chosen games are opened.");
            chosen.resize(kPgnWindowLimit);
        }
        for (int index : chosen)
            if (index > 0 && static_cast<std::size_t>(index) < games.size())
                openPgnGame(games[static_cast<std::size_t>(index)], path, index + 1);
        if (first)
            m_windows.area()->setActiveSubWindow(first);
        remember(path);
        m_frame.requestInputFocus();
        return first;
    }
    board::CGameFrame* window = openPgnGame(games[0], path, 1);
    remember(path);
    m_frame.requestInputFocus();
    return window;
}

board::CGameFrame* GameDocuments::openPgnGame(const model::PgnGameText& game, const QString& path, int number)
{
    board::CGameFrame* window = m_windows.newGame();
    if (window)
        window->readPgnGame(game, path, number);
    return window;
}

bool GameDocuments::save(board::CGameFrame& window)
{
    if (refusedWhileEditing(window))
        return false;
    if (window.filePath().isEmpty())
        return saveAs(window);
    return saveTo(window, window.filePath());
}

bool GameDocuments::saveAs(board::CGameFrame& window)
{
    if (refusedWhileEditing(window))
        return false;
    const QPointer<board::CGameFrame> guard(&window);
    const QString subject = window.game() ? platform::fromBig5(fieldText(window.game()->subject)) : QString();
    const QString start = proposedSavePath(window.filePath(), subject, startFolder());
    const QStringList chosen = m_chooser(QStringLiteral("Save As"), start, true);
    if (!guard || chosen.isEmpty())
        return false;
    return saveTo(window, QFileInfo(chosen.front()).absoluteFilePath());
}

bool GameDocuments::refusedWhileEditing(board::CGameFrame& window)
{
    // The board holds pieces being set up, the record still the old start: a file written
    // now would hold a position that never was. The game stays unsaved.
    if (!window.game() || window.game()->mode != model::kModeEditing)
        return false;
    m_windows.context().desktop.messageBox(std::string(model::kEditSaveRefusal));
    return true;
}

bool GameDocuments::saveTo(board::CGameFrame& window, const QString& path)
{
    model::CGame* game = window.game();
    if (!game)
        return false;
    const model::GameFileForm form =
        m_windows.context().options.saveNewFormat == 1 ? model::GameFileForm::New : model::GameFileForm::Old;
    const std::string file = QFile::encodeName(path).toStdString();
    // A name ending in .pgn asks for PGN, in coordinates that every program reads.
    if (path.endsWith(QLatin1String(".pgn"), Qt::CaseInsensitive)
            ? !model::WritePgnFile(*game, file, model::MoveNotation::Iccs)
            : !model::WriteGameFile(*game, file, form))
        return false;
    window.setFilePath(path);
    window.refreshStatus();
    remember(path);
    return true;
}

void GameDocuments::closeActive()
{
    if (board::CGameFrame* window = m_windows.activeFrame())
        window->close();
    m_frame.requestInputFocus();
}

void GameDocuments::remember(const QString& path)
{
    m_recentFiles.add(path);
    m_frame.refreshRecentFiles();
    rememberLastPath(path);
}

void GameDocuments::rememberLastPath(const QString& path)
{
    const QByteArray bytes = QFile::encodeName(path);
    Options& options = m_windows.context().options;
    // A path cut short would name another file: one that does not fit is not kept.
    if (static_cast<std::size_t>(bytes.size()) < sizeof options.lastGameFilePath)
        copyBounded(options.lastGameFilePath, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void GameDocuments::merge(board::CGameFrame& window)
{
    model::CGame* game = window.game();
    if (!game || !board::gameCommandEnabled(board::GameCommand::Merge, *game))
        return;
    const QPointer<board::CGameFrame> alive(&window);
    const MergeChoice choice = m_mergeChooser(window, startPath());
    if (choice.direction == 0 || choice.files.isEmpty() || !alive)
        return;
    session::ClientContext& context = m_windows.context();
    session::SyncGameSettings(context); // the note option may just have changed
    std::vector<std::string> paths;
    for (const QString& file : choice.files)
        paths.push_back(QFile::encodeName(file).toStdString());
    const auto remember = [this](const std::string& path) { rememberLastPath(QFile::decodeName(path.c_str())); };
    if (choice.direction < 0)
        model::MergeFilesIntoGame(*game, paths, remember);
    else
        model::MergeGameIntoFiles(*game, paths, remember);
    m_frame.requestInputFocus();
}

bool GameDocuments::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_frame) {
        if (event->type() == QEvent::DragEnter) {
            auto* drag = static_cast<QDragEnterEvent*>(event);
            if (!droppedFiles(drag->mimeData()).isEmpty()) {
                drag->acceptProposedAction();
                return true;
            }
        } else if (event->type() == QEvent::Drop) {
            auto* drop = static_cast<QDropEvent*>(event);
            const QStringList files = droppedFiles(drop->mimeData());
            if (!files.isEmpty()) {
                drop->acceptProposedAction();
                openFiles(files);
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace marovin::windows
