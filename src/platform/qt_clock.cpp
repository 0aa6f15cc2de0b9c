#include "platform/qt_clock.h"

#include <algorithm>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDateTime>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

namespace marovin::platform {

std::int64_t QtClock::nowSeconds()
{
    return QDateTime::currentSecsSinceEpoch();
}

std::int64_t QtClock::nowMilliseconds()
{
    return m_elapsed.elapsed();
}

void QtClock::pause(int milliseconds)
{
    if (milliseconds > 0)
        QThread::msleep(static_cast<unsigned long>(milliseconds));
}

void QtClock::pauseHandlingEvents(int milliseconds)
{
    if (milliseconds <= 0)
        return;
    const QDeadlineTimer deadline(milliseconds, Qt::PreciseTimer);
    QTimer wakeUp;
    wakeUp.setSingleShot(true);
    wakeUp.setTimerType(Qt::PreciseTimer);
    while (!deadline.hasExpired() && !QCoreApplication::closingDown() && QCoreApplication::instance()) {
        // The timer ends the wait for events when the time is up, even if nothing else happens.
        wakeUp.start(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())));
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
}

void QtClock::waitUntil(const std::function<bool()>& done)
{
    // A ticking timer wakes the loop up even when nothing else happens, so that a
    // condition that turns true without an event is still seen.
    QTimer wakeUp;
    wakeUp.start(50);
    while (!done() && !QCoreApplication::closingDown() && QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

} // namespace marovin::platform
