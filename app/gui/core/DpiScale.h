// Lengths designed at 96 dots per inch, in pixels of a display of another
// density. Forms give their places, sizes and font heights in design units;
// the component layer turns them into pixels with these rules when it
// creates the windows.
#pragma once

#include <cstdint>

namespace quell::gui {

inline constexpr int kDesignDpi = 96;

// `length` at `dpi`: length * dpi / 96, rounded to the nearest pixel with
// halves away from zero (as the platform's MulDiv). A density of 0 or below
// counts as the design's.
constexpr int ScaleToDpi(int length, int dpi) {
  if (dpi <= 0 || dpi == kDesignDpi) return length;
  const std::int64_t product = static_cast<std::int64_t>(length) * dpi;
  const std::int64_t magnitude = ((product < 0 ? -product : product) + kDesignDpi / 2) / kDesignDpi;
  return static_cast<int>(product < 0 ? -magnitude : magnitude);
}

// A rectangle given as left, top, width and height in design units. Its
// edges are scaled one by one, not its size: rounding never makes two
// rectangles that only meet at 96 DPI overlap at another density, and
// neighbours stay neighbours.
struct DesignRect {
  int left = 0, top = 0, width = 0, height = 0;
};
struct PixelRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  constexpr int Width() const { return right - left; }
  constexpr int Height() const { return bottom - top; }
  bool operator==(const PixelRect&) const = default;
};
constexpr PixelRect ScaleRectToDpi(const DesignRect& r, int dpi) {
  return {ScaleToDpi(r.left, dpi), ScaleToDpi(r.top, dpi), ScaleToDpi(r.left + r.width, dpi),
          ScaleToDpi(r.top + r.height, dpi)};
}

// Whether two rectangles share any pixel (right and bottom edges exclusive;
// an empty rectangle has none).
constexpr bool Intersects(const PixelRect& a, const PixelRect& b) {
  const bool empty =
      a.left >= a.right || a.top >= a.bottom || b.left >= b.right || b.top >= b.bottom;
  return !empty && a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

}  // namespace quell::gui
