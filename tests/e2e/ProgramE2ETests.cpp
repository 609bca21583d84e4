// Quellane.exe with its real library, used as a user would: the tray icon
// and its menu clicked through the X server, hot keys typed on the keyboard,
// second instances started with switches, the program's windows and notices
// read from outside.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>

#include "HookDll/HookProtocol.h"
#include "tests/win/support/QuellaneProcess.h"
#include "tests/win/support/WinTestSupport.h"

namespace quell::wintest {
namespace {

using ::testing::HasSubstr;

// Keyboard locked, the mouse free, Ctrl+Alt+U unlocks and Ctrl+Alt+L locks.
const char* const kHotKeySettings =
    "[Config.Lock All]\r\nLOCK_KEYBOARD=1\r\nLOCK_MOUSE_BTN=0\r\nLOCK_MOUSE_MOVE=0\r\n"
    "LOCK_MOUSE_WHEEL=0\r\nKEY_LOCK=49228\r\nKEY_UNLOCK=49237\r\n\r\n";

class ProgramEndToEnd : public ::testing::Test {
 protected:
  QuellaneProcess program;
  RecordingWindow target{"typing target"};

  bool WaitLocked(bool locked, DWORD ms = 3000) {
    return PumpUntil([&] { return (program.Hook().GetIsLocked() != 0) == locked; }, ms);
  }
  bool WaitNotice(const std::string& title, DWORD ms = 3000) {
    return PumpUntil([&] { return program.Notice().rfind(title + ":", 0) == 0; }, ms);
  }
  void RightClickTray() {
    XMoveTo(TrayIconCentre());
    XDoTool("click 3");
    PumpUntil(
        [] {
          RECT r;
          return OpenMenuEdgeItemRect(false, &r);
        },
        6000);
    PumpFor(300);
  }
  // Clicks the first ("Lock Computer") or the last ("Exit") item of the open
  // tray menu with the mouse.
  void ChooseMenuItem(bool last) {
    RECT item{};
    ASSERT_TRUE(OpenMenuEdgeItemRect(last, &item)) << "the tray menu is not open";
    XMoveTo({(item.left + item.right) / 2, (item.top + item.bottom) / 2});
    XDoTool("click 1");
  }
  std::string TypeIntoTarget(const std::string& text) {
    target.Activate();
    XMoveTo({150, 150});
    target.ClearText();
    XDoTool("type " + text);
    PumpFor(200);
    return target.TypedText();
  }
};

TEST_F(ProgramEndToEnd, LockFromTheTrayMenuUnlockAndLockWithTheHotKeys) {
  program.WriteSettings(kHotKeySettings);
  PumpFor(300);
  const int buttonsBefore = TaskbarButtonCount();
  ASSERT_TRUE(program.Start());
  EXPECT_TRUE(WaitNotice("Quellane")) << program.Notice();
  EXPECT_EQ(TrayIconColour(), IconColour::Green);
  EXPECT_EQ(TaskbarButtonCount(), buttonsBefore) << "the program has no taskbar button";
  ASSERT_EQ(TypeIntoTarget("ab"), "ab");

  RightClickTray();
  Screenshot("program-tray-menu");
  ChooseMenuItem(false);  // Lock Computer
  ASSERT_TRUE(WaitLocked(true));
  EXPECT_TRUE(WaitNotice("Computer is Locked")) << program.Notice();
  EXPECT_TRUE(PumpUntil([] { return TrayIconColour() == IconColour::Red; }, 2000));
  Screenshot("program-locked");
  EXPECT_EQ(TypeIntoTarget("xy"), "") << "typed keys must not reach a window while locked";

  XDoTool("key ctrl+alt+u");
  ASSERT_TRUE(WaitLocked(false)) << "the unlock hot key on a locked keyboard";
  EXPECT_TRUE(WaitNotice("Computer is UnLocked")) << program.Notice();
  EXPECT_TRUE(PumpUntil([] { return TrayIconColour() == IconColour::Green; }, 2000));
  EXPECT_EQ(TypeIntoTarget("cd"), "cd");

  XDoTool("key ctrl+alt+l");
  EXPECT_TRUE(WaitLocked(true)) << "the lock hot key";
  XDoTool("key ctrl+alt+u");
  EXPECT_TRUE(WaitLocked(false));
}

TEST_F(ProgramEndToEnd, SecondInstancesForwardTheirSwitchesAndLeaveNoIcon) {
  program.WriteSettings(kHotKeySettings);
  ASSERT_TRUE(program.Start());
  for (const char* lock : {"/L", "/l", "-L", "-l"}) {
    EXPECT_EQ(program.RunAgain(lock), 0u) << lock;
    EXPECT_TRUE(WaitLocked(true)) << lock;
    EXPECT_EQ(program.RunAgain("/U"), 0u);
    EXPECT_TRUE(WaitLocked(false)) << "/U after " << lock;
  }
  program.RunAgain("/lock");
  PumpFor(300);
  EXPECT_EQ(program.Hook().GetIsLocked(), 0) << "/lock is not a switch";
  {
    // /L then /U in one command line: the lock is undone at once, so it is
    // seen by the policy value it sets (watched for any change) and the
    // unlock by the state afterwards.
    HKEY policy = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER,
                              "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System", 0,
                              nullptr, 0, KEY_NOTIFY | KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                              &policy, nullptr),
              ERROR_SUCCESS);
    RegDeleteValueA(policy, "DisableTaskMgr");  // the lock must set it
    const HANDLE changed = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_EQ(RegNotifyChangeKeyValue(policy, FALSE, REG_NOTIFY_CHANGE_LAST_SET, changed, TRUE),
              ERROR_SUCCESS);
    ASSERT_EQ(WaitForSingleObject(changed, 0), WAIT_TIMEOUT)
        << "unlocked, nothing changes the policy";
    EXPECT_EQ(program.RunAgain("/L /U"), 0u);
    EXPECT_TRUE(PumpUntil([&] { return WaitForSingleObject(changed, 0) == WAIT_OBJECT_0; }, 2000))
        << "/L /U: the lock never happened";
    EXPECT_TRUE(WaitLocked(false)) << "/L /U: the unlock did not follow the lock";
    CloseHandle(changed);
    RegCloseKey(policy);
  }
  EXPECT_TRUE(program.Alive());
  EXPECT_EQ(program.Hook().NotifyWindow(), program.MainWindow())
      << "second instances never take the notifications";
  // Only one tray icon: the place left of it is empty taskbar.
  Screenshot("program-after-second-instances");
  const POINT icon = TrayIconCentre();
  HDC screen = GetDC(nullptr);
  const COLORREF background = GetPixel(screen, icon.x - 200, icon.y);
  int foreign = 0;
  for (int x = icon.x - 30; x < icon.x - 14; ++x)
    foreign += GetPixel(screen, x, icon.y) != background;
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(foreign, 0) << "a second icon beside the first";
}

