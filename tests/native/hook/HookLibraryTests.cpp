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
  const auto kb = shared.keyboardHook, ll = shared.lowLevelKeyboardHook,
             ms = shared.lowLevelMouseHook;
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

// An unlock hot key that cannot be typed is no hot key: key code 0, or bits
// outside the 16 of a shortcut (a settings file can hold any number).
TEST(SafetyRule, UntypableUnlockHotKeysCountAsNone) {
  for (std::int32_t unlockKey :
       {0, static_cast<std::int32_t>(0xFFFFC055u), 0x4000, 0xE000, 0x1C055, 0x10000, -1}) {
    HookFixtureState s;
    s.lib.SetProperties(PROP_LOCK_KEYBOARD, 1);
    s.lib.SetProperties(PROP_LOCK_MOUSE_BTN, 1);
    s.lib.SetProperties(PROP_KEY_UNLOCK, unlockKey);
    EXPECT_EQ(s.lib.SetProperties(PROP_LOCKED, 1), 0) << std::hex << unlockKey;
    EXPECT_EQ(s.lib.GetProperty(PROP_LOCKED), 0);
  }
  for (std::int32_t unlockKey : {0xC055, 0x55, 0x2041, 0xE0FF, 0x01}) {
    HookFixtureState s;
    s.lib.SetProperties(PROP_LOCK_KEYBOARD, 1);
    s.lib.SetProperties(PROP_LOCK_MOUSE_MOVE, 1);
    s.lib.SetProperties(PROP_KEY_UNLOCK, unlockKey);
    EXPECT_EQ(s.lib.SetProperties(PROP_LOCKED, 1), 1) << std::hex << unlockKey;
  }
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

TEST_F(HookLibraryTest, LockSideEffectsInOrderAndTheUnlockUndoesExactlyThem) {
  lib.SetNotifyWnd(9);
  lib.SetProperties(PROP_SCREEN_SAVER_OFF, 1);
  os.screenSaveActive = 1;
  Clear();
  EXPECT_EQ(lib.SetProperties(PROP_LOCKED, 1), 1);
  EXPECT_THAT(os.posts, ElementsAre(Posted{9, 0, LN_STATE_CHANGED}));
  EXPECT_THAT(
      os.calls,
      ElementsAre("spi 97 1 null 0", "spi 36 0 null 0", "spi 16 0 ptr 0", "spi 17 0 null 2",
                  "reg open " + kPolicyPath, "reg create " + kPolicyPath,
                  "reg set DisableTaskMgr 1", "reg close", "reg open " + kRecordPath,
                  "reg create " + kRecordPath, "reg set LockChanges type 3 size 16", "reg close"));
  EXPECT_EQ(os.Policy(), 1);
  EXPECT_EQ(os.screenSaveActive, 0);
  EXPECT_TRUE(os.HasRecord());
  Clear();
  EXPECT_EQ(lib.SetProperties(PROP_LOCKED, 0), 1);
  EXPECT_THAT(os.calls,
              ElementsAre("spi 97 0 null 0", "spi 36 1 null 0", "spi 17 1 null 2",
                          "reg open " + kPolicyPath, "reg delete DisableTaskMgr", "reg close",
                          "reg open " + kRecordPath, "reg delete LockChanges", "reg close"));
  EXPECT_EQ(os.Policy(), -1) << "created by the lock, deleted by the unlock";
  EXPECT_EQ(os.screenSaveActive, 1) << "the setting from before the lock is back";
  EXPECT_FALSE(os.HasRecord());
  EXPECT_EQ(os.OpenKeys(), 0u) << "every key opened is closed";
}

// An administrator's or a parent's policy belongs to them: using the
// program (options, lock, unlock, Exit: each writes the flag) never loses it.
TEST_F(HookLibraryTest, PolicySetBeforeTheProgramSurvivesEveryLockAndUnlock) {
  os.SetDword(kPolicyPath, "DisableTaskMgr", 1);
  for (int value : {0, 0, 1, 1, 0, 0}) {
    lib.SetProperties(PROP_LOCKED, value);
    EXPECT_EQ(os.Policy(), 1) << "after writing " << value;
  }
  EXPECT_THAT(os.calls, ::testing::Not(::testing::Contains("reg delete DisableTaskMgr")));
}

TEST_F(HookLibraryTest, PolicyNumberFromBeforeTheLockIsPutBack) {
  for (std::uint32_t before : {0u, 2u, 0xFFFFFFFFu}) {
    os.SetDword(kPolicyPath, "DisableTaskMgr", before);
    lib.SetProperties(PROP_LOCKED, 1);
    EXPECT_EQ(os.Policy(), 1);
    lib.SetProperties(PROP_LOCKED, 0);
    EXPECT_EQ(os.Policy(), before);
    EXPECT_FALSE(os.HasRecord());
  }
}

TEST_F(HookLibraryTest, PolicyValueOfAnotherTypeIsNeverTouched) {
  os.registry[kPolicyPath]["DisableTaskMgr"] = {1, {'1', 0}};  // REG_SZ "1"
  lib.SetProperties(PROP_LOCKED, 1);
  lib.SetProperties(PROP_LOCKED, 0);
  EXPECT_EQ(os.registry[kPolicyPath]["DisableTaskMgr"].type, 1u);
  EXPECT_THAT(os.calls,
              ::testing::Not(::testing::Contains(::testing::HasSubstr("DisableTaskMgr"))));
  os.queryFails = true;  // a value that cannot be read is not ours either
  os.registry[kPolicyPath].clear();
  Clear();
  lib.SetProperties(PROP_LOCKED, 1);
  EXPECT_EQ(os.Policy(), -1);
}

TEST_F(HookLibraryTest, PolicyChangedByOthersWhileLockedIsTheirs) {
  lib.SetProperties(PROP_LOCKED, 1);  // creates the value
  os.SetDword(kPolicyPath, "DisableTaskMgr", 0);
  lib.SetProperties(PROP_LOCKED, 0);
  EXPECT_EQ(os.Policy(), 0) << "not the 1 the lock wrote: left alone";
  EXPECT_FALSE(os.HasRecord());
}

TEST_F(HookLibraryTest, UnlockWithNoLockOfOursPostsButTouchesNothing) {
  os.SetDword(kPolicyPath, "DisableTaskMgr", 1);
  os.screenSaveActive = 0;
  EXPECT_EQ(lib.SetProperties(PROP_LOCKED, 0), 1);
  EXPECT_THAT(PostedCodes(), ElementsAre(LN_STATE_CHANGED));
  EXPECT_THAT(os.calls, IsEmpty());
  lib.SetProperties(PROP_LOCKED, 1);
  lib.SetProperties(PROP_LOCKED, 0);
  Clear();
  EXPECT_EQ(lib.SetProperties(PROP_LOCKED, 0), 1) << "a second unlock";
  EXPECT_THAT(os.calls, IsEmpty());
}

TEST_F(HookLibraryTest, ScreenSaverLeftAloneWhenTheOptionIsOffOrItIsAlreadyOff) {
  Clear();
  lib.SetProperties(PROP_LOCKED, 1);
  lib.SetProperties(PROP_LOCKED, 0);
  EXPECT_THAT(os.calls, ::testing::Not(::testing::Contains(::testing::HasSubstr("spi 17"))));
  lib.SetProperties(PROP_SCREEN_SAVER_OFF, 1);
  os.screenSaveActive = 0;
  Clear();
  lib.SetProperties(PROP_LOCKED, 1);
  lib.SetProperties(PROP_LOCKED, 0);
  EXPECT_THAT(os.calls, ::testing::Not(::testing::Contains(::testing::HasSubstr("spi 17"))));
  os.screenSaveActive = 1;
  os.spiFails = true;  // unreadable: it could not be put back, so it is not changed
  lib.SetProperties(PROP_LOCKED, 1);
  EXPECT_EQ(shared.lockChanges.made & LockChanges::kScreenSaverOff, 0u);
}

TEST_F(HookLibraryTest, TwoLocksInARowRestoreTheStateFromBeforeTheFirst) {
  lib.SetProperties(PROP_SCREEN_SAVER_OFF, 1);
  os.screenSaveActive = 1;
  os.SetDword(kPolicyPath, "DisableTaskMgr", 0);
  lib.SetProperties(PROP_LOCKED, 1);  // saves 1 and 0, switches both
  EXPECT_EQ(os.screenSaveActive, 0);
  Clear();
  lib.SetProperties(PROP_LOCKED, 1);
  EXPECT_THAT(os.calls, ::testing::Not(::testing::Contains("spi 16 0 ptr 0"))) << "already saved";
  EXPECT_THAT(os.calls, ::testing::Not(::testing::Contains("reg set DisableTaskMgr 1")));
  lib.SetProperties(PROP_LOCKED, 0);
  EXPECT_EQ(os.screenSaveActive, 1);
  EXPECT_EQ(os.Policy(), 0);
}

// A hot key seen by the ordinary keyboard hook unlocks inside whatever
// process got the key: the record of the lock is shared.
TEST_F(HookLibraryTest, UnlockInAnotherProcessUndoesWhatTheLockChanged) {
  lib.SetProperties(PROP_SCREEN_SAVER_OFF, 1);
  os.screenSaveActive = 1;
  lib.SetProperties(PROP_LOCKED, 1);
  ProcessState other{};
  HookLibrary elsewhere{shared, other, os, os};
  elsewhere.SetProperties(PROP_LOCKED, 0);
  EXPECT_EQ(os.screenSaveActive, 1);
  EXPECT_EQ(os.Policy(), -1);
  EXPECT_FALSE(os.HasRecord());
}

TEST_F(HookLibraryTest, RegistryCopyFollowsTheSharedRecord) {
  lib.SetProperties(PROP_SCREEN_SAVER_OFF, 1);
  os.screenSaveActive = 7;
  os.SetDword(kPolicyPath, "DisableTaskMgr", 3);
  lib.SetProperties(PROP_LOCKED, 1);
  LockChanges stored{};
  ASSERT_TRUE(LoadLockRecord(os, &stored));
  EXPECT_EQ(stored.made, shared.lockChanges.made);
  EXPECT_EQ(stored.made, LockChanges::kLockInForce | LockChanges::kPolicyReplaced |
                             LockChanges::kScreenSaverOff);
  EXPECT_EQ(stored.policyBefore, 3u);
  EXPECT_EQ(stored.screenSaverBefore, 7u);
}

TEST_F(HookLibraryTest, ChangeThatCouldNotBeUndoneStaysRecordedForTheNextUnlock) {
  lib.SetProperties(PROP_LOCKED, 1);
  os.deleteFails = true;
  lib.SetProperties(PROP_LOCKED, 0);
  EXPECT_EQ(os.Policy(), 1);
  EXPECT_EQ(shared.lockChanges.made, LockChanges::kPolicyCreated);
  EXPECT_TRUE(os.HasRecord());
  os.deleteFails = false;
  lib.SetProperties(PROP_LOCKED, 0);
  EXPECT_EQ(os.Policy(), -1);
  EXPECT_FALSE(os.HasRecord());
}

TEST_F(HookLibraryTest, PolicyKeyIsCreatedWhenMissingAndSkippedWhenImpossible) {
  os.openFails = os.createFails = true;
  lib.SetProperties(PROP_LOCKED, 1);
  EXPECT_EQ(os.Policy(), -1);
  EXPECT_EQ(shared.lockChanges.made, LockChanges::kLockInForce) << "nothing else was changed";
  os.openFails = os.createFails = false;
  os.setFails = true;
  lib.SetProperties(PROP_LOCKED, 1);
  EXPECT_EQ(shared.lockChanges.made, LockChanges::kLockInForce)
      << "a refused write changed nothing";
  os.setFails = false;
  lib.SetProperties(PROP_LOCKED, 0);
  EXPECT_THAT(os.calls, ::testing::Not(::testing::Contains("reg delete DisableTaskMgr")));
}

// The program that installed the hooks was killed while other processes
// kept the library mapped: its hooks and its lock ended with it.
TEST_F(HookLibraryTest, HooksOfAnEndedProgramAreInstalledAnewAndItsLockUndone) {
  lib.SetProperties(PROP_KEY_UNLOCK, 0xC055);
  ASSERT_EQ(lib.SetShellHook(), 1);
  lib.SetProperties(PROP_LOCKED, 1);
  ASSERT_EQ(os.Policy(), 1);

  ProcessState restarted{};
  restarted.module = 0x400000;
  HookLibrary next{shared, restarted, os, os};
  os.processId = 77;
  os.runningProcesses = {77, 42};
  Clear();
  EXPECT_EQ(next.SetShellHook(), 1);
  EXPECT_THAT(os.calls, IsEmpty()) << "the owner still runs: its hooks stand";

  os.runningProcesses = {77};
  Clear();
  EXPECT_EQ(next.SetShellHook(), 1);
  EXPECT_THAT(os.calls, ::testing::IsSupersetOf({"hook 2", "hook 13", "hook 14"}));
  EXPECT_EQ(next.GetProperty(PROP_LOCKED), 0);
  EXPECT_EQ(os.Policy(), -1);
  EXPECT_FALSE(os.HasRecord());
  EXPECT_THAT(PostedCodes(), ElementsAre(LN_STATE_CHANGED));
  Clear();
  EXPECT_EQ(next.SetShellHook(), 1) << "its own hooks now";
  EXPECT_THAT(os.calls, IsEmpty());
}

// The system dropped the hooks behind the owner's back (a procedure that
// kept it waiting): their handles still stand in the record, removing them
// fails, and the owner puts new ones in their place. The lock stays, and
// each low-level hook marks the tick of every call it gets.
TEST_F(HookLibraryTest, DroppedHooksAreReplacedAndTheirSightIsTracked) {
  lib.SetProperties(PROP_KEY_UNLOCK, 0xC055);
  os.tick = 5000;
  ASSERT_EQ(lib.SetShellHook(), 1);
  EXPECT_EQ(shared.lowLevelKeyboardSeen, 5000u) << "new hooks have missed nothing";
  EXPECT_EQ(shared.lowLevelMouseSeen, 5000u);
  lib.SetProperties(PROP_LOCKED, 1);
  const auto stale = shared.lowLevelKeyboardHook;

  struct Event {
    const char* hook;
    std::uint32_t tick;
    std::uint32_t keyboardSeen, mouseSeen;
  };
  for (const Event& e : {Event{"key", 5100, 5100, 5000}, Event{"mouse", 5250, 5100, 5250},
                         Event{"key", 6000, 6000, 5250}}) {
    os.tick = e.tick;
    if (e.hook[0] == 'k') {
      lib.LowLevelKeyboardProc(kHcAction, kWmKeyDown, LowLevelKey{0x41, 0x1E, 0, e.tick});
    } else {
      lib.LowLevelMouseProc(kHcAction, kWmMouseMove);
    }
    EXPECT_EQ(shared.lowLevelKeyboardSeen, e.keyboardSeen) << e.hook << " at " << e.tick;
    EXPECT_EQ(shared.lowLevelMouseSeen, e.mouseSeen) << e.hook << " at " << e.tick;
  }

  os.failUnhook = true;  // the system has removed them already
  Clear();
  EXPECT_EQ(lib.UnSetShellHook(), 0);
  os.failUnhook = false;
  os.tick = 9000;
  EXPECT_EQ(lib.SetShellHook(), 1);
  EXPECT_THAT(os.calls, ::testing::IsSupersetOf({"hook 2", "hook 13", "hook 14"}))
      << "no stale handle is taken for an installed hook";
  EXPECT_NE(shared.lowLevelKeyboardHook, stale);
  EXPECT_EQ(shared.lowLevelKeyboardSeen, 9000u);
  EXPECT_EQ(lib.GetIsLocked(), 1) << "the lock flag and the options stay";
}

}  // namespace
}  // namespace quell::hook::testing
