// Quellane.exe with its real library, on the paths where a lock could be
// left behind or the program could get in the user's way: the end of the
// session, the idle lock while locked or without the library, a settings
// file that cannot be read, Exit while the options are open, hot keys that
// cannot be typed, requests and hot keys while the options are open, tray
// pictures outside the image list, and a copy serving another user.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "HookDll/HookProtocol.h"
#include "controller/LibrarySearch.h"
#include "tests/win/support/QuellaneProcess.h"
#include "tests/win/support/WinTestSupport.h"

namespace quell::wintest {
namespace {

// Keyboard locked, the mouse free, Ctrl+Alt+U unlocks and Ctrl+Alt+L locks.
const std::string kHotKeySettings =
    "[Config.Lock All]\r\nLOCK_KEYBOARD=1\r\nLOCK_MOUSE_BTN=0\r\nLOCK_MOUSE_MOVE=0\r\n"
    "LOCK_MOUSE_WHEEL=0\r\nKEY_LOCK=49228\r\nKEY_UNLOCK=49237\r\n";

const char* const kPolicyKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";

void DeletePolicy() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kPolicyKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
    RegDeleteValueA(key, "DisableTaskMgr");
    RegCloseKey(key);
  }
}

// The top-level windows of a process, visible or not.
std::vector<HWND> TopLevelWindowsOf(DWORD pid) {
  std::vector<HWND> found;
  ForEachTopLevelWindow([&](HWND w) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == pid) found.push_back(w);
    return true;
  });
  return found;
}

// The notification area's 16x16 picture, pixel by pixel.
std::vector<COLORREF> TrayPixels() {
  const POINT centre = TrayIconCentre();
  HDC screen = GetDC(nullptr);
  std::vector<COLORREF> pixels;
  for (int y = centre.y - 8; y < centre.y + 8; ++y) {
    for (int x = centre.x - 8; x < centre.x + 8; ++x) pixels.push_back(GetPixel(screen, x, y));
  }
  ReleaseDC(nullptr, screen);
  return pixels;
}

// The visible windows of a process with this class and caption.
int CountWindows(DWORD pid, const std::string& windowClass, const std::string& caption) {
  int count = 0;
  for (HWND w : TopLevelWindowsOf(pid)) {
    count += IsWindowVisible(w) && ClassOf(w) == windowClass && TextOf(w) == caption;
  }
  return count;
}

class ControllerSafetyEndToEnd : public ::testing::Test {
 protected:
  QuellaneProcess program;

  void SetUp() override {
    ASSERT_EQ(XRun("xdotool getmouselocation"), 0)
        << "no X relay: this tier needs the Wine session";
    DeletePolicy();
  }
  void TearDown() override {
    if (program.Alive() && program.Hook().GetIsLocked()) {
      program.Hook().SetProperties(0, 0);
    }
    DeletePolicy();
  }
  bool WaitLocked(bool locked, DWORD ms = 3000) {
    return PumpUntil([&] { return (program.Hook().GetIsLocked() != 0) == locked; }, ms);
  }
  HWND OptionsDialog() const {
    for (HWND w : TopLevelWindowsOf(program.ProcessId())) {
      if (IsWindowVisible(w) && TextOf(w) == "Quellane 1.03") return w;
    }
    return nullptr;
  }
  int OptionsDialogs() const {
    return CountWindows(program.ProcessId(), "TQuellForm", "Quellane 1.03");
  }
  static void ClickTray(int button) {
    XMoveTo(TrayIconCentre());
    XDoTool("click " + std::to_string(button));
  }
  static bool MenuOpen() {
    RECT r;
    return OpenMenuEdgeItemRect(false, &r);
  }
};

