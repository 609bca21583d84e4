// The two keyboard hook procedures: hot-key recognition, blocking while
// locked, the notifications and the keyboard lines of the hook log.
#include "HookLibrary.h"
#include "VirtualKeys.h"

namespace quell::hook {

namespace {
constexpr std::uint32_t kKeyReleased = 0x80000000u;   // keystroke flags, bit 31
constexpr std::uint32_t kKeyWasDown = 0x40000000u;    // keystroke flags, bit 30: a repeat
constexpr std::uint32_t kKeystrokeAlt = 0x20000000u;  // keystroke flags, bit 29
constexpr std::uint32_t kLlkhfAltDown = 0x20u;

bool IsKeyDownMessage(std::uint32_t message) {
  return message == kWmKeyDown || message == kWmSysKeyDown;
}

const char* DirectionLabel(std::uint32_t message) {
  switch (message) {
    case kWmKeyDown: return "Down ";
    case kWmSysKeyDown: return "sDown";
    case kWmSysKeyUp: return "sUp  ";
    default: return "Up   ";
  }
}

// The release of a modifier that the sampling says is not held is let
// through, so that a modifier never stays down in the system.
bool IsReleaseOfUnheldModifier(std::uint32_t vk, const ProcessState& p) {
  switch (vk) {
    case 0xA0:
    case 0xA1: return p.shift == 0;
    case 0xA4:
    case 0xA5: return p.alt == 0;
    case 0xA2:
    case 0xA3: return p.ctrl == 0;
    default: return false;
  }
}
}  // namespace

std::uint32_t HookLibrary::ComposeShortcut(std::uint32_t vk, std::uint32_t flags,
                                           std::uint32_t altMask,
                                           const ModifierMemory* memory) noexcept {
  auto held = [&](int platformVk, ModifierMemory::Modifier modifier) -> std::int32_t {
    const bool down = os_.IsKeyDown(platformVk) || (memory != nullptr && memory->IsHeld(modifier));
    return down ? -1 : 0;
  };
  process_.alt = held(kVkMenu, ModifierMemory::Alt);
  process_.ctrl = held(kVkControl, ModifierMemory::Ctrl);
  process_.shift = held(kVkShift, ModifierMemory::Shift);

  std::uint32_t code = vk;
  if (process_.ctrl) code += kShortcutCtrl;
  if (process_.shift) code += kShortcutShift;
  if ((flags & altMask) != 0 || process_.alt) code += kShortcutAlt;
  return code;
}

bool HookLibrary::MayCompleteHotKey(std::uint32_t vk) const noexcept {
  // A shortcut code is the key plus modifier bits, so the hot key less the
  // key may hold modifier bits only.
  constexpr std::uint32_t kModifierBits = kShortcutCtrl | kShortcutShift | kShortcutAlt;
  auto completes = [vk](std::int32_t hotKey) {
    const auto key = static_cast<std::uint32_t>(hotKey);
    return IsTypableHotKey(hotKey) && key >= vk && ((key - vk) & ~kModifierBits) == 0;
  };
  return completes(shared_.properties[PROP_KEY_LOCK]) ||
         completes(shared_.properties[PROP_KEY_UNLOCK]);
}

bool HookLibrary::ToggleByHotKey(std::uint32_t code) noexcept {
  // A hot key that cannot be typed (none, no key code, foreign bits) matches
  // nothing, as the safety rule counts it.
  const auto c = static_cast<std::int32_t>(code);
  const std::int32_t unlockKey = shared_.properties[PROP_KEY_UNLOCK];
  const std::int32_t lockKey = shared_.properties[PROP_KEY_LOCK];
  if (Locked() && IsTypableHotKey(unlockKey) && c == unlockKey) {
    SetProperties(PROP_LOCKED, 0);
    return true;
  }
  if (!Locked() && IsTypableHotKey(lockKey) && c == lockKey) {
    SetProperties(PROP_LOCKED, 1);
    return true;
  }
  return false;
}

bool HookLibrary::KeyboardProc(int nCode, std::uint32_t vk, std::uint32_t keystrokeFlags) noexcept {
  const bool release = (keystrokeFlags & kKeyReleased) != 0;
  auto outcome = KeyOutcomes::Outcome::Unknown;
  if (!release) {
    // The modifiers are sampled only for a modifier or a key that can make a
    // hot key: each sample is a call into the system, on every key press of
    // every program (modifiers: see LowLevelKeyboardProc).
    // The hot key is swallowed whether or not the lock flag changed.
    if ((IsShiftCtrlAltKey(vk) || MayCompleteHotKey(vk)) &&
        ToggleByHotKey(ComposeShortcut(vk, keystrokeFlags, kKeystrokeAlt, nullptr))) {
      process_.keyboardKeys.NoteDown(vk, true);
      return true;
    }
  } else {
    // A key-up that is only peeked at (HC_NOREMOVE) comes again when it is
    // removed: its key-down's outcome is kept for that.
    outcome = nCode == kHcAction ? process_.keyboardKeys.TakeForRelease(vk)
                                 : process_.keyboardKeys.Peek(vk);
    if (outcome == KeyOutcomes::Outcome::Passed) return false;
  }

  const std::int32_t* p = shared_.properties;
  if (p[PROP_LOCKED] && p[PROP_LOCK_KEYBOARD] && (nCode == kHcAction || nCode == kHcNoRemove) &&
      !(outcome != KeyOutcomes::Outcome::Swallowed && MediaKeyPasses(vk))) {
    Notify(LN_INPUT_BLOCKED);
    if (p[PROP_DO_BEEP]) os_.Beep();
    if (!release) {
      if (nCode == kHcAction) CountStoppedKey(vk, (keystrokeFlags & kKeyWasDown) != 0);
      process_.keyboardKeys.NoteDown(vk, true);
    }
    return true;
  }
  if (outcome == KeyOutcomes::Outcome::Swallowed) return true;
  if (!release) process_.keyboardKeys.NoteDown(vk, false);
  return false;
}

bool HookLibrary::LowLevelKeyboardProc(int nCode, std::uint32_t message,
                                       const LowLevelKey& key) noexcept {
  shared_.lowLevelKeyboardSeen = os_.TickCount();
  const std::uint32_t vk = key.vkCode;
  const bool down = IsKeyDownMessage(message);
  process_.modifiers.Follow(shared_.lockFlagWrites);
  // Unlocked with the log closed, the shortcut code and the modifier states
  // only matter for a key-down that can make a hot key; other keys spare the
  // three calls into the system that sampling takes. Modifier events still
  // sample: Wine answers GetAsyncKeyState from a per-thread snapshot that a
  // sample only renews when it sees a key change, and without the samples at
  // Ctrl's and Alt's presses a hot key typed right after them read stale.
  std::uint32_t code = vk;
  if (Locked() || LogOpen() || IsShiftCtrlAltKey(vk) || (down && MayCompleteHotKey(vk))) {
    code = ComposeShortcut(vk, key.flags, kLlkhfAltDown, Locked() ? &process_.modifiers : nullptr);
  } else {
    process_.alt = process_.ctrl = process_.shift = 0;
  }
  if (!down) process_.modifiers.NoteUp(vk);

  if (LogOpen()) {
    char name[40] = {};
    if (os_.KeyName(static_cast<std::int32_t>(key.scanCode << 16), name, sizeof name) <= 0) {
      name[0] = '\0';
    }
    name[sizeof name - 1] = '\0';
    WriteLogLine("key %s Shift:%2i, Alt:%2i, Ctrls:%2i  %x %s", DirectionLabel(message),
                 process_.shift, process_.alt, process_.ctrl, vk, name);
  }

  auto outcome = KeyOutcomes::Outcome::Unknown;
  if (down) {
    Notify(LN_ACTIVITY);
    if (ToggleByHotKey(code)) {
      NoteSwallowedDown(vk);
      return true;
    }
  } else {
    outcome = nCode == kHcAction ? process_.lowLevelKeys.TakeForRelease(vk)
                                 : process_.lowLevelKeys.Peek(vk);
  }

  auto pass = [&] {
    if (Locked()) {
      WriteLogLine("key passed:%x, wParam %u", code, message);
    } else {
      WriteLogLine("key notlocked:%x", code);
    }
    if (down) process_.lowLevelKeys.NoteDown(vk, false);
    return false;
  };
  auto swallowQuietly = [&] {
    WriteLogLine("key locked:%x", code);
    return true;
  };

  // A key-up follows its key-down: passed on if that was, swallowed if not.
  if (outcome == KeyOutcomes::Outcome::Passed) return pass();
  if (!Locked()) return outcome == KeyOutcomes::Outcome::Swallowed ? swallowQuietly() : pass();
  if (outcome != KeyOutcomes::Outcome::Swallowed && MediaKeyPasses(vk)) return pass();

  if (!down && outcome == KeyOutcomes::Outcome::Unknown &&
      IsReleaseOfUnheldModifier(vk, process_)) {
    return pass();
  }
  if (!shared_.properties[PROP_LOCK_KEYBOARD] || nCode != kHcAction) {
    return outcome == KeyOutcomes::Outcome::Swallowed ? swallowQuietly() : pass();
  }
  return SwallowBlockedKey(message, key, code);
}

bool HookLibrary::SwallowBlockedKey(std::uint32_t message, const LowLevelKey& key,
                                    std::uint32_t code) noexcept {
  const bool down = IsKeyDownMessage(message);
  if (key.vkCode == kVkDelete && process_.alt && process_.ctrl) {
    // Ctrl+Alt+Delete: reported for the press and the release, never beeped.
    Notify(LN_CTRL_ALT_DEL, code);
  } else if (down) {
    Notify(LN_INPUT_BLOCKED, code);
    if (shared_.properties[PROP_DO_BEEP]) os_.Beep();
    // A key still held from its last swallowed key-down repeats.
    CountStoppedKey(key.vkCode,
                    process_.lowLevelKeys.Peek(key.vkCode) == KeyOutcomes::Outcome::Swallowed);
  }
  if (down) NoteSwallowedDown(key.vkCode);
  WriteLogLine("key locked:%x", code);
  return true;
}

void HookLibrary::CountStoppedKey(std::uint32_t vk, bool repeat) noexcept {
  if (!repeat && !IsShiftCtrlAltKey(vk)) ++shared_.keysStopped;
}

void HookLibrary::NoteSwallowedDown(std::uint32_t vk) noexcept {
  process_.lowLevelKeys.NoteDown(vk, true);
  // After a hot key the memory may be out of date: it follows first.
  process_.modifiers.Follow(shared_.lockFlagWrites);
  process_.modifiers.NoteSwallowedDown(vk);
}

}  // namespace quell::hook
