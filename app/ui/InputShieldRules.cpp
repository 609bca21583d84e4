#include "InputShieldRules.h"

namespace quell::ui {

std::uint8_t ShieldAlpha(TShieldShade shade) {
  return shade == TShieldShade::Black ? kOpaqueShieldAlpha : kClearShieldAlpha;
}

Rect ShieldBounds(const Rect& virtualScreen, const Rect& primaryScreen) {
  if (virtualScreen.Width() > 0 && virtualScreen.Height() > 0) return virtualScreen;
  return primaryScreen;
}

}  // namespace quell::ui