TEST_F(ProgramEndToEnd, MainWindowAnswersPingAndSurvivesEveryOtherCode) {
  program.WriteSettings(kHotKeySettings);
  ASSERT_TRUE(program.Start());
  const HWND main = program.MainWindow();
  DWORD_PTR reply = 0;
  ASSERT_TRUE(SendMessageTimeoutA(main, WM_USER, 0, LN_PING, SMTO_ABORTIFHUNG, 5000, &reply));
  EXPECT_EQ(reply, 1u);
  std::mt19937 random(7);
  for (LPARAM code = -1000; code <= 1000; ++code) {
    if (code == LN_ACTIVATE || code == LN_LOCK_REQUEST || code == LN_UNLOCK_REQUEST ||
        code == LN_CLEAN_LOCK_REQUEST)
      continue;
    SendMessageTimeoutA(main, WM_USER, random(), code, SMTO_ABORTIFHUNG, 5000, &reply);
  }
  EXPECT_TRUE(program.Alive());
  EXPECT_EQ(program.Hook().GetIsLocked(), 0);
  ASSERT_TRUE(
      SendMessageTimeoutA(main, WM_USER, 0, LN_LOCK_REQUEST, SMTO_ABORTIFHUNG, 5000, &reply));
  EXPECT_EQ(reply, 3u);
  EXPECT_EQ(program.Hook().GetIsLocked(), 1);
  ASSERT_TRUE(SendMessageTimeoutA(main, WM_USER, 0, LN_PING, SMTO_ABORTIFHUNG, 5000, &reply));
  EXPECT_EQ(reply, 1u) << "answered while locked too";
  ASSERT_TRUE(
      SendMessageTimeoutA(main, WM_USER, 0, LN_UNLOCK_REQUEST, SMTO_ABORTIFHUNG, 5000, &reply));
  EXPECT_EQ(reply, 4u);
  EXPECT_EQ(program.Hook().GetIsLocked(), 0);
}

