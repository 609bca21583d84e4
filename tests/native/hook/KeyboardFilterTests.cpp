// Both keyboard hook procedures: hot keys, blocking, notifications, and the
// rule that a key-up is treated like its key-down.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "FakeHookPlatform.h"

namespace quell::hook::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr std::uint32_t VK_A = 0x41, VK_L = 0x4C, VK_U = 0x55, VK_DELETE = 0x2E;
constexpr std::uint32_t VK_LSHIFT = 0xA0, VK_LCONTROL = 0xA2, VK_RCONTROL = 0xA3, VK_LMENU = 0xA4;
constexpr std::int32_t CtrlAltL = 0xC04C, CtrlAltU = 0xC055;
constexpr std::uint32_t kReleased = 0x80000000u, kAltHeld = 0x20000000u;

class KeyboardFilterTest : public ::testing::Test, protected HookFixtureState {
 protected:
  std::uint32_t now = 1000;

  void SetUp() override {
    lib.SetNotifyWnd(0x50);
    lib.SetShellHook();
    Clear();
  }
  void Lock(int keyboard = 1, int unlockKey = CtrlAltU) {
    lib.SetProperties(PROP_LOCK_KEYBOARD, keyboard);
    lib.SetProperties(PROP_KEY_UNLOCK, unlockKey);
    ASSERT_EQ(lib.SetProperties(PROP_LOCKED, 1), 1);
    Clear();
  }
  // Low-level events, 10 ms apart; the platform's key-state table is the
  // test's to set.
  bool Down(std::uint32_t vk, int nCode = 0, std::uint32_t message = kWmKeyDown) {
    now += 10;
    return lib.LowLevelKeyboardProc(nCode, message, {vk, 0, 0, now});
  }
  bool Up(std::uint32_t vk, int nCode = 0, std::uint32_t message = kWmKeyUp) {
    now += 10;
    return lib.LowLevelKeyboardProc(nCode, message, {vk, 0, 0, now});
  }
  void Hold(std::initializer_list<int> vks, bool held = true) {
    for (int vk : vks) os.keyDown[vk] = held;
  }
};

TEST_F(KeyboardFilterTest, LockHotKeyPostsActivityThenLocksAndIsSwallowed) {
  lib.SetProperties(PROP_KEY_LOCK, CtrlAltL);
  lib.SetProperties(PROP_LOCK_KEYBOARD, 1);
  Hold({0x11, 0x12});
  Clear();
  EXPECT_TRUE(Down(VK_L));
  EXPECT_THAT(PostedCodes(), ElementsAre(LN_ACTIVITY, LN_STATE_CHANGED));
  EXPECT_EQ(lib.GetIsLocked(), 1);
  Clear();
  EXPECT_TRUE(Up(VK_L)) << "the hot key's release is swallowed too";
  EXPECT_THAT(os.posts, IsEmpty());
  EXPECT_EQ(os.beeps, 0);
}

TEST_F(KeyboardFilterTest, HotKeyReleaseIsSwallowedEvenWhenTheKeyboardIsFree) {
  lib.SetProperties(PROP_KEY_LOCK, CtrlAltL);
  lib.SetProperties(PROP_LOCK_MOUSE_MOVE, 1);
  lib.SetProperties(PROP_KEY_UNLOCK, CtrlAltU);
  Hold({0x11, 0x12});
  EXPECT_TRUE(Down(VK_L));
  Hold({0x11, 0x12}, false);
  EXPECT_TRUE(Up(VK_L)) << "its press never reached the programs";
}

TEST_F(KeyboardFilterTest, SameShortcutForLockAndUnlockTogglesOnEveryPressAndRepeat) {
  lib.SetProperties(PROP_KEY_LOCK, CtrlAltL);
  lib.SetProperties(PROP_KEY_UNLOCK, CtrlAltL);
  Hold({0x11, 0x12});
  for (int press = 1; press <= 5; ++press) {
    EXPECT_TRUE(Down(VK_L));
    EXPECT_EQ(lib.GetProperty(PROP_LOCKED), press % 2) << press;
  }
}

