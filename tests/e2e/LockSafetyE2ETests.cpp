// What a lock changes in the system, seen from outside while the real
// program is used: an administrator's Task Manager policy survives the
// program; a policy and a screen-saver setting changed by a lock are put back
// at the unlock, and at the next start when the program was killed while
// locked. Also the modifier keys lost to Ctrl+Alt+Delete, which must not
// outlive the lock they were pressed in.
#include <gtest/gtest.h>

#include <string>

#include "HookDll/HookProtocol.h"
#include "tests/win/support/QuellaneProcess.h"
#include "tests/win/support/WinTestSupport.h"

namespace quell::wintest {
namespace {

const char* const kPolicyKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";

// Keyboard locked, the mouse free, Ctrl+Alt+U unlocks and Ctrl+Alt+L locks;
// the screen saver is switched off while locked.
const char* const kSettings =
    "[Config.Lock All]\r\nLOCK_KEYBOARD=1\r\nLOCK_MOUSE_BTN=0\r\nLOCK_MOUSE_MOVE=0\r\n"
    "LOCK_MOUSE_WHEEL=0\r\nKEY_LOCK=49228\r\nKEY_UNLOCK=49237\r\nSCREEN_SAVER_OFF=1\r\n\r\n";

void SetPolicy(DWORD value) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, kPolicyKey, &key), ERROR_SUCCESS);
  RegSetValueExA(key, "DisableTaskMgr", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4);
  RegCloseKey(key);
}

void DeletePolicy() {
  HKEY key = nullptr;
  if (RegOpenKeyA(HKEY_CURRENT_USER, kPolicyKey, &key) != ERROR_SUCCESS) return;
  RegDeleteValueA(key, "DisableTaskMgr");
  RegCloseKey(key);
}

// "absent" or the number the policy value holds.
std::string Policy() {
  DWORD value = 0;
  return TaskManagerPolicy(&value) ? std::to_string(value) : "absent";
}

// Whether the program's record of an outstanding lock is in the registry.
bool LockRecordPresent() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Quellane", 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return false;
  }
  const bool present =
      RegQueryValueExA(key, "LockChanges", nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
  RegCloseKey(key);
  return present;
}

// The screen-saver-active setting as a fresh process reads it ("set" first
// writes it): "active=0", "active=1", or the failure.
std::string ScreenSaver(const std::string& set = "") {
  std::string output;
  const DWORD rc = RunProcess(
      "\"" + ProgramFolder() + "screensaver_probe.exe\"" + (set.empty() ? "" : " set " + set),
      &output);
  if (rc != 0) return "probe failed: " + std::to_string(rc);
  while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) output.pop_back();
  return output;
}

BOOL CALLBACK FindChildButton(HWND child, LPARAM context) {
  auto* found = reinterpret_cast<std::pair<const char*, HWND>*>(context);
  if (ClassOf(child) == "Button" && TextOf(child) == found->first) {
    found->second = child;
    return FALSE;
  }
  return TRUE;
}

class LockSafetyEndToEnd : public ::testing::Test {
 protected:
  QuellaneProcess program;

  void SetUp() override {
    ASSERT_EQ(XRun("xdotool getmouselocation"), 0)
        << "no X relay: this tier needs the Wine session";
    DeletePolicy();
    ASSERT_EQ(ScreenSaver("1"), "active=1");
  }
  void TearDown() override {
    if (program.Alive()) program.Close();
    DeletePolicy();
  }

  bool WaitLocked(bool locked, DWORD ms = 3000) {
    return PumpUntil([&] { return (program.Hook().GetIsLocked() != 0) == locked; }, ms);
  }
  HWND OptionsDialog() const { return FindWindowA("TQuellForm", "Quellane 1.03"); }
  // Opens the tray menu and clicks its first item ("Lock Computer"), the
  // one below it ("Unlock") or the last one ("Exit").
  void ChooseFromTrayMenu(int item) {
    XMoveTo(TrayIconCentre());
    XDoTool("click 3");
    ASSERT_TRUE(PumpUntil(
        [] {
          RECT r;
          return OpenMenuEdgeItemRect(false, &r);
        },
        6000));
    PumpFor(300);
    RECT r{};
    ASSERT_TRUE(OpenMenuEdgeItemRect(item < 0, &r));
    const int down = item > 0 ? item * (r.bottom - r.top) : 0;
    XMoveTo({(r.left + r.right) / 2, (r.top + r.bottom) / 2 + down});
    XDoTool("click 1");
  }
  void CancelOptions() {
    HWND dialog = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (dialog = OptionsDialog()) != nullptr; }, 15000));
    PumpFor(500);
    std::pair<const char*, HWND> cancel{"Cancel", nullptr};
    EnumChildWindows(dialog, FindChildButton, reinterpret_cast<LPARAM>(&cancel));
    ASSERT_NE(cancel.second, nullptr);
    RECT r;
    GetWindowRect(cancel.second, &r);
    XMoveTo({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    XDoTool("click 1");
    ASSERT_TRUE(PumpUntil([&] { return OptionsDialog() == nullptr; }, 10000));
    PumpFor(500);  // the program's steps after the dialog
  }
};

