#include "frame/alert_commands.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>

#include "frame/main_frame.h"
#include "game_window/game_frame.h"
#include "game_window/qt_game_windows.h"
#include "platform/big5_text.h"
#include "platform/qt_sound.h"
#include "session/client_context.h"
#include "session/reconnect.h"
#include "support/paths.h"
#include "terminal/tell_window.h"
#include "windows/alerts_dialog.h"

namespace marovin::windows {

AlertCommands::AlertCommands(CMainFrame& frame, session::ClientContext& context, platform::QtSoundPlayer& sounds,
                             board::QtGameWindows* games)
    : QObject(&frame), m_frame(frame), m_context(context), m_sounds(sounds), m_games(games),
      m_settings(new QAction(tr("Connection and &Alerts..."), &frame)),
      m_stop(new QAction(tr("Stop &Reconnecting"), &frame)), m_indicator(new QWidget), m_label(new QLabel),
      m_cancel(new QPushButton(tr("Cancel")))
{
    m_settings->setObjectName(QStringLiteral("actionAlertSettings"));
    m_stop->setObjectName(QStringLiteral("actionStopReconnecting"));
    if (QMenu* option = frame.menuTitled(QStringLiteral("&Option")))
        option->addAction(m_settings);
    if (QMenu* window = frame.menuTitled(QStringLiteral("&Window")))
        window->insertAction(frame.action(QStringLiteral("actionNextWindow")), m_stop);
    frame.addAction(m_stop);
    connect(m_settings, &QAction::triggered, this, &AlertCommands::editSettings);
    connect(m_stop, &QAction::triggered, this, &AlertCommands::stopReconnecting);

    m_indicator->setObjectName(QStringLiteral("reconnectIndicator"));
    m_cancel->setObjectName(QStringLiteral("cancelReconnect"));
    m_cancel->setFocusPolicy(Qt::NoFocus); // the keyboard stays with the input line
    m_cancel->setToolTip(tr("Stop reconnecting (Window > Stop Reconnecting)"));
    auto* row = new QHBoxLayout(m_indicator);
    row->setContentsMargins(4, 0, 4, 0);
    row->addWidget(m_label);
    row->addWidget(m_cancel);
    connect(m_cancel, &QPushButton::clicked, this, &AlertCommands::stopReconnecting);
    frame.statusBar()->addWidget(m_indicator);
    refresh();
}

void AlertCommands::refresh()
{
    const session::ReconnectStatus status = session::reconnectStatus(m_context);
    m_stop->setEnabled(status.active);
    m_indicator->setVisible(status.active);
    if (!status.active)
        return;
    const QString of = tr("try %1 of %2").arg(status.tryNumber).arg(session::kReconnectTries);
    m_label->setText(status.connecting ? tr("Reconnecting (%1)...").arg(of)
                                       : tr("Reconnecting in %1 s (%2)").arg(status.secondsLeft).arg(of));
}

void AlertCommands::stopReconnecting()
{
    session::cancelReconnect(m_context);
    refresh();
    m_frame.requestInputFocus();
}

void AlertCommands::editSettings()
{
    const auto hear = [this](SoundEvent event, int volume) {
        m_sounds.setVolume(volume);
        m_sounds.playSound(event);
        m_sounds.setVolume(m_context.alerts.volume);
    };
    CAlertsDlg dialog(m_context.alerts, hear, &m_frame);
    if (dialog.exec() == QDialog::Accepted && dialog.settings() != m_context.alerts) {
        m_context.alerts = dialog.settings();
        m_sounds.setVolume(m_context.alerts.volume);
        std::string error;
        if (!SaveAlertSettings(dataFolder(), m_context.alerts, error))
            m_context.desktop.messageBox(error + ": the settings stay until Marovin ends.");
    }
    m_frame.requestInputFocus();
}

void AlertCommands::showNoticeTarget(NoticeEvent event, const model::CGame* game)
{
    if (m_frame.isMinimized())
        m_frame.showNormal();
    m_frame.raise();
    m_frame.activateWindow();
    if (event == NoticeEvent::Tell) {
        m_frame.showTellWindow();
    } else if (event == NoticeEvent::Challenge) {
        // The newest open challenge window.
        QWidget* newest = nullptr;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->inherits("marovin::windows::CMatchDlg") && window->isVisible())
                newest = window;
        if (newest) {
            newest->raise();
            newest->activateWindow();
        }
    } else if (game && m_games && m_context.gameList.contains(game)) {
        if (board::CGameFrame* window = m_games->frameOf(game)) {
            m_frame.mdiArea()->setActiveSubWindow(window);
            window->raise();
        }
    }
    m_frame.requestInputFocus();
}

} // namespace marovin::windows
