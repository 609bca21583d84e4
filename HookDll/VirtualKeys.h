// The virtual-key codes the library and the program name: the modifiers
// (either side, and each side), the keys that turn pages and the keys a
// shortcut's text names. Plain constants, the values of windows.h's VK_
// names; no windows.h.
#pragma once

#include <cstdint>

namespace quell::hook {

inline constexpr std::uint32_t kVkShift = 0x10, kVkControl = 0x11, kVkMenu = 0x12;
inline constexpr std::uint32_t kVkLShift = 0xA0, kVkRShift = 0xA1;
inline constexpr std::uint32_t kVkLControl = 0xA2, kVkRControl = 0xA3;
inline constexpr std::uint32_t kVkLMenu = 0xA4, kVkRMenu = 0xA5;
inline constexpr std::uint32_t kVkDelete = 0x2E;
inline constexpr std::uint32_t kVkTab = 0x09;
inline constexpr std::uint32_t kVkPrior = 0x21, kVkNext = 0x22;  // Page Up, Page Down

inline constexpr std::uint32_t kVkBack = 0x08, kVkReturn = 0x0D, kVkPause = 0x13;
inline constexpr std::uint32_t kVkCapital = 0x14;  // Caps Lock
inline constexpr std::uint32_t kVkEscape = 0x1B, kVkSpace = 0x20;
inline constexpr std::uint32_t kVkEnd = 0x23, kVkHome = 0x24;
inline constexpr std::uint32_t kVkLeft = 0x25, kVkUp = 0x26, kVkRight = 0x27, kVkDown = 0x28;
inline constexpr std::uint32_t kVkSnapshot = 0x2C, kVkInsert = 0x2D;  // Print Screen, Insert
inline constexpr std::uint32_t kVkNumpad0 = 0x60, kVkNumpad9 = 0x69;
inline constexpr std::uint32_t kVkMultiply = 0x6A, kVkAdd = 0x6B, kVkSubtract = 0x6D;
inline constexpr std::uint32_t kVkDecimal = 0x6E, kVkDivide = 0x6F;
inline constexpr std::uint32_t kVkF1 = 0x70, kVkF24 = 0x87;
// The punctuation keys of a US layout (VK_OEM_*).
inline constexpr std::uint32_t kVkOem1 = 0xBA, kVkOemPlus = 0xBB, kVkOemComma = 0xBC;
inline constexpr std::uint32_t kVkOemMinus = 0xBD, kVkOemPeriod = 0xBE, kVkOem2 = 0xBF;
inline constexpr std::uint32_t kVkOem3 = 0xC0, kVkOem4 = 0xDB, kVkOem5 = 0xDC;
inline constexpr std::uint32_t kVkOem6 = 0xDD, kVkOem7 = 0xDE;
inline constexpr std::uint32_t kVkLWin = 0x5B, kVkRWin = 0x5C;
// The media and volume keys: mute, down, up, next, previous, stop,
// play/pause, one run of codes.
inline constexpr std::uint32_t kVkVolumeMute = 0xAD, kVkVolumeDown = 0xAE, kVkVolumeUp = 0xAF;
inline constexpr std::uint32_t kVkMediaNextTrack = 0xB0, kVkMediaPrevTrack = 0xB1;
inline constexpr std::uint32_t kVkMediaStop = 0xB2, kVkMediaPlayPause = 0xB3;

constexpr bool IsMediaKey(std::uint32_t vk) noexcept {
  return vk >= kVkVolumeMute && vk <= kVkMediaPlayPause;
}
// Shift, Ctrl and Alt: generic, left and right.
constexpr bool IsShiftCtrlAltKey(std::uint32_t vk) noexcept {
  return (vk >= kVkShift && vk <= kVkMenu) || (vk >= kVkLShift && vk <= kVkRMenu);
}

}  // namespace quell::hook