TEST_F(KeyboardFilterTest, ShiftOnlyHotKeyIsRecognised) {
  lib.SetProperties(PROP_KEY_LOCK, 0x2000 + VK_A);
  Hold({0x10});
  EXPECT_TRUE(Down(VK_A));
  EXPECT_EQ(lib.GetProperty(PROP_LOCKED), 1);
}

TEST_F(KeyboardFilterTest, NoHotKeyMatchesNothing) {
  EXPECT_FALSE(Down(VK_A));
  EXPECT_EQ(lib.GetProperty(PROP_LOCKED), 0);
}

TEST_F(KeyboardFilterTest, HotKeyRefusedBySafetyRuleIsStillSwallowed) {
  lib.SetProperties(PROP_KEY_LOCK, CtrlAltL);
  lib.SetProperties(PROP_LOCK_KEYBOARD, 1);
  lib.SetProperties(PROP_LOCK_MOUSE_BTN, 1);
  Hold({0x11, 0x12});
  EXPECT_TRUE(Down(VK_L));
  EXPECT_EQ(lib.GetProperty(PROP_LOCKED), 0);
  EXPECT_THAT(PostedCodes(), ElementsAre(LN_ACTIVITY));
}

TEST_F(KeyboardFilterTest, LockedWithFreeKeyboardPassesKeysButStillUnlocks) {
  Lock(/*keyboard=*/0);
  EXPECT_FALSE(Down(VK_A));
  EXPECT_FALSE(Up(VK_A));
  Hold({0x11, 0x12});
  EXPECT_TRUE(Down(VK_U));
  EXPECT_EQ(lib.GetProperty(PROP_LOCKED), 0);
}

TEST_F(KeyboardFilterTest, LockedKeyPressPostsItsCodeAndBeepsOnceReleaseIsSilent) {
  lib.SetProperties(PROP_DO_BEEP, 1);
  Lock();
  Hold({0x10});
  EXPECT_TRUE(Down(VK_A));
  EXPECT_THAT(os.posts,
              ElementsAre(Posted{0x50, 0, LN_ACTIVITY}, Posted{0x50, 0x2041, LN_INPUT_BLOCKED}));
  EXPECT_EQ(os.beeps, 1);
  Clear();
  EXPECT_TRUE(Up(VK_A));
  EXPECT_THAT(os.posts, IsEmpty());
  EXPECT_EQ(os.beeps, 0);
}

TEST_F(KeyboardFilterTest, CtrlAltDeleteIsReportedForPressAndReleaseWithoutBeep) {
  lib.SetProperties(PROP_DO_BEEP, 1);
  Lock();
  Hold({0x11, 0x12});
  EXPECT_TRUE(Down(VK_DELETE));
  EXPECT_TRUE(Up(VK_DELETE));
  EXPECT_THAT(os.posts,
              ElementsAre(Posted{0x50, 0, LN_ACTIVITY}, Posted{0x50, 0xC02E, LN_CTRL_ALT_DEL},
                          Posted{0x50, 0xC02E, LN_CTRL_ALT_DEL}));
  EXPECT_EQ(os.beeps, 0);
}

TEST_F(KeyboardFilterTest, ModifierReleaseWhoseStateReadsUnheldPasses) {
  Lock();
  // Pressed before the hooks saw it: nothing is known of its key-down.
  EXPECT_FALSE(Up(VK_LSHIFT)) << "Shift reads as not held";
  Hold({0x10});
  EXPECT_TRUE(Up(VK_LSHIFT)) << "Shift still reads as held";
  Hold({0x11}, false);
  EXPECT_FALSE(Up(VK_RCONTROL));
  EXPECT_FALSE(Up(VK_LMENU, 0, kWmSysKeyUp));
}

