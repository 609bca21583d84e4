// Owners for the GDI objects the painters make for one drawing: each frees
// its object when it goes out of scope, and a selection puts the previous
// object back into its device context.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdint>
#include <utility>

namespace quell::ui::gdi {

template <class H>
class Object {
 public:
  Object() = default;
  explicit Object(H handle) : handle_(handle) {}
  ~Object() {
    if (handle_) DeleteObject(handle_);
  }
  Object(Object&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  Object& operator=(Object&& other) noexcept {
    if (this != &other) {
      if (handle_) DeleteObject(handle_);
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

  H get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  H handle_ = nullptr;
};

using Bitmap = Object<HBITMAP>;
using Brush = Object<HBRUSH>;
using Pen = Object<HPEN>;
using Font = Object<HFONT>;

class MemoryDc {
 public:
  explicit MemoryDc(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
  ~MemoryDc() {
    if (dc_) DeleteDC(dc_);
  }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HDC dc_;
};

// A device context borrowed from the screen (GetDC(nullptr) / ReleaseDC).
class ScreenDc {
 public:
  ScreenDc() : dc_(GetDC(nullptr)) {}
  ~ScreenDc() {
    if (dc_) ReleaseDC(nullptr, dc_);
  }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

class Select {
 public:
  Select(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? SelectObject(dc, object) : nullptr) {}
  ~Select() {
    if (old_) SelectObject(dc_, old_);
  }
  Select(const Select&) = delete;
  Select& operator=(const Select&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
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
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
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
