#pragma once
// The ports through which the session alerts a user who may be looking elsewhere: short
// sounds and desktop notifications. The desktop implements them (src/platform); tests use
// recording fakes. Which alerts are on is the session's business (AlertSettings, applied
// by session/alerts.h); the ports only play and show, and a desktop without sound or a
// notification service does nothing.

#include <string>

#include "options/alert_settings.h"

namespace marovin::model {
class CGame;
}

namespace marovin::session {

class SoundPort {
public:
    virtual ~SoundPort() = default;
    virtual void playSound(SoundEvent event) = 0;
};

// What a notification says and where a click on it leads. Texts are Big5.
struct Notice {
    NoticeEvent event = NoticeEvent::Tell;
    std::string title;
    std::string body;
    // The game the notice is about (moves, endings); its window comes to the front on a
    // click. Observed only: the game may be gone by the time the user clicks.
    const model::CGame* game = nullptr;
};

class NotificationPort {
public:
    virtual ~NotificationPort() = default;
    // Shows the notice unless the user is looking at the program already.
    virtual void notify(const Notice& notice) = 0;
};

} // namespace marovin::session
