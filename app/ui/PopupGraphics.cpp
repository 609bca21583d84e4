#include "PopupGraphics.h"

#include <algorithm>

#include "PopupPlacement.h"

namespace quell::ui {

namespace {

// A device-dependent bitmap of the screen's format, as picture controls expect.
base::BitmapHandle ScreenBitmap(int width, int height) {
  base::ScreenDc screen;
  return base::BitmapHandle(CreateCompatibleBitmap(screen.get(), width, height));
}

}  // namespace

base::BitmapHandle CreateCloseGlyphBitmap() {
  base::BitmapHandle bitmap = ScreenBitmap(kCloseGlyphSize, kCloseGlyphSize);
  if (!bitmap) return bitmap;
  base::ScreenDc screen;
  base::MemoryDc dc(CreateCompatibleDC(screen.get()));
  base::Selection use(dc.get(), bitmap.get());
  for (int y = 0; y < kCloseGlyphSize; ++y) {
    for (int x = 0; x < kCloseGlyphSize; ++x) SetPixel(dc.get(), x, y, CloseGlyphPixel(x, y));
  }
  return bitmap;
}

SIZE IconSize(HICON icon) {
  SIZE size{0, 0};
  ICONINFO info{};
  if (!icon || !GetIconInfo(icon, &info)) return size;
  // GetIconInfo hands over copies of the icon's bitmaps.
  base::BitmapHandle mask(info.hbmMask), color(info.hbmColor);
  BITMAP bm{};
  if (color && GetObjectA(color.get(), sizeof bm, &bm)) {
    size = {bm.bmWidth, bm.bmHeight};
  } else if (mask && GetObjectA(mask.get(), sizeof bm, &bm)) {
    size = {bm.bmWidth, bm.bmHeight / 2};  // a monochrome icon: AND and XOR masks stacked
  }
  return size;
}

base::BitmapHandle IconToBitmap(HICON icon, ColorRef background, int maxSize) {
  SIZE size = IconSize(icon);
  if (size.cx <= 0 || size.cy <= 0) return base::BitmapHandle();
  if (maxSize > 0) {
    size.cx = std::min(size.cx, static_cast<LONG>(maxSize));
    size.cy = std::min(size.cy, static_cast<LONG>(maxSize));
  }
  base::BitmapHandle bitmap = ScreenBitmap(size.cx, size.cy);
  if (!bitmap) return bitmap;
  base::ScreenDc screen;
  base::MemoryDc dc(CreateCompatibleDC(screen.get()));
  base::Selection use(dc.get(), bitmap.get());
  base::BrushHandle brush(CreateSolidBrush(background));
  const RECT all{0, 0, size.cx, size.cy};
  FillRect(dc.get(), &all, brush.get());
  DrawIconEx(dc.get(), 0, 0, icon, size.cx, size.cy, 0, nullptr, DI_NORMAL);
  return bitmap;
}

}  // namespace quell::ui
