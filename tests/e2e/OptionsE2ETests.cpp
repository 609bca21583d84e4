// The options dialog of the real program under Wine, used with real key
// presses and clicks: the first start opens it, Cancel writes the default
// settings file, typed hot keys are saved, an unlockable configuration is
// refused, Lock Now locks, and a second request shows no second dialog.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/common/FirstSaveBytes.h"
#include "tests/win/support/HookApi.h"
#include "tests/win/support/ProgramWindows.h"
#include "tests/win/support/QuellaneProcess.h"
#include "tests/win/support/WinTestSupport.h"

#include <commctrl.h>

namespace quell {
namespace {

using wintest::PumpFor;
using wintest::PumpUntil;
using wintest::Screenshot;
using wintest::XDoTool;
using wintest::XMoveTo;

const std::string DefaultSettingsFile = quell::testdata::FirstSaveBytes;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

using wintest::ClassOf;
using wintest::ForEachChildWindow;
using wintest::ForEachTopLevelWindow;
using wintest::TextOf;

using wintest::ChildOf;
using wintest::ClickAt;
using wintest::ClickOn;
using wintest::WindowsOf;

class OptionsEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(wintest::XRun("xdotool getmouselocation"), 0)
        << "no X relay: this tier needs the Wine session";
  }

  void TearDown() override {
    if (program.Hook().GetIsLocked()) program.Hook().SetProperties(0, 0);
    if (program.Alive()) {
      EXPECT_TRUE(program.Close()) << "the program did not end on its main form's close";
    }
  }

  // Starts the program, waits for its main window and answers its process id.
  DWORD Start() {
    EXPECT_TRUE(program.Start());
    return program.ProcessId();
  }

  HWND WaitForDialog() {
    HWND dialog = nullptr;
    PumpUntil(
        [&] {
          const auto found = WindowsOf(first, "TQuellForm", "Quellane 1.03");
          dialog = found.empty() ? nullptr : found.front();
          return dialog != nullptr;
        },
        15000);
    PumpFor(500);  // painted and focused
    return dialog;
  }

  bool WaitForDialogGone() {
    return PumpUntil([&] { return WindowsOf(first, "TQuellForm", "Quellane 1.03").empty(); },
                     10000);
  }

  bool WaitForFile(const std::string& containing) {
    return PumpUntil([&] { return ReadAll(ini).find(containing) != std::string::npos; }, 10000);
  }

  // The unlock and the lock hot-key box, in tab order (unlock first).
  static std::pair<HWND, HWND> HotKeyBoxes(HWND dialog) {
    HWND unlockBox = ChildOf(dialog, "msctls_hotkey32", "");
    HWND lockBox = unlockBox ? GetWindow(unlockBox, GW_HWNDNEXT) : nullptr;
    while (lockBox && ClassOf(lockBox) != "msctls_hotkey32")
      lockBox = GetWindow(lockBox, GW_HWNDNEXT);
    return {unlockBox, lockBox};
  }

  // Types a chord into a hot-key box of the dialog.
  void TypeInto(HWND box, const std::string& keys) {
    ClickOn(box);
    XDoTool("key " + keys);
    PumpFor(200);
  }

  wintest::QuellaneProcess program;
  const std::string ini = program.SettingsPath();
  DWORD first = 0;
  wintest::HookApi& hook = program.Hook();
};

TEST_F(OptionsEndToEnd, FirstStartOpensTheDialogOnceAndCancelWritesTheDefaultFile) {
  first = Start();
  HWND dialog = WaitForDialog();
  ASSERT_NE(dialog, nullptr) << "the first start with no settings file opens the dialog";
  EXPECT_EQ(GetForegroundWindow(), dialog);
  EXPECT_EQ(GetFileAttributesA(ini.c_str()), INVALID_FILE_ATTRIBUTES)
      << "nothing is written while it is open";
  EXPECT_FALSE(Screenshot("options-general").empty());

  // The second page, by a click on its tab.
  HWND tabs = ChildOf(dialog, "SysTabControl32", "");
  ASSERT_NE(tabs, nullptr);
  HWND keyboard = ChildOf(dialog, "Button", "Lock Keyboard");
  ASSERT_NE(keyboard, nullptr);
  EXPECT_FALSE(IsWindowVisible(keyboard));
  RECT r;
  GetWindowRect(tabs, &r);
  ClickAt({r.left + 75, r.top + 10});
  EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(keyboard) != FALSE; }, 3000));
  PumpFor(300);
  EXPECT_FALSE(Screenshot("options-options").empty());

  // A second start asks the running program for the dialog again: still one.
  const auto second = program.StartAgain("");
  EXPECT_EQ(WaitForSingleObject(second.process, 15000), WAIT_OBJECT_0)
      << "a second instance never stays";
  CloseHandle(second.process);
  PumpFor(1000);
  EXPECT_EQ(WindowsOf(first, "TQuellForm", "Quellane 1.03").size(), 1u);
  EXPECT_TRUE(IsWindow(dialog));

  ClickOn(ChildOf(dialog, "Button", "Cancel"));
  EXPECT_TRUE(WaitForDialogGone());
  EXPECT_TRUE(WaitForFile("CHECK_MINI"));
  EXPECT_EQ(ReadAll(ini), DefaultSettingsFile);
}