TEST_F(KeyboardFilterTest, NegativeCodeTakesPartInHotKeysButIsNeverBlocked) {
  Lock();
  EXPECT_FALSE(Down(VK_A, -1));
  Hold({0x11, 0x12});
  EXPECT_TRUE(Down(VK_U, -1));
  EXPECT_EQ(lib.GetProperty(PROP_LOCKED), 0);
}

TEST_F(KeyboardFilterTest, AltFlagOfTheEventCountsAsAlt) {
  lib.SetProperties(PROP_KEY_LOCK, CtrlAltL);
  Hold({0x11});
  EXPECT_TRUE(lib.LowLevelKeyboardProc(0, kWmSysKeyDown, {VK_L, 0, 0x20, 5}));
  EXPECT_EQ(lib.GetProperty(PROP_LOCKED), 1);
}

// The platform does not report a modifier as held once the hook swallowed its
// key-down: the hook's own memory of the modifiers must make up for it.
TEST_F(KeyboardFilterTest, UnlockHotKeyTypedWhileTheKeyboardIsLocked) {
  Lock();
  EXPECT_TRUE(Down(VK_LCONTROL));
  EXPECT_TRUE(Down(VK_LMENU, 0, kWmSysKeyDown));
  EXPECT_TRUE(Down(VK_U, 0, kWmSysKeyDown));
  EXPECT_EQ(lib.GetProperty(PROP_LOCKED), 0);
  // The releases belong to swallowed presses: swallowed, nothing left held.
  EXPECT_TRUE(Up(VK_U));
  EXPECT_TRUE(Up(VK_LMENU));
  EXPECT_TRUE(Up(VK_LCONTROL));
  EXPECT_FALSE(Down(VK_A)) << "no modifier remembered after the releases";
}

// Ctrl+Alt+Delete while locked: the secure desktop takes the key-ups, so
// the hook never sees Ctrl and Alt go up. The unlock from the tray menu
// writes the flag, and plain keys afterwards are plain again.
TEST_F(KeyboardFilterTest, ModifiersLostToCtrlAltDeleteDoNotOutliveTheLock) {
  lib.SetProperties(PROP_KEY_LOCK, CtrlAltL);
  Lock();
  Down(VK_LCONTROL);
  Down(VK_LMENU);
  Down(VK_DELETE);
  ASSERT_EQ(lib.SetProperties(PROP_LOCKED, 0), 1);  // the tray menu's Unlock
  EXPECT_FALSE(Down(VK_L)) << "a plain L right after the unlock";
  EXPECT_EQ(lib.GetProperty(PROP_LOCKED), 0);
  Up(VK_L);
  ASSERT_EQ(lib.SetProperties(PROP_LOCKED, 1), 1);
  EXPECT_TRUE(Down(VK_U)) << "a plain U after a relock is blocked";
  EXPECT_EQ(lib.GetProperty(PROP_LOCKED), 1);
}

TEST_F(KeyboardFilterTest, LockAndUnlockStillWorkAfterCtrlAltDeleteLostItsReleases) {
  lib.SetProperties(PROP_KEY_LOCK, CtrlAltL);
  Lock();
  Down(VK_LCONTROL);
  Down(VK_LMENU);
  Down(VK_DELETE);  // the secure desktop takes the releases
  Down(VK_LCONTROL);
  Down(VK_LMENU);
  EXPECT_TRUE(Down(VK_U));
  EXPECT_EQ(lib.GetProperty(PROP_LOCKED), 0);
  Up(VK_U);
  Hold({0x11, 0x12});  // pressed anew after the unlock: the platform sees them
  EXPECT_TRUE(Down(VK_L));
  EXPECT_EQ(lib.GetProperty(PROP_LOCKED), 1);
}

