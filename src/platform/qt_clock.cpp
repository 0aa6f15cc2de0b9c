#include "platform/qt_clock.h"

#include <QCoreApplication>
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
