#include "platform/qt_notifier.h"

#include <QApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>

#include <utility>

#include "platform/big5_text.h"

namespace marovin::platform {

namespace {

constexpr char kInterface[] = "org.freedesktop.Notifications";
// Notices kept for their click; a service that never says they closed cannot grow this.
constexpr std::size_t kMostRemembered = 64;

QDBusMessage call(const char* method)
{
    return QDBusMessage::createMethodCall(QString::fromLatin1(kNotificationService),
                                          QString::fromLatin1(kNotificationPath), QString::fromLatin1(kInterface),
                                          QString::fromLatin1(method));
}

} // namespace

QtNotifier::QtNotifier(QObject* parent)
    : QObject(parent), m_looking([] { return QApplication::activeWindow() != nullptr; })
{
}

QtNotifier::QtNotifier(const QDBusConnection& bus, QObject* parent) : QtNotifier(parent)
{
    m_bus = bus;
    openBus();
}

bool QtNotifier::openBus()
{
    if (m_opened)
        return m_bus->isConnected();
    m_opened = true;
    if (!m_bus)
        m_bus = QDBusConnection::sessionBus();
    if (!m_bus->isConnected())
        return false;
    m_bus->connect(QString::fromLatin1(kNotificationService), QString::fromLatin1(kNotificationPath),
                   QString::fromLatin1(kInterface), QStringLiteral("ActionInvoked"), this,
                   SLOT(onActionInvoked(uint, QString)));
    m_bus->connect(QString::fromLatin1(kNotificationService), QString::fromLatin1(kNotificationPath),
                   QString::fromLatin1(kInterface), QStringLiteral("NotificationClosed"), this,
                   SLOT(onClosed(uint, uint)));
    m_askingCapabilities = true;
    auto* watcher = new QDBusPendingCallWatcher(m_bus->asyncCall(call("GetCapabilities")), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* self) {
        const QDBusPendingReply<QStringList> reply = *self;
        m_markup = !reply.isError() && reply.value().contains(QStringLiteral("body-markup"));
        self->deleteLater();
        m_askingCapabilities = false;
        for (const session::Notice& notice : std::exchange(m_waiting, {}))
            send(notice);
    });
    return true;
}

void QtNotifier::notify(const session::Notice& notice)
{
    if ((m_looking && m_looking()) || !openBus())
        return;
    if (m_askingCapabilities)
        m_waiting.push_back(notice);
    else
        send(notice);
}

void QtNotifier::send(const session::Notice& notice)
{
    QString body = fromBig5(notice.body);
    if (m_markup)
        body = body.toHtmlEscaped();
    QDBusMessage message = call("Notify");
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("marovin"));
    message << QStringLiteral("Marovin") << uint(0) << QStringLiteral("marovin") << fromBig5(notice.title) << body
            << QStringList{QStringLiteral("default"), QStringLiteral("Show")} << hints << int(-1);
    auto* watcher = new QDBusPendingCallWatcher(m_bus->asyncCall(message), this);
    const Target target{notice.event, notice.game};
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, target](QDBusPendingCallWatcher* self) { remember(self, target); });
}

void QtNotifier::remember(QDBusPendingCallWatcher* watcher, Target target)
{
    const QDBusPendingReply<uint> reply = *watcher;
    watcher->deleteLater();
    if (reply.isError())
        return;
    if (m_shown.size() >= kMostRemembered)
        m_shown.erase(m_shown.begin());
    m_shown[reply.value()] = target;
}

void QtNotifier::onActionInvoked(uint id, const QString& action)
{
    const auto it = m_shown.find(id);
    if (it == m_shown.end() || action != QStringLiteral("default"))
        return;
    const Target target = it->second;
    emit activated(target.event, target.game);
}

void QtNotifier::onClosed(uint id, uint)
{
    m_shown.erase(id);
}

} // namespace marovin::platform