// Only key-downs the hook swallowed are remembered, with no time limit.
TEST_F(KeyboardFilterTest, ModifierMemoryHoldsOnlySwallowedKeyDownsForAsLongAsTheyAreDown) {
  EXPECT_FALSE(Down(VK_LCONTROL)) << "unlocked: passed on";
  EXPECT_FALSE(Down(VK_LMENU));
  Lock();
  EXPECT_TRUE(Down(VK_U)) << "modifiers that passed are the platform's to report";
  EXPECT_EQ(lib.GetProperty(PROP_LOCKED), 1);
  Up(VK_U);
  EXPECT_FALSE(Up(VK_LMENU));
  EXPECT_FALSE(Up(VK_LCONTROL));

  EXPECT_TRUE(Down(VK_LCONTROL));
  EXPECT_TRUE(Down(VK_LMENU));
  now += 60 * 1000;  // a minute later, still held
  EXPECT_TRUE(Down(VK_U));
  EXPECT_EQ(lib.GetProperty(PROP_LOCKED), 0);
}

// The memory of the process running the low-level hook empties itself when
// another process writes the flag (a second instance's /U, then /L).
TEST_F(KeyboardFilterTest, ModifierMemoryEmptiesAtAWriteOfTheFlagInAnotherProcess) {
  Lock();
  Down(VK_LCONTROL);
  Down(VK_LMENU);
  ProcessState otherProcess{};
  HookLibrary other{shared, otherProcess, os, os};
  other.SetProperties(PROP_LOCKED, 0);
  other.SetProperties(PROP_LOCKED, 1);
  EXPECT_TRUE(Down(VK_U)) << "plain U, blocked";
  EXPECT_EQ(lib.GetProperty(PROP_LOCKED), 1);
}

// A key makes a hot key when the hot key is its code plus some of the three
// modifier bits; a hot key that cannot be typed is made by no key.
TEST_F(KeyboardFilterTest, OnlyTheKeyOfAHotKeyMayCompleteIt) {
  lib.SetProperties(PROP_KEY_LOCK, CtrlAltL);
  lib.SetProperties(PROP_KEY_UNLOCK, 0x2000 + VK_U);
  EXPECT_TRUE(lib.MayCompleteHotKey(VK_L));
  EXPECT_TRUE(lib.MayCompleteHotKey(VK_U));
  EXPECT_FALSE(lib.MayCompleteHotKey(VK_A));
  EXPECT_FALSE(lib.MayCompleteHotKey(0x0C)) << "0xC04C - 0x0C leaves a key bit";
  EXPECT_FALSE(lib.MayCompleteHotKey(0xCC)) << "a code above the hot key's own";
  lib.SetProperties(PROP_KEY_LOCK, 0x7B);  // F12 alone
  EXPECT_TRUE(lib.MayCompleteHotKey(0x7B));
  lib.SetProperties(PROP_KEY_LOCK, 0x4000);     // Ctrl and no key
  lib.SetProperties(PROP_KEY_UNLOCK, 0x1C055);  // a bit outside the shortcut
  EXPECT_FALSE(lib.MayCompleteHotKey(0));
  EXPECT_FALSE(lib.MayCompleteHotKey(VK_U));
  EXPECT_FALSE(lib.MayCompleteHotKey(0x10055));
}

// A hot key that cannot be typed matches no key event, as the safety rule
// counts it as none.
TEST_F(KeyboardFilterTest, UntypableHotKeysMatchNothing) {
  lib.SetProperties(PROP_KEY_LOCK, 0x4000);  // Ctrl and no key
  Hold({0x11});
  EXPECT_FALSE(Down(0));
  EXPECT_EQ(lib.GetProperty(PROP_LOCKED), 0);
  Lock(1, 0x1C055);  // accepted: the mouse is free
  Hold({0x11, 0x12});
  EXPECT_TRUE(lib.KeyboardProc(0, 0x10055, 0)) << "blocked, not taken for the hot key";
  EXPECT_EQ(lib.GetProperty(PROP_LOCKED), 1);
  EXPECT_TRUE(lib.LowLevelKeyboardProc(0, kWmKeyDown, {0x10055, 0, 0, 1}));
  EXPECT_EQ(lib.GetProperty(PROP_LOCKED), 1);
}

