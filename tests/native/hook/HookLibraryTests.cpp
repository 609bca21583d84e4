// The exported operations: hooks, properties and the safety rule, the lock
// side effects and the lock state.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "FakeHookPlatform.h"

namespace quell::hook::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class HookLibraryTest : public ::testing::Test, protected HookFixtureState {};

TEST_F(HookLibraryTest, SetShellHookInstallsThreeHooksInOrderAndPostsOnce) {
  lib.SetNotifyWnd(0x1234);
  EXPECT_EQ(lib.SetShellHook(), 1);
  EXPECT_THAT(os.calls, ElementsAre("hook 2", "hook 13", "hook 14"));
  EXPECT_THAT(os.posts, ElementsAre(Posted{0x1234, 0, LN_STATE_CHANGED}));
  EXPECT_NE(shared.keyboardHook, 0u);
  EXPECT_NE(shared.lowLevelKeyboardHook, 0u);
  EXPECT_NE(shared.lowLevelMouseHook, 0u);

  Clear();
  EXPECT_EQ(lib.SetShellHook(), 1) << "already installed";
  EXPECT_THAT(os.calls, IsEmpty());
  EXPECT_THAT(os.posts, IsEmpty());
}

TEST_F(HookLibraryTest, SetShellHookWithoutModuleHandleFails) {
  process.module = 0;
  EXPECT_EQ(lib.SetShellHook(), 0);
  EXPECT_THAT(os.calls, IsEmpty());
  EXPECT_THAT(os.posts, IsEmpty());
}

TEST_F(HookLibraryTest, PartialInstallationCountsAndIsNotCompletedLater) {
  os.failHook[2] = os.failHook[14] = true;
  EXPECT_EQ(lib.SetShellHook(), 1);
  EXPECT_EQ(shared.keyboardHook, 0u);
  EXPECT_NE(shared.lowLevelKeyboardHook, 0u);
  EXPECT_EQ(shared.lowLevelMouseHook, 0u);
  os.failHook[2] = os.failHook[14] = false;
  Clear();
  EXPECT_EQ(lib.SetShellHook(), 1);
  EXPECT_THAT(os.calls, IsEmpty());
  EXPECT_EQ(shared.keyboardHook, 0u);
}

TEST_F(HookLibraryTest, NoHookInstalledReturnsZeroAndPostsNothing) {
  os.failHook[2] = os.failHook[13] = os.failHook[14] = true;
  EXPECT_EQ(lib.SetShellHook(), 0);
  EXPECT_THAT(os.posts, IsEmpty());
}

TEST_F(HookLibraryTest, UnSetShellHookRemovesInOrderAndClearsHandlesEvenOnFailure) {
  lib.SetShellHook();
  const auto kb = shared.keyboardHook, ll = shared.lowLevelKeyboardHook, ms = shared.lowLevelMouseHook;
  Clear();
  EXPECT_EQ(lib.UnSetShellHook(), 1);
  EXPECT_THAT(os.calls, ElementsAre("unhook " + std::to_string(kb), "unhook " + std::to_string(ll),
                                    "unhook " + std::to_string(ms)));
  EXPECT_THAT(PostedCodes(), ElementsAre(LN_STATE_CHANGED));

  lib.SetShellHook();
  os.failUnhook = true;
  Clear();
  EXPECT_EQ(lib.UnSetShellHook(), 0);
  EXPECT_THAT(os.posts, IsEmpty()) << "a failed removal posts nothing";
  EXPECT_EQ(shared.keyboardHook | shared.lowLevelKeyboardHook | shared.lowLevelMouseHook, 0u);
}

TEST_F(HookLibraryTest, UnSetShellHookWithNothingInstalledReturnsOneAndPosts) {
  EXPECT_EQ(lib.UnSetShellHook(), 1);
  EXPECT_THAT(os.calls, IsEmpty());
  EXPECT_THAT(PostedCodes(), ElementsAre(LN_STATE_CHANGED));
}

TEST_F(HookLibraryTest, IsLockedNeedsTheFlagAndAnInstalledHook) {
  EXPECT_EQ(lib.SetProperties(PROP_LOCKED, 1), 1);
  EXPECT_EQ(lib.GetIsLocked(), 0) << "no hook installed";
  lib.SetShellHook();
  EXPECT_EQ(lib.GetIsLocked(), 1);
  lib.UnSetShellHook();
  EXPECT_EQ(lib.GetIsLocked(), 0);
  EXPECT_EQ(lib.GetProperty(PROP_LOCKED), 1) << "removing the hooks leaves the flag";
  lib.SetShellHook();
  EXPECT_EQ(lib.GetIsLocked(), 1) << "installing hooks with the flag set locks at once";
}

