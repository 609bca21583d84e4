// What crosses between Quellane.exe and quellhook.dll: the notification
// message and its codes, the property indices and the shortcut-code encoding.
// Plain constants, shared by both sides and by the tests; no windows.h.
#pragma once

#include <cstdint>

namespace quell {

// The library posts this message to the notify window with the code in
// lParam; program instances send it to each other for requests.
inline constexpr unsigned kNotifyMessage = 0x400;  // WM_USER

enum NotifyCode : std::int32_t {
  LN_ACTIVATE = -1,       // announce the running program (posted)
  LN_PING = 0,            // the receiver replies 1
  LN_STATE_CHANGED = 1,   // hooks installed or removed, lock flag written
  LN_INPUT_BLOCKED = 2,   // wParam: shortcut code of the key, else 0
  LN_LOCK_REQUEST = 3,    // sent by a second instance, answered with 3
  LN_UNLOCK_REQUEST = 4,  // sent by a second instance, answered with 4
  LN_CTRL_ALT_DEL = 5,    // wParam: shortcut code of the Delete event
  LN_ACTIVITY = 6,        // a key press or a counted mouse event
  // Only program instances send it, never the library (kept apart from the
  // library's codes): a second instance's /C, answered with 32.
  LN_CLEAN_LOCK_REQUEST = 32,
};

// Property indices; property i (1..15) carries settings slot i unchanged.
enum PropertyIndex : int {
  PROP_LOCKED = 0,
  PROP_DO_BEEP = 1,
  PROP_LOCK_KEYBOARD = 2,
  PROP_LOCK_MOUSE_BTN = 3,
  PROP_LOCK_MOUSE_MOVE = 4,
  PROP_LOCK_MOUSE_WHEEL = 5,
  PROP_KEY_LOCK = 6,
  PROP_KEY_UNLOCK = 7,
  PROP_SCREEN_SAVER_OFF = 8,
};
inline constexpr int kStoredPropertyCount = 15;  // indices 0..14 are stored

// Shortcut code: virtual-key code in the low byte plus modifier bits.
inline constexpr std::uint32_t kShortcutShift = 0x2000;
inline constexpr std::uint32_t kShortcutCtrl = 0x4000;
inline constexpr std::uint32_t kShortcutAlt = 0x8000;

}  // namespace quell
