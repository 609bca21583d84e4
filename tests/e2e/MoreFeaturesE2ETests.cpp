// The unlock password, the cleaning lock, the longest lock and start with
// Windows with the real program and library under Wine: set on the options
// dialog's "More" page with real clicks and keys, and used as a user would,
// the password typed through the X server on the locked keyboard.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "ProgramSession.h"

namespace quell::wintest {
namespace {

// Keyboard locked, the mouse free, Ctrl+Alt+U unlocks and Ctrl+Alt+L locks.
const std::string kHotKeySettings =
    "[Config.Lock All]\r\nLOCK_KEYBOARD=1\r\nLOCK_MOUSE_BTN=0\r\nLOCK_MOUSE_MOVE=0\r\n"
    "LOCK_MOUSE_WHEEL=0\r\nKEY_LOCK=49228\r\nKEY_UNLOCK=49237\r\n\r\n";

const char* const kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The Run value "Quellane", or nothing.
std::optional<std::string> RunEntry() {
  char data[1024] = {};
  DWORD size = sizeof data, type = 0;
  if (RegGetValueA(HKEY_CURRENT_USER, kRunKey, "Quellane", RRF_RT_REG_SZ, &type, data, &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::string(data);
}

void SetRunEntry(const std::string& data) {
  RegSetKeyValueA(HKEY_CURRENT_USER, kRunKey, "Quellane", REG_SZ, data.c_str(),
                  static_cast<DWORD>(data.size() + 1));
}

void DeleteRunEntry() { RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, "Quellane"); }

std::vector<HWND> ChildrenOf(HWND parent, const std::string& windowClass) {
  std::vector<HWND> found;
  ForEachChildWindow(parent, [&](HWND w) {
    if (lstrcmpiA(ClassOf(w).c_str(), windowClass.c_str()) == 0) found.push_back(w);
    return true;
  });
  return found;
}

POINT CentreOf(HWND w) {
  RECT r;
  GetWindowRect(w, &r);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// A click on a window's centre, then the time the program needs to answer.
void ClickAndWait(HWND w) {
  ClickOn(w);
  PumpFor(200);
}

class MoreFeaturesEndToEnd : public ProgramSession {
 protected:
  void SetUp() override {
    ProgramSession::SetUp();
    DeleteRunEntry();
  }
  void TearDown() override {
    ProgramSession::TearDown();
    DeleteRunEntry();
  }
  bool WaitNotice(const std::string& title, DWORD ms = 3000) {
    return PumpUntil([&] { return program.Notice().rfind(title + ":", 0) == 0; }, ms);
  }
  // A visible top-level window of the program with this caption.
  HWND WindowTitled(const std::string& title) const {
    HWND found = nullptr;
    ForEachTopLevelWindow([&](HWND w) {
      DWORD pid = 0;
      GetWindowThreadProcessId(w, &pid);
      if (pid == program.ProcessId() && IsWindowVisible(w) && TextOf(w) == title) found = w;
      return found == nullptr;
    });
    return found;
  }
  HWND WaitForWindow(const std::string& title, DWORD ms = 10000) {
    HWND w = nullptr;
    PumpUntil([&] { return (w = WindowTitled(title)) != nullptr; }, ms);
    PumpFor(300);  // painted and focused
    return w;
  }
  bool WaitGone(const std::string& title) {
    return PumpUntil([&] { return WindowTitled(title) == nullptr; }, 10000);
  }

  // Opens the options with a click on the tray icon and shows the "More" page.
  HWND OpenMorePage() {
    XMoveTo(TrayIconCentre());
    XDoTool("click 1");
    HWND dialog = WaitForWindow("Quellane 1.03");
    if (!dialog) return nullptr;
    HWND tabs = ChildOf(dialog, "SysTabControl32", "");
    HWND setButton = ChildOf(dialog, "Button", "Set...");
    if (!tabs || !setButton) return nullptr;
    RECT r;
    GetWindowRect(tabs, &r);
    // The third tab lies right of "General" and "Options".
    for (int x : {130, 120, 140, 110, 150}) {
      XMoveTo({r.left + x, r.top + 10});
      XDoTool("click 1");
      if (PumpUntil([&] { return IsWindowVisible(setButton) != FALSE; }, 1000)) break;
    }
    return IsWindowVisible(setButton) ? dialog : nullptr;
  }

  // Types the password twice into the dialog that "Set..." opens and keeps it.
  void SetPassword(HWND dialog, const std::string& password) {
    ClickAndWait(ChildOf(dialog, "Button", "Set..."));
    HWND ask = WaitForWindow("Unlock Password");
    ASSERT_NE(ask, nullptr) << "Set... opens no password dialog";
    const std::vector<HWND> edits = ChildrenOf(ask, "Edit");
    ASSERT_EQ(edits.size(), 2u);
    for (HWND edit : edits) {
      EXPECT_EQ(GetWindowLongA(edit, GWL_STYLE) & ES_PASSWORD, ES_PASSWORD) << "not masked";
      ClickAndWait(edit);
      XDoTool("type " + password);
    }
    PumpFor(200);
    ClickAndWait(ChildOf(ask, "Button", "OK"));
    ASSERT_TRUE(WaitGone("Unlock Password"));
  }

  std::string TypeIntoTarget(const std::string& text) {
    XDoTool("type " + text);
    PumpFor(300);
    return target.TypedText();
  }

  RecordingWindow target{"witness"};
};

TEST_F(MoreFeaturesEndToEnd, APasswordSetOnTheMorePageUnlocksTheLockedKeyboardAndAWrongOneDoesNot) {
  program.WriteSettings(kHotKeySettings);
  ASSERT_TRUE(program.Start());
  HWND dialog = OpenMorePage();
  ASSERT_NE(dialog, nullptr) << "no \"More\" page";
  EXPECT_NE(ChildOf(dialog, "Static", "None"), nullptr) << "no password at first";
  SetPassword(dialog, "Clean42");
  EXPECT_NE(ChildOf(dialog, "Static", "Set"), nullptr) << "the page does not show the password";
  Screenshot("options-more");
  ClickAndWait(ChildOf(dialog, "Button", "Save"));
  ASSERT_TRUE(WaitGone("Quellane 1.03"));
  const std::string saved = program.ReadSettings();
  EXPECT_NE(saved.find("[Config.More]\r\nPASSWORD=pbkdf2-sha256$100000$7$"), std::string::npos)
      << saved;
  EXPECT_EQ(saved.find("Clean42"), std::string::npos) << "the password is written in clear";
  EXPECT_EQ(saved.find("CLEAN42"), std::string::npos) << "the password is written in clear";

  target.Activate();
  XMoveTo(CentreOf(target.Handle()));
  XDoTool("key ctrl+alt+l");
  ASSERT_TRUE(WaitLocked(true));
  target.ClearText();
  // Almost the password, then keys that only end like it: still locked.
  TypeIntoTarget("clean43");
  TypeIntoTarget("lean42");
  PumpFor(3000);  // every derivation has had its time
  EXPECT_TRUE(WaitLocked(true, 0)) << "a wrong password unlocked";
  // Shift and other keys before it do not matter; case does not matter.
  XDoTool("key space");
  XDoTool("type xCLEAN42");
  ASSERT_TRUE(WaitLocked(false, 10000)) << "the password typed on the locked keyboard";
  EXPECT_TRUE(WaitNotice("Computer is UnLocked"));
  EXPECT_EQ(target.TypedText(), "") << "keys reached the witness while locked";
  EXPECT_EQ(TypeIntoTarget("after"), "after") << "the keyboard is free after the password";
}

TEST_F(MoreFeaturesEndToEnd, LockForCleaningCountsDownInTheNoticeAndUnlocksByItself) {
  program.WriteSettings(kHotKeySettings + "[Config.More]\r\nCLEANING_SECONDS=5\r\n\r\n");
  ASSERT_TRUE(program.Start());
  target.Activate();
  ChooseLockForCleaning();
  ASSERT_TRUE(WaitLocked(true)) << "Lock for Cleaning did not lock";

  // The mouse is locked too, though the settings leave it free.
  XMoveTo(CentreOf(target.Handle()));
  target.Clear();
  XDoTool("click 1");
  PumpFor(300);
  EXPECT_TRUE(target.Take(WM_LBUTTONDOWN).empty()) << "a click passed the cleaning lock";

  std::vector<int> seen;
  bool shot = false;
  PumpUntil(
      [&] {
        const int left = CountdownOf(program.Notice());
        if (left > 0 && (seen.empty() || seen.back() != left)) {
          seen.push_back(left);
          if (!shot && seen.size() == 2) {
            Screenshot("cleaning-countdown");
            shot = true;
          }
        }
        return program.Hook().GetIsLocked() == 0;
      },
      9000);
  ASSERT_EQ(program.Hook().GetIsLocked(), 0) << "the cleaning lock did not end by itself";
  ASSERT_GE(seen.size(), 2u) << "the notice's countdown was read fewer than twice";
  for (std::size_t i = 1; i < seen.size(); ++i) EXPECT_LT(seen[i], seen[i - 1]);
  EXPECT_LE(seen.front(), 5);
  EXPECT_TRUE(WaitNotice("Computer is UnLocked"));

  // The lock options are the settings' own again: a hot-key lock leaves the
  // mouse free.
  target.Activate();
  XDoTool("key ctrl+alt+l");
  ASSERT_TRUE(WaitLocked(true));
  EXPECT_EQ(program.Notice().find("Cleaning"), std::string::npos) << "no countdown now";
  XMoveTo(CentreOf(target.Handle()));
  target.Clear();
  XDoTool("click 1");
  PumpFor(300);
  EXPECT_EQ(target.Take(WM_LBUTTONDOWN).size(), 1u) << "the mouse stayed locked";
  XDoTool("key ctrl+alt+u");
  EXPECT_TRUE(WaitLocked(false));
}

TEST_F(MoreFeaturesEndToEnd, LockForCleaningIsRefusedWithoutAnUnlockHotKey) {
  program.WriteSettings(
      "[Config.Lock All]\r\nLOCK_KEYBOARD=0\r\nLOCK_MOUSE_BTN=0\r\nLOCK_MOUSE_MOVE=0\r\n"
      "LOCK_MOUSE_WHEEL=0\r\n\r\n");
  ASSERT_TRUE(program.Start());
  ChooseLockForCleaning();
  EXPECT_NE(WaitForWindow("Quellane 1.03"), nullptr) << "the refusal opens the options";
  EXPECT_EQ(program.Hook().GetIsLocked(), 0);
  // The options are left as they were: a lock from the dialog's own
  // settings is not made a cleaning lock.
  HWND dialog = WindowTitled("Quellane 1.03");
  if (dialog) ClickOn(ChildOf(dialog, "Button", "Cancel"));
  EXPECT_TRUE(WaitGone("Quellane 1.03"));
  EXPECT_EQ(program.Hook().GetIsLocked(), 0);
}

TEST_F(MoreFeaturesEndToEnd, TheLongestLockEndsALockByItself) {
  program.WriteSettings(kHotKeySettings + "[Config.More]\r\nLONGEST_LOCK_SECONDS=4\r\n\r\n");
  ASSERT_TRUE(program.Start());
  target.Activate();
  XMoveTo(CentreOf(target.Handle()));
  XDoTool("key ctrl+alt+l");
  ASSERT_TRUE(WaitLocked(true));
  const ULONGLONG locked = GetTickCount64();
  ASSERT_TRUE(WaitLocked(false, 8000)) << "the longest lock did not end the lock";
  EXPECT_GE(GetTickCount64() - locked, 3000u) << "ended long before its time";
  EXPECT_TRUE(WaitNotice("Computer is UnLocked"));
  target.ClearText();
  EXPECT_EQ(TypeIntoTarget("free"), "free");
}

TEST_F(MoreFeaturesEndToEnd, StartWithWindowsWritesCorrectsAndRemovesTheRunEntry) {
  // An entry of an older copy elsewhere is corrected at start-up while the
  // option is on.
  SetRunEntry("\"C:\\elsewhere\\Quellane.exe\"");
  program.WriteSettings(kHotKeySettings + "[Config.More]\r\nSTART_WITH_WINDOWS=1\r\n\r\n");
  ASSERT_TRUE(program.Start());
  const std::string expected = "\"" + program.Folder() + "Quellane.exe\"";
  ASSERT_TRUE(PumpUntil([&] { return RunEntry().has_value(); }, 3000));
  EXPECT_EQ(lstrcmpiA(RunEntry()->c_str(), expected.c_str()), 0) << *RunEntry();

  // Turned off on the page: removed.
  HWND dialog = OpenMorePage();
  ASSERT_NE(dialog, nullptr);
  HWND box = ChildOf(dialog, "Button", "Start with Windows");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED);
  ClickAndWait(box);
  ClickAndWait(ChildOf(dialog, "Button", "Save"));
  ASSERT_TRUE(WaitGone("Quellane 1.03"));
  EXPECT_FALSE(RunEntry()) << "turned off, the entry stays";
  EXPECT_EQ(program.ReadSettings().find("START_WITH_WINDOWS"), std::string::npos);

  // Turned on again: written, quoted, pointing at the running program.
  dialog = OpenMorePage();
  ASSERT_NE(dialog, nullptr);
  box = ChildOf(dialog, "Button", "Start with Windows");
  EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  ClickAndWait(box);
  ClickAndWait(ChildOf(dialog, "Button", "Save"));
  ASSERT_TRUE(WaitGone("Quellane 1.03"));
  ASSERT_TRUE(RunEntry());
  EXPECT_EQ(lstrcmpiA(RunEntry()->c_str(), expected.c_str()), 0) << *RunEntry();
  EXPECT_NE(program.ReadSettings().find("START_WITH_WINDOWS=1"), std::string::npos);
}

TEST_F(MoreFeaturesEndToEnd, ADamagedStoredPasswordMeansNoPasswordWithANotice) {
  program.WriteSettings(kHotKeySettings +
                        "[Config.More]\r\nPASSWORD=pbkdf2-sha256$1$2$3$4\r\n\r\n");
  ASSERT_TRUE(program.Start());
  EXPECT_TRUE(PumpUntil(
      [&] { return program.Notice().find("password was damaged") != std::string::npos; }, 5000))
      << program.Notice();
  EXPECT_TRUE(program.Alive());
  HWND dialog = OpenMorePage();
  ASSERT_NE(dialog, nullptr);
  EXPECT_NE(ChildOf(dialog, "Static", "None"), nullptr);
  ClickAndWait(ChildOf(dialog, "Button", "Cancel"));
  EXPECT_TRUE(WaitGone("Quellane 1.03"));
}

}  // namespace
}  // namespace quell::wintest
