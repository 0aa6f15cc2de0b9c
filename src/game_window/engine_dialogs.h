#pragma once
// The engine's two dialogs.
//
//   Engine Settings      the program (path or name; empty: fairy-stockfish on PATH or in
//                        /usr/games), threads and hash; OK refuses a program that is not
//                        found, with a message, and keeps the dialog open.
//   Play Against Engine  the engine's side and its time per move.

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QSpinBox>

#include "game_window/game_engine.h"
#include "engine/engine_settings.h"
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
    void accept() override;

private:
    QLineEdit* m_path;
    QSpinBox* m_threads;
    QSpinBox* m_hash;
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

} // namespace marovin::windows
