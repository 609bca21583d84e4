// The virtual-key codes the library names: the modifiers (either side, and
// each side) and Delete. Plain constants; no windows.h.
#pragma once

#include <cstdint>

namespace quell::hook {

inline constexpr std::uint32_t kVkShift = 0x10, kVkControl = 0x11, kVkMenu = 0x12;
inline constexpr std::uint32_t kVkLShift = 0xA0, kVkRShift = 0xA1;
inline constexpr std::uint32_t kVkLControl = 0xA2, kVkRControl = 0xA3;
inline constexpr std::uint32_t kVkLMenu = 0xA4, kVkRMenu = 0xA5;
inline constexpr std::uint32_t kVkDelete = 0x2E;

}  // namespace quell::hook