TEST_F(ProgramEndToEnd, AThousandLockCyclesLeakNoHandlesOrGdiObjects) {
  program.WriteSettings(kHotKeySettings);
  ASSERT_TRUE(program.Start());
  const HWND main = program.MainWindow();
  auto cycle = [&] {
    DWORD_PTR reply = 0;
    SendMessageTimeoutA(main, WM_USER, 0, LN_LOCK_REQUEST, SMTO_ABORTIFHUNG, 5000, &reply);
    SendMessageTimeoutA(main, WM_USER, 0, LN_UNLOCK_REQUEST, SMTO_ABORTIFHUNG, 5000, &reply);
  };
  for (int i = 0; i < 20; ++i) cycle();  // the pop-up and every lazy resource exist now
  PumpFor(500);
  struct Usage {
    DWORD handles = 0, gdi = 0, user = 0;
    long residentKb = 0;
  };
  auto measure = [&] {
    Usage u;
    GetProcessHandleCount(program.Process(), &u.handles);
    u.gdi = GetGuiResources(program.Process(), GR_GDIOBJECTS);
    u.user = GetGuiResources(program.Process(), GR_USEROBJECTS);
    u.residentKb = UnixResidentKb(program.Folder() + "Quellane.exe");
    return u;
  };
  const Usage before = measure();
  for (int i = 0; i < 1000; ++i) cycle();
  PumpFor(500);
  const Usage after = measure();
  std::printf(
      "handles %lu -> %lu, GDI objects %lu -> %lu, user objects %lu -> %lu, "
      "resident memory %ld kB -> %ld kB\n",
      before.handles, after.handles, before.gdi, after.gdi, before.user, after.user,
      before.residentKb, after.residentKb);
  EXPECT_TRUE(program.Alive());
  EXPECT_LE(after.handles, before.handles + 5);
  EXPECT_LE(after.gdi, before.gdi + 5);
  EXPECT_LE(after.user, before.user + 5);
  // Wine counts no handles or GDI objects per process; a leak of one object
  // per cycle still shows in the memory the process holds.
  ASSERT_GT(before.residentKb, 0) << "no measure of the program's memory";
  EXPECT_LE(after.residentKb, before.residentKb + 1024) << "more than 1 kB a cycle";
  DWORD_PTR reply = 0;
  EXPECT_TRUE(SendMessageTimeoutA(main, WM_USER, 0, LN_PING, SMTO_ABORTIFHUNG, 2000, &reply));
  EXPECT_EQ(reply, 1u) << "still responsive";
}

