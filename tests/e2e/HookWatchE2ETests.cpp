// Hooks the system drops while the real program runs. Windows removes a
// low-level hook whose procedure keeps it waiting, leaving its handle as it
// was; here the test removes them from outside the same way (the handles in
// the library's shared record stay) and watches the program put them back.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <tuple>

#include "ProgramSession.h"

namespace quell::wintest {
namespace {

using THandles = std::tuple<std::uint32_t, std::uint32_t, std::uint32_t>;

// Every distinct set of hook handles the record showed while it was sampled.
std::set<THandles> g_handlesSeen;
HookApi* g_sampled = nullptr;

void CALLBACK SampleHandles(HWND, UINT, UINT_PTR, DWORD) {
  if (const auto sight = g_sampled->HookSight()) {
    g_handlesSeen.insert(
        {sight->keyboardHook, sight->lowLevelKeyboardHook, sight->lowLevelMouseHook});
  }
}

class HookWatchEndToEnd : public ProgramSession {
 protected:
  void SetUp() override {
    ProgramSession::SetUp();
    g_handlesSeen.clear();
  }
  void TearDown() override {
    StopSampling();
    ProgramSession::TearDown();
  }
  app::THookSight Sight() {
    const auto sight = program.Hook().HookSight();
    EXPECT_TRUE(sight) << "the record of the real library can be read";
    return sight.value_or(app::THookSight{});
  }
  // Removes the three hooks as the system does when it drops them: the
  // handles in the record stay as they were.
  void DropHooks() {
    const app::THookSight sight = Sight();
    for (std::uint32_t hook :
         {sight.keyboardHook, sight.lowLevelKeyboardHook, sight.lowLevelMouseHook}) {
      ASSERT_TRUE(UnhookWindowsHookEx(static_cast<HHOOK>(ULongToHandle(hook))))
          << "hook " << hook << ": " << GetLastError();
    }
    const app::THookSight after = Sight();
    ASSERT_EQ(after.lowLevelKeyboardHook, sight.lowLevelKeyboardHook) << "the handles stay";
    StartSampling();
  }
  void StartSampling() {
    g_sampled = &program.Hook();
    SampleHandles(nullptr, 0, 0, 0);
    FTimer = SetTimer(nullptr, 0, 50, &SampleHandles);
  }
  void StopSampling() {
    if (FTimer) KillTimer(nullptr, FTimer);
    FTimer = 0;
  }
  // The installations seen after the drop.
  int Reinstalls() const { return static_cast<int>(g_handlesSeen.size()) - 1; }

 private:
  UINT_PTR FTimer = 0;
};

// 10 keys a second for 4 seconds, typed into a witness while the keyboard is
// locked and its hooks were dropped: only keys of about the first second
// can get through, every later one is swallowed, the padlock stays and the
// unlock hot key unlocks.
TEST_F(HookWatchEndToEnd, LockedHooksDroppedComeBackWithinASecondAndTheHotKeyStillUnlocks) {
  program.WriteSettings(kUsableSettings);
  ASSERT_TRUE(program.Start());
  RecordingWindow witness{"typing witness"};
  witness.Activate();
  PumpFor(1500);  // the program's first looks at its hooks find them sound
  XDoTool("key ctrl+alt+l");
  ASSERT_TRUE(WaitLocked(true));
  witness.ClearText();
  DropHooks();

  const std::string burst = "abcdefghijklmnopqrstuvwxyzabcdefghijklmn";
  ASSERT_EQ(XRun("xdotool type --delay 100 " + burst), 0);
  PumpFor(500);
  const std::string got = witness.TypedText();
  std::printf("locked: %zu of %zu keys got through; re-installs seen: %d\n", got.size(),
              burst.size(), Reinstalls());
  EXPECT_EQ(got, burst.substr(0, got.size())) << "what got through is the start of the burst";
  EXPECT_LE(got.size(), 10u) << "no key after the first second";
  EXPECT_EQ(Reinstalls(), 1);
  EXPECT_EQ(program.Hook().GetIsLocked(), 1) << "the lock stays";
  EXPECT_EQ(TrayIconColour(), IconColour::Red) << "and so does the padlock";

  XDoTool("key ctrl+alt+u");
  EXPECT_TRUE(WaitLocked(false)) << "the unlock hot key, through the new hooks";
  witness.ClearText();
  XDoTool("type ok");
  PumpFor(300);
  EXPECT_EQ(witness.TypedText(), "ok");
}

// Unlocked with the idle lock at 15 s: hooks that no longer see the keys
// post no activity, and the idle lock would lock a user who is typing. The
// hooks come back and 30 s of typing never lock.
TEST_F(HookWatchEndToEnd, UnlockedHooksDroppedComeBackAndTypingKeepsTheIdleLockAway) {
  program.WriteSettings(
      "[Config.Lock All]\r\nLOCK_KEYBOARD=1\r\nLOCK_MOUSE_BTN=0\r\nLOCK_MOUSE_MOVE=0\r\n"
      "LOCK_MOUSE_WHEEL=0\r\nKEY_LOCK=49228\r\nKEY_UNLOCK=49237\r\nCHECK_IDLE=1\r\nEDIT_IDLE=15\r\n"
      "\r\n");
  ASSERT_TRUE(program.Start());
  RecordingWindow witness{"typing witness"};
  witness.Activate();
  PumpFor(1500);
  DropHooks();

  std::string typed;
  for (int second = 0; second < 30; ++second) {
    const std::string keys = "abc";
    ASSERT_EQ(XRun("xdotool type --delay 150 " + keys), 0);
    typed += keys;
    PumpFor(550);
    ASSERT_EQ(program.Hook().GetIsLocked(), 0) << "locked after " << second << " s of typing";
  }
  PumpFor(300);
  std::printf("unlocked: %zu of %zu keys arrived; re-installs seen: %d\n",
              witness.TypedText().size(), typed.size(), Reinstalls());
  EXPECT_EQ(witness.TypedText(), typed) << "every key reached the witness";
  EXPECT_EQ(Reinstalls(), 1);
}

// Resume from sleep and a session unlocked: the system may have dropped
// the hooks meanwhile, and the program installs them again at once (at most
// once a second); events of no such kind change nothing.
TEST_F(HookWatchEndToEnd, ResumeAndASessionUnlockedInstallTheHooksAgain) {
  program.WriteSettings(kUsableSettings);
  ASSERT_TRUE(program.Start());
  PumpFor(1500);
  StartSampling();
  const HWND main = program.MainWindow();
  const struct {
    UINT message;
    WPARAM event;
    int reinstalls;  // seen after it
  } events[] = {
      {WM_POWERBROADCAST, PBT_APMSUSPEND, 0},        {WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 1},
      {WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 1},   {WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, 2},
      {WM_WTSSESSION_CHANGE, WTS_REMOTE_CONNECT, 3},
  };
  for (const auto& e : events) {
    SendMessageA(main, e.message, e.event, 0);
    PumpFor(1200);
    EXPECT_EQ(Reinstalls(), e.reinstalls) << "after message " << e.message << " " << e.event;
  }
  std::printf("resume and session: re-installs seen: %d\n", Reinstalls());
}

}  // namespace
}  // namespace quell::wintest
