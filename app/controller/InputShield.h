// The decisions about what a lock puts in front of the screens and what it
// tells the user about the window in front: no windows.h, tested on the host.
#pragma once

#include <cstdint>
#include <optional>

namespace quell::app {

// The window that covers every monitor while the mouse buttons are locked,
// so that touch and pen input, which never passes the mouse hook, lands on
// it and goes no further.
enum class TShieldLook {
  Clear,  // as good as invisible: the screens stay as they are
  Black,  // opaque: a cleaning lock with the screens darkened
};

// The shield a lock needs now: none while unlocked or while the mouse
// buttons pass; black only while a cleaning lock runs with darkening on.
std::optional<TShieldLook> ShieldFor(bool locked, bool mouseButtonsLocked, bool cleaningLock,
                                     bool darkenWhileCleaning);

// The integrity levels of Windows, as the last sub-authority (RID) of the
// token's integrity SID.
inline constexpr std::uint32_t kIntegrityLow = 0x1000;
inline constexpr std::uint32_t kIntegrityMedium = 0x2000;
inline constexpr std::uint32_t kIntegrityHigh = 0x3000;
inline constexpr std::uint32_t kIntegritySystem = 0x4000;

// Whether a hook of ours misses the keys of a window whose process runs at
// `foreground`: the system keeps input of a higher level from hooks of a
// lower one. A level that could not be read (nothing) never warns: a
// warning the user cannot act on is worse than none.
bool OutranksUs(std::optional<std::uint32_t> foreground, std::optional<std::uint32_t> ours);

}  // namespace quell::app
