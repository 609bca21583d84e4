// Pictures and drawing: icons with change notification, bitmaps, colours and
// the canvas that owner-draw handlers paint on.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "Color.h"
#include "Handles.h"

namespace quell::gui {

// GetSysColor as the source of system colours.
class Win32SystemColors final : public SystemColors {
 public:
  ColorRef SysColor(int index) const override;
};
const SystemColors& TheSystemColors();

// An icon that owns its handle. Every change of its picture runs OnChange.
class TIcon {
 public:
  TIcon() = default;
  TIcon(const TIcon&) = delete;
  TIcon& operator=(const TIcon&) = delete;

  HICON Handle() const { return handle_.get(); }
  bool Empty() const { return !handle_; }
  // Takes ownership of `icon`.
  void SetHandle(HICON icon);
  // A copy of the picture of `source` (an empty source empties this one).
  void Assign(const TIcon& source);
  // A copy of an icon that stays owned elsewhere.
  void AssignHandle(HICON borrowed);
  void Clear() { SetHandle(nullptr); }
  // An icon resource of the module, at `size` pixels (0: the system's size).
  bool LoadFromResource(HINSTANCE module, LPCSTR name, int size = 0);
  int Width() const;
  int Height() const;

  std::function<void(TIcon&)> OnChange;

 private:
  IconHandle handle_;
};

// The header of a top-down 32-bit RGB bitmap: what every off-screen
// picture of the program is made of and read back as.
BITMAPINFO TopDownRgb32Info(int width, int height);

// A bitmap that owns its handle.
class TBitmap {
 public:
  TBitmap() = default;
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;

  HBITMAP Handle() const { return handle_.get(); }
  bool Empty() const { return !handle_; }
  HBITMAP ReleaseHandle() { return handle_.release(); }
  // A new top-down 32-bit picture of the given size, filled with `fill`.
  void SetSize(int width, int height, COLORREF fill = RGB(255, 255, 255));
  int Width() const { return width_; }
  int Height() const { return height_; }

 private:
  BitmapHandle handle_;
  int width_ = 0;
  int height_ = 0;
};

// A device context to paint on, with the text helpers handlers need. It does
// not own the context; it puts back the font it selected.
class TCanvas {
 public:
  explicit TCanvas(HDC dc) : dc_(dc) {}
  ~TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  HDC Handle() const { return dc_; }
  void SetFont(HFONT font);
  int TextWidth(const std::string& text) const;
  int TextHeight(const std::string& text) const;
  void FillRect(const RECT& rect, TColor color);
  void FrameRect(const RECT& rect, TColor color);
  void DrawText(const std::string& text, RECT rect, UINT format, TColor color);

 private:
  HDC dc_;
  HGDIOBJ oldFont_ = nullptr;
};

// A memory device context with a bitmap selected into it for one scope.
class BitmapCanvas {
 public:
  explicit BitmapCanvas(TBitmap& bitmap);
  HDC Handle() const { return dc_.get(); }

 private:
  MemoryDc dc_;
  Selection selection_;
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
  BitmapHandle bitmap_;
  int width_, height_;
  Selection selection_;

  static HBITMAP Make(HDC dc, int width, int height, std::uint32_t** bits);
};

inline HBITMAP DibCanvas::Make(HDC dc, int width, int height, std::uint32_t** bits) {
  BITMAPINFO info = TopDownRgb32Info(width, height);
  void* raw = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &raw, nullptr, 0);
  *bits = bitmap ? static_cast<std::uint32_t*>(raw) : nullptr;
  return bitmap;
}

inline DibCanvas::DibCanvas(HDC compatibleWith, int width, int height)
    : dc_(CreateCompatibleDC(compatibleWith)),
      bits_(nullptr),
      bitmap_(width > 0 && height > 0 ? Make(compatibleWith, width, height, &bits_) : nullptr),
      width_(width),
      height_(height),
      selection_(dc_.get(), bitmap_.get()) {
  if (!dc_) bits_ = nullptr;
}

}  // namespace quell::gui
