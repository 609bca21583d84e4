// The rule that turns lengths designed at 96 DPI into pixels of another
// display density, and the rectangles scaled by their edges.
#include <gtest/gtest.h>

#include "gui/core/DpiScale.h"

namespace quell::gui {
namespace {

TEST(DpiScale, TheDesignDensityAndNonsenseDensitiesLeaveEveryLengthAsItIs) {
  for (int length : {0, 1, 13, 471, -10, 32767}) {
    EXPECT_EQ(ScaleToDpi(length, 96), length);
    EXPECT_EQ(ScaleToDpi(length, 0), length);
    EXPECT_EQ(ScaleToDpi(length, -144), length);
  }
}

TEST(DpiScale, RoundsToTheNearestPixelWithHalvesAwayFromZeroLikeMulDiv) {
  // 144 DPI is 150 %: odd lengths end in a half.
  EXPECT_EQ(ScaleToDpi(471, 144), 707);  // 706.5
  EXPECT_EQ(ScaleToDpi(254, 144), 381);
  EXPECT_EQ(ScaleToDpi(13, 144), 20);  // 19.5
  EXPECT_EQ(ScaleToDpi(1, 144), 2);    // 1.5
  // Font heights are negative character heights: the half goes away from zero too.
  EXPECT_EQ(ScaleToDpi(-10, 144), -15);
  EXPECT_EQ(ScaleToDpi(-13, 144), -20);
  EXPECT_EQ(ScaleToDpi(-1, 144), -2);
  // 120 DPI is 125 %, 192 DPI twice the size, 72 DPI three quarters.
  EXPECT_EQ(ScaleToDpi(10, 120), 13);  // 12.5
  EXPECT_EQ(ScaleToDpi(9, 120), 11);   // 11.25
  EXPECT_EQ(ScaleToDpi(212, 192), 424);
  EXPECT_EQ(ScaleToDpi(5, 72), 4);  // 3.75
  EXPECT_EQ(ScaleToDpi(2, 72), 2);  // 1.5
}

TEST(DpiScale, LargeLengthsDoNotOverflowTheProduct) {
  EXPECT_EQ(ScaleToDpi(20000000, 480), 100000000);
  EXPECT_EQ(ScaleToDpi(-20000000, 480), -100000000);
}

TEST(DpiScale, ScalingNeverReversesTheOrderOfTwoLengths) {
  for (int dpi : {72, 96, 110, 120, 144, 168, 192, 240, 288}) {
    for (int a = -60; a < 600; ++a) {
      ASSERT_LE(ScaleToDpi(a, dpi), ScaleToDpi(a + 1, dpi)) << a << " at " << dpi;
    }
  }
}

TEST(DpiScale, RectanglesAreScaledByTheirEdges) {
  // The status bar of the options dialog: 0, 235, 471, 19.
  EXPECT_EQ(ScaleRectToDpi({0, 235, 471, 19}, 144), (PixelRect{0, 353, 707, 381}));
  // A width of 13 at left 13 gives 20 + 19 at 144 DPI: scaled apart, the
  // width alone would be 20 and the right edge 40, one pixel into a
  // neighbour starting at 26 (39 at 144 DPI).
  const PixelRect left = ScaleRectToDpi({13, 0, 13, 10}, 144);
  const PixelRect right = ScaleRectToDpi({26, 0, 10, 10}, 144);
  EXPECT_EQ(left.right, right.left);
  EXPECT_FALSE(Intersects(left, right));
}

TEST(DpiScale, RectanglesThatOnlyMeetAtTheDesignDensityNeverOverlapScaled) {
  // Neighbours of every width pair, side by side and one above the other.
  for (int dpi : {72, 120, 144, 168, 192, 216}) {
    for (int x = 0; x < 40; ++x) {
      for (int w = 1; w < 40; ++w) {
        const DesignRect a{x, x, w, w};
        const DesignRect besides{x + w, x, 7, w};
        const DesignRect below{x, x + w, w, 3};
        ASSERT_FALSE(Intersects(ScaleRectToDpi(a, dpi), ScaleRectToDpi(besides, dpi)))
            << x << "+" << w << " at " << dpi;
        ASSERT_FALSE(Intersects(ScaleRectToDpi(a, dpi), ScaleRectToDpi(below, dpi)))
            << x << "+" << w << " at " << dpi;
      }
    }
  }
}

TEST(DpiScale, IntersectionCountsSharedPixelsOnlyWithExclusiveRightAndBottomEdges) {
  const PixelRect a{0, 0, 10, 10};
  EXPECT_TRUE(Intersects(a, {9, 9, 20, 20}));
  EXPECT_FALSE(Intersects(a, {10, 0, 20, 10}));  // touching on the right
  EXPECT_FALSE(Intersects(a, {0, 10, 10, 20}));  // touching below
  EXPECT_TRUE(Intersects(a, {2, 2, 3, 3}));      // inside
  EXPECT_FALSE(Intersects(a, {5, 5, 5, 9}));     // empty
}

}  // namespace
}  // namespace quell::gui
