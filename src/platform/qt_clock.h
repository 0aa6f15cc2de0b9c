#pragma once
// The clock port on Qt. A pause sleeps without handling events (the pacing on the wire
// must not be disturbed); waiting handles events until the condition holds.

#include <QElapsedTimer>

#include "support/ports.h"

namespace marovin::platform {

class QtClock : public ClockPort {
public:
    QtClock() { m_elapsed.start(); }

    std::int64_t nowSeconds() override;
    std::int64_t nowMilliseconds() override;
    void pause(int milliseconds) override;
    // Handles events until done() holds, or until the application is shutting down.
    void waitUntil(const std::function<bool()>& done) override;

private:
    QElapsedTimer m_elapsed;
};

} // namespace marovin::platform
