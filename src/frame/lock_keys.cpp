#include "frame/lock_keys.h"

#include <Qt>

namespace marovin::windows {

namespace {

bool lockAfter(bool before, bool isThisLockKey, bool press, bool bitInEvent)
{
    if (!isThisLockKey)
        return bitInEvent;
    return press ? !bitInEvent : before;
}

} // namespace

LockKeyState lockKeysAfter(LockKeyState state, int qtKey, bool press, std::uint32_t x11State)
{
    LockKeyState after;
    after.known = true;
    after.capsLock =
        lockAfter(state.capsLock, qtKey == Qt::Key_CapsLock, press, (x11State & kX11CapsLockBit) != 0);
    after.numLock =
        lockAfter(state.numLock, qtKey == Qt::Key_NumLock, press, (x11State & kX11NumLockBit) != 0);
    return after;
}

} // namespace marovin::windows