TEST_F(ProgramEndToEnd, ExitUnlocksRemovesTheHooksAndThePolicyAndEnds) {
  program.WriteSettings(kHotKeySettings);
  ASSERT_TRUE(program.Start());
  XDoTool("key ctrl+alt+l");
  ASSERT_TRUE(WaitLocked(true));
  DWORD policy = 0;
  ASSERT_TRUE(TaskManagerPolicy(&policy));
  EXPECT_EQ(policy, 1u);
  RightClickTray();
  ChooseMenuItem(true);  // Exit
  ASSERT_TRUE(program.WaitForExit(5000)) << "Exit ends the program";
  EXPECT_FALSE(TaskManagerPolicy(&policy)) << "DisableTaskMgr is gone";
  EXPECT_EQ(program.Hook().GetIsLocked(), 0);
  // The program removed its hooks itself: the shared record holds no hook
  // handle, so hooking from here installs anew and announces it (a record
  // with handles left in it would answer 1 and install nothing).
  RecordingWindow notified{"notify target", false};
  program.Hook().SetNotifyWnd(notified.Handle());
  EXPECT_EQ(program.Hook().SetShellHook(), 1);
  PumpFor(300);
  bool announced = false;
  for (const Received& r : notified.Take(WM_USER)) announced |= r.lParam == LN_STATE_CHANGED;
  EXPECT_TRUE(announced) << "hook handles of the ended program were left in the shared record";
  EXPECT_EQ(program.Hook().UnSetShellHook(), 1);
  program.Hook().SetNotifyWnd(nullptr);
}

TEST(ProgramWithoutLibrary, ReportsTheMissingLibraryAndKeepsItsIcon) {
  QuellaneProcess program("");
  program.WriteSettings(kHotKeySettings);
  const int buttonsBefore = TaskbarButtonCount();
  ASSERT_TRUE(program.Start());
  HWND box = nullptr;
  ASSERT_TRUE(
      PumpUntil([&] { return (box = program.MessageBoxWindow("Error")) != nullptr; }, 10000));
  EXPECT_EQ(QuellaneProcess::MessageBoxText(box), "Dll:quellhook.dll not found");
  Screenshot("program-library-missing");
  // Starting shows no application window (StartupFocusE2ETests), so the
  // taskbar has no button of the program even while the box is up.
  QuellaneProcess::PressOk(box);
  PumpFor(1000);
  EXPECT_TRUE(program.Alive());
  EXPECT_EQ(TrayIconColour(), IconColour::Green) << "the icon stays";
  EXPECT_TRUE(PumpUntil([&] { return TaskbarButtonCount() == buttonsBefore; }, 2000))
      << "no taskbar button once started";
  // Unbound, the menu still shows the hot keys from the settings.
  XMoveTo(TrayIconCentre());
  XDoTool("click 3");
  EXPECT_TRUE(PumpUntil(
      [] {
        RECT r;
        return OpenMenuEdgeItemRect(false, &r);
      },
      6000));
  PumpFor(300);
  Screenshot("program-unbound-menu");
  XDoTool("key Escape");
  // Each lock tries to bind again and reports the missing library again.
  DWORD_PTR reply = 0;
  SendMessageTimeoutA(program.MainWindow(), WM_USER, 0, LN_ACTIVATE, SMTO_ABORTIFHUNG, 2000,
                      &reply);
  PostMessageA(program.MainWindow(), WM_USER, 0, LN_LOCK_REQUEST);
  ASSERT_TRUE(
      PumpUntil([&] { return (box = program.MessageBoxWindow("Error")) != nullptr; }, 10000));
  EXPECT_EQ(QuellaneProcess::MessageBoxText(box), "Dll:quellhook.dll not found");
  QuellaneProcess::PressOk(box);
}

}  // namespace
}  // namespace quell::wintest

