// The GDI owners the painters use: the component layer's handle owners, a
// memory DC made compatible with another, the screen's DC, and a 32-bit DIB
// section to compose on pixel by pixel.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdint>

#include "Graphics.h"
#include "Handles.h"

namespace quell::ui::gdi {

using Bitmap = gui::BitmapHandle;
using Brush = gui::BrushHandle;
using Pen = gui::PenHandle;
using Font = gui::FontHandle;
using Select = gui::Selection;

// A memory DC compatible with `compatibleWith`, deleted at the end of its scope.
class MemoryDc : public gui::MemoryDc {
 public:
  explicit MemoryDc(HDC compatibleWith) : gui::MemoryDc(CreateCompatibleDC(compatibleWith)) {}
};

// The screen's device context for one scope.
class ScreenDc : public gui::WindowDc {
 public:
  ScreenDc() : gui::WindowDc(nullptr) {}
};

// A 32-bit top-down DIB section selected into its own memory DC: GDI draws
// on it, and its pixels can be read and written directly (after GdiFlush).
class DibCanvas {
 public:
  DibCanvas(HDC compatibleWith, int width, int height);
  HDC dc() const { return dc_.get(); }
  bool valid() const { return bits_ != nullptr; }
  int width() const { return width_; }
  int height() const { return height_; }
  std::uint32_t* pixels() const { return bits_; }

 private:
  MemoryDc dc_;
  std::uint32_t* bits_ = nullptr;  // set while bitmap_ is made, so declared before it
  Bitmap bitmap_;
  int width_, height_;
  Select selection_;

  static HBITMAP Make(HDC dc, int width, int height, std::uint32_t** bits);
};

inline HBITMAP DibCanvas::Make(HDC dc, int width, int height, std::uint32_t** bits) {
  BITMAPINFO info = gui::TopDownRgb32Info(width, height);
  void* raw = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &raw, nullptr, 0);
  *bits = bitmap ? static_cast<std::uint32_t*>(raw) : nullptr;
  return bitmap;
}

inline DibCanvas::DibCanvas(HDC compatibleWith, int width, int height)
    : dc_(compatibleWith),
      bits_(nullptr),
      bitmap_(width > 0 && height > 0 ? Make(compatibleWith, width, height, &bits_) : nullptr),
      width_(width),
      height_(height),
      selection_(dc_.get(), bitmap_.get()) {
  if (!dc_) bits_ = nullptr;
}

}  // namespace quell::ui::gdi
