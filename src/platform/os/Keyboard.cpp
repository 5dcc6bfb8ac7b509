#include "platform/os/Keyboard.h"

#include <array>
#include <atomic>

namespace tavix::os {

namespace {

constexpr int32_t kKeyCount = 256;
std::array<std::atomic<bool>, kKeyCount> gKeyDown{};

bool ValidKey(int32_t key) { return key >= 0 && key < kKeyCount; }

}  // namespace

int16_t GetKeyState(int32_t virtualKey) {
  if (!ValidKey(virtualKey) || !gKeyDown[static_cast<size_t>(virtualKey)].load()) return 0;
  return static_cast<int16_t>(0x8000u);
}

void SetKeyDown(int32_t virtualKey, bool down) {
  if (ValidKey(virtualKey)) gKeyDown[static_cast<size_t>(virtualKey)].store(down);
}

void ReleaseAllKeys() {
  for (auto& key : gKeyDown) key.store(false);
}

}  // namespace tavix::os
