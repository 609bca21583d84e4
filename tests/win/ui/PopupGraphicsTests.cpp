// The pop-up's pictures on a real device: the close glyph's pixels and the
// icon turned into a bitmap of its own size.
#include <gtest/gtest.h>

#include "ui/PopupGraphics.h"
#include "ui/PopupPlacement.h"

namespace quell::ui {
namespace {

ColorRef PixelOf(HBITMAP bitmap, int x, int y) {
  base::ScreenDc screen;
  base::MemoryDc dc(CreateCompatibleDC(screen.get()));
  base::Selection use(dc.get(), bitmap);
  return GetPixel(dc.get(), x, y);
}

TEST(PopupGraphics, CloseGlyphBitmapHoldsTheGlyph) {
  const base::BitmapHandle glyph = CreateCloseGlyphBitmap();
  ASSERT_TRUE(glyph);
  BITMAP info{};
  ASSERT_EQ(GetObjectA(glyph.get(), sizeof info, &info), static_cast<int>(sizeof info));
  EXPECT_EQ(info.bmWidth, kCloseGlyphSize);
  EXPECT_EQ(info.bmHeight, kCloseGlyphSize);
  for (int y = 0; y < kCloseGlyphSize; ++y)
    for (int x = 0; x < kCloseGlyphSize; ++x)
      ASSERT_EQ(PixelOf(glyph.get(), x, y), CloseGlyphPixel(x, y)) << x << "," << y;
}

TEST(PopupGraphics, IconBecomesABitmapOfItsOwnSize) {
  HICON icon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  ASSERT_NE(icon, nullptr);
  const SIZE size = IconSize(icon);
  EXPECT_EQ(size.cx, GetSystemMetrics(SM_CXICON));
  EXPECT_EQ(size.cy, GetSystemMetrics(SM_CYICON));
  const base::BitmapHandle bitmap = IconToBitmap(icon, kPopupBackground);
  ASSERT_TRUE(bitmap);
  BITMAP info{};
  GetObjectA(bitmap.get(), sizeof info, &info);
  EXPECT_EQ(info.bmWidth, size.cx);
  EXPECT_EQ(info.bmHeight, size.cy);
  int background = 0, other = 0;
  for (int y = 0; y < size.cy; ++y)
    for (int x = 0; x < size.cx; ++x)
      (PixelOf(bitmap.get(), x, y) == kPopupBackground ? background : other)++;
  EXPECT_GT(background, 0);  // transparent parts show the pop-up's colour
  EXPECT_GT(other, 0);       // and the icon is there

  // A 16 x 16 icon stays 16 x 16.
  HICON small = static_cast<HICON>(LoadImageA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION),
                                              IMAGE_ICON, 16, 16, LR_SHARED));
  ASSERT_NE(small, nullptr);
  EXPECT_EQ(IconSize(small).cx, 16);
  EXPECT_FALSE(IconToBitmap(nullptr, kPopupBackground));

  // A larger icon is drawn whole at the largest size asked for, not cut off.
  const base::BitmapHandle shrunk = IconToBitmap(icon, kPopupBackground, 16);
  GetObjectA(shrunk.get(), sizeof info, &info);
  EXPECT_EQ(info.bmWidth, 16);
  EXPECT_EQ(info.bmHeight, 16);
  ASSERT_GT(size.cx, 16);
  int differing = 0;  // against the top-left corner of the full-size picture
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      differing += PixelOf(shrunk.get(), x, y) != PixelOf(bitmap.get(), x, y) ? 1 : 0;
  EXPECT_GT(differing, 16);
}

}  // namespace
}  // namespace quell::ui
