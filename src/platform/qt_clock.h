#pragma once
// The clock port on Qt. A plain pause sleeps without handling events (the pacing on the
// wire must not be disturbed); the other pause and waiting handle events meanwhile.

#include <QElapsedTimer>

#include "support/ports.h"

namespace marovin::platform {

class QtClock : public ClockPort {
public:
    QtClock() { m_elapsed.start(); }

    std::int64_t nowSeconds() override;
    std::int64_t nowMilliseconds() override;
    void pause(int milliseconds) override;
    // Handles events until the time has passed (or the application is shutting down).
    void pauseHandlingEvents(int milliseconds) override;
    // Handles events until done() holds, or until the application is shutting down.
    void waitUntil(const std::function<bool()>& done) override;

private:
    QElapsedTimer m_elapsed;
};

} // namespace marovin::platform
