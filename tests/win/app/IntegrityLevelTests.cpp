// The integrity level of the window in front, read through the system's
// calls. Wine has no integrity levels to tell apart: every process of the
// prefix reads as High, so an ordinary window never outranks us; the
// comparison itself is tested on the host (InputShieldTests).
#include "system/IntegrityLevel.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/win/support/WinTestSupport.h"

namespace quell::app {
namespace {

TEST(IntegrityLevel, AnOrdinaryWindowOfAnotherProcessDoesNotOutrankUs) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child{};
  char command[] = "notepad.exe";
  ASSERT_TRUE(CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &child));
  HWND window = nullptr;
  wintest::PumpUntil(
      [&] {
        wintest::ForEachTopLevelWindow([&](HWND w) {
          DWORD pid = 0;
          GetWindowThreadProcessId(w, &pid);
          if (pid == child.dwProcessId && IsWindowVisible(w)) window = w;
          return window == nullptr;
        });
        return window != nullptr;
      },
      10000);
  EXPECT_NE(window, nullptr) << "notepad shows no window";
  const auto ours = OwnIntegrityLevel();
  const auto theirs = ProcessIntegrityLevel(child.dwProcessId);
  std::printf("integrity levels: ours %s, notepad's %s\n",
              ours ? std::to_string(*ours).c_str() : "none",
              theirs ? std::to_string(*theirs).c_str() : "none");
  ASSERT_TRUE(ours) << "our own level cannot be read";
  EXPECT_EQ(theirs, ours) << "one level for every ordinary process";
  EXPECT_FALSE(WindowOutranksUs(window));
  EXPECT_FALSE(WindowOutranksUs(nullptr));
  EXPECT_FALSE(WindowOutranksUs(GetDesktopWindow()));
  TerminateProcess(child.hProcess, 0);
  WaitForSingleObject(child.hProcess, 5000);
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  EXPECT_EQ(ProcessIntegrityLevel(0), std::nullopt) << "no process to open";
}

}  // namespace
}  // namespace quell::app
