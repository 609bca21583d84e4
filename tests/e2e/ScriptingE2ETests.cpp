// The switches for scripts, with the real program and library: /S answers
// with the state as its exit code (2 with no copy running, and then it
// starts nothing), /C makes the cleaning lock of the running copy, or of the
// copy it starts, with the countdown in the notice.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "ProgramSession.h"

namespace quell::wintest {
namespace {

// Keyboard locked, the mouse free, Ctrl+Alt+U unlocks and Ctrl+Alt+L locks;
// a cleaning lock of five seconds.
const char* const kSettings =
    "[Config.Lock All]\r\nLOCK_KEYBOARD=1\r\nLOCK_MOUSE_BTN=0\r\nLOCK_MOUSE_MOVE=0\r\n"
    "LOCK_MOUSE_WHEEL=0\r\nKEY_LOCK=49228\r\nKEY_UNLOCK=49237\r\n\r\n"
    "[Config.More]\r\nCLEANING_SECONDS=5\r\n\r\n";

constexpr DWORD kUnlocked = 0, kLocked = 1, kNotRunning = 2, kCannotAsk = 3;

class ScriptingEndToEnd : public ProgramSession {
 protected:
  // The countdowns the notice shows until the cleaning lock ends by itself.
  std::vector<int> CountdownUntilUnlocked() {
    std::vector<int> seen;
    PumpUntil(
        [&] {
          const int left = CountdownOf(program.Notice());
          if (left > 0 && (seen.empty() || seen.back() != left)) seen.push_back(left);
          return program.Hook().GetIsLocked() == 0;
        },
        9000);
    return seen;
  }
  void ExpectCleaningCountdown(const char* how) {
    SCOPED_TRACE(how);
    const std::vector<int> seen = CountdownUntilUnlocked();
    EXPECT_EQ(program.Hook().GetIsLocked(), 0) << "the cleaning lock did not end by itself";
    ASSERT_GE(seen.size(), 2u) << "the notice's countdown was read fewer than twice";
    EXPECT_LE(seen.front(), 5);
    for (std::size_t i = 1; i < seen.size(); ++i) EXPECT_LT(seen[i], seen[i - 1]);
  }
};

TEST_F(ScriptingEndToEnd, StateAndCleaningLockFromTheCommandLine) {
  program.WriteSettings(kSettings);

  // No copy running: 2 at once, and nothing was started.
  const DWORD before = GetTickCount();
  EXPECT_EQ(program.RunAgain("/S"), kNotRunning);
  EXPECT_EQ(program.RunAgain("/L -s"), kNotRunning) << "/S never starts a copy, even with /L";
  EXPECT_LT(GetTickCount() - before, 5000u) << "nothing to wait for";
  const HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, "KestravaMutex");
  EXPECT_EQ(mutex, nullptr) << "a copy asked for its state stayed resident";
  if (mutex) CloseHandle(mutex);

  ASSERT_TRUE(program.Start());
  EXPECT_EQ(program.RunAgain("/S"), kUnlocked);
  EXPECT_EQ(program.RunAgain("/L"), 0u) << "other switches still end with 0";
  ASSERT_TRUE(WaitLocked(true));
  EXPECT_EQ(program.RunAgain("/S"), kLocked);
  EXPECT_EQ(program.RunAgain("/U /s"), kUnlocked) << "the state after the switches before it";
  EXPECT_EQ(program.RunAgain("-S /L"), kUnlocked) << "the state before the switches after it";
  ASSERT_TRUE(WaitLocked(true));
  EXPECT_EQ(program.RunAgain("/x /S /Sx"), kLocked) << "unknown arguments are ignored as ever";
  {
    // A copy of another folder has a library of its own: it cannot tell.
    QuellaneProcess elsewhere;
    EXPECT_EQ(elsewhere.RunAgain("/S"), kCannotAsk);
  }
  EXPECT_EQ(program.RunAgain("/C"), 0u);
  PumpFor(500);
  EXPECT_EQ(CountdownOf(program.Notice()), -1) << "/C while locked makes no cleaning lock";
  EXPECT_EQ(program.RunAgain("/U"), 0u);
  ASSERT_TRUE(WaitLocked(false));

  // /C on the running copy: the cleaning countdown, then unlocked by itself.
  EXPECT_EQ(program.RunAgain("/C"), 0u);
  ASSERT_TRUE(WaitLocked(true)) << "/C did not lock";
  EXPECT_EQ(program.RunAgain("/S"), kLocked) << "a cleaning lock is a lock";
  ExpectCleaningCountdown("/C on the running copy");
  EXPECT_EQ(program.RunAgain("/S"), kUnlocked);
  ASSERT_TRUE(program.Close());

  // /C with no copy running starts one that begins with the cleaning lock.
  ASSERT_TRUE(program.Start("-c"));
  EXPECT_TRUE(program.Hook().GetIsLocked()) << "the first instance locks for cleaning at once";
  ExpectCleaningCountdown("/C starting the program");
  EXPECT_TRUE(program.Alive()) << "the copy /C started stays resident";
  EXPECT_EQ(program.RunAgain("/S"), kUnlocked);
}

}  // namespace
}  // namespace quell::wintest
