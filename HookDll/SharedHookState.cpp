#include "SharedHookState.h"

#include "VirtualKeys.h"

namespace quell::hook {

int ModifierMemory::SlotOf(std::uint32_t vk) noexcept {
  switch (vk) {
    case kVkShift:
    case kVkLShift: return 0;
    case kVkRShift: return 1;
    case kVkControl:
    case kVkLControl: return 2;
    case kVkRControl: return 3;
    case kVkMenu:
    case kVkLMenu: return 4;
    case kVkRMenu: return 5;
    default: return -1;
  }
}

void ModifierMemory::Follow(std::uint32_t lockFlagWrites) noexcept {
  if (lockFlagWrites != lockFlagWrites_) {
    lockFlagWrites_ = lockFlagWrites;
    held_ = 0;
  }
}

void ModifierMemory::NoteSwallowedDown(std::uint32_t vk) noexcept {
  const int slot = SlotOf(vk);
  if (slot >= 0) held_ = static_cast<std::uint8_t>(held_ | 1u << slot);
}

void ModifierMemory::NoteUp(std::uint32_t vk) noexcept {
  const int slot = SlotOf(vk);
  if (slot >= 0) held_ = static_cast<std::uint8_t>(held_ & ~(1u << slot));
}

bool ModifierMemory::IsHeld(Modifier modifier) const noexcept {
  return (held_ >> (2 * modifier) & 3u) != 0;
}

void KeyOutcomes::NoteDown(std::uint32_t vk, bool swallowed) noexcept {
  const std::uint32_t k = vk & 0xFFu;
  const std::uint64_t bit = std::uint64_t{1} << (k % 64);
  // A key-down that was passed on made the key held everywhere, whatever
  // happens to its auto-repeats afterwards.
  if (swallowed) {
    if ((passed_[k / 64] & bit) == 0) swallowed_[k / 64] |= bit;
  } else {
    passed_[k / 64] |= bit;
    swallowed_[k / 64] &= ~bit;
  }
}

KeyOutcomes::Outcome KeyOutcomes::Peek(std::uint32_t vk) const noexcept {
  const std::uint32_t k = vk & 0xFFu;
  const std::uint64_t bit = std::uint64_t{1} << (k % 64);
  if (passed_[k / 64] & bit) return Outcome::Passed;
  if (swallowed_[k / 64] & bit) return Outcome::Swallowed;
  return Outcome::Unknown;
}

KeyOutcomes::Outcome KeyOutcomes::TakeForRelease(std::uint32_t vk) noexcept {
  const Outcome outcome = Peek(vk);
  const std::uint32_t k = vk & 0xFFu;
  const std::uint64_t bit = std::uint64_t{1} << (k % 64);
  passed_[k / 64] &= ~bit;
  swallowed_[k / 64] &= ~bit;
  return outcome;
}

}  // namespace quell::hook
