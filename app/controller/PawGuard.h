// The paw guard's detector: keys pressed as no typist presses them, a cat
// walking on the keyboard or a toddler's slap. It sees every key event of
// the unlocked keyboard (on the hook thread, so it allocates nothing) and
// says when to lock:
// - five or more keys held at once, not counting Shift, Ctrl, Alt and the
//   Windows keys (a game holds up to four);
// - more than 25 key presses within one second (a fast typist's bursts
//   come to about 15).
// A key's auto-repeat is no press, and injected keys (a macro tool, a
// remote session's typing) are not looked at.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>

namespace quell::app {

class TPawGuard {
 public:
  static constexpr int kHeldKeysThatLock = 5;
  static constexpr int kPressesThatLock = 26;  // "more than 25"
  static constexpr std::uint32_t kPressWindowMs = 1000;
  // A key held longer than this with no event of its own is forgotten: a
  // key-up lost to another desktop must not count for ever.
  static constexpr std::uint32_t kHeldForgottenMs = 3000;

  // One key event; `timeMs` is the event's own tick. True when it makes
  // paws: the guard then starts afresh.
  bool Key(std::uint32_t vk, bool down, bool injected, std::uint32_t timeMs) noexcept;
  void Reset() noexcept;

 private:
  int HeldAt(std::uint32_t timeMs) noexcept;

  std::bitset<256> FHeld;
  std::array<std::uint32_t, 256> FHeldSince{};  // the last down of each held key
  // The times of the last kPressesThatLock presses, oldest overwritten.
  std::array<std::uint32_t, kPressesThatLock> FPresses{};
  int FPressCount = 0;  // presses recorded, up to the array's size
  int FNext = 0;
};

}  // namespace quell::app
