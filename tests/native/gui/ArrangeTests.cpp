// Controls that grew to their captions are kept off their neighbours.
#include <gtest/gtest.h>

#include <vector>

#include "gui/core/Arrange.h"

namespace quell::gui {
namespace {

ArrangedControl Control(int left, int top, int right, int bottom, bool grown = false) {
  return {{left, top, right, bottom}, grown};
}

TEST(Arrange, AGrownLabelPushesItsRightNeighbourByTheOverlap) {
  // "Seconds" grew from 312..354 to 312..360 into the box at 356.
  std::vector<ArrangedControl> row = {Control(263, 69, 312, 91), Control(312, 78, 360, 91, true),
                                      Control(356, 74, 455, 91)};
  EXPECT_TRUE(SeparateGrownControls(row));
  EXPECT_EQ(row[0].rect, (PixelRect{263, 69, 312, 91})) << "what lies to the left stays";
  EXPECT_EQ(row[1].rect, (PixelRect{312, 78, 360, 91})) << "the label keeps its place";
  EXPECT_EQ(row[2].rect, (PixelRect{360, 74, 459, 91})) << "moved right by 4, same size and row";
}

TEST(Arrange, APushCarriesOnAlongTheRow) {
  std::vector<ArrangedControl> row = {Control(0, 0, 30, 10, true), Control(20, 0, 40, 10),
                                      Control(42, 0, 60, 10), Control(70, 0, 80, 10)};
  EXPECT_TRUE(SeparateGrownControls(row));
  EXPECT_EQ(row[1].rect.left, 30);
  EXPECT_EQ(row[2].rect.left, 50) << "pushed by the pushed neighbour";
  EXPECT_EQ(row[3].rect.left, 70) << "far enough already";
}

TEST(Arrange, NothingMovesWhereNothingGrewOrNothingMeets) {
  // Two pages stacked on each other, as designed.
  std::vector<ArrangedControl> pages = {Control(2, 20, 400, 150), Control(2, 20, 400, 150)};
  EXPECT_FALSE(SeparateGrownControls(pages));
  EXPECT_EQ(pages[1].rect.left, 2);
  // A grown label above a box, on rows of their own; neighbours that only touch.
  std::vector<ArrangedControl> apart = {Control(18, 12, 120, 25, true), Control(18, 28, 116, 47),
                                        Control(120, 12, 140, 25)};
  EXPECT_FALSE(SeparateGrownControls(apart));
  EXPECT_EQ(apart[1].rect.left, 18);
  EXPECT_EQ(apart[2].rect.left, 120);
  std::vector<ArrangedControl> none;
  EXPECT_FALSE(SeparateGrownControls(none));
}

TEST(Arrange, AGrownControlIsNeverPushedBackOverWhatLiesToItsLeft) {
  // A grown box that starts inside its left neighbour moves out of it to the right.
  std::vector<ArrangedControl> row = {Control(0, 0, 50, 10), Control(40, 0, 90, 10, true)};
  EXPECT_TRUE(SeparateGrownControls(row));
  EXPECT_EQ(row[0].rect, (PixelRect{0, 0, 50, 10}));
  EXPECT_EQ(row[1].rect, (PixelRect{50, 0, 100, 10}));
  // Controls that start at the same place were designed to share it.
  std::vector<ArrangedControl> shared = {Control(10, 0, 50, 10, true), Control(10, 0, 30, 10)};
  EXPECT_FALSE(SeparateGrownControls(shared));
}

}  // namespace
}  // namespace quell::gui
