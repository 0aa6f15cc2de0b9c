#include "frame/game_commands.h"

#include <QAction>
#include <QMdiArea>
#include <QMenu>
#include <QTimer>

#include "game_window/game_frame.h"
#include "platform/big5_text.h"
#include "session/session_state.h"
#include "terminal/input_bar.h"
#include "frame/main_frame.h"
#include "widgets/text_prompt_dialog.h"
#include "windows/text_record_dialog.h"

namespace marovin::windows {

namespace {

using board::CGameFrame;
using board::GameCommand;

bool always(CGameFrame&)
{
    return true;
}

} // namespace

GameCommands::GameCommands(CMainFrame& frame, board::QtGameWindows& windows) : m_frame(frame), m_windows(windows)
{
    bindCommand("actionAdjourn", GameCommand::Adjourn);
    bindCommand("actionPass", GameCommand::Pass);
    bindCommand("actionResign", GameCommand::Resign);
    bindCommand("actionUndoMove", GameCommand::Undo);
    bindCommand("actionAddTime", GameCommand::AddTime);
    bindCommand("actionAllObservers", GameCommand::AllObservers);
    bindCommand("actionTimeLeft", GameCommand::TimeLeft);
    bindCommand("actionKibitz", GameCommand::Kibitz);
    bindCommand("actionRefreshGame", GameCommand::RefreshGame);
    bindCommand("actionHeader", GameCommand::Header);
    bindCommand("actionDeleteMoves", GameCommand::DeleteMoves);
    bindCommand("actionSetupPosition", GameCommand::SetupPosition);
    bindCommand("actionStopSendGame", GameCommand::StopSend);
    bindCommand("actionStopReceiveGame", GameCommand::StopReceive);
    // Sending a game goes through the server: only while logged in.
    session::ClientContext& context = windows.context();
    bind(
        "actionSendGame", [](CGameFrame& game) { game.runCommand(GameCommand::SendGame); },
        [&context](CGameFrame& game) {
            return game.game() && board::gameCommandEnabled(GameCommand::SendGame, *game.game()) &&
                   session::isLoggedIn(context.session);
        });
    windows.setPlayerNameAsker([&context](CGameFrame& game) -> std::optional<std::string> {
        std::string name;
        CTextPromptDlg dialog(name, "Please input the player name", 15, context.desktop, &game);
        if (game.execDialog(dialog) != QDialog::Accepted)
            return std::nullopt;
        return name;
    });
    bind("actionFlipBoard", [](CGameFrame& game) { game.flipBoard(); }, always);
    bind(
        "actionNewChessWindow", [this](CGameFrame& game) { m_windows.openView(game); },
        [](CGameFrame& game) { return game.canOpenView(); });
    bind(
        "actionTextRecord",
        [&frame, &context](CGameFrame& game) {
            CTextRecordDlg dialog(*game.game(), frame.listFont(), context.desktop, &game);
            game.execDialog(dialog);
        },
        [](CGameFrame& game) { return game.game() != nullptr; });
    bind(
        "actionMergeGame",
        [this](CGameFrame& game) {
            if (m_merge)
                m_merge(game);
        },
        [](CGameFrame& game) { return game.game() && board::gameCommandEnabled(GameCommand::Merge, *game.game()); });
    bindSizes();
    bindMoveList();

    // The input bar's buttons move the active window; the keyboard stays with the input line.
    const std::pair<int, board::WindowMove> moves[] = {{shell::kWindowLeftId, board::WindowMove::Left},
                                                       {shell::kWindowCentreId, board::WindowMove::Centre},
                                                       {shell::kWindowRightId, board::WindowMove::Right}};
    for (const auto& [id, move] : moves) {
        connect(frame.inputBar()->gameButton(id), &QAction::triggered, this, [this, move = move] {
            if (CGameFrame* game = m_windows.activeFrame())
                game->moveWindow(move);
            m_frame.requestInputFocus();
        });
    }
    QAction* next = frame.action(QStringLiteral("actionNextWindow"));
    connect(next, &QAction::triggered, &windows, &board::QtGameWindows::activateNext);

    // Logging in or out changes what the menu offers without any window changing.
    if (QAction* send = frame.action(QStringLiteral("actionSendGame")))
        for (QObject* holder : send->associatedObjects())
            if (auto* menu = qobject_cast<QMenu*>(holder))
                connect(menu, &QMenu::aboutToShow, this, &GameCommands::update);
    connect(&windows, &board::QtGameWindows::windowsChanged, this, &GameCommands::scheduleUpdate);
    connect(frame.mdiArea(), &QMdiArea::subWindowActivated, this, &GameCommands::scheduleUpdate);
    update();
}

void GameCommands::bind(const char* actionName, std::function<void(CGameFrame&)> act,
                        std::function<bool(CGameFrame&)> enabled)
{
    QAction* action = m_frame.action(QString::fromLatin1(actionName));
    if (!action)
        return;
    connect(action, &QAction::triggered, this, [this, act = std::move(act), enabled] {
        CGameFrame* game = m_windows.activeFrame();
        if (game && enabled(*game))
            act(*game);
        m_frame.requestInputFocus();
        update();
    });
    m_bindings.push_back({action, std::move(enabled)});
}

void GameCommands::bindCommand(const char* actionName, GameCommand command)
{
    bind(
        actionName, [command](CGameFrame& game) { game.runCommand(command); },
        [command](CGameFrame& game) { return game.commandEnabled(command); });
}

void GameCommands::bindSizes()
{
    Options& options = m_windows.context().options;
    const auto apply = [](std::function<WindowSizeRecord()> record) {
        return [record = std::move(record)](CGameFrame& game) { game.applySize(record()); };
    };
    bind("actionPlayingSize", apply([&options] { return options.playingSize; }), always);
    bind("actionLookingSize", apply([&options] { return options.lookingSize; }), always);
    bind("actionSmallSize", apply([] { return builtInWindowSize(board::kSmallSize); }), always);
    bind("actionMediumSize", apply([] { return builtInWindowSize(board::kMediumSize); }), always);
    bind("actionLargeSize", apply([] { return builtInWindowSize(board::kLargeSize); }), always);
    bind("actionStorePlayingSize", [&options](CGameFrame& game) { options.playingSize = game.currentSize(); }, always);
    bind("actionStoreLookingSize", [&options](CGameFrame& game) { options.lookingSize = game.currentSize(); }, always);
}

void GameCommands::bindMoveList()
{
    QAction* shown = m_frame.action(QStringLiteral("actionMoveList"));
    QAction* keyboard = m_frame.action(QStringLiteral("actionMoveListKeyboard"));
    if (!shown || !keyboard)
        return;
    shown->setCheckable(true);
    shown->setChecked(m_windows.moveListSettings().shown);
    shown->setEnabled(true);
    connect(shown, &QAction::triggered, this, [this](bool on) {
        board::MoveListSettings settings = m_windows.moveListSettings();
        settings.shown = on;
        m_windows.setMoveListSettings(settings, true);
        m_frame.requestInputFocus();
    });
    // The keyboard goes to the list (shown, with room beside the board) and stays there.
    connect(keyboard, &QAction::triggered, this, [this, shown] {
        CGameFrame* game = m_windows.activeFrame();
        if (!game || !game->game())
            return;
        if (!m_windows.moveListSettings().shown) {
            shown->setChecked(true);
            board::MoveListSettings settings = m_windows.moveListSettings();
            settings.shown = true;
            m_windows.setMoveListSettings(settings, true);
        }
        game->revealMoveList();
        game->moveList()->takeKeyboard();
    });
}

void GameCommands::scheduleUpdate()
{
    if (m_updateDue)
        return;
    m_updateDue = true;
    QTimer::singleShot(0, this, &GameCommands::update);
}

void GameCommands::update()
{
    m_updateDue = false;
    CGameFrame* active = m_windows.activeFrame();
    for (const Binding& binding : m_bindings)
        binding.action->setEnabled(active && binding.enabled(*active));
    if (QAction* resign = m_frame.action(QStringLiteral("actionResign")))
        resign->setText(platform::fromBig5(board::resignMenuText(active ? active->game() : nullptr)));
    if (QAction* next = m_frame.action(QStringLiteral("actionNextWindow")))
        next->setEnabled(!m_windows.frames().empty());
    if (QAction* keyboard = m_frame.action(QStringLiteral("actionMoveListKeyboard")))
        keyboard->setEnabled(active && active->game());
}

} // namespace marovin::windows