TEST_F(OptionsEndToEnd, HotKeysTypedIntoTheBoxesAreSaved) {
  first = Start();
  HWND dialog = WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  const auto [unlockBox, lockBox] = HotKeyBoxes(dialog);
  ASSERT_NE(unlockBox, nullptr);
  ASSERT_NE(lockBox, nullptr);
  RECT u, l;
  GetWindowRect(unlockBox, &u);
  GetWindowRect(lockBox, &l);
  ASSERT_LT(u.top, l.top) << "the unlock box is the upper one";

  TypeInto(unlockBox, "ctrl+alt+u");
  TypeInto(lockBox, "ctrl+alt+l");
  EXPECT_EQ(SendMessageA(unlockBox, HKM_GETHOTKEY, 0, 0),
            MAKEWORD('U', HOTKEYF_CONTROL | HOTKEYF_ALT));
  EXPECT_EQ(SendMessageA(lockBox, HKM_GETHOTKEY, 0, 0),
            MAKEWORD('L', HOTKEYF_CONTROL | HOTKEYF_ALT));
  ClickOn(ChildOf(dialog, "Button", "Save"));
  EXPECT_TRUE(WaitForDialogGone());
  ASSERT_TRUE(WaitForFile("CHECK_MINI"));
  const std::string saved = ReadAll(ini);
  EXPECT_NE(saved.find("\r\nKEY_LOCK=49228\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("\r\nKEY_UNLOCK=49237\r\n"), std::string::npos) << saved;
  EXPECT_EQ(hook.GetIsLocked(), 0);
}

TEST_F(OptionsEndToEnd, ChangedMouseOptionsTakeEffectAtTheNextLock) {
  first = Start();
  HWND dialog = WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  const auto [unlockBox, lockBox] = HotKeyBoxes(dialog);
  ASSERT_NE(unlockBox, nullptr);
  ASSERT_NE(lockBox, nullptr);
  TypeInto(unlockBox, "ctrl+alt+u");
  TypeInto(lockBox, "ctrl+alt+l");
  // The defaults lock the mouse buttons: free them on the second page.
  RECT r;
  GetWindowRect(ChildOf(dialog, "SysTabControl32", ""), &r);
  ClickAt({r.left + 75, r.top + 10});
  HWND buttons = ChildOf(dialog, "Button", "Lock Mouse Bottons");
  ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(buttons) != FALSE; }, 3000));
  ASSERT_EQ(SendMessageA(buttons, BM_GETCHECK, 0, 0), BST_CHECKED);
  ClickOn(buttons);
  ASSERT_EQ(SendMessageA(buttons, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  ClickOn(ChildOf(dialog, "Button", "Save"));
  ASSERT_TRUE(WaitForDialogGone());

  wintest::RecordingWindow target{"click target"};
  target.Activate();
  RECT t;
  GetWindowRect(target.Handle(), &t);
  XDoTool("key ctrl+alt+l");
  ASSERT_TRUE(PumpUntil([&] { return hook.GetIsLocked() == 1; }, 3000));
  XMoveTo({(t.left + t.right) / 2, (t.top + t.bottom) / 2});
  target.Clear();
  XDoTool("click 1");
  EXPECT_EQ(target.Take(WM_LBUTTONDOWN).size(), 1u) << "the buttons are free at this lock";
  target.ClearText();
  XDoTool("type x");
  EXPECT_EQ(target.TypedText(), "") << "the keyboard is still locked";
  XDoTool("key ctrl+alt+u");
  EXPECT_TRUE(PumpUntil([&] { return hook.GetIsLocked() == 0; }, 3000));
}

TEST_F(OptionsEndToEnd, NoWayOutIsRefusedAndLockNowLocksWithTheTypedUnlockKey) {
  first = Start();
  HWND dialog = WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  HWND lockNow = ChildOf(dialog, "Button", "Lock Now");
  ASSERT_NE(lockNow, nullptr);

  // The defaults lock keyboard and mouse with no unlock hot key.
  ClickOn(lockNow);
  HWND box = nullptr;
  ASSERT_TRUE(PumpUntil(
      [&] {
        const auto boxes = WindowsOf(first, "#32770");
        box = boxes.empty() ? nullptr : boxes.front();
        return box != nullptr;
      },
      5000));
  EXPECT_EQ(TextOf(box), "Invalid configuration");
  EXPECT_EQ(TextOf(GetDlgItem(box, 0xFFFF)), "Need UnLock HotKey!");
  // In front of the dialog, which is topmost otherwise.
  bool boxInFront = false;
  for (HWND w = GetWindow(box, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT))
    boxInFront |= w == dialog;
  EXPECT_TRUE(boxInFront);
  PumpFor(300);
  EXPECT_FALSE(Screenshot("options-invalid-configuration").empty());
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(box); }, 5000));
  EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog stays open";
  // The box is gone a moment before its caller puts the dialog back on top.
  EXPECT_TRUE(
      PumpUntil([&] { return (GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }, 3000))
      << "and on top again";
  EXPECT_EQ(hook.GetIsLocked(), 0);

  TypeInto(ChildOf(dialog, "msctls_hotkey32", ""), "ctrl+alt+u");
  ClickOn(lockNow);
  EXPECT_TRUE(PumpUntil([&] { return hook.GetIsLocked() != 0; }, 5000)) << "Lock Now locks";
  EXPECT_TRUE(WaitForDialogGone());
  EXPECT_TRUE(WaitForFile("KEY_UNLOCK=49237"));

  // The key just typed unlocks.
  PumpFor(500);
  XDoTool("key ctrl+alt+u");
  EXPECT_TRUE(PumpUntil([&] { return hook.GetIsLocked() == 0; }, 5000));
}

}  // namespace
}  // namespace quell
