// The hook library's behaviour, free of the operating system: the exported
// operations, the lock side effects, the hook log and the keyboard and mouse
// filters. The Win32 entry binds it to the shared section, this process's
// state and the real platform; tests bind it to a fake.
#pragma once

#include <cstdint>

#include "HookPlatform.h"
#include "SharedHookState.h"
#include "SystemSettings.h"
#include "VirtualKeys.h"

namespace quell::hook {

// Hook-procedure codes and messages the filters look at.
inline constexpr int kHcAction = 0;
inline constexpr int kHcNoRemove = 3;
inline constexpr std::uint32_t kWmKeyDown = 0x100, kWmKeyUp = 0x101, kWmSysKeyDown = 0x104,
                               kWmSysKeyUp = 0x105;
inline constexpr std::uint32_t kWmMouseMove = 0x200, kWmLButtonDown = 0x201, kWmLButtonUp = 0x202,
                               kWmRButtonDown = 0x204, kWmRButtonUp = 0x205, kWmMouseWheel = 0x20A;

// One event of the low-level keyboard hook (the fields of KBDLLHOOKSTRUCT
// that the filter reads).
struct LowLevelKey {
  std::uint32_t vkCode;
  std::uint32_t scanCode;
  std::uint32_t flags;
  std::uint32_t time;
};

// Whether a stored shortcut code can be typed: a key code, and no bits
// outside the 16 of a shortcut. Anything else counts as no hot key, for the
// safety rule and for the keyboard filter alike.
constexpr bool IsTypableHotKey(std::int32_t code) noexcept {
  return (code & 0xFF) != 0 && (static_cast<std::uint32_t>(code) & 0xFFFF0000u) == 0;
}

class HookLibrary {
 public:
  constexpr HookLibrary(SharedHookState& shared, ProcessState& process, HookPlatform& os,
                        SystemSettings& system) noexcept
      : shared_(shared), process_(process), os_(os), system_(system) {}

  // The exported operations: 1 for success or true, 0 otherwise.
  int SetShellHook() noexcept;
  int UnSetShellHook() noexcept;
  int SetNotifyWnd(std::uint32_t window) noexcept;
  std::uint32_t GetNotifyWnd() const noexcept { return shared_.notifyWnd; }
  int SetProperties(int index, int value) noexcept;
  int GetIsLocked() const noexcept;
  int StartLog(const char* path) noexcept;

  std::int32_t GetProperty(int index) const noexcept;
  int WriteLogLine(const char* format, ...) noexcept __attribute__((format(printf, 2, 3)));

  // The filters return true to swallow the event; otherwise the caller
  // passes it on to the next hook.
  // Ordinary keyboard hook: vk in wParam, keystroke flags in lParam.
  bool KeyboardProc(int nCode, std::uint32_t vk, std::uint32_t keystrokeFlags) noexcept;
  bool LowLevelKeyboardProc(int nCode, std::uint32_t message, const LowLevelKey& key) noexcept;
  bool LowLevelMouseProc(int nCode, std::uint32_t message) noexcept;

  // The shortcut code of a key event, sampling the modifiers into this
  // process's state. `memory` adds the modifiers whose key-downs the
  // low-level hook swallowed (null when it does not count).
  std::uint32_t ComposeShortcut(std::uint32_t vk, std::uint32_t flags, std::uint32_t altMask,
                                const ModifierMemory* memory) noexcept;
  int IsMouseMessageLocked(std::uint32_t message) noexcept;
  // Whether the key `vk`, with some of Ctrl, Shift and Alt, makes the lock
  // or the unlock hot key. Only then can the modifiers decide anything.
  bool MayCompleteHotKey(std::uint32_t vk) const noexcept;

 private:
  bool Locked() const noexcept { return shared_.properties[PROP_LOCKED] != 0; }
  void Notify(NotifyCode code, std::uintptr_t wParam = 0) noexcept;
  void ApplyLockSideEffects(int value) noexcept;
  // Hooks recorded by a process that has ended: the system removed them.
  bool HooksOutlivedTheirOwner() noexcept;
  bool LogOpen() noexcept;
  // Recognises the lock and unlock hot keys; true when `code` toggled the lock.
  bool ToggleByHotKey(std::uint32_t code) noexcept;
  bool SwallowBlockedKey(std::uint32_t message, const LowLevelKey& key,
                         std::uint32_t code) noexcept;
  // Records a key-down the low-level hook swallows.
  void NoteSwallowedDown(std::uint32_t vk) noexcept;
  // A key press a lock stopped, counted for the program's unlock notice.
  void CountStoppedKey(std::uint32_t vk, bool repeat) noexcept;
  // While locked, the media and volume keys go through when the program
  // said so for this lock.
  bool MediaKeyPasses(std::uint32_t vk) const noexcept {
    return shared_.passMediaKeys != 0 && IsMediaKey(vk);
  }

  SharedHookState& shared_;
  ProcessState& process_;
  HookPlatform& os_;
  SystemSettings& system_;
};

}  // namespace quell::hook