TEST_F(HookLibraryTest, NotifyWindowRoundTrip) {
  EXPECT_EQ(lib.GetNotifyWnd(), 0u);
  EXPECT_EQ(lib.SetNotifyWnd(0xABCD), 1);
  EXPECT_EQ(lib.GetNotifyWnd(), 0xABCDu);
}

TEST_F(HookLibraryTest, IndicesOutsideZeroToFourteenAreRefusedAndStoreNothing) {
  for (int index : {-2147483647 - 1, -1000, -1, 15, 16, 255, 2147483647}) {
    EXPECT_EQ(lib.SetProperties(index, 5), 0) << index;
    EXPECT_EQ(lib.GetProperty(index), 0) << index;
  }
  for (int v : shared.properties) EXPECT_EQ(v, 0);
  EXPECT_THAT(os.posts, IsEmpty());
  for (int index = 1; index <= 14; ++index) {
    EXPECT_EQ(lib.SetProperties(index, -index * 1000), 1);
    EXPECT_EQ(lib.GetProperty(index), -index * 1000);
  }
  EXPECT_THAT(os.posts, IsEmpty()) << "only index 0 posts";
}

// Every combination of the options the safety rule reads, for a lock and for
// removing the unlock hot key while locked.
TEST(SafetyRule, EveryCombinationOfTheOptions) {
  for (int bits = 0; bits < 32; ++bits) {
    const int keyboard = bits & 1, button = bits >> 1 & 1, move = bits >> 2 & 1,
              wheel = bits >> 3 & 1, unlockKey = (bits >> 4 & 1) ? 0xC055 : 0;
    SCOPED_TRACE(bits);
    auto configure = [&](HookFixtureState& s, int hotKey) {
      s.lib.SetProperties(PROP_KEY_UNLOCK, hotKey);
      s.lib.SetProperties(PROP_LOCK_KEYBOARD, keyboard);
      s.lib.SetProperties(PROP_LOCK_MOUSE_BTN, button);
      s.lib.SetProperties(PROP_LOCK_MOUSE_MOVE, move);
      s.lib.SetProperties(PROP_LOCK_MOUSE_WHEEL, wheel);
      s.Clear();
    };
    const bool trapsWithoutHotKey = keyboard && (button || move);

    HookFixtureState lock;
    configure(lock, unlockKey);
    const bool refused = trapsWithoutHotKey && !unlockKey;
    EXPECT_EQ(lock.lib.SetProperties(PROP_LOCKED, 1), refused ? 0 : 1);
    EXPECT_EQ(lock.lib.GetProperty(PROP_LOCKED), refused ? 0 : 1);
    if (refused) {
      EXPECT_THAT(lock.os.posts, IsEmpty());
      EXPECT_THAT(lock.os.calls, IsEmpty()) << "no side effects applied";
    } else {
      EXPECT_THAT(lock.PostedCodes(), ElementsAre(LN_STATE_CHANGED));
    }

    // Locked with an unlock hot key, then the hot key is taken away.
    HookFixtureState locked;
    configure(locked, 0x1234);
    ASSERT_EQ(locked.lib.SetProperties(PROP_LOCKED, 1), 1);
    locked.Clear();
    EXPECT_EQ(locked.lib.SetProperties(PROP_KEY_UNLOCK, 0), trapsWithoutHotKey ? 0 : 1);
    EXPECT_EQ(locked.lib.GetProperty(PROP_KEY_UNLOCK), trapsWithoutHotKey ? 0x1234 : 0);
    EXPECT_EQ(locked.lib.GetProperty(PROP_LOCKED), trapsWithoutHotKey ? 0 : 1);
    EXPECT_THAT(locked.os.posts, IsEmpty());
    EXPECT_THAT(locked.os.calls, IsEmpty()) << "no side effects applied or undone";
  }
}

TEST_F(HookLibraryTest, RefusedLockKeepsThePreviousFlagValue) {
  // A refused write of index 0 restores the flag's old value, which is 0
  // whenever the rule bites; a refused write elsewhere clears the flag.
  lib.SetProperties(PROP_LOCK_KEYBOARD, 1);
  lib.SetProperties(PROP_LOCK_MOUSE_MOVE, 1);
  EXPECT_EQ(lib.SetProperties(PROP_LOCKED, 7), 0);
  EXPECT_EQ(lib.GetProperty(PROP_LOCKED), 0);
}

