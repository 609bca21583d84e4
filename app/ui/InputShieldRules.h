// The input shield's rules that need no window: the rectangle it covers and
// how opaque it is in each look.
#pragma once

#include <cstdint>

#include "UiBasics.h"

namespace quell::ui {

enum class TShieldShade {
  Clear,  // as good as invisible, yet every pointer event lands on it
  Black,  // opaque: the screens dark, their dust and streaks plain to see
};

// A layered window of opacity 0 lets the pointer through to the window
// beneath; 1 of 255 still takes it, and its black is beyond the eye.
inline constexpr std::uint8_t kClearShieldAlpha = 1;
inline constexpr std::uint8_t kOpaqueShieldAlpha = 255;
std::uint8_t ShieldAlpha(TShieldShade shade);

// How long the shield outlasts the unlock: the time a hot key takes to be
// let go.
inline constexpr unsigned kHideDelayMs = 300;

// The whole virtual screen (every monitor; its left and top are negative
// when a monitor lies left of or above the primary one), or the primary
// screen when the system gives no virtual screen.
Rect ShieldBounds(const Rect& virtualScreen, const Rect& primaryScreen);

}  // namespace quell::ui