TEST_F(ControllerSafetyEndToEnd, TheEndOfTheSessionWhileLockedRunsTheExitTeardownFirst) {
  program.WriteSettings(kHotKeySettings);
  ASSERT_TRUE(program.Start());
  EXPECT_EQ(program.RunAgain("/L"), 0u);
  ASSERT_TRUE(WaitLocked(true));
  DWORD policy = 0;
  ASSERT_TRUE(TaskManagerPolicy(&policy));
  // As the system does at log-off: every top-level window is asked, then
  // told that the session ends; the process is ended right after that.
  const std::vector<HWND> windows = TopLevelWindowsOf(program.ProcessId());
  ASSERT_FALSE(windows.empty());
  for (HWND w : windows) {
    DWORD_PTR agreed = 0;
    ASSERT_TRUE(SendMessageTimeoutA(w, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &agreed));
    EXPECT_NE(agreed, 0u) << ClassOf(w) << " refuses the end of the session";
  }
  DWORD_PTR ignored = 0;
  for (HWND w : windows)
    SendMessageTimeoutA(w, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
  if (program.Alive()) TerminateProcess(program.Process(), 0);
  ASSERT_TRUE(program.WaitForExit(5000));

  EXPECT_EQ(program.Hook().GetIsLocked(), 0) << "unlocked before the process was ended";
  EXPECT_FALSE(TaskManagerPolicy(&policy)) << "DisableTaskMgr is left behind";
  EXPECT_EQ(program.Hook().UnSetShellHook(), 1)
      << "a hook handle of the ended process is left behind";
  RecordingWindow target{"typing target"};
  target.Activate();
  XMoveTo({150, 150});
  XDoTool("type ok");
  PumpFor(300);
  EXPECT_EQ(target.TypedText(), "ok") << "the keyboard works after the session's end";
}

TEST_F(ControllerSafetyEndToEnd, PastTheIdleLimitWhileLockedNoNoticeComesBack) {
  // The idle lock minimises first: while locked, those keys would be
  // swallowed as blocked input and bring the notice back every period.
  program.WriteSettings(kHotKeySettings + "CHECK_IDLE=1\r\nEDIT_IDLE=3\r\nCHECK_MINI=1\r\n\r\n");
  ASSERT_TRUE(program.Start());
  ASSERT_TRUE(WaitLocked(true, 10000)) << "the idle lock";
  ASSERT_TRUE(
      PumpUntil([&] { return program.Notice().rfind("Computer is Locked:", 0) == 0; }, 3000))
      << program.Notice();
  ASSERT_TRUE(PumpUntil([&] { return program.Notice().empty(); }, 8000))
      << "the notice closes by itself";
  Screenshot("idle-locked-quiet");
  // Three idle periods with nobody at the computer.
  std::string shown;
  PumpUntil([&] { return !(shown = program.Notice()).empty(); }, 10000);
  EXPECT_EQ(shown, "") << "a notice came back while nobody touched the computer";
  EXPECT_EQ(program.Hook().GetIsLocked(), 1);
  XDoTool("key ctrl+alt+u");
  EXPECT_TRUE(WaitLocked(false));
}

TEST_F(ControllerSafetyEndToEnd, IdleLockWithoutTheLibraryShowsOneErrorBoxNotAStack) {
  QuellaneProcess unbound("");
  unbound.WriteSettings(kHotKeySettings + "CHECK_IDLE=1\r\nEDIT_IDLE=1\r\n\r\n");
  ASSERT_TRUE(unbound.Start());
  HWND box = nullptr;
  ASSERT_TRUE(
      PumpUntil([&] { return (box = unbound.MessageBoxWindow("Error")) != nullptr; }, 10000));
  PumpFor(4000);  // four idle ticks past the limit
  Screenshot("idle-without-library");
  EXPECT_EQ(CountWindows(unbound.ProcessId(), "#32770", "Error"), 1) << "error boxes stack up";
  QuellaneProcess::PressOk(box);
  PumpFor(4000);
  EXPECT_EQ(CountWindows(unbound.ProcessId(), "#32770", "Error"), 0)
      << "no idle lock is tried while the library is missing";
  EXPECT_TRUE(unbound.Alive());
  EXPECT_TRUE(unbound.Close());
}

TEST_F(ControllerSafetyEndToEnd, AnUnreadableSettingsFileIsNoFirstRunAndIsNeverSavedOver) {
  const std::string bytes = kHotKeySettings + "DO_BEEP=1\r\n\r\n[Mine]\r\nkeep=1\r\n\r\n";
  program.WriteSettings(bytes);
  // Another program holds the file open and shares nothing while ours starts.
  const HANDLE held = CreateFileA(program.SettingsPath().c_str(), GENERIC_READ, 0, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  // The error comes before the main window exists: no waiting for it.
  program.Start("", 1000);
  ASSERT_TRUE(program.Alive());
  HWND box = nullptr;
  ASSERT_TRUE(PumpUntil(
      [&] { return (box = program.MessageBoxWindow("Quellane Error")) != nullptr; }, 10000));
  const std::string text = QuellaneProcess::MessageBoxText(box);
  EXPECT_EQ(text.rfind("Cannot open file ", 0), 0u) << text;
  EXPECT_NE(text.find("Quellane.ini"), std::string::npos) << text;
  QuellaneProcess::PressOk(box);
  EXPECT_TRUE(PumpUntil([&] { return program.Notice() == "Quellane: Program is running"; }, 5000))
      << "not a first run: " << program.Notice();
  EXPECT_EQ(OptionsDialog(), nullptr) << "the first-run options opened";

  // The user opens the options and closes them: the save is refused.
  ClickTray(1);
  HWND dialog = nullptr;
  ASSERT_TRUE(PumpUntil([&] { return (dialog = OptionsDialog()) != nullptr; }, 8000));
  PostMessageA(dialog, WM_CLOSE, 0, 0);
  ASSERT_TRUE(PumpUntil(
      [&] { return (box = program.MessageBoxWindow("Quellane Error")) != nullptr; }, 8000));
  const std::string saveText = QuellaneProcess::MessageBoxText(box);
  EXPECT_EQ(saveText.rfind("Could not save configuration file:\r\n", 0), 0u) << saveText;
  EXPECT_NE(saveText.find("Quellane.ini"), std::string::npos) << saveText;
  Screenshot("unreadable-settings-save-refused");
  QuellaneProcess::PressOk(box);
  PumpFor(500);
  // The other program lets go: the next options read the file and save it.
  CloseHandle(held);
  EXPECT_EQ(program.ReadSettings(), bytes) << "the file that could not be read was written over";
  ASSERT_TRUE(PumpUntil([&] { return OptionsDialog() == nullptr; }, 5000));
  ClickTray(1);
  ASSERT_TRUE(PumpUntil([&] { return (dialog = OptionsDialog()) != nullptr; }, 8000));
  PostMessageA(dialog, WM_CLOSE, 0, 0);
  ASSERT_TRUE(PumpUntil([&] { return OptionsDialog() == nullptr; }, 8000));
  PumpFor(1000);
  EXPECT_EQ(program.MessageBoxWindow("Quellane Error"), nullptr) << "the save is refused again";
  const std::string saved = program.ReadSettings();
  EXPECT_NE(saved, bytes) << "not saved";
  EXPECT_NE(saved.find("DO_BEEP=1\r\n"), std::string::npos) << "the file's own settings:\n"
                                                            << saved;
  EXPECT_NE(saved.find("[Mine]\r\nkeep=1\r\n"), std::string::npos) << saved;
  // And the library has the file's hot keys.
  XDoTool("key ctrl+alt+l");
  EXPECT_TRUE(WaitLocked(true));
  XDoTool("key ctrl+alt+u");
  EXPECT_TRUE(WaitLocked(false));
}

TEST_F(ControllerSafetyEndToEnd, ExitFromTheTrayMenuWhileTheOptionsAreOpenEndsTheProgram) {
  program.WriteSettings(kHotKeySettings + "\r\n");
  ASSERT_TRUE(program.Start());
  PumpFor(1000);
  ClickTray(1);
  ASSERT_TRUE(PumpUntil([&] { return OptionsDialog() != nullptr; }, 8000))
      << "a click opens the options";
  ClickTray(3);
  ASSERT_TRUE(PumpUntil(MenuOpen, 6000)) << "the tray menu over the open options";
  PumpFor(300);
  RECT exit{};
  ASSERT_TRUE(OpenMenuEdgeItemRect(true, &exit));
  XMoveTo({(exit.left + exit.right) / 2, (exit.top + exit.bottom) / 2});
  XDoTool("click 1");
  const bool ended = program.WaitForExit(5000);
  Screenshot("exit-with-options-open");
  EXPECT_TRUE(ended) << "Exit did not end the program";
  EXPECT_FALSE(MenuOpen()) << "the tray menu came back";
  if (!ended) XDoTool("key Escape");
  EXPECT_EQ(program.Hook().UnSetShellHook(), 1) << "hooked again after the main form closed";
  EXPECT_EQ(program.Hook().GetIsLocked(), 0);
}

TEST_F(ControllerSafetyEndToEnd, AnUnlockHotKeyThatCannotBeTypedNeverLetsTheKeyboardAndMouseLock) {
  // $FFFFC055 is read as a negative number: Ctrl+Alt+U with bits above
  // the low 16, which no key press ever produces.
  program.WriteSettings(
      "[Config.Lock "
      "All]\r\nLOCK_KEYBOARD=1\r\nLOCK_MOUSE_BTN=1\r\nLOCK_MOUSE_MOVE=1\r\nKEY_UNLOCK=$"
      "FFFFC055\r\n\r\n");
  ASSERT_TRUE(program.Start());
  QuellaneProcess::Instance second = program.StartAgain("/L");
  HWND dialog = nullptr;
  const bool opened = PumpUntil(
      [&] { return (dialog = OptionsDialog()) != nullptr || program.Hook().GetIsLocked(); }, 10000);
  EXPECT_EQ(program.Hook().GetIsLocked(), 0) << "locked with no way to unlock";
  EXPECT_TRUE(opened && dialog) << "the refused lock opens the options";
  if (program.Hook().GetIsLocked()) program.Hook().SetProperties(0, 0);
  if (dialog) PostMessageA(dialog, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForSingleObject(second.process, 10000), WAIT_OBJECT_0);
  CloseHandle(second.process);
}

TEST_F(ControllerSafetyEndToEnd, TwoLockRequestsAtOnceWithNoWayOutOpenOneDialog) {
  program.WriteSettings(
      "[Config.Lock All]\r\nLOCK_KEYBOARD=1\r\nLOCK_MOUSE_BTN=1\r\nKEY_LOCK=49228\r\n"
      "KEY_UNLOCK=0\r\n\r\n");
  ASSERT_TRUE(program.Start());
  PumpFor(1000);
  // Two second instances' /L, both waiting before the first is handled.
  for (int request = 0; request < 2; ++request)
    ASSERT_TRUE(SendNotifyMessageA(program.MainWindow(), WM_USER, 0, LN_LOCK_REQUEST));
  HWND dialog = nullptr;
  ASSERT_TRUE(PumpUntil([&] { return (dialog = OptionsDialog()) != nullptr; }, 8000));
  PumpFor(1500);
  EXPECT_EQ(OptionsDialogs(), 1);
  EXPECT_EQ(program.Hook().GetIsLocked(), 0) << "locked with no way out";
  PostMessageA(dialog, WM_CLOSE, 0, 0);
  ASSERT_TRUE(PumpUntil([&] { return OptionsDialog() == nullptr; }, 8000));
  PumpFor(2000);
  EXPECT_EQ(OptionsDialogs(), 0) << "a second dialog came after the first";
  if (HWND second = OptionsDialog()) PostMessageA(second, WM_CLOSE, 0, 0);
}

// The options left open while the user works elsewhere: a tray click brings
// them back, a lock made meanwhile keeps its unlock hot key but the lock hot
// key stays off, and the idle lock still locks.
TEST_F(ControllerSafetyEndToEnd, WhileTheOptionsAreOpenTheyComeForwardAndOnlyALockHasAHotKey) {
  program.WriteSettings(kHotKeySettings + "CHECK_IDLE=1\r\nEDIT_IDLE=15\r\n\r\n");
  ASSERT_TRUE(program.Start());
  PumpFor(1000);
  ClickTray(1);
  HWND dialog = nullptr;
  ASSERT_TRUE(PumpUntil([&] { return (dialog = OptionsDialog()) != nullptr; }, 8000));
  PumpFor(500);

  RecordingWindow elsewhere("another program");
  ASSERT_TRUE(elsewhere.Activate());
  ClickTray(1);
  EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == dialog; }, 5000))
      << "in front: \"" << TextOf(GetForegroundWindow()) << "\"";
  EXPECT_EQ(OptionsDialogs(), 1);

  EXPECT_EQ(program.RunAgain("/L"), 0u);
  ASSERT_TRUE(WaitLocked(true)) << "/L locks while the options are open";
  XDoTool("key ctrl+alt+u");
  EXPECT_TRUE(WaitLocked(false)) << "the lock made meanwhile has its unlock hot key";
  XDoTool("key ctrl+alt+l");
  PumpFor(1500);
  EXPECT_EQ(program.Hook().GetIsLocked(), 0) << "the lock hot key works while the dialog is open";

  // Nobody touches anything for longer than the idle time.
  EXPECT_TRUE(WaitLocked(true, 20000)) << "no idle lock while the options are open";
  Screenshot("idle-lock-with-options-open");
  XDoTool("key ctrl+alt+u");
  EXPECT_TRUE(WaitLocked(false));

  PostMessageA(dialog, WM_CLOSE, 0, 0);
  ASSERT_TRUE(PumpUntil([&] { return OptionsDialog() == nullptr; }, 8000));
  XDoTool("key ctrl+alt+l");
  EXPECT_TRUE(WaitLocked(true)) << "the lock hot key is back after the dialog";
  XDoTool("key ctrl+alt+u");
  EXPECT_TRUE(WaitLocked(false));
}

