#pragma once
// The state of the Caps Lock and Num Lock keys, as far as the key events that reach the
// program tell it. On X11 every key event carries the modifier state just before it.

#include <cstdint>

namespace marovin::windows {

struct LockKeyState {
    bool known = false; // no key event has told it yet
    bool capsLock = false;
    bool numLock = false;
};

// The X11 modifier bits of the two locks (Num Lock is the second extra modifier).
constexpr std::uint32_t kX11CapsLockBit = 1u << 1;
constexpr std::uint32_t kX11NumLockBit = 1u << 4;

// The state after a key event with the given X11 modifier state. Pressing a lock key
// toggles its lock, which the event's state shows as it was before; its release leaves
// the lock as the press set it.
LockKeyState lockKeysAfter(LockKeyState state, int qtKey, bool press, std::uint32_t x11State);

} // namespace marovin::windows
