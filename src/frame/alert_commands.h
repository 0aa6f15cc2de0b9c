#pragma once
// Staying connected and being alerted, in the main frame:
//   Option > Connection and Alerts...   the settings dialog; OK applies the settings at
//                                       once and writes them to the data folder's file
//   Window > Stop Reconnecting          while the client reconnects by itself
//   status bar                          "Reconnecting in 4 s (try 3 of 9)" and Cancel,
//                                       shown while it does
// and a click on a desktop notification, which brings the window it is about to the front.

#include <QObject>
#include <QPointer>

#include "options/alert_settings.h"

class QAction;
class QLabel;
class QPushButton;
class QWidget;

namespace marovin::model {
class CGame;
}
namespace marovin::session {
class ClientContext;
}
namespace marovin::platform {
class QtSoundPlayer;
}
namespace marovin::board {
class QtGameWindows;
}

namespace marovin::windows {

class CMainFrame;

class AlertCommands : public QObject {
    Q_OBJECT
public:
    // All must outlive this object; games may be null (no game windows to show).
    AlertCommands(CMainFrame& frame, session::ClientContext& context, platform::QtSoundPlayer& sounds,
                  board::QtGameWindows* games);

    // The reconnect indicator and Stop Reconnecting, brought up to date (each second and
    // after every connection event).
    void refresh();
    // The settings dialog (also reached from the menu).
    void editSettings();
    // A notification about event (and game, when not null) was clicked.
    void showNoticeTarget(NoticeEvent event, const model::CGame* game);

    QWidget* indicator() const { return m_indicator; }
    QPushButton* cancelButton() const { return m_cancel; }

private:
    void stopReconnecting();

    CMainFrame& m_frame;
    session::ClientContext& m_context;
    platform::QtSoundPlayer& m_sounds;
    QPointer<board::QtGameWindows> m_games;
    QAction* m_settings;
    QAction* m_stop;
    QWidget* m_indicator;
    QLabel* m_label;
    QPushButton* m_cancel;
};

} // namespace marovin::windows
