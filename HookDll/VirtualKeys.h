// The virtual-key codes the library and the program name: the modifiers
// (either side, and each side), Delete, and the keys that turn pages. Plain constants; no
// windows.h.
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

}  // namespace quell::hook