namespace quell::wintest {
namespace {

class ControllerEndToEnd : public ::testing::Test {
 protected:
  QuellaneProcess program;
  bool WaitLocked(bool locked, DWORD ms) {
    return PumpUntil([&] { return (program.Hook().GetIsLocked() != 0) == locked; }, ms);
  }
};

TEST_F(ControllerEndToEnd, IdleLockAfterTheLimitAndMouseMovementRestartsTheCount) {
  // An idle time below the dialog's minimum is kept as the file says.
  program.WriteSettings(std::string(kHotKeySettings)
                            .replace(std::string(kHotKeySettings).find("\r\n\r\n"), 4,
                                     "\r\nCHECK_IDLE=1\r\nEDIT_IDLE=4\r\n\r\n"));
  ASSERT_TRUE(program.Start());
  // Moving the mouse every second keeps it unlocked past the limit.
  DWORD lastMove = 0;
  for (int second = 0; second < 6; ++second) {
    lastMove = GetTickCount();
    XDoTool(second % 2 ? "mousemove 300 300" : "mousemove 310 310");
    PumpFor(850);
  }
  EXPECT_EQ(program.Hook().GetIsLocked(), 0) << "activity restarts the count";
  ASSERT_TRUE(WaitLocked(true, 8000)) << "no input for the idle time locks";
  // The fourth one-second tick after the last move locks: at least three
  // whole seconds after it, however the ticks fall.
  const DWORD waited = GetTickCount() - lastMove;
  EXPECT_GE(waited, 3000u) << "locked before the idle time had passed";
  XDoTool("key ctrl+alt+u");
  EXPECT_TRUE(WaitLocked(false, 3000));
}

TEST_F(ControllerEndToEnd, CtrlAltDeleteWhileLockedClosesTaskManagerButNotAfterUnlocking) {
  program.WriteSettings(kHotKeySettings);
  ASSERT_TRUE(program.Start());
  XDoTool("key ctrl+alt+l");
  ASSERT_TRUE(WaitLocked(true, 3000));
  XDoTool("keydown ctrl+alt+Delete");
  XDoTool("keyup Delete");
  XDoTool("keyup alt+ctrl");
  // No Task Manager yet: the program keeps looking once a second while locked.
  RecordingWindow taskManager{"Task Manager"};
  const HWND window = taskManager.Handle();
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(window); }, 2500))
      << "closed within about two seconds";

  XDoTool("key ctrl+alt+u");
  ASSERT_TRUE(WaitLocked(false, 3000));
  RecordingWindow later{"Task Manager"};
  PumpFor(2500);
  EXPECT_TRUE(IsWindow(later.Handle())) << "a Task Manager opened after unlocking stays open";
}

TEST_F(ControllerEndToEnd, HelpSwitchShowsTheSwitchListAndTheSecondInstanceThenEnds) {
  program.WriteSettings(kHotKeySettings);
  ASSERT_TRUE(program.Start());
  QuellaneProcess::Instance second = program.StartAgain("/?");
  HWND box = nullptr;
  ASSERT_TRUE(PumpUntil(
      [&] {
        return (box = FindMessageBox(second.processId, "Quellane Command-Line Options")) != nullptr;
      },
      10000));
  EXPECT_EQ(
      QuellaneProcess::MessageBoxText(box),
      "Quellane.exe [/L|/U|/C|/S]\r\n   /L     Lock Computer\r\n   /U     UnLock Computer \r\n"
      "   /C     Lock for Cleaning\r\n"
      "   /S     Exit code: 0 unlocked, 1 locked, 2 not running\r\n");
  QuellaneProcess::PressOk(box);
  EXPECT_EQ(WaitForSingleObject(second.process, 10000), WAIT_OBJECT_0)
      << "the second instance ends";
  CloseHandle(second.process);
  EXPECT_TRUE(program.Alive());
}

TEST_F(ControllerEndToEnd, SecondStartWithoutArgumentsShowsProgramIsRunning) {
  program.WriteSettings(kHotKeySettings);
  ASSERT_TRUE(program.Start());
  PumpUntil([&] { return program.Notice().empty(); }, 7000);  // the start notice has gone
  EXPECT_EQ(program.RunAgain(""), 0u);
  EXPECT_TRUE(PumpUntil([&] { return program.Notice() == "Quellane: Program is running"; }, 3000))
      << program.Notice();
}

}  // namespace
}  // namespace quell::wintest
