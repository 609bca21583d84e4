// The notice pop-up without a window: its corner of the work area for a
// taskbar at each edge, the layout of its parts, its creation parameters
// and the close glyph's pixels.
#include <gtest/gtest.h>

#include "ui/PopupPlacement.h"

namespace quell::ui {
namespace {

constexpr int kW = 218, kH = 43;  // an outer size: client 212 x 37 plus a 3-pixel frame

TEST(PopupPosition, BottomRightOfTheWorkAreaWhereverTheTaskbarIs) {
  // 800 x 600 screen, a 20-pixel taskbar at each edge in turn.
  EXPECT_EQ(PopupPosition({0, 0, 800, 580}, kW, kH), (Point{566, 533}));   // bottom
  EXPECT_EQ(PopupPosition({0, 20, 800, 600}, kW, kH), (Point{566, 553}));  // top
  EXPECT_EQ(PopupPosition({20, 0, 800, 600}, kW, kH), (Point{566, 553}));  // left
  EXPECT_EQ(PopupPosition({0, 0, 780, 600}, kW, kH), (Point{546, 553}));   // right
  // 16 from the right edge and 4 from the bottom edge of the work area.
  const Rect area{0, 0, 800, 580};
  const Point p = PopupPosition(area, kW, kH);
  EXPECT_EQ(area.right - (p.x + kW), 16);
  EXPECT_EQ(area.bottom - (p.y + kH), 4);
}

TEST(PopupPosition, WorkAreaOfAScreenLeftOfAndAboveThePrimaryOrigin) {
  EXPECT_EQ(PopupPosition({-1024, -200, 0, 568}, kW, kH), (Point{-234, 521}));
}

TEST(PopupPosition, AWindowLargerThanTheWorkAreaStartsAtItsTopLeft) {
  EXPECT_EQ(PopupPosition({0, 20, 200, 50}, kW, kH), (Point{0, 20}));
  EXPECT_EQ(PopupPosition({100, 0, 330, 600}, kW, kH),
            (Point{100, 553}));  // 230 wide: no room for 16
}

TEST(PopupLayout, CloseGlyphIconAndGroupBox) {
  const PopupLayout layout = LayoutPopup(kPopupClientWidth);
  EXPECT_EQ(layout.closeImage, (Rect{194, 1, 207, 15}));
  EXPECT_EQ(layout.image, (Rect{3, 15, 19, 31}));
  EXPECT_EQ(layout.groupBoxHeight, 36);
  EXPECT_EQ(LayoutPopup(300).closeImage.left, 282);
  EXPECT_EQ(LayoutPopup(212, {5, 20}).groupBoxHeight, 41);
}

TEST(PopupCreationParams, NoCaptionPopupToolWindowThatDoesNotActivate) {
  // A dialog-style, stay-on-top form: caption, system menu, dialog frame.
  CreationParams base;
  base.style =
      0x00C00000u /*WS_CAPTION*/ | 0x00080000u /*WS_SYSMENU*/ | 0x04000000u /*WS_CLIPSIBLINGS*/;
  base.exStyle = 0x00000001u /*WS_EX_DLGMODALFRAME*/ | 0x00000008u /*WS_EX_TOPMOST*/;
  base.classStyle = 0x0008u;  // CS_DBLCLKS
  const CreationParams p = PopupCreationParams(base, {2, 5, 1});
  EXPECT_EQ(p.style, 0x80000000u | 0x00080000u | 0x04000000u);
  EXPECT_EQ(p.exStyle, 0x00000001u | 0x00000008u | 0x80u | 0x08000000u);
  EXPECT_EQ(p.classStyle, 0x0008u | 0x20000u);
  EXPECT_EQ(p.style & 0xFF3FFFFFu, p.style);
}

TEST(PopupCreationParams, DropShadowFromNtFivePointOne) {
  for (PlatformVersion v : {PlatformVersion{2, 5, 1}, PlatformVersion{2, 5, 2},
                            PlatformVersion{2, 6, 0}, PlatformVersion{2, 10, 0}}) {
    EXPECT_TRUE(SupportsDropShadow(v)) << v.major << "." << v.minor;
    EXPECT_EQ(PopupCreationParams({}, v).classStyle, kCsDropShadow);
  }
  for (PlatformVersion v : {PlatformVersion{2, 5, 0}, PlatformVersion{2, 4, 0},
                            PlatformVersion{1, 4, 90}, PlatformVersion{1, 6, 0}}) {
    EXPECT_FALSE(SupportsDropShadow(v)) << v.platformId << " " << v.major << "." << v.minor;
    EXPECT_EQ(PopupCreationParams({}, v).classStyle, 0u);
  }
}

TEST(CloseGlyph, WhiteCrossOnRedWithMagentaCorners) {
  int white = 0, magenta = 0;
  for (int y = 0; y < kCloseGlyphSize; ++y) {
    for (int x = 0; x < kCloseGlyphSize; ++x) {
      const ColorRef c = CloseGlyphPixel(x, y);
      ASSERT_TRUE(c == kCloseGlyphRed || c == kCloseGlyphWhite || c == kCloseGlyphTransparent);
      // The same seen mirrored either way: a cross, not a slash.
      EXPECT_EQ(c, CloseGlyphPixel(kCloseGlyphSize - 1 - x, y));
      EXPECT_EQ(c, CloseGlyphPixel(x, kCloseGlyphSize - 1 - y));
      if (c == kCloseGlyphWhite) {
        ++white;
        EXPECT_TRUE(x >= 2 && x <= 10 && y >= 2 && y <= 10) << x << "," << y;
      }
      if (c == kCloseGlyphTransparent) ++magenta;
    }
  }
  EXPECT_EQ(magenta, 4);
  for (Point corner : {Point{0, 0}, Point{12, 0}, Point{0, 12}, Point{12, 12}}) {
    EXPECT_EQ(CloseGlyphPixel(corner.x, corner.y), kCloseGlyphTransparent);
  }
  EXPECT_EQ(CloseGlyphPixel(6, 6), kCloseGlyphWhite);
  EXPECT_EQ(CloseGlyphPixel(6, 1), kCloseGlyphRed);
  EXPECT_EQ(CloseGlyphPixel(1, 0), kCloseGlyphRed);
  EXPECT_GT(white, 12);
  EXPECT_EQ(kCloseGlyphTransparent, 0xFF00FFu);  // RGB 255, 0, 255
}

}  // namespace
}  // namespace quell::ui
