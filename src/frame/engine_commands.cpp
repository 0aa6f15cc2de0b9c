#include "frame/engine_commands.h"

#include <QAction>
#include <QMdiArea>
#include <QMenuBar>
#include <QTimer>
#include <QToolBar>

#include "game_window/game_frame.h"
#include "engine/engine_settings.h"
#include "support/paths.h"
#include "game_window/analysis_pane.h"
#include "game_window/engine_dialogs.h"
#include "frame/main_frame.h"
#include "frame/tool_icons.h"

namespace marovin::windows {

EngineCommands::EngineCommands(CMainFrame& frame, board::QtGameWindows& windows)
    : m_frame(frame), m_windows(windows),
      m_analysis(makeAction("actionAnalysis", tr("Anal&ysis\tF9"))),
      m_play(makeAction("actionPlayEngine", tr("Play Against E&ngine..."))),
      m_stopPlaying(makeAction("actionStopPlaying", tr("Stop Playing"))),
      m_analyseGame(makeAction("actionAnalyseGame", tr("Analyse &Game..."))),
      m_settings(makeAction("actionEngineSettings", tr("&Engine Settings")))
{
    // The engine's commands join the menus that hold their kind: the window's game
    // commands, and the settings.
    if (QMenu* game = frame.menuTitled(QStringLiteral("&Game"))) {
        game->addSeparator();
        game->addAction(m_analysis);
        game->addAction(m_play);
        game->addAction(m_stopPlaying);
        game->addAction(m_analyseGame);
    }
    if (QMenu* option = frame.menuTitled(QStringLiteral("&Option"))) {
        option->addSeparator();
        option->addAction(m_settings);
    }

    m_analysis->setCheckable(true);
    m_analysis->setShortcut(QKeySequence(Qt::Key_F9));
    m_analysis->setToolTip(tr("Engine analysis of the shown position [F9]"));
    m_analysis->setIcon(toolIcon(QStringLiteral("analysis")));
    if (QToolBar* tools = frame.toolBar()) {
        tools->addSeparator();
        tools->addAction(m_analysis);
    }
    m_settings->setEnabled(true);

    connect(m_analysis, &QAction::triggered, this, [this](bool on) {
        if (board::CGameFrame* game = m_windows.activeFrame())
            game->engine()->setAnalysing(on);
        m_frame.requestInputFocus();
        update();
    });
    connect(m_play, &QAction::triggered, this, [this] {
        board::CGameFrame* game = m_windows.activeFrame();
        if (!game || !game->engine()->canPlay())
            return;
        PlayEngineDlg dialog(m_lastPlay, game);
        const QPointer<board::CGameFrame> window(game);
        const bool accepted = game->execDialog(dialog) == QDialog::Accepted;
        if (accepted && window && window->game()) {
            m_lastPlay = dialog.settings();
            window->engine()->startPlaying(m_lastPlay);
        }
        m_frame.requestInputFocus();
        update();
    });
    connect(m_stopPlaying, &QAction::triggered, this, [this] {
        if (board::CGameFrame* game = m_windows.activeFrame())
            game->engine()->stopPlaying();
        m_frame.requestInputFocus();
        update();
    });
    connect(m_analyseGame, &QAction::triggered, this, &EngineCommands::analyseGame);
    connect(m_settings, &QAction::triggered, this, &EngineCommands::editSettings);
    connect(&windows, &board::QtGameWindows::windowsChanged, this, &EngineCommands::scheduleUpdate);
    connect(frame.mdiArea(), &QMdiArea::subWindowActivated, this, &EngineCommands::scheduleUpdate);
    update();
}

QAction* EngineCommands::makeAction(const char* name, const QString& text)
{
    auto* action = new QAction(text, &m_frame);
    action->setObjectName(QString::fromLatin1(name));
    action->setEnabled(false);
    m_frame.addAction(action); // its key works whether or not the menu is open
    return action;
}

void EngineCommands::editSettings()
{
    const std::string folder = dataFolder();
    DesktopPort& desktop = m_windows.context().desktop;
    EngineSettingsDlg dialog(engine::LoadEngineSettings(folder), desktop, &m_frame);
    if (dialog.exec() == QDialog::Accepted) {
        const engine::EngineSettings settings = dialog.settings();
        std::string error;
        if (!engine::SaveEngineSettings(folder, settings, error))
            desktop.messageBox(error);
        m_windows.enginePool().applySettings(settings);
        for (board::CGameFrame* game : m_windows.frames())
            game->engine()->settingsChanged();
    }
    m_frame.requestInputFocus();
}

void EngineCommands::analyseGame()
{
    board::CGameFrame* game = m_windows.activeFrame();
    if (!game || !game->game())
        return;
    model::CGame& record = *game->game();
    // The dialog offers the main line's moves as first moves to judge.
    const int plies = static_cast<int>(engine::CollectAnalysisNodes(record, false, 1).size()) - 1;
    AnalyseGameDlg dialog(m_lastAnalysis, plies, game);
    const QPointer<board::CGameFrame> window(game);
    const bool accepted = game->execDialog(dialog) == QDialog::Accepted;
    if (accepted && window && window->game()) {
        m_lastAnalysis = dialog.settings();
        QString error;
        if (!window->analysisPane()->start(m_lastAnalysis, error))
            m_windows.context().desktop.messageBox(error.toStdString());
    }
    m_frame.requestInputFocus();
    update();
}

void EngineCommands::scheduleUpdate()
{
    if (m_updateDue)
        return;
    m_updateDue = true;
    QTimer::singleShot(0, this, &EngineCommands::update);
}

void EngineCommands::watchActiveEngine()
{
    board::CGameFrame* game = m_windows.activeFrame();
    board::GameEngine* engine = game ? game->engine() : nullptr;
    if (engine == m_watched)
        return;
    if (m_watched)
        disconnect(m_watched, nullptr, this, nullptr);
    m_watched = engine;
    if (engine) {
        connect(engine, &board::GameEngine::modeChanged, this, &EngineCommands::scheduleUpdate);
        connect(game->analysisPane(), &board::AnalysisPane::ended, this, &EngineCommands::scheduleUpdate,
                Qt::UniqueConnection);
    }
}

void EngineCommands::update()
{
    m_updateDue = false;
    watchActiveEngine();
    board::GameEngine* engine = m_watched;
    const bool usable = engine && m_windows.activeFrame()->game();
    m_analysis->setEnabled(usable);
    m_analysis->setChecked(usable && engine->analysing());
    m_play->setEnabled(usable && engine->canPlay() && !engine->playing());
    m_stopPlaying->setEnabled(usable && engine->playing());
    const board::CGameFrame* game = m_windows.activeFrame();
    m_analyseGame->setEnabled(usable && game->game()->pathLength() > 0 && !game->analysisPane()->running());
}

} // namespace marovin::windows