TEST_F(LockSafetyEndToEnd, AdministratorsTaskManagerPolicySurvivesTheFirstStartsOptions) {
  SetPolicy(1);
  ASSERT_TRUE(program.Start());  // no settings file: the options open by themselves
  EXPECT_EQ(Policy(), "1");
  CancelOptions();
  EXPECT_EQ(Policy(), "1") << "after the first start's options";
  ASSERT_TRUE(program.Close());
  EXPECT_EQ(Policy(), "1") << "after Exit";
}

TEST_F(LockSafetyEndToEnd, AdministratorsTaskManagerPolicySurvivesOptionsLocksAndExit) {
  SetPolicy(1);
  program.WriteSettings(kSettings);
  ASSERT_TRUE(program.Start());
  EXPECT_EQ(Policy(), "1") << "at the start";
  XMoveTo(TrayIconCentre());
  XDoTool("click 1");  // a click on the icon opens the options
  CancelOptions();
  EXPECT_EQ(Policy(), "1") << "after the options";
  ChooseFromTrayMenu(0);
  ASSERT_TRUE(WaitLocked(true));
  EXPECT_EQ(Policy(), "1") << "while locked";
  EXPECT_EQ(ScreenSaver(), "active=0");
  XDoTool("key ctrl+alt+u");
  ASSERT_TRUE(WaitLocked(false));
  EXPECT_EQ(Policy(), "1") << "after the hot key's unlock";
  EXPECT_EQ(ScreenSaver(), "active=1");
  ChooseFromTrayMenu(0);
  ASSERT_TRUE(WaitLocked(true));
  ChooseFromTrayMenu(2);  // Unlock
  ASSERT_TRUE(WaitLocked(false));
  EXPECT_EQ(Policy(), "1") << "after the menu's unlock";
  ChooseFromTrayMenu(-1);
  ASSERT_TRUE(program.WaitForExit(5000)) << "Exit ends the program";
  EXPECT_EQ(Policy(), "1") << "after Exit";
  EXPECT_FALSE(LockRecordPresent());
}

TEST_F(LockSafetyEndToEnd, PolicyCreatedByTheLockLastsOnlyWhileLocked) {
  program.WriteSettings(kSettings);
  ASSERT_TRUE(program.Start());
  EXPECT_EQ(Policy(), "absent");
  // X sends keys to the window that has the X input focus: after earlier
  // test programs' windows went away it may be none, so a click on the
  // empty desktop gives it to Wine's desktop first.
  XMoveTo({400, 300});
  XDoTool("click 1");
  XDoTool("key ctrl+alt+l");
  ASSERT_TRUE(WaitLocked(true));
  EXPECT_EQ(Policy(), "1");
  EXPECT_EQ(ScreenSaver(), "active=0");
  EXPECT_TRUE(LockRecordPresent());
  XDoTool("key ctrl+alt+u");
  ASSERT_TRUE(WaitLocked(false));
  EXPECT_EQ(Policy(), "absent");
  EXPECT_EQ(ScreenSaver(), "active=1");
  EXPECT_FALSE(LockRecordPresent());
  ASSERT_TRUE(program.Close());
  EXPECT_EQ(Policy(), "absent");
}

// Killed while locked: the system removes the hooks, and nothing else. The
// lock and the unlock are made with the mouse and by messages, so that no
// other process gets the keyboard hook's library and the shared record ends
// with the program: only the record in the registry is left for the repair.
TEST_F(LockSafetyEndToEnd, KilledWhileLockedIsRepairedAtTheNextStartOnly) {
  program.WriteSettings(kSettings);
  ASSERT_TRUE(program.Start());
  ChooseFromTrayMenu(0);  // Lock Computer
  ASSERT_TRUE(PumpUntil([] { return Policy() == "1"; }, 3000));
  ASSERT_EQ(ScreenSaver(), "active=0");
  ASSERT_TRUE(PumpUntil([] { return TrayIconColour() == IconColour::Red; }, 2000));

  // A second instance while the first runs repairs nothing.
  EXPECT_EQ(program.RunAgain(""), 0u);
  EXPECT_EQ(Policy(), "1") << "a second instance undid the running lock";
  EXPECT_EQ(ScreenSaver(), "active=0");
  EXPECT_TRUE(LockRecordPresent());

  ASSERT_TRUE(TerminateProcess(program.Process(), 9));
  ASSERT_TRUE(program.WaitForExit(5000));
  EXPECT_EQ(Policy(), "1") << "the value stays after the kill";
  EXPECT_EQ(ScreenSaver(), "active=0");
  EXPECT_TRUE(LockRecordPresent());

  // The next start (the handle of the killed process is done with).
  CloseHandle(program.Process());
  ASSERT_TRUE(program.Start());
  EXPECT_EQ(Policy(), "absent") << "the dead lock's policy is undone";
  EXPECT_EQ(ScreenSaver(), "active=1") << "and the screen saver is back";
  EXPECT_FALSE(LockRecordPresent());
  EXPECT_TRUE(PumpUntil([] { return TrayIconColour() == IconColour::Green; }, 2000));

  ChooseFromTrayMenu(0);  // Lock Computer
  EXPECT_TRUE(PumpUntil([] { return Policy() == "1"; }, 3000)) << "locks as before";
  ChooseFromTrayMenu(2);  // Unlock
  EXPECT_TRUE(PumpUntil([] { return Policy() == "absent"; }, 3000));
  EXPECT_EQ(ScreenSaver(), "active=1");
}