// The modifiers of the lock hot key went down before the lock and reached
// every program: their releases must reach them as well.
TEST_F(KeyboardFilterTest, ModifiersOfTheLockHotKeyAreReleasedInTheSystem) {
  lib.SetProperties(PROP_KEY_LOCK, CtrlAltL);
  lib.SetProperties(PROP_KEY_UNLOCK, CtrlAltU);
  lib.SetProperties(PROP_LOCK_KEYBOARD, 1);
  EXPECT_FALSE(Down(VK_LCONTROL));
  Hold({0x11});
  EXPECT_FALSE(Down(VK_LMENU, 0, kWmSysKeyDown));
  Hold({0x12});
  EXPECT_TRUE(Down(VK_L));
  ASSERT_EQ(lib.GetProperty(PROP_LOCKED), 1);
  // A passed modifier still reads as held at its own release.
  EXPECT_TRUE(Up(VK_L));
  EXPECT_FALSE(Up(VK_LMENU));
  EXPECT_FALSE(Up(VK_LCONTROL));
  Hold({0x11, 0x12}, false);
  EXPECT_TRUE(Down(VK_A)) << "other keys are blocked as before";
  EXPECT_TRUE(Up(VK_A));
}

TEST_F(KeyboardFilterTest, KeyHeldAcrossTheLockIsReleasedAndItsRepeatsAreBlocked) {
  lib.SetProperties(PROP_LOCK_KEYBOARD, 1);
  EXPECT_FALSE(Down(VK_A));
  Lock();
  EXPECT_TRUE(Down(VK_A)) << "auto-repeat while locked";
  EXPECT_FALSE(Up(VK_A)) << "its first press reached the programs";
}

// The ordinary keyboard hook, run inside every process that gets keys.
class KeyboardProcTest : public KeyboardFilterTest {
 protected:
  bool Press(std::uint32_t vk, int nCode = 0, std::uint32_t flags = 0) {
    return lib.KeyboardProc(nCode, vk, flags);
  }
  bool Release(std::uint32_t vk, int nCode = 0) { return lib.KeyboardProc(nCode, vk, kReleased); }
};

TEST_F(KeyboardProcTest, HotKeysToggleAndAreSwallowed) {
  lib.SetProperties(PROP_KEY_LOCK, CtrlAltL);
  lib.SetProperties(PROP_KEY_UNLOCK, CtrlAltU);
  Hold({0x11});
  EXPECT_TRUE(Press(VK_L, 0, kAltHeld)) << "Alt from the keystroke flags";
  EXPECT_EQ(lib.GetProperty(PROP_LOCKED), 1);
  Hold({0x12});
  EXPECT_TRUE(Press(VK_U, -1));
  EXPECT_EQ(lib.GetProperty(PROP_LOCKED), 0);
  EXPECT_TRUE(Release(VK_U)) << "release of a swallowed hot key";
}

TEST_F(KeyboardProcTest, BlocksPressesAndReleasesWithPostAndBeepForEach) {
  lib.SetProperties(PROP_DO_BEEP, 1);
  Lock();
  EXPECT_TRUE(Press(VK_A));
  EXPECT_TRUE(Release(VK_A));
  EXPECT_TRUE(Press(VK_A, 3)) << "HC_NOREMOVE is blocked as well";
  EXPECT_THAT(os.posts,
              ElementsAre(Posted{0x50, 0, LN_INPUT_BLOCKED}, Posted{0x50, 0, LN_INPUT_BLOCKED},
                          Posted{0x50, 0, LN_INPUT_BLOCKED}));
  EXPECT_EQ(os.beeps, 3);
  Clear();
  EXPECT_FALSE(Press(VK_A, -1));
  EXPECT_FALSE(Press(VK_A, 1));
  EXPECT_THAT(os.posts, IsEmpty());
}