TEST_F(ControllerSafetyEndToEnd, TrayPicturesOutsideTheImagesShowTheDefaultPadlocks) {
  // The pictures of a lock and an unlock at the default images.
  const auto lockAndUnlock = [&](std::vector<COLORREF>* locked, std::vector<COLORREF>* unlocked) {
    PumpFor(1000);
    XDoTool("key ctrl+alt+l");
    ASSERT_TRUE(WaitLocked(true));
    PumpFor(700);
    *locked = TrayPixels();
    XDoTool("key ctrl+alt+u");
    ASSERT_TRUE(WaitLocked(false));
    PumpFor(700);
    *unlocked = TrayPixels();
  };
  program.WriteSettings(kHotKeySettings + "\r\n");
  ASSERT_TRUE(program.Start());
  std::vector<COLORREF> lockedAtDefault, unlockedAtDefault;
  lockAndUnlock(&lockedAtDefault, &unlockedAtDefault);
  ASSERT_TRUE(program.Close());

  program.WriteSettings(kHotKeySettings + "LOKED_IMAGE=7\r\nUNLOKED_IMAGE=-1\r\n\r\n");
  ASSERT_TRUE(program.Start());
  std::vector<COLORREF> locked, unlocked;
  lockAndUnlock(&locked, &unlocked);
  EXPECT_NE(lockedAtDefault, unlockedAtDefault) << "the two pictures differ";
  EXPECT_TRUE(locked == lockedAtDefault) << "the locked padlock";
  EXPECT_TRUE(unlocked == unlockedAtDefault) << "the open padlock";
}

