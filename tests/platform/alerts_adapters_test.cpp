// The desktop's sound and notification adapters: a sound the build made loads in Qt
// Multimedia; a notice reaches a notification service on a private D-Bus (started here),
// and a click on it comes back as the notice's target.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QFileInfo>
#include <QProcess>
#include <QSoundEffect>
#include <QStandardPaths>
#include <QUrl>

#include <string>
#include <vector>

#include "platform/qt_notifier.h"
#include "platform/qt_sound.h"
#include "support/paths.h"
#include "testkit/loopback.h"
#include "testkit/qt_application.h"

namespace marovin::platform {
namespace {

using testkit::waitFor;

TEST(SoundAdapter, EverySoundOfTheBuildLoadsInQtMultimedia)
{
    testkit::qtApplication();
    QtSoundPlayer player(QString::fromStdString(assetFolder() + "sounds/"));
    for (std::size_t i = 0; i < kSoundCount; ++i) {
        const QString file = player.fileOf(static_cast<SoundEvent>(i));
        SCOPED_TRACE(file.toStdString());
        ASSERT_TRUE(QFileInfo::exists(file));
        QSoundEffect effect;
        effect.setSource(QUrl::fromLocalFile(file));
        ASSERT_TRUE(waitFor([&] { return effect.status() != QSoundEffect::Loading; }, 5000));
        EXPECT_EQ(effect.status(), QSoundEffect::Ready);
    }
    // Played with or without an audio device: never a failure, never a box.
    player.playSound(SoundEvent::Check);
}

// A notification service as the desktop's: it keeps what it was asked to show.
class FakeNotificationService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Shown {
        QString summary;
        QString body;
        QStringList actions;
    };
    std::vector<Shown> shown;

public slots:
    uint Notify(const QString&, uint, const QString&, const QString& summary, const QString& body,
                const QStringList& actions, const QVariantMap&, int)
    {
        shown.push_back({summary, body, actions});
        return static_cast<uint>(shown.size() + 40);
    }
    QStringList GetCapabilities() { return {QStringLiteral("body"), QStringLiteral("actions")}; }

signals:
    void ActionInvoked(uint id, const QString& action);
    void NotificationClosed(uint id, uint reason);
};

// A session bus of the test's own.
class PrivateBus : public ::testing::Test {
protected:
    void SetUp() override
    {
        testkit::qtApplication();
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty())
            GTEST_SKIP() << "dbus-daemon is not installed";
        m_daemon.start(daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
        ASSERT_TRUE(m_daemon.waitForReadyRead(5000));
        m_address = QString::fromLatin1(m_daemon.readLine()).trimmed();
        ASSERT_FALSE(m_address.isEmpty());
        QDBusConnection service = QDBusConnection::connectToBus(m_address, QStringLiteral("service"));
        ASSERT_TRUE(service.isConnected());
        ASSERT_TRUE(service.registerObject(QString::fromLatin1(kNotificationPath), &fake,
                                           QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals));
        ASSERT_TRUE(service.registerService(QString::fromLatin1(kNotificationService)));
    }
    void TearDown() override
    {
        QDBusConnection::disconnectFromBus(QStringLiteral("service"));
        QDBusConnection::disconnectFromBus(QStringLiteral("client"));
        m_daemon.kill();
        m_daemon.waitForFinished(2000);
    }
    QDBusConnection client() { return QDBusConnection::connectToBus(m_address, QStringLiteral("client")); }

    FakeNotificationService fake;
    QProcess m_daemon;
    QString m_address;
};

TEST_F(PrivateBus, ANoticeIsShownOnlyWhileTheUserLooksElsewhereAndItsClickLeadsBack)
{
    QtNotifier notifier(client());
    bool looking = true;
    notifier.setUserLooking([&] { return looking; });
    std::vector<std::pair<NoticeEvent, const model::CGame*>> clicks;
    QObject::connect(&notifier, &QtNotifier::activated,
                     [&](NoticeEvent event, const model::CGame* game) { clicks.emplace_back(event, game); });

    session::Notice tell{NoticeEvent::Tell, "rival tells you", "good <luck>", nullptr};
    notifier.notify(tell); // the user looks at Marovin: nothing is shown
    looking = false;
    const auto* game = reinterpret_cast<const model::CGame*>(&fake); // an address to come back
    notifier.notify({NoticeEvent::OpponentMoved, "rival moved (game 12)", "\xB0\xA8\xA2\xB7\xB6i\xA2\xB6 (H9-G7)", game});
    notifier.notify(tell);
    ASSERT_TRUE(waitFor([&] { return fake.shown.size() == 2; }, 5000));
    EXPECT_EQ(fake.shown[0].summary, QStringLiteral("rival moved (game 12)"));
    EXPECT_EQ(fake.shown[0].body, QString::fromUtf8("馬８進７ (H9-G7)"));
    EXPECT_EQ(fake.shown[0].actions, (QStringList{QStringLiteral("default"), QStringLiteral("Show")}));
    EXPECT_EQ(fake.shown[1].body, QStringLiteral("good <luck>")) << "a service without markup gets the text";

    // The service gave ids 41 and 42; the user clicks the move's notice, then the tell's
    // after it closed (that click is not known any more).
    QCoreApplication::processEvents();
    emit fake.ActionInvoked(41, QStringLiteral("default"));
    emit fake.NotificationClosed(42, 2);
    emit fake.ActionInvoked(42, QStringLiteral("default"));
    ASSERT_TRUE(waitFor([&] { return !clicks.empty(); }, 5000));
    waitFor([] { return false; }, 200);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].first, NoticeEvent::OpponentMoved);
    EXPECT_EQ(clicks[0].second, game);
}

} // namespace
} // namespace marovin::platform

#include "alerts_adapters_test.moc"
