// The low-level mouse hook: activity for the six counted messages, blocking
// by the three mouse options, nothing else touched.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "FakeHookPlatform.h"

namespace quell::hook::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr std::uint32_t WM_MBUTTONDOWN = 0x207, WM_MBUTTONUP = 0x208, WM_XBUTTONDOWN = 0x20B,
                        WM_MOUSEHWHEEL = 0x20E;
constexpr std::uint32_t kCounted[] = {kWmMouseMove,   kWmLButtonDown, kWmLButtonUp,
                                      kWmRButtonDown, kWmRButtonUp,   kWmMouseWheel};

class MouseFilterTest : public ::testing::Test, protected HookFixtureState {
 protected:
  void SetUp() override {
    lib.SetNotifyWnd(0x60);
    lib.SetShellHook();
  }
  void Lock(int button, int move, int wheel) {
    lib.SetProperties(PROP_KEY_UNLOCK, 0xC055);
    lib.SetProperties(PROP_LOCK_MOUSE_BTN, button);
    lib.SetProperties(PROP_LOCK_MOUSE_MOVE, move);
    lib.SetProperties(PROP_LOCK_MOUSE_WHEEL, wheel);
    ASSERT_EQ(lib.SetProperties(PROP_LOCKED, 1), 1);
    Clear();
  }
};

TEST_F(MouseFilterTest, UnlockedEverythingPassesAndCountedMessagesReportActivity) {
  Clear();
  for (std::uint32_t m : kCounted) EXPECT_FALSE(lib.LowLevelMouseProc(0, m)) << m;
  EXPECT_FALSE(lib.LowLevelMouseProc(0, WM_MBUTTONDOWN));
  EXPECT_EQ(os.posts.size(), 6u);
  for (const auto& p : os.posts) EXPECT_EQ(p, (Posted{0x60, 0, LN_ACTIVITY}));
}

TEST_F(MouseFilterTest, LockedMovementIsSwallowedWithActivityButNoBlockedNotice) {
  Lock(0, 1, 0);
  EXPECT_TRUE(lib.LowLevelMouseProc(0, kWmMouseMove));
  EXPECT_THAT(PostedCodes(), ElementsAre(LN_ACTIVITY));
  EXPECT_FALSE(lib.LowLevelMouseProc(0, kWmLButtonDown)) << "buttons are free";
  EXPECT_FALSE(lib.LowLevelMouseProc(0, kWmMouseWheel)) << "the wheel is free";
}

TEST_F(MouseFilterTest, LockedLeftClickIsSwallowedAndReportedForPressAndRelease) {
  Lock(1, 0, 0);
  EXPECT_TRUE(lib.LowLevelMouseProc(0, kWmLButtonDown));
  EXPECT_TRUE(lib.LowLevelMouseProc(0, kWmLButtonUp));
  EXPECT_TRUE(lib.LowLevelMouseProc(0, kWmRButtonDown));
  EXPECT_TRUE(lib.LowLevelMouseProc(0, kWmRButtonUp));
  EXPECT_THAT(PostedCodes(),
              ElementsAre(LN_ACTIVITY, LN_INPUT_BLOCKED, LN_ACTIVITY, LN_INPUT_BLOCKED, LN_ACTIVITY,
                          LN_INPUT_BLOCKED, LN_ACTIVITY, LN_INPUT_BLOCKED));
  EXPECT_FALSE(lib.LowLevelMouseProc(0, kWmMouseMove));
}

TEST_F(MouseFilterTest, LockedWheelIsSwallowedAndReported) {
  Lock(0, 0, 1);
  EXPECT_TRUE(lib.LowLevelMouseProc(0, kWmMouseWheel));
  EXPECT_THAT(PostedCodes(), ElementsAre(LN_ACTIVITY, LN_INPUT_BLOCKED));
}

TEST_F(MouseFilterTest, OtherButtonsAndHorizontalWheelAlwaysPassSilently) {
  Lock(1, 1, 1);
  for (std::uint32_t m : {WM_MBUTTONDOWN, WM_MBUTTONUP, WM_XBUTTONDOWN, WM_MOUSEHWHEEL}) {
    EXPECT_FALSE(lib.LowLevelMouseProc(0, m)) << m;
  }
  EXPECT_THAT(os.posts, IsEmpty());
}

TEST_F(MouseFilterTest, LockedWithAllMouseOptionsOffPassesButCountsActivity) {
  Lock(0, 0, 0);
  for (std::uint32_t m : kCounted) EXPECT_FALSE(lib.LowLevelMouseProc(0, m));
  EXPECT_EQ(os.posts.size(), 6u);
}

TEST_F(MouseFilterTest, OnlyActionCodesAreBlockedButEveryCodeReportsActivity) {
  Lock(1, 1, 1);
  for (int nCode : {-1, 1, 3}) {
    EXPECT_FALSE(lib.LowLevelMouseProc(nCode, kWmLButtonDown)) << nCode;
  }
  EXPECT_THAT(PostedCodes(), ElementsAre(LN_ACTIVITY, LN_ACTIVITY, LN_ACTIVITY));
}

}  // namespace
}  // namespace quell::hook::testing