TEST_F(ControllerSafetyEndToEnd, ACopyServingAnotherUserIsLeftAloneAndTheProgramRunsUnbound) {
  program.WriteSettings(kHotKeySettings + "\r\n");
  // The program of another session, started from the same folder, serves
  // the library: its claim for the machine exists, none for this session.
  const app::TLibraryClaimNames names = app::LibraryClaimNames(program.Folder() + "quellhook.dll");
  const HANDLE otherSession = CreateMutexA(nullptr, FALSE, names.machine.c_str());
  ASSERT_NE(otherSession, nullptr);
  ASSERT_TRUE(program.Start());
  HWND box = nullptr;
  ASSERT_TRUE(
      PumpUntil([&] { return (box = program.MessageBoxWindow("Error")) != nullptr; }, 8000));
  EXPECT_EQ(QuellaneProcess::MessageBoxText(box), app::ServedForAnotherUserMessage);
  Screenshot("served-for-another-user");
  QuellaneProcess::PressOk(box);
  EXPECT_TRUE(PumpUntil([&] { return program.Notice() == "Quellane: Program is running"; }, 5000))
      << "the program runs: " << program.Notice();
  EXPECT_EQ(CountWindows(program.ProcessId(), "#32770", "Error"), 0) << "said once";
  // No hooks: the lock hot key is a key like any other.
  XDoTool("key ctrl+alt+l");
  PumpFor(1500);
  EXPECT_EQ(TrayIconColour(), IconColour::Green);
  EXPECT_EQ(CountWindows(program.ProcessId(), "#32770", "Error"), 0);
  // The options work; a lock from the tray answers with the binding error.
  ClickTray(1);
  HWND dialog = nullptr;
  ASSERT_TRUE(PumpUntil([&] { return (dialog = OptionsDialog()) != nullptr; }, 8000));
  PostMessageA(dialog, WM_CLOSE, 0, 0);
  ASSERT_TRUE(PumpUntil([&] { return OptionsDialog() == nullptr; }, 8000));
  ASSERT_TRUE(PumpUntil([&] { return (box = program.MessageBoxWindow("Error")) != nullptr; }, 8000))
      << "the options' close binds again, and is told";
  QuellaneProcess::PressOk(box);
  PumpFor(1000);
  XMoveTo(TrayIconCentre());
  XDoTool("click --repeat 2 --delay 60 1");
  EXPECT_TRUE(PumpUntil([&] { return (box = program.MessageBoxWindow("Error")) != nullptr; }, 8000))
      << "the lock answers with the binding error";
  if (box) QuellaneProcess::PressOk(box);
  CloseHandle(otherSession);
  EXPECT_TRUE(program.Close());
}

}  // namespace
}  // namespace quell::wintest