TEST_F(HookLibraryTest, OptionsThatWouldTrapTheUserAreAcceptedWhileUnlocked) {
  EXPECT_EQ(lib.SetProperties(PROP_LOCK_KEYBOARD, 1), 1);
  EXPECT_EQ(lib.SetProperties(PROP_LOCK_MOUSE_BTN, 1), 1);
  EXPECT_EQ(lib.SetProperties(PROP_KEY_UNLOCK, 0), 1);
}

TEST_F(HookLibraryTest, LockSideEffectsInOrder) {
  lib.SetNotifyWnd(9);
  lib.SetProperties(PROP_SCREEN_SAVER_OFF, 1);
  os.screenSaveActive = 1;
  Clear();
  EXPECT_EQ(lib.SetProperties(PROP_LOCKED, 1), 1);
  EXPECT_THAT(os.posts, ElementsAre(Posted{9, 0, LN_STATE_CHANGED}));
  const std::string key = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
  EXPECT_THAT(os.calls, ElementsAre("spi 97 1 null 0", "spi 36 0 null 0", "spi 16 0 ptr 0",
                                    "spi 17 0 null 2", "reg open HKCU\\" + key,
                                    "reg set 119 DisableTaskMgr 1", "reg close 119"));
  Clear();
  EXPECT_EQ(lib.SetProperties(PROP_LOCKED, 0), 1);
  // The value saved by the lock is restored; it is not read again.
  EXPECT_THAT(os.calls, ElementsAre("spi 97 0 null 0", "spi 36 1 null 0", "spi 17 1 null 2", "reg open HKCU\\" + key,
                                    "reg delete 119 DisableTaskMgr", "reg close 119"));
  EXPECT_EQ(os.screenSaveActive, 1) << "the setting from before the lock is back";
}

TEST_F(HookLibraryTest, ScreenSaverLeftAloneWhenTheOptionIsOff) {
  Clear();
  lib.SetProperties(PROP_LOCKED, 1);
  EXPECT_THAT(os.calls, ::testing::Not(::testing::Contains("spi 17 0 null 2")));
}

TEST_F(HookLibraryTest, TwoLocksInARowRestoreTheSettingFromBeforeTheFirst) {
  lib.SetProperties(PROP_SCREEN_SAVER_OFF, 1);
  os.screenSaveActive = 1;
  lib.SetProperties(PROP_LOCKED, 1);  // saves 1, switches it off
  EXPECT_EQ(os.screenSaveActive, 0);
  Clear();
  lib.SetProperties(PROP_LOCKED, 1);
  EXPECT_THAT(os.calls, ::testing::Not(::testing::Contains("spi 16 0 ptr 0"))) << "already saved";
  lib.SetProperties(PROP_LOCKED, 0);
  EXPECT_EQ(os.screenSaveActive, 1);
}

TEST_F(HookLibraryTest, UnlockInAProcessThatNeverLockedWritesTheCurrentValueBack) {
  os.screenSaveActive = 0;  // switched off by a lock made in another process
  lib.SetProperties(PROP_LOCKED, 0);
  EXPECT_THAT(os.calls, ::testing::Contains("spi 17 0 null 2"));
  EXPECT_EQ(os.screenSaveActive, 0);
  EXPECT_THAT(os.calls, ::testing::Contains(::testing::HasSubstr("reg delete")))
      << "the policy value is deleted whoever set it";
}

TEST_F(HookLibraryTest, UnlockWhileUnlockedStillPostsAndUndoes) {
  EXPECT_EQ(lib.SetProperties(PROP_LOCKED, 0), 1);
  EXPECT_THAT(PostedCodes(), ElementsAre(LN_STATE_CHANGED));
  EXPECT_THAT(os.calls, ::testing::Contains(::testing::HasSubstr("reg delete")));
}

TEST_F(HookLibraryTest, PolicyKeyIsCreatedWhenMissingAndSkippedWhenImpossible) {
  os.openFails = true;
  lib.SetProperties(PROP_LOCKED, 1);
  EXPECT_THAT(os.calls, ::testing::Contains(::testing::HasSubstr("reg create HKCU\\")));
  EXPECT_THAT(os.calls, ::testing::Contains("reg set 120 DisableTaskMgr 1"));
  Clear();
  os.createFails = true;
  lib.SetProperties(PROP_LOCKED, 0);
  for (const auto& c : os.calls) {
    EXPECT_EQ(c.find("reg delete"), std::string::npos);
    EXPECT_EQ(c.find("reg close"), std::string::npos);
  }
}

}  // namespace
}  // namespace quell::hook::testing
