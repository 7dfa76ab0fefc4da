// The state of the Caps Lock, Num Lock and Scroll Lock keys, read from the window system.
#pragma once

#include <optional>

namespace crackdepth::app {

struct LockKeys {
    bool caps = false;
    bool num = false;
    bool scroll = false;

    bool operator==(const LockKeys&) const = default;
};

// The lock keys as the keyboard's indicators show them; none where the platform offers no way
// to read them (only the X11 platform does here).
std::optional<LockKeys> readLockKeys();

} // namespace crackdepth::app
