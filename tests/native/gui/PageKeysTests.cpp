// Which key presses turn the pages of a page control, and where they lead.
#include <gtest/gtest.h>

#include "gui/core/PageKeys.h"

namespace quell::gui {
namespace {

constexpr unsigned kTab = 0x09, kPgUp = 0x21, kPgDn = 0x22, kA = 0x41, kRight = 0x27;

TEST(PageKeysTest, CtrlTabAndCtrlPgDnGoForwardTheirShiftedAndPgUpBack) {
  EXPECT_EQ(PageStepOfKey(kTab, ssCtrl, false), TPageStep::Next);
  EXPECT_EQ(PageStepOfKey(kTab, ssCtrl | ssShift, false), TPageStep::Previous);
  EXPECT_EQ(PageStepOfKey(kPgDn, ssCtrl, false), TPageStep::Next);
  EXPECT_EQ(PageStepOfKey(kPgUp, ssCtrl, false), TPageStep::Previous);
}

TEST(PageKeysTest, WithoutCtrlWithAltOrOtherKeysNothingTurns) {
  // Plain Tab and Shift+Tab are the dialog keys' own.
  EXPECT_EQ(PageStepOfKey(kTab, 0, false), TPageStep::None);
  EXPECT_EQ(PageStepOfKey(kTab, ssShift, false), TPageStep::None);
  EXPECT_EQ(PageStepOfKey(kPgDn, 0, false), TPageStep::None);
  // Ctrl+Alt is AltGr on many keyboards, and Ctrl+Alt+Tab is the system's.
  EXPECT_EQ(PageStepOfKey(kTab, ssCtrl | ssAlt, false), TPageStep::None);
  EXPECT_EQ(PageStepOfKey(kPgUp, ssCtrl | ssAlt, false), TPageStep::None);
  EXPECT_EQ(PageStepOfKey(kPgDn, ssCtrl | ssShift, false), TPageStep::None);
  EXPECT_EQ(PageStepOfKey(kA, ssCtrl, false), TPageStep::None);
  EXPECT_EQ(PageStepOfKey(kRight, ssCtrl, false), TPageStep::None);
  // Mouse buttons held do not matter.
  EXPECT_EQ(PageStepOfKey(kTab, ssCtrl | ssLeft, false), TPageStep::Next);
}

TEST(PageKeysTest, AHotKeyBoxKeepsCtrlPgUpAndPgDnAsAValueButNotCtrlTab) {
  // Ctrl+PgDn is a hot key a user may want; Tab never reaches the box.
  EXPECT_EQ(PageStepOfKey(kPgDn, ssCtrl, true), TPageStep::None);
  EXPECT_EQ(PageStepOfKey(kPgUp, ssCtrl, true), TPageStep::None);
  EXPECT_EQ(PageStepOfKey(kTab, ssCtrl, true), TPageStep::Next);
  EXPECT_EQ(PageStepOfKey(kTab, ssCtrl | ssShift, true), TPageStep::Previous);
}

TEST(PageKeysTest, StepsWrapAroundAtEitherEnd) {
  EXPECT_EQ(SteppedPage(0, 2, TPageStep::Next), 1);
  EXPECT_EQ(SteppedPage(1, 2, TPageStep::Next), 0);
  EXPECT_EQ(SteppedPage(0, 2, TPageStep::Previous), 1);
  EXPECT_EQ(SteppedPage(0, 3, TPageStep::Previous), 2);
  EXPECT_EQ(SteppedPage(2, 3, TPageStep::Previous), 1);
  EXPECT_EQ(SteppedPage(2, 3, TPageStep::Next), 0);
}

TEST(PageKeysTest, NothingToStepToLeavesThePageAsItIs) {
  EXPECT_EQ(SteppedPage(1, 3, TPageStep::None), 1);
  EXPECT_EQ(SteppedPage(0, 1, TPageStep::Next), 0) << "a single page";
  EXPECT_EQ(SteppedPage(0, 0, TPageStep::Next), 0) << "no pages";
  EXPECT_EQ(SteppedPage(-1, 2, TPageStep::Next), -1) << "no current page";
  EXPECT_EQ(SteppedPage(5, 2, TPageStep::Previous), 5) << "a page that is gone";
}

}  // namespace
}  // namespace quell::gui
