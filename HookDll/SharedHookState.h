// The library's state: one record shared by every process that maps the
// library, and the state each process keeps for itself.
#pragma once

#include <cstdint>
#include <cstdio>

#include "HookProtocol.h"
#include "LockChanges.h"

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
  // The process that installed the hooks. The system removes them when it
  // ends; the record can outlive it while other processes map the library.
  std::uint32_t hookOwner;
  // Counts the writes of the lock flag; each process's modifier memory
  // empties itself when it sees the count change.
  std::uint32_t lockFlagWrites;
  // What the lock in force changed in the system (any process may unlock).
  LockChanges lockChanges;
  // The process id of the process whose hook log is open (0: none). A
  // stream only means something in the process that opened it, so the
  // stream itself is kept in that process's state.
  std::uint32_t logOwner;
  // kSharedRecordMark, written at every attach: tells a reader that finds
  // the record in the library's mapped section that it has this layout.
  std::uint32_t layoutMark;
  // The tick count at the last call of each low-level hook (set to the
  // installation's tick at SetShellHook). A hook the system dropped stops
  // counting while input goes on, which is how its owner notices.
  std::uint32_t lowLevelKeyboardSeen;
  std::uint32_t lowLevelMouseSeen;
  // Written by the program before a lock: nonzero lets the media and volume
  // keys through a keyboard lock (no property carries it: the fifteen are
  // the settings' slots).
  std::uint32_t passMediaKeys;
  // What the lock in force stopped: key presses (not their repeats, not
  // Shift, Ctrl and Alt) and button presses. Zeroed when a lock begins, so
  // that they are still there for the program after the unlock.
  std::uint32_t keysStopped;
  std::uint32_t clicksStopped;
};
inline constexpr std::uint32_t kSharedRecordMark = 0x32534851;  // "QHS2"
// A pointer or a 64-bit field would make the record 8-aligned in the x86_64
// build and change its layout there.
static_assert(alignof(SharedHookState) == 4 && sizeof(SharedHookState) % 4 == 0,
              "the shared record holds 32-bit words only");
static_assert(sizeof(SharedHookState) == 4 * 31);

// The modifier keys whose key-down the low-level keyboard hook of this
// process swallowed and whose key-up it has not seen yet. The platform does
// not report such a modifier as held, and without this memory the unlock hot
// key could not be typed on a locked keyboard. It is consulted only while
// locked, and it empties itself at every write of the lock flag: a key-up
// lost to another desktop (Ctrl+Alt+Delete) is forgotten with the lock it
// happened in, and nothing learnt before a lock or an unlock counts after it.
class ModifierMemory {
 public:
  enum Modifier : int { Shift = 0, Ctrl = 1, Alt = 2 };

  // Empties the memory when the lock flag was written since its last look.
  void Follow(std::uint32_t lockFlagWrites) noexcept;
  void NoteSwallowedDown(std::uint32_t vk) noexcept;
  void NoteUp(std::uint32_t vk) noexcept;
  bool IsHeld(Modifier modifier) const noexcept;

 private:
  // Left and right key of each modifier; generic codes count as left.
  static int SlotOf(std::uint32_t vk) noexcept;
  std::uint32_t lockFlagWrites_ = 0;
  std::uint8_t held_ = 0;  // bit per slot
};

// Whether the hook passed on or swallowed each key's last key-down, so that
// the key-up gets the same treatment: a key-up swallowed after its key-down
// was passed would leave the key held in every other program.
class KeyOutcomes {
 public:
  enum class Outcome { Unknown, Passed, Swallowed };

  void NoteDown(std::uint32_t vk, bool swallowed) noexcept;
  // The outcome of the key's pending key-down. A key-up that is only looked
  // at (HC_NOREMOVE) leaves it for the real removal that follows.
  Outcome Peek(std::uint32_t vk) const noexcept;
  // The same, forgotten by this call.
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
  ModifierMemory modifiers;
  KeyOutcomes lowLevelKeys;  // decisions of the low-level keyboard hook
  KeyOutcomes keyboardKeys;  // decisions of the ordinary keyboard hook
  // The hook log this process opened; written only while the shared record
  // names this process as the log's owner.
  std::FILE* log = nullptr;
};

}  // namespace quell::hook