TEST_F(KeyboardProcTest, ReleaseOfAKeyPressedBeforeTheLockPasses) {
  EXPECT_FALSE(Press(VK_A));
  Lock();
  EXPECT_FALSE(Release(VK_A));
  EXPECT_TRUE(Press(VK_A));
  EXPECT_TRUE(Release(VK_A));
}

// A program that peeks at its messages shows the hook each key-up twice:
// first with HC_NOREMOVE, then at its removal with HC_ACTION. Both follow
// the key-down.
TEST_F(KeyboardProcTest, PeekedKeyUpsFollowTheirKeyDownAtTheRemovalToo) {
  EXPECT_FALSE(Press(VK_A));
  Lock();
  EXPECT_FALSE(Release(VK_A, kHcNoRemove));
  EXPECT_FALSE(Release(VK_A, kHcAction)) << "the key-down passed: so does its removal";
  EXPECT_TRUE(Press(VK_A));
  ASSERT_EQ(lib.SetProperties(PROP_LOCKED, 0), 1);
  EXPECT_TRUE(Release(VK_A, kHcNoRemove));
  EXPECT_TRUE(Release(VK_A, kHcAction)) << "the key-down was swallowed: so is its removal";
  EXPECT_FALSE(Release(VK_A, kHcAction)) << "consumed by the removal";
}

TEST_F(KeyboardFilterTest, KeyUpsNotTakenByTheHookLeaveTheRecordForTheRealOne) {
  EXPECT_FALSE(Down(VK_A));
  Lock();
  EXPECT_FALSE(Up(VK_A, -1));
  EXPECT_FALSE(Up(VK_A, kHcAction)) << "its key-down passed";
}

TEST_F(KeyboardProcTest, UnlockedKeysPass) {
  EXPECT_FALSE(Press(VK_A));
  EXPECT_FALSE(Release(VK_A));
  EXPECT_THAT(os.posts, IsEmpty());
}

// Sampling the modifiers is a call into the system on every key event of
// every program. Unlocked with the log closed it is made for the events of
// Shift, Ctrl and Alt themselves (a platform may answer from a snapshot that
// only a sample taken as a modifier changes brings up to date) and for a
// key-down that can make a hot key; locked, for every event.
TEST_F(KeyboardProcTest, ModifiersAreSampledOnlyWhereTheyCanDecide) {
  lib.SetProperties(PROP_LOCK_KEYBOARD, 1);
  lib.SetProperties(PROP_KEY_LOCK, CtrlAltL);
  lib.SetProperties(PROP_KEY_UNLOCK, CtrlAltU);
  Hold({0x11, 0x12});
  Clear();
  EXPECT_FALSE(Down(VK_A));
  EXPECT_FALSE(Press(VK_A));
  EXPECT_FALSE(Release(VK_A));
  EXPECT_FALSE(Up(VK_A));
  EXPECT_EQ(os.keyStateQueries, 0);
  EXPECT_THAT(PostedCodes(), ElementsAre(LN_ACTIVITY)) << "activity is reported all the same";
  EXPECT_FALSE(Down(VK_LCONTROL));
  EXPECT_FALSE(Press(0x11));
  EXPECT_FALSE(Up(VK_LCONTROL));
  EXPECT_EQ(os.keyStateQueries, 9) << "a modifier's own press and release";
  EXPECT_FALSE(Release(0x11));
  EXPECT_EQ(os.keyStateQueries, 9) << "the ordinary hook composes no code for a release";
  EXPECT_FALSE(Down(VK_U)) << "the unlock hot key does nothing while unlocked";
  EXPECT_EQ(os.keyStateQueries, 12);
  EXPECT_FALSE(Up(VK_U));
  EXPECT_EQ(os.keyStateQueries, 12) << "a key-up makes no hot key";
  EXPECT_TRUE(Press(VK_L));
  EXPECT_EQ(lib.GetProperty(PROP_LOCKED), 1);
  EXPECT_EQ(os.keyStateQueries, 15);
  EXPECT_TRUE(Down(VK_A));
  EXPECT_TRUE(Up(VK_A));
  EXPECT_EQ(os.keyStateQueries, 21) << "locked, every event samples";
}

