// Value types shared by the user-interface code that needs no window:
// the colour types and integer rectangles in the platform's layout.
#pragma once

#include <cstdint>

#include "gui/core/Color.h"

namespace quell::ui {

// The component layer's colour types (Color.h).
using gui::ColorRef;
using gui::TColor;

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  constexpr int Width() const { return right - left; }
  constexpr int Height() const { return bottom - top; }
  bool operator==(const Rect&) const = default;
};

struct Point {
  int x = 0, y = 0;
  bool operator==(const Point&) const = default;
};

}  // namespace quell::ui
