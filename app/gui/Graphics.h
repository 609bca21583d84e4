// Pictures and drawing: icons with change notification, bitmaps, colours and
// the canvas that owner-draw handlers paint on.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "gui/core/Color.h"
#include "base/Handles.h"

namespace quell::gui {

// GetSysColor as the source of system colours.
class Win32SystemColors final : public SystemColors {
 public:
  ColorRef SysColor(int index) const override;
};
const SystemColors& TheSystemColors();

// Whether the system's high-contrast mode is on (SPI_GETHIGHCONTRAST), read
// anew at each call. Wine neither turns it on nor reports it, so the
// environment variable QUELL_TEST_HIGH_CONTRAST=1 stands for it in tests.
bool HighContrastOn();

// An icon that owns its handle. Every change of its picture runs OnChange.
class TIcon {
 public:
  TIcon() = default;
  TIcon(const TIcon&) = delete;
  TIcon& operator=(const TIcon&) = delete;

  HICON Handle() const { return FHandle.get(); }
  bool Empty() const { return !FHandle; }
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
  base::IconHandle FHandle;
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

  HBITMAP Handle() const { return FHandle.get(); }
  bool Empty() const { return !FHandle; }
  HBITMAP ReleaseHandle() { return FHandle.release(); }
  // A new top-down 32-bit picture of the given size, filled with `fill`.
  void SetSize(int width, int height, COLORREF fill = RGB(255, 255, 255));
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }

 private:
  base::BitmapHandle FHandle;
  int FWidth = 0;
  int FHeight = 0;
};

// A device context to paint on, with the text helpers handlers need. It does
// not own the context; it puts back the font it selected.
class TCanvas {
 public:
  explicit TCanvas(HDC dc) : FDc(dc) {}
  ~TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  HDC Handle() const { return FDc; }
  void SetFont(HFONT font);
  int TextWidth(const std::string& text) const;
  int TextHeight(const std::string& text) const;
  void FillRect(const RECT& rect, TColor color);
  void FrameRect(const RECT& rect, TColor color);
  void DrawText(const std::string& text, RECT rect, UINT format, TColor color);

 private:
  HDC FDc;
  HGDIOBJ FOldFont = nullptr;
};

// A memory device context with a bitmap selected into it for one scope.
class BitmapCanvas {
 public:
  explicit BitmapCanvas(TBitmap& bitmap);
  HDC Handle() const { return FDc.get(); }

 private:
  base::MemoryDc FDc;
  base::Selection FSelection;
};

// A 32-bit top-down DIB section selected into its own memory DC: GDI draws
// on it, and its pixels can be read and written directly (after GdiFlush).
class DibCanvas {
 public:
  DibCanvas(HDC compatibleWith, int width, int height);
  HDC dc() const { return FDc.get(); }
  bool valid() const { return FBits != nullptr; }
  int width() const { return FWidth; }
  int height() const { return FHeight; }
  std::uint32_t* pixels() const { return FBits; }

 private:
  base::MemoryDc FDc;
  std::uint32_t* FBits = nullptr;  // set while FBitmap is made, so declared before it
  base::BitmapHandle FBitmap;
  int FWidth, FHeight;
  base::Selection FSelection;

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
    : FDc(CreateCompatibleDC(compatibleWith)),
      FBits(nullptr),
      FBitmap(width > 0 && height > 0 ? Make(compatibleWith, width, height, &FBits) : nullptr),
      FWidth(width),
      FHeight(height),
      FSelection(FDc.get(), FBitmap.get()) {
  if (!FDc) FBits = nullptr;
}

}  // namespace quell::gui
