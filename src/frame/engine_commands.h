#pragma once
// The engine's commands: at the end of the Game menu Analysis (a toggle, F9, also on the
// tool bar), Play Against Engine..., Stop Playing and Analyse Game... (the whole game, in
// the background, under the board), acting on the active game window; at the end of the
// Option menu Engine Settings, kept in the data folder's engine file and applied to the
// program's engines and every window at once.

#include <QObject>
#include <QPointer>

#include "engine/game_analysis.h"
#include "game_window/game_engine.h"
#include "game_window/qt_game_windows.h"

class QAction;
class QMenu;

namespace marovin::windows {

class CMainFrame;

class EngineCommands : public QObject {
    Q_OBJECT
public:
    // Both must outlive this object.
    EngineCommands(CMainFrame& frame, board::QtGameWindows& windows);

    // Brings the commands' enabled and checked states up to date.
    void update();
    // The settings dialog (also reached from the menu).
    void editSettings();

private:
    QAction* makeAction(const char* name, const QString& text);
    void scheduleUpdate();
    void watchActiveEngine();

    CMainFrame& m_frame;
    board::QtGameWindows& m_windows;
    QAction* m_analysis;
    QAction* m_play;
    QAction* m_stopPlaying;
    QAction* m_analyseGame;
    QAction* m_settings;
    QPointer<board::GameEngine> m_watched;
    board::EnginePlaySettings m_lastPlay;
    engine::AnalysisSettings m_lastAnalysis;
    void analyseGame();
    bool m_updateDue = false;
};

} // namespace marovin::windows