// The media and volume keys pass both hooks of a keyboard lock, press and
// release, silently, only while the program asked for it; every other key
// is swallowed as before.
TEST_F(KeyboardProcTest, MediaKeysPassALockedKeyboardOnlyWhenAskedFor) {
  lib.SetProperties(PROP_DO_BEEP, 1);
  Lock();
  struct Case {
    std::uint32_t vk;
    std::uint32_t pass;
    bool passes;
  } const cases[] = {
      {0xAD, 1, true},  {0xAE, 1, true},  {0xAF, 1, true},  {0xB0, 1, true},
      {0xB1, 1, true},  {0xB2, 1, true},  {0xB3, 1, true},  {0xAC, 1, false},
      {0xB4, 1, false}, {VK_A, 1, false}, {0xAF, 0, false}, {0xB3, 0, false},
  };
  for (const Case& c : cases) {
    shared.passMediaKeys = c.pass;
    Clear();
    EXPECT_EQ(Down(c.vk), !c.passes) << std::hex << c.vk << " pass " << c.pass;
    EXPECT_EQ(Press(c.vk), !c.passes) << std::hex << c.vk;
    EXPECT_EQ(Release(c.vk), !c.passes) << std::hex << c.vk;
    EXPECT_EQ(Up(c.vk), !c.passes) << std::hex << c.vk;
    EXPECT_EQ(os.beeps > 0, !c.passes) << std::hex << c.vk;
    if (c.passes) {
      EXPECT_THAT(PostedCodes(), ElementsAre(LN_ACTIVITY)) << std::hex << c.vk;
    }
  }
  // A press swallowed while they were held keeps its release swallowed.
  shared.passMediaKeys = 0;
  EXPECT_TRUE(Down(0xAF));
  shared.passMediaKeys = 1;
  EXPECT_TRUE(Up(0xAF));
}

// What a lock stopped: key presses (not repeats, not Shift, Ctrl and Alt)
// and button presses; zeroed when the next lock begins, kept after the
// unlock for the program to read.
TEST_F(KeyboardProcTest, TheLockCountsTheKeyAndButtonPressesItStopped) {
  Hold({0x11, 0x12});
  Lock();
  lib.SetProperties(PROP_LOCK_MOUSE_BTN, 1);
  lib.SetProperties(PROP_LOCK_MOUSE_WHEEL, 1);
  lib.SetProperties(PROP_LOCK_MOUSE_MOVE, 1);
  for (int i = 0; i < 3; ++i) Down(VK_A);  // one press, two repeats
  Up(VK_A);
  Down(0x42), Up(0x42);
  Down(VK_LSHIFT), Up(VK_LSHIFT);
  Press(0x43), Press(0x43, 0, 0x40000000u), Press(0x43, kHcNoRemove), Release(0x43);
  Down(VK_LCONTROL), Down(VK_LMENU);
  Down(VK_DELETE), Up(VK_DELETE);  // Ctrl+Alt+Delete goes to the system
  for (std::uint32_t m : {kWmLButtonDown, kWmLButtonUp, kWmRButtonDown, kWmRButtonUp, kWmMouseWheel,
                          kWmMouseMove, kWmLButtonDown})
    lib.LowLevelMouseProc(0, m);
  EXPECT_EQ(shared.keysStopped, 3u);
  EXPECT_EQ(shared.clicksStopped, 3u);
  Down(VK_U);  // the unlock hot key is no stopped key
  ASSERT_EQ(lib.GetProperty(PROP_LOCKED), 0);
  EXPECT_EQ(shared.keysStopped, 3u) << "kept after the unlock";
  ASSERT_EQ(lib.SetProperties(PROP_LOCKED, 1), 1);
  EXPECT_EQ(shared.keysStopped, 0u);
  EXPECT_EQ(shared.clicksStopped, 0u);
}

}  // namespace
}  // namespace quell::hook::testing
