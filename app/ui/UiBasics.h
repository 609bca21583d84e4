// Value types shared by the user-interface code that needs no window:
// colours and integer rectangles in the platform's layout.
#pragma once

#include <cstdint>

namespace quell::ui {

// A colour property: 0x00BBGGRR, or 0x80000000 plus a GetSysColor index.
using TColor = std::uint32_t;
// A resolved colour, 0x00BBGGRR with an empty high byte. Every colour is
// resolved before any arithmetic.
using ColorRef = std::uint32_t;

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