// The same kill while another process keeps the library mapped (here this
// test, as any process that got keys while the hook was installed does):
// the shared record outlives the program with its lock flag and hook handles.
// The next start must not come up locked with hooks that no longer exist.
TEST_F(LockSafetyEndToEnd, KilledWhileLockedWithTheLibraryStillMappedStartsUnlockedAndHooked) {
  program.WriteSettings(kSettings);
  ASSERT_TRUE(program.Start());
  RecordingWindow target{"typing target"};
  target.Activate();
  XDoTool("key ctrl+alt+l");
  ASSERT_TRUE(WaitLocked(true));
  ASSERT_EQ(Policy(), "1");

  ASSERT_TRUE(TerminateProcess(program.Process(), 9));
  ASSERT_TRUE(program.WaitForExit(5000));
  EXPECT_EQ(Policy(), "1");
  CloseHandle(program.Process());
  ASSERT_TRUE(program.Start());
  EXPECT_TRUE(WaitLocked(false)) << "the dead lock is over";
  EXPECT_TRUE(PumpUntil([] { return Policy() == "absent"; }, 3000));
  EXPECT_EQ(ScreenSaver(), "active=1");

  target.Activate();
  XDoTool("key ctrl+alt+l");
  ASSERT_TRUE(WaitLocked(true)) << "the lock hot key: the new program's hooks";
  EXPECT_EQ(Policy(), "1");
  target.ClearText();
  XDoTool("type xy");
  PumpFor(300);
  EXPECT_EQ(target.TypedText(), "") << "keys are blocked again";
  XDoTool("key ctrl+alt+u");
  ASSERT_TRUE(WaitLocked(false));
  EXPECT_EQ(Policy(), "absent");
  EXPECT_EQ(ScreenSaver(), "active=1");
}

// Ctrl+Alt+Delete while locked: on a real desktop the key-ups of Ctrl and
// Alt go to the secure desktop and the hook never sees them. Wine has no
// secure desktop, and keys held down in the X server reach Wine's own key
// state, so the presses come from SendInput here, without their key-ups.
// Neither the unlock from the tray menu nor a relock may leave them counting.
TEST_F(LockSafetyEndToEnd, ModifiersLostToCtrlAltDeleteDoNotCountAfterTheLock) {
  program.WriteSettings(kSettings);
  ASSERT_TRUE(program.Start());
  RecordingWindow target{"typing target"};
  target.Activate();
  const std::vector<INPUT> ctrlAltDelete = {KeyInput(VK_LCONTROL, true), KeyInput(VK_LMENU, true),
                                            KeyInput(VK_DELETE, true), KeyInput(VK_DELETE, false)};
  XDoTool("key ctrl+alt+l");
  ASSERT_TRUE(WaitLocked(true));

  SendFromAnotherThread(ctrlAltDelete, 100);
  ChooseFromTrayMenu(2);  // Unlock
  ASSERT_TRUE(WaitLocked(false));
  XDoTool("key l");
  PumpFor(500);
  EXPECT_EQ(program.Hook().GetIsLocked(), 0) << "a plain L after the unlock locked again";

  program.Hook().SetProperties(PROP_LOCKED, 0);
  XDoTool("key ctrl+alt+l");
  ASSERT_TRUE(WaitLocked(true));
  SendFromAnotherThread(ctrlAltDelete, 100);
  ChooseFromTrayMenu(2);  // Unlock
  ASSERT_TRUE(WaitLocked(false));
  ChooseFromTrayMenu(0);  // Lock Computer
  ASSERT_TRUE(WaitLocked(true));
  XDoTool("key u");
  PumpFor(500);
  EXPECT_EQ(program.Hook().GetIsLocked(), 1) << "a plain U after a relock unlocked";

  XDoTool("key ctrl+alt+u");
  EXPECT_TRUE(WaitLocked(false)) << "the unlock hot key still works";
}

}  // namespace
}  // namespace quell::wintest
