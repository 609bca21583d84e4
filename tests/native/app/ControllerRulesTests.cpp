#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "controller/ControllerRules.h"
#include "controller/HookWatch.h"
#include "HookDll/HookProtocol.h"

namespace quell::app {
namespace {

TEST(NotifyTable, EveryCodeAndItsReply) {
  EXPECT_EQ(DecideNotify(LN_PING).reply, 1);
  EXPECT_TRUE(DecideNotify(LN_PING).replies);
  EXPECT_EQ(DecideNotify(LN_LOCK_REQUEST).action, TNotifyAction::Lock);
  EXPECT_EQ(DecideNotify(LN_LOCK_REQUEST).reply, 3);
  EXPECT_EQ(DecideNotify(LN_UNLOCK_REQUEST).action, TNotifyAction::Unlock);
  EXPECT_EQ(DecideNotify(LN_UNLOCK_REQUEST).reply, 4);
  EXPECT_EQ(DecideNotify(LN_ACTIVATE).action, TNotifyAction::Activate);
  EXPECT_EQ(DecideNotify(LN_CTRL_ALT_DEL).action, TNotifyAction::CloseTaskManager);
  EXPECT_EQ(DecideNotify(LN_ACTIVITY).action, TNotifyAction::ResetIdle);
  EXPECT_EQ(DecideNotify(LN_CLEAN_LOCK_REQUEST).action, TNotifyAction::CleanLock);
  EXPECT_EQ(DecideNotify(LN_CLEAN_LOCK_REQUEST).reply, 32);
  EXPECT_TRUE(DecideNotify(LN_CLEAN_LOCK_REQUEST).replies);
  for (std::intptr_t code : {-1000, -2, 7, 31, 33, 1000, 0x7FFFFFFF}) {
    EXPECT_EQ(DecideNotify(code).action, TNotifyAction::None) << code;
    EXPECT_FALSE(DecideNotify(code).replies);
  }
  for (std::intptr_t code :
       {LN_ACTIVATE, LN_STATE_CHANGED, LN_INPUT_BLOCKED, LN_CTRL_ALT_DEL, LN_ACTIVITY})
    EXPECT_FALSE(DecideNotify(code).replies) << code;
}

// The watch's looks over a day of tick counts, the wrap after 49.7 days
// included: each row is one look and the verdict it must give.
TEST(HookWatch, UnseenInputIsJudgedAtTheSecondLookAndReinstallsAreSpaced) {
  constexpr std::uint32_t kNearWrap = 0xFFFFFF00u;
  const THookSight whole{1, 2, 3, 0, 0};
  struct Look {
    const char* what;
    bool suspect;  // a resume or session event instead of a look
    std::optional<THookSight> sight;
    std::uint32_t keyboardSeen, mouseSeen, now, lastInput;
    THookVerdict verdict;
  };
  const auto withHandles = [&](std::uint32_t kb, std::uint32_t ll, std::uint32_t ms) {
    return std::optional<THookSight>{THookSight{kb, ll, ms, 0, 0}};
  };
  // Each list is watched by a watch of its own.
  const std::vector<Look> lists[] = {
      {
          {"a library without a record", false, std::nullopt, 0, 0, 9000, 8000,
           THookVerdict::Sound},
          {"input seen by the mouse hook", false, whole, 100, 8000, 9000, 8000,
           THookVerdict::Sound},
          {"input seen by the keyboard hook", false, whole, 8001, 100, 9000, 8000,
           THookVerdict::Sound},
          {"input stamped a moment after the hook's clock", false, whole, 7990, 100, 8500, 8001,
           THookVerdict::Sound},
          {"...and at the next look", false, whole, 7990, 100, 8750, 8001, THookVerdict::Sound},
          {"the system's last input not known", false, whole, 100, 100, 9000, 0,
           THookVerdict::Sound},
          {"input unseen", false, whole, 100, 100, 10000, 9990, THookVerdict::LookAgain},
          {"...seen by the second look", false, whole, 9990, 100, 10250, 9990, THookVerdict::Sound},
          {"input unseen again", false, whole, 9990, 100, 11000, 10900, THookVerdict::LookAgain},
          {"...a later input seen, that one too", false, whole, 10950, 100, 11250, 10950,
           THookVerdict::Sound},
          {"input unseen once more", false, whole, 10950, 100, 12000, 11900,
           THookVerdict::LookAgain},
          {"...still unseen, newer input too", false, whole, 10950, 100, 12250, 12200,
           THookVerdict::Reinstall},
          {"a handle gone within the second", false, withHandles(1, 0, 3), 0, 0, 12900, 0,
           THookVerdict::Sound},
          {"a handle gone after it", false, withHandles(0, 2, 3), 0, 0, 13250, 0,
           THookVerdict::Reinstall},
          {"resume within the second", true, whole, 0, 0, 14000, 0, THookVerdict::Sound},
          {"resume after it", true, whole, 0, 0, 14250, 0, THookVerdict::Reinstall},
      },
      {
          {"seen across the wrap", false, whole, 0x10, kNearWrap - 0x100, 0x20, kNearWrap,
           THookVerdict::Sound},
          {"unseen across the wrap", false, whole, kNearWrap, kNearWrap - 0x100, 0x20, 0x10,
           THookVerdict::LookAgain},
          {"...still unseen", false, whole, kNearWrap, kNearWrap - 0x100, 0x120, 0x110,
           THookVerdict::Reinstall},
      }};
  for (const std::vector<Look>& looks : lists) {
    THookWatch watch;
    int reinstalls = 0;
    for (const Look& look : looks) {
      std::optional<THookSight> sight = look.sight;
      if (sight && sight->keyboardHook && sight->lowLevelKeyboardHook && sight->lowLevelMouseHook) {
        sight->keyboardSeen = look.keyboardSeen;
        sight->mouseSeen = look.mouseSeen;
      }
      const TInputClock clock{look.now, look.lastInput};
      const THookVerdict verdict = look.suspect ? watch.Suspect(clock) : watch.Look(sight, clock);
      EXPECT_EQ(verdict, look.verdict) << look.what;
      if (verdict == THookVerdict::Reinstall) {
        watch.Reinstalled(look.now);
        ++reinstalls;
      }
    }
    EXPECT_EQ(watch.Reinstalls(), reinstalls);
  }
}

}  // namespace
}  // namespace quell::app

namespace quell::app {
namespace {

TEST(StoppedInputLine, SaysOnlyWhatWasStoppedInTheRightNumber) {
  const struct {
    std::uint32_t keys, clicks;
    const char* line;
  } cases[] = {
      {37, 5, "Stopped while locked: 37 keys, 5 clicks."},
      {1, 1, "Stopped while locked: 1 key, 1 click."},
      {5, 0, "Stopped while locked: 5 keys."},
      {0, 2, "Stopped while locked: 2 clicks."},
      {0, 0, ""},
      {4294967295u, 0, "Stopped while locked: 4294967295 keys."},
  };
  for (const auto& c : cases) EXPECT_EQ(StoppedInputLine(c.keys, c.clicks), c.line);
}

}  // namespace
}  // namespace quell::app
