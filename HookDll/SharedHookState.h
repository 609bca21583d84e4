// The library's state: one record shared by every process that maps the
// library, and the state each process keeps for itself.
#pragma once

#include <cstdint>
#include <cstdio>

#include "HookProtocol.h"

namespace quell::hook {

// Lives in the shared data section, zero-filled at the first mapping. Every
// field is one aligned 32-bit word, read and written whole, so the record has
// the same layout in the i686 and the x86_64 library (no pointers in here).
struct SharedHookState {
  std::uint32_t notifyWnd;
  std::uint32_t keyboardHook;
  std::uint32_t lowLevelKeyboardHook;
  std::uint32_t lowLevelMouseHook;
  std::int32_t properties[kStoredPropertyCount];
  // The process id of the process whose hook log is open (0: none). A
  // stream only means something in the process that opened it, so the
  // stream itself is kept in that process's state.
  std::uint32_t logOwner;
};
// A pointer or a 64-bit field would make the record 8-aligned in the x86_64
// build and change its layout there.
static_assert(alignof(SharedHookState) == 4 && sizeof(SharedHookState) % 4 == 0,
              "the shared record holds 32-bit words only");

// Remembers which modifier keys the low-level keyboard hook saw go down and
// not yet up. The platform's key state misses a modifier whose key-down was
// swallowed, and without this the unlock hot key could not be typed while the
// keyboard is locked. A key-up can be lost (Ctrl+Alt+Delete switches to the
// secure desktop), so a remembered key counts only for a while after its last
// key-down; a held key's auto-repeat keeps it fresh.
class ModifierMemory {
 public:
  static constexpr std::uint32_t kForgetAfterMs = 5000;

  enum Modifier : int { Shift = 0, Ctrl = 1, Alt = 2 };

  // Feeds one low-level event: vk, whether it is a key-down, its time stamp.
  void Note(std::uint32_t vk, bool down, std::uint32_t time) noexcept;
  bool IsHeld(Modifier modifier, std::uint32_t now) const noexcept;

 private:
  // Left and right key of each modifier; generic codes count as left.
  static int SlotOf(std::uint32_t vk) noexcept;
  std::uint32_t downTime_[6] = {};
  std::uint8_t held_ = 0;  // bit per slot
};

// Whether the hook passed on or swallowed each key's last key-down, so that
// the key-up gets the same treatment: a key-up swallowed after its key-down
// was passed would leave the key held in every other program.
class KeyOutcomes {
 public:
  enum class Outcome { Unknown, Passed, Swallowed };

  void NoteDown(std::uint32_t vk, bool swallowed) noexcept;
  // The outcome of the key's pending key-down, forgotten by this call.
  Outcome TakeForRelease(std::uint32_t vk) noexcept;

 private:
  static constexpr int kWords = 256 / 64;
  std::uint64_t passed_[kWords] = {};
  std::uint64_t swallowed_[kWords] = {};
};

// Each process that maps the library has its own copy, set at mapping.
struct ProcessState {
  std::uintptr_t module = 0;  // the library's module handle in this process
  // Modifier states sampled by the last shortcut composition: 0 or -1.
  std::int32_t shift = 0;
  std::int32_t alt = 0;
  std::int32_t ctrl = 0;
  // The screen-saver-active value saved at the first lock side effect.
  std::int32_t screenSaverSaved = 0;
  std::int32_t screenSaverValue = 1;
  ModifierMemory modifiers;
  KeyOutcomes lowLevelKeys;  // decisions of the low-level keyboard hook
  KeyOutcomes keyboardKeys;  // decisions of the ordinary keyboard hook
  // The hook log this process opened; written only while the shared record
  // names this process as the log's owner.
  std::FILE* log = nullptr;
};

}  // namespace quell::hook
