#pragma once
// The engine's two dialogs.
//
//   Engine Settings      the program (path or name; empty: fairy-stockfish on PATH or in
//                        /usr/games), threads and hash, the lines shown while analysing
//                        and the engines the program may run; OK refuses a program that
//                        is not found, with a message, and keeps the dialog open.
//   Play Against Engine  the engine's side and its time per move.
//   Analyse Game         the time per position, the first move judged, and whether the
//                        variations are judged too.

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QSpinBox>

#include <QRadioButton>

#include "engine/engine_settings.h"
#include "engine/game_analysis.h"
#include "game_window/game_engine.h"
#include "support/ports.h"

namespace marovin::windows {

class EngineSettingsDlg : public QDialog {
    Q_OBJECT
public:
    EngineSettingsDlg(const engine::EngineSettings& settings, DesktopPort& desktop, QWidget* parent = nullptr);

    // The settings entered (valid after OK).
    engine::EngineSettings settings() const;
    QLineEdit* pathEdit() const { return m_path; }
    QSpinBox* threadsBox() const { return m_threads; }
    QSpinBox* hashBox() const { return m_hash; }
    QSpinBox* linesBox() const { return m_lines; }
    QSpinBox* enginesBox() const { return m_engines; }
    void accept() override;

private:
    QLineEdit* m_path;
    QSpinBox* m_threads;
    QSpinBox* m_hash;
    QSpinBox* m_lines;
    QSpinBox* m_engines;
    QCheckBox* m_ranksFromZero;
    engine::EngineSettings m_initial;
    DesktopPort& m_desktop;
};

class PlayEngineDlg : public QDialog {
    Q_OBJECT
public:
    PlayEngineDlg(const board::EnginePlaySettings& settings, QWidget* parent = nullptr);

    board::EnginePlaySettings settings() const;
    QComboBox* sideBox() const { return m_side; }
    QSpinBox* secondsBox() const { return m_seconds; }

private:
    QComboBox* m_side;
    QSpinBox* m_seconds;
};

class AnalyseGameDlg : public QDialog {
    Q_OBJECT
public:
    // plies: the moves of the game's main line (the first move judged is one of them).
    AnalyseGameDlg(const engine::AnalysisSettings& settings, int plies, QWidget* parent = nullptr);

    engine::AnalysisSettings settings() const;
    QSpinBox* movetimeBox() const { return m_movetime; }
    QSpinBox* fromPlyBox() const { return m_fromPly; }
    QRadioButton* wholeTreeButton() const { return m_wholeTree; }

private:
    engine::AnalysisSettings m_initial;
    QSpinBox* m_movetime;
    QSpinBox* m_fromPly;
    QRadioButton* m_mainLine;
    QRadioButton* m_wholeTree;
};

} // namespace marovin::windows
