// Where an item's parts go in its off-screen picture: the icon column, the
// check area with and without an image, the image's resting place, the
// text area, the selection box, the separator line, caption and shortcut;
// left-to-right and right-to-left.
#include <gtest/gtest.h>

#include "ui/MenuPainterCore.h"

namespace quell::ui {
namespace {

LayoutRequest Request(int width, int height, int imageWidth = 0, int imageHeight = 0) {
  LayoutRequest r;
  r.itemWidth = width;
  r.itemHeight = height;
  r.hasImage = imageWidth > 0;
  r.imageWidth = imageWidth;
  r.imageHeight = imageHeight;
  return r;
}

TEST(ItemLayout, SixteenPixelImageInTheTwentyFourPixelColumn) {
  const ItemLayout l = LayoutItem(Request(150, 22, 16, 16));
  EXPECT_EQ(l.item, (Rect{4, 0, 154, 23}));
  EXPECT_EQ(l.iconColumn, (Rect{4, 0, 28, 23}));
  EXPECT_EQ(l.checkArea, (Rect{5, 2, 25, 21}));  // inset 1, 2, 3, 2
  EXPECT_EQ(l.textArea, (Rect{28, 0, 154, 23}));
  EXPECT_EQ(l.image, (Point{7, 3}));  // 3 pixels into the column
}

TEST(ItemLayout, CheckSquareCentredWithoutAnImage) {
  EXPECT_EQ(LayoutItem(Request(150, 16)).checkArea, (Rect{11, 3, 21, 13}));
  EXPECT_EQ(LayoutItem(Request(150, 22)).checkArea, (Rect{11, 6, 21, 16}));
  LayoutRequest odd = Request(150, 16);
  odd.iconWidth = 25;  // (25 - 10) / 2 = 7: halves go towards zero
  EXPECT_EQ(LayoutItem(odd).checkArea, (Rect{11, 3, 21, 13}));
}

TEST(ItemLayout, ImageWiderThanTheColumn) {
  const ItemLayout l = LayoutItem(Request(150, 40, 32, 32));
  EXPECT_EQ(l.iconColumn, (Rect{4, 0, 28, 41}));
  EXPECT_EQ(l.image, (Point{6, 3}));             // 2 into the column
  EXPECT_EQ(l.checkArea, (Rect{5, 2, 39, 39}));  // widened around the image
  EXPECT_EQ(l.textArea.left, 4 + 32 + 4);
  // Exactly the column's width counts as "not narrower".
  EXPECT_EQ(LayoutItem(Request(150, 30, 24, 24)).image, (Point{6, 3}));
  EXPECT_EQ(LayoutItem(Request(150, 30, 24, 24)).textArea.left, 28);
}

TEST(ItemLayout, RightToLeftMirrorsColumnAndText) {
  LayoutRequest r = Request(150, 22, 16, 16);
  r.rightToLeft = true;
  const ItemLayout l = LayoutItem(r);
  EXPECT_EQ(l.iconColumn, (Rect{130, 0, 154, 23}));
  EXPECT_EQ(l.textArea, (Rect{4, 0, 130, 23}));
  EXPECT_EQ(l.image, (Point{133, 3}));
  r = Request(150, 40, 32, 32);
  r.rightToLeft = true;
  const ItemLayout wide = LayoutItem(r);
  EXPECT_EQ(wide.image, (Point{154 - 32 - 2, 3}));
  EXPECT_EQ(wide.checkArea, (Rect{119, 2, 153, 39}));
  EXPECT_EQ(wide.textArea.right, 154 - 32 - 4);
  EXPECT_EQ(ShortcutRect({10, 5, 100, 23}, true), (Rect{20, 5, 100, 23}));
}

TEST(ItemLayout, SelectionBoxSparesTheTopRow) {
  const ItemLayout l = LayoutItem(Request(150, 22, 16, 16));
  EXPECT_EQ(SelectionRect(l, false), (Rect{4, 1, 154, 22}));
  EXPECT_EQ(SelectionRect(l, true), (Rect{4, 1, 153, 22}));
}

TEST(ItemLayout, SeparatorLineStartsSevenPixelsIntoTheTextArea) {
  const SeparatorLine line = SeparatorLineOf(LayoutItem(Request(150, 4)));
  EXPECT_EQ(line.left, 28 + 7);
  EXPECT_EQ(line.right, 154);
  EXPECT_EQ(line.y, 2);                                          // half of 5 is 2.5: to even
  EXPECT_EQ(SeparatorLineOf(LayoutItem(Request(150, 6))).y, 4);  // 3.5 -> 4
}

TEST(ItemLayout, CaptionCentredOnTheHeightOfW) {
  const ItemLayout l = LayoutItem(Request(150, 22, 16, 16));
  const Rect caption = CaptionRect(l, 13);
  EXPECT_EQ(caption, (Rect{31, 5, 154, 23}));
  EXPECT_EQ(ShortcutRect(caption, false), (Rect{31, 5, 144, 23}));
  EXPECT_EQ(CaptionRect(LayoutItem(Request(150, 16)), 13).top, 2);
}

TEST(ImageEffectChoice, SelectedLiftsRestingDimsDisabledGrays) {
  EXPECT_EQ(ChooseImageEffect(true, true, false, true), ImageEffect::Lifted);
  EXPECT_EQ(ChooseImageEffect(true, true, false, false), ImageEffect::Lifted);
  EXPECT_EQ(ChooseImageEffect(false, true, false, true), ImageEffect::Dimmed);
  EXPECT_EQ(ChooseImageEffect(false, true, false, false), ImageEffect::Plain);
  EXPECT_EQ(ChooseImageEffect(true, true, true, true), ImageEffect::Plain);
  EXPECT_EQ(ChooseImageEffect(false, true, true, true), ImageEffect::Plain);
  for (bool selected : {false, true}) {
    for (bool checked : {false, true}) {
      EXPECT_EQ(ChooseImageEffect(selected, false, checked, true), ImageEffect::Grayed);
    }
  }
}

}  // namespace
}  // namespace quell::ui
