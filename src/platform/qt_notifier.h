#pragma once
// The session's notifications on the desktop's notification service (the freedesktop
// org.freedesktop.Notifications interface on the session bus, through Qt D-Bus). A notice
// is shown only while none of the program's windows is active; a click on it ("default"
// action) is reported by activated() with what the notice was about, so that the program
// can bring that window to the front. Without a bus or a service nothing is shown and
// nothing fails: every call is asynchronous and its errors are dropped.

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "model/game.h"
#include "session/alert_ports.h"

class QDBusPendingCallWatcher;

namespace marovin::platform {

inline constexpr char kNotificationService[] = "org.freedesktop.Notifications";
inline constexpr char kNotificationPath[] = "/org/freedesktop/Notifications";

class QtNotifier : public QObject, public session::NotificationPort {
    Q_OBJECT
public:
    // On the session bus, connected when the first notice is to be shown: most sessions
    // show none, and connecting starts the bus's thread and a round trip at every start.
    explicit QtNotifier(QObject* parent = nullptr);
    // On bus, connected at once.
    explicit QtNotifier(const QDBusConnection& bus, QObject* parent = nullptr);

    void notify(const session::Notice& notice) override;
    // Whether the user is looking at the program (then nothing is shown). By default: one
    // of the application's windows is active.
    void setUserLooking(std::function<bool()> looking) { m_looking = std::move(looking); }

signals:
    // The notice with this event and game (null when it was about no game) was clicked.
    void activated(marovin::NoticeEvent event, const marovin::model::CGame* game);

private slots:
    void onActionInvoked(uint id, const QString& action);
    void onClosed(uint id, uint reason);

private:
    struct Target {
        NoticeEvent event;
        const model::CGame* game;
    };
    // Connects to the bus (once) and asks the service what it can do; whether it is connected.
    bool openBus();
    void send(const session::Notice& notice);
    void remember(QDBusPendingCallWatcher* watcher, Target target);

    std::optional<QDBusConnection> m_bus;
    // Notices that wait for the service's answer about markup, which decides their text.
    std::vector<session::Notice> m_waiting;
    bool m_opened = false;
    bool m_askingCapabilities = false;
    std::function<bool()> m_looking;
    std::map<uint, Target> m_shown; // notices on the screen, by the service's id
    bool m_markup = false;          // the service reads the body as markup
};

} // namespace marovin::platform
