// The rules of the options dialog that need no window: hot-key control
// values and shortcut codes, the idle-time box, and the configuration test.
#pragma once

#include <cstdint>
#include <string_view>

namespace quell::rules {

// Hot-key control modifier flags (high byte of its 16-bit value).
inline constexpr std::uint16_t HotKeyShift = 0x01, HotKeyControl = 0x02, HotKeyAlt = 0x04,
                               HotKeyExtended = 0x08;

// The control's value as a shortcut code: the virtual key plus the shortcut
// bits of HookProtocol.h for Shift, Ctrl and Alt; the extended-key flag is
// dropped.
std::uint16_t ShortcutFromHotKey(std::uint16_t hotKey);
// A shortcut code as the control's value; bits 8 to 12 of the code are ignored.
std::uint16_t HotKeyFromShortcut(std::uint32_t shortcut);

// The idle-time box: whole seconds from 15 to 3600.
inline constexpr int IdleMinimum = 15, IdleMaximum = 3600;
int ClampIdle(std::int64_t seconds);
// Text that is not a whole number reads as the minimum; a number is clamped.
int IdleFromText(std::string_view text);
// Whether a typed character is accepted: digits, '+', '-', the decimal
// separator and control keys other than Enter.
bool IsIdleCharAccepted(char c, char decimalSeparator);

// A hot-key slot (KEY_LOCK, KEY_UNLOCK) as the shortcut code it stands for:
// the virtual key with the Shift, Ctrl and Alt bits (bits 8 to 12 dropped).
// A value without a key code, or with bits above the low 16 (a negative one
// included), is no hot key: 0. What is shown, applied and tested is this.
std::uint16_t HotKeyOfSlot(std::int32_t value);

// Whether a configuration may be stored: the keyboard and the mouse
// (buttons or movement) are never locked together without an unlock hot key
// (a shortcut code; one that HotKeyOfSlot makes 0 counts as none).
bool IsConfigurationLockable(bool keyboard, bool mouseButtons, bool mouseMove,
                             std::uint32_t unlockShortcut);

inline constexpr const char* NeedUnlockHotKeyText = "Need UnLock HotKey!";
inline constexpr const char* InvalidConfigurationCaption = "Invalid configuration";

// An image index confined to an image list of `count` images.
int ClampImageIndex(int index, int count);

}  // namespace quell::rules
