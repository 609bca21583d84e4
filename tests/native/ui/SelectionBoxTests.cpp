// Which items the painter draws with the selection box.
#include <gtest/gtest.h>

#include "ui/MenuPainterCore.h"

namespace quell::ui {
namespace {

TEST(SelectionBoxTest, OnlyASelectedEnabledItemOfAPainterThatDrawsSelectionsHasIt) {
  EXPECT_TRUE(ShowsSelection(true, true, false, true));
  EXPECT_FALSE(ShowsSelection(false, true, false, true));
  EXPECT_FALSE(ShowsSelection(true, false, false, true)) << "disabled";
  EXPECT_FALSE(ShowsSelection(true, true, false, false)) << "DrawSelect off";
}

TEST(SelectionBoxTest, ASeparatorNeverHasItWhateverStateTheSystemReports) {
  EXPECT_FALSE(ShowsSelection(true, true, true, true));
  EXPECT_FALSE(ShowsSelection(true, true, IsSeparatorCaption("-"), true));
  EXPECT_TRUE(ShowsSelection(true, true, IsSeparatorCaption("--"), true)) << "not a separator";
}

}  // namespace
}  // namespace quell::ui
