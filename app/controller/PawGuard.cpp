#include "PawGuard.h"

#include "HookDll/VirtualKeys.h"

namespace quell::app {

namespace {
bool IsModifier(std::uint32_t vk) {
  return hook::IsShiftCtrlAltKey(vk) || vk == hook::kVkLWin || vk == hook::kVkRWin;
}
}  // namespace

void TPawGuard::Reset() noexcept { *this = TPawGuard{}; }

int TPawGuard::HeldAt(std::uint32_t timeMs) noexcept {
  int held = 0;
  for (std::size_t vk = 0; vk < FHeld.size(); ++vk) {
    if (!FHeld[vk]) continue;
    // Unsigned differences: the tick wraps every 49.7 days.
    if (timeMs - FHeldSince[vk] > kHeldForgottenMs) {
      FHeld[vk] = false;
    } else {
      ++held;
    }
  }
  return held;
}

bool TPawGuard::Key(std::uint32_t vk, bool down, bool injected, std::uint32_t timeMs) noexcept {
  if (injected || vk > 0xFF || IsModifier(vk)) return false;
  if (!down) {
    FHeld[vk] = false;
    return false;
  }
  const bool repeat = FHeld[vk];
  FHeld[vk] = true;
  FHeldSince[vk] = timeMs;
  if (repeat) return false;

  FPresses[static_cast<std::size_t>(FNext)] = timeMs;
  FNext = (FNext + 1) % kPressesThatLock;
  if (FPressCount < kPressesThatLock) ++FPressCount;
  // With the array full, the oldest press is the one about to be overwritten.
  const bool burst = FPressCount == kPressesThatLock &&
                     timeMs - FPresses[static_cast<std::size_t>(FNext)] < kPressWindowMs;
  if (burst || HeldAt(timeMs) >= kHeldKeysThatLock) {
    Reset();
    return true;
  }
  return false;
}

}  // namespace quell::app
