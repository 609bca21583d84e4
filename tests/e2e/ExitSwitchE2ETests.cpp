// "Quellane.exe /exit", the switch the uninstaller runs: it ends the copy
// running from the same file as Exit in the tray menu would (unlocked,
// unhooked, policy value gone), leaves copies from other folders alone, ends
// a copy whose options dialog is open, and starts nothing by itself.
#include <gtest/gtest.h>

#include <string>

#include "HookDll/HookProtocol.h"
#include "tests/win/support/QuellaneProcess.h"
#include "tests/win/support/WinTestSupport.h"

namespace quell::wintest {
namespace {

// Keyboard locked, the mouse free, Ctrl+Alt+U unlocks and Ctrl+Alt+L locks.
const char* const kHotKeySettings =
    "[Config.Lock All]\r\nLOCK_KEYBOARD=1\r\nLOCK_MOUSE_BTN=0\r\nLOCK_MOUSE_MOVE=0\r\n"
    "LOCK_MOUSE_WHEEL=0\r\nKEY_LOCK=49228\r\nKEY_UNLOCK=49237\r\n\r\n";

bool Ping(HWND window) {
  DWORD_PTR reply = 0;
  return SendMessageTimeoutA(window, WM_USER, 0, LN_PING, SMTO_ABORTIFHUNG, 5000, &reply) &&
         reply == 1;
}

bool OptionsDialogOf(DWORD pid) {
  const HWND dialog = FindWindowA("TQuellForm", "Quellane 1.03");
  DWORD owner = 0;
  if (dialog) GetWindowThreadProcessId(dialog, &owner);
  return dialog && owner == pid && IsWindowVisible(dialog);
}

bool WaitLocked(QuellaneProcess& program, bool locked) {
  return PumpUntil([&] { return (program.Hook().GetIsLocked() != 0) == locked; }, 3000);
}

TEST(ExitSwitch, EndsTheLockedCopyOfItsOwnFileAsExitWould) {
  QuellaneProcess program;
  program.WriteSettings(kHotKeySettings);
  ASSERT_TRUE(program.Start());
  ASSERT_EQ(program.RunAgain("/L"), 0u);
  ASSERT_TRUE(WaitLocked(program, true));
  DWORD policy = 0;
  ASSERT_TRUE(TaskManagerPolicy(&policy)) << "the lock sets the policy value";

  // Any spelling will do (the host tests cover them); this one is not the usual.
  EXPECT_EQ(program.RunAgain("-EXIT"), 0u) << "the copy ended in time";
  EXPECT_TRUE(program.WaitForExit(1000)) << "the running copy ended";
  EXPECT_FALSE(TaskManagerPolicy(&policy)) << "unlocked on the way out";
  EXPECT_EQ(program.Hook().GetIsLocked(), 0);
  EXPECT_EQ(program.ReadSettings(), kHotKeySettings) << "the settings file is untouched";
}

TEST(ExitSwitch, WithNothingRunningItEndsAtOnceAndWritesNothing) {
  QuellaneProcess program;
  const DWORD start = GetTickCount();
  EXPECT_EQ(program.RunAgain("/exit"), 0u);
  EXPECT_LT(GetTickCount() - start, 5000u) << "nothing to wait for";
  EXPECT_EQ(program.ReadSettings(), "") << "no settings file appears";
  // No instance stayed behind: a normal start is still a first instance
  // and shows the first-start options dialog.
  ASSERT_TRUE(program.Start());
  EXPECT_TRUE(Ping(program.MainWindow()));
  EXPECT_TRUE(program.Close());
}

TEST(ExitSwitch, LeavesACopyFromAnotherFolderRunning) {
  QuellaneProcess running, elsewhere;
  running.WriteSettings(kHotKeySettings);
  ASSERT_TRUE(running.Start());
  EXPECT_EQ(elsewhere.RunAgain("/exit"), 0u);
  PumpFor(500);
  EXPECT_TRUE(running.Alive());
  EXPECT_TRUE(Ping(running.MainWindow())) << "still answering";
  EXPECT_TRUE(running.Close());
}

TEST(ExitSwitch, EndsACopyWhoseOptionsDialogIsOpen) {
  QuellaneProcess program;  // no settings file: the first start opens the options
  ASSERT_TRUE(program.Start());
  ASSERT_TRUE(PumpUntil([&] { return OptionsDialogOf(program.ProcessId()); }, 8000))
      << "the options dialog did not open";
  EXPECT_EQ(program.RunAgain("/exit"), 0u);
  EXPECT_TRUE(program.WaitForExit(1000));
  EXPECT_EQ(program.Hook().GetIsLocked(), 0);
}

TEST(ExitSwitch, AmongOtherArgumentsItIsAnOrdinaryUnknownArgument) {
  QuellaneProcess program;
  program.WriteSettings(kHotKeySettings);
  ASSERT_TRUE(program.Start());
  EXPECT_EQ(program.RunAgain("/exit /L"), 0u);
  EXPECT_TRUE(WaitLocked(program, true)) << "/L was forwarded as usual";
  PumpFor(300);
  EXPECT_TRUE(program.Alive());
  EXPECT_EQ(program.RunAgain("exit"), 0u);
  EXPECT_EQ(program.RunAgain("/exits"), 0u);
  PumpFor(300);
  EXPECT_TRUE(program.Alive());
  EXPECT_EQ(program.RunAgain("/U"), 0u);
  EXPECT_TRUE(WaitLocked(program, false));
  EXPECT_TRUE(program.Close());
}

}  // namespace
}  // namespace quell::wintest
