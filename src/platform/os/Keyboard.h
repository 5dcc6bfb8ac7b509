// Keyboard state as the host (or a test) sets it. A key's state has its high bit set while the
// key is down, so the answer is negative for a key that is down.
#pragma once

#include <cstdint>

#include "platform/os/TavixOS.h"

namespace tavix::os {

// Virtual key codes of the modifier keys.
enum : int32_t { VK_SHIFT = 0x10, VK_CONTROL = 0x11, VK_MENU = 0x12 };

TAVIX_OS_API int16_t GetKeyState(int32_t virtualKey);
TAVIX_OS_API void SetKeyDown(int32_t virtualKey, bool down);
// Releases every key.
TAVIX_OS_API void ReleaseAllKeys();

}  // namespace tavix::os
