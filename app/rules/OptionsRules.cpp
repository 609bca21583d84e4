#include "OptionsRules.h"

#include <charconv>

#include "HookDll/HookProtocol.h"

namespace quell::rules {

std::uint16_t ShortcutFromHotKey(std::uint16_t hotKey) {
  const unsigned modifiers = hotKey >> 8;
  unsigned code = hotKey & 0xFFu;
  if (modifiers & HotKeyShift) code += kShortcutShift;
  if (modifiers & HotKeyControl) code += kShortcutCtrl;
  if (modifiers & HotKeyAlt) code += kShortcutAlt;
  return static_cast<std::uint16_t>(code);
}

std::uint16_t HotKeyFromShortcut(std::uint32_t shortcut) {
  unsigned modifiers = 0;
  if (shortcut & kShortcutShift) modifiers |= HotKeyShift;
  if (shortcut & kShortcutCtrl) modifiers |= HotKeyControl;
  if (shortcut & kShortcutAlt) modifiers |= HotKeyAlt;
  return static_cast<std::uint16_t>(modifiers << 8 | (shortcut & 0xFFu));
}

int ClampIdle(std::int64_t seconds) {
  if (seconds < IdleMinimum) return IdleMinimum;
  if (seconds > IdleMaximum) return IdleMaximum;
  return static_cast<int>(seconds);
}

int IdleFromText(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || end != text.data() + text.size()) return IdleMinimum;
  // A whole number too long for 64 bits is still clamped by its sign.
  if (error == std::errc::result_out_of_range)
    return text.front() == '-' ? IdleMinimum : IdleMaximum;
  if (error != std::errc()) return IdleMinimum;
  return ClampIdle(value);
}

bool IsIdleCharAccepted(char c, char decimalSeparator) {
  if (c >= '0' && c <= '9') return true;
  if (c == '+' || c == '-' || c == decimalSeparator) return true;
  const auto u = static_cast<unsigned char>(c);
  return u < 0x20 && c != '\r';
}

std::uint16_t HotKeyOfSlot(std::int32_t value) {
  const auto code = static_cast<std::uint32_t>(value);
  if (code > 0xFFFFu || (code & 0xFFu) == 0) return 0;
  return static_cast<std::uint16_t>(code & 0xE0FFu);
}

bool IsConfigurationLockable(bool keyboard, bool mouseButtons, bool mouseMove,
                             std::uint32_t unlockShortcut) {
  const bool noUnlockKey =
      unlockShortcut > 0xFFFFu || HotKeyOfSlot(static_cast<std::int32_t>(unlockShortcut)) == 0;
  return !(keyboard && (mouseButtons || mouseMove) && noUnlockKey);
}

int ClampImageIndex(int index, int count) {
  if (index < 0) index = 0;
  if (index >= count) index = count - 1;
  return index;
}

}  // namespace quell::rules
