#include "Color.h"

#include <algorithm>

namespace quell::gui {

namespace {
int ClampChannel(int value) { return std::clamp(value, 0, 255); }
}  // namespace

ColorRef MakeColor(int red, int green, int blue) {
  return static_cast<ColorRef>(ClampChannel(red)) |
         (static_cast<ColorRef>(ClampChannel(green)) << 8) |
         (static_cast<ColorRef>(ClampChannel(blue)) << 16);
}

ColorRef ResolveColor(TColor color, const SystemColors& system) {
  if (color & clSystemColor) return system.SysColor(static_cast<int>(color & 0xFFu)) & 0xFFFFFFu;
  return color & 0xFFFFFFu;
}

}  // namespace quell::gui
