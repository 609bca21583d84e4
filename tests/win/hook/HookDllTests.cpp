// quellhook.dll loaded by name and driven for real under Wine: exports, the
// shared record across processes, the registry policy, real hooks fed with
// SendInput from another thread, the log file, and bad input.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "tests/win/support/HookApi.h"
#include "HookDll/HookProtocol.h"
#include "tests/win/support/WinTestSupport.h"

namespace quell::wintest {
namespace {

using ::testing::Contains;
using ::testing::Field;
using ::testing::IsEmpty;

constexpr int CtrlAltL = 0xC04C, CtrlAltU = 0xC055;
const char* const kPolicyKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";

class HookDllTest : public ::testing::Test {
 protected:
  static HookApi api;

  static void SetUpTestSuite() {
    ASSERT_TRUE(api.Load()) << "quellhook.dll or an export is missing";
  }

  RecordingWindow notify{"notify", false};
  RecordingWindow target{"target"};

  void SetUp() override {
    api.Reset();
    api.SetNotifyWnd(notify.Handle());
    PumpFor(50);
    notify.Clear();
  }
  void TearDown() override {
    api.Reset();
    PumpFor(50);
  }

  // Codes of the notifications received, in order; forgotten afterwards.
  std::vector<LPARAM> Codes() {
    std::vector<LPARAM> codes;
    for (const auto& r : notify.Take(kNotifyMessage)) codes.push_back(r.lParam);
    return codes;
  }
  std::vector<Received> Notices(LPARAM code) {
    std::vector<Received> found;
    for (const auto& r : notify.Take(kNotifyMessage)) {
      if (r.lParam == code) found.push_back(r);
    }
    return found;
  }
  void Configure(int keyboard, int button, int move, int wheel, int lockKey, int unlockKey) {
    api.SetProperties(PROP_LOCK_KEYBOARD, keyboard);
    api.SetProperties(PROP_LOCK_MOUSE_BTN, button);
    api.SetProperties(PROP_LOCK_MOUSE_MOVE, move);
    api.SetProperties(PROP_LOCK_MOUSE_WHEEL, wheel);
    api.SetProperties(PROP_KEY_LOCK, lockKey);
    api.SetProperties(PROP_KEY_UNLOCK, unlockKey);
  }
  static bool PolicyValue(DWORD* value) {
    DWORD type = 0, size = sizeof *value;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kPolicyKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
      return false;
    const LONG rc = RegQueryValueExA(key, "DisableTaskMgr", nullptr, &type,
                                     reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS && type == REG_DWORD && size == 4;
  }
};

HookApi HookDllTest::api;

TEST_F(HookDllTest, AllSevenExportsResolveByName) {
  ASSERT_TRUE(api.Bound());
  for (const char* name : {"SetShellHook", "UnSetShellHook", "SetNotifyWnd", "GetNotifyWnd",
                           "SetProperties", "GetIsLocked", "StartLog"}) {
    EXPECT_NE(GetProcAddress(api.Module(), name), nullptr) << name;
  }
  EXPECT_EQ(api.NotifyWindow(), notify.Handle());
}

TEST_F(HookDllTest, InstallingAndRemovingHooksPostsStateChanged) {
  EXPECT_EQ(api.SetShellHook(), 1);
  PumpFor(100);
  EXPECT_THAT(Codes(), ::testing::ElementsAre(LN_STATE_CHANGED));
  EXPECT_EQ(api.SetShellHook(), 1);
  PumpFor(100);
  EXPECT_THAT(Codes(), IsEmpty()) << "already installed";
  EXPECT_EQ(api.UnSetShellHook(), 1);
  PumpFor(100);
  EXPECT_THAT(Codes(), ::testing::ElementsAre(LN_STATE_CHANGED));
}

TEST_F(HookDllTest, SecondProcessSeesTheNotifyWindowAndTheLockFlag) {
  Configure(0, 0, 0, 0, 0, CtrlAltU);
  ASSERT_EQ(api.SetShellHook(), 1);
  ASSERT_EQ(api.SetProperties(PROP_LOCKED, 1), 1);
  const std::string expected =
      "notify=" + std::to_string(reinterpret_cast<ULONG_PTR>(notify.Handle())) + " locked=1";
  std::string output;
  ASSERT_EQ(RunProcess(ProgramFolder() + "hookdll_probe.exe", &output), 0u) << output;
  EXPECT_EQ(output.substr(0, expected.size()), expected) << output;

  notify.Clear();
  ASSERT_EQ(RunProcess(ProgramFolder() + "hookdll_probe.exe unlock", &output), 0u) << output;
  EXPECT_EQ(api.GetIsLocked(), 0) << "the other process unlocked the shared flag";
  PumpFor(100);
  EXPECT_THAT(Codes(), Contains(LN_STATE_CHANGED)) << "its post reached this window";
}

TEST_F(HookDllTest, LockWritesDisableTaskMgrAndUnlockDeletesIt) {
  ASSERT_EQ(api.SetProperties(PROP_LOCKED, 1), 1);
  DWORD value = 0;
  ASSERT_TRUE(PolicyValue(&value));
  EXPECT_EQ(value, 1u);
  ASSERT_EQ(api.SetProperties(PROP_LOCKED, 0), 1);
  EXPECT_FALSE(PolicyValue(&value));
}

// A policy value that was there before the lock belongs to someone else:
// the unlock puts back exactly what was there, and an unlock with no lock of
// ours touches nothing.
TEST_F(HookDllTest, PolicyFromBeforeTheLockIsPutBackAndNeverDeleted) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, kPolicyKey, &key), ERROR_SUCCESS);
  for (DWORD before : {1u, 0u, 7u}) {
    RegSetValueExA(key, "DisableTaskMgr", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&before), 4);
    ASSERT_EQ(api.SetProperties(PROP_LOCKED, 0), 1);
    DWORD value = 99;
    ASSERT_TRUE(PolicyValue(&value)) << "an unlock with no lock of ours, before " << before;
    EXPECT_EQ(value, before);
    ASSERT_EQ(api.SetProperties(PROP_LOCKED, 1), 1);
    ASSERT_TRUE(PolicyValue(&value));
    EXPECT_EQ(value, 1u);
    ASSERT_EQ(api.SetProperties(PROP_LOCKED, 0), 1);
    ASSERT_TRUE(PolicyValue(&value)) << "deleted, was " << before;
    EXPECT_EQ(value, before);
  }
  // A value of another type is not ours: not overwritten, not deleted.
  RegSetValueExA(key, "DisableTaskMgr", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2);
  api.SetProperties(PROP_LOCKED, 1);
  api.SetProperties(PROP_LOCKED, 0);
  char text[8] = {};
  DWORD type = 0, size = sizeof text;
  EXPECT_EQ(
      RegQueryValueExA(key, "DisableTaskMgr", nullptr, &type, reinterpret_cast<BYTE*>(text), &size),
      ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_STREQ(text, "1");
  RegDeleteValueA(key, "DisableTaskMgr");
  RegCloseKey(key);
}

// While a lock is in force its changes are recorded in the registry too,
// for a start after the program died; the unlock deletes the record.
TEST_F(HookDllTest, LockKeepsARegistryRecordOfItsChangesUntilTheUnlock) {
  auto record = [](BYTE(&bytes)[16]) {
    DWORD type = 0, size = sizeof bytes;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Quellane", 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
      return false;
    }
    const LONG rc = RegQueryValueExA(key, "LockChanges", nullptr, &type, bytes, &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS && type == REG_BINARY && size == 16;
  };
  BYTE bytes[16] = {};
  ASSERT_FALSE(record(bytes));
  ASSERT_EQ(api.SetProperties(PROP_LOCKED, 1), 1);
  ASSERT_TRUE(record(bytes));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes), 4), "QLC1");
  EXPECT_EQ(bytes[4] & 3, 3) << "lock in force, policy created";
  ASSERT_EQ(api.SetProperties(PROP_LOCKED, 0), 1);
  EXPECT_FALSE(record(bytes));
}

// A program that peeks at its messages before it removes them: the ordinary
// keyboard hook sees the key-up with HC_NOREMOVE, then with HC_ACTION. The
// key-down went through before the lock, so the key-up must arrive.
TEST_F(HookDllTest, KeyUpOfAKeyPressedBeforeTheLockReachesAProgramThatPeeks) {
  ASSERT_TRUE(target.Activate());
  Configure(1, 0, 0, 0, 0, CtrlAltU);
  ASSERT_EQ(api.SetShellHook(), 1);
  SendFromAnotherThread({KeyInput('A', true)});
  ASSERT_EQ(target.Take(WM_KEYDOWN).size(), 1u);
  ASSERT_EQ(api.SetProperties(PROP_LOCKED, 1), 1);
  std::atomic<bool> sent{false};
  std::thread sender([&] {
    INPUT up = KeyInput('A', false);
    SendInput(1, &up, sizeof up);
    sent = true;
  });
  int peeked = 0;
  const ULONGLONG deadline = GetTickCount64() + 1500;
  while (GetTickCount64() < deadline) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      peeked += msg.message == WM_KEYUP;
      if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) break;
      DispatchMessageA(&msg);
    }
    Sleep(5);
  }
  sender.join();
  EXPECT_GE(peeked, 1) << "the key-up was peeked at first";
  EXPECT_EQ(target.Take(WM_KEYUP).size(), 1u) << "and then delivered";
}

TEST_F(HookDllTest, KeysAreSwallowedWhileLockedAndReachTheWindowWhileUnlocked) {
  ASSERT_TRUE(target.Activate());
  Configure(1, 0, 0, 0, 0, CtrlAltU);
  ASSERT_EQ(api.SetShellHook(), 1);
  ASSERT_EQ(api.SetProperties(PROP_LOCKED, 1), 1);
  notify.Clear();
  SendFromAnotherThread(Typed("abc"));
  EXPECT_EQ(target.TypedText(), "");
  EXPECT_THAT(target.Take(WM_KEYDOWN), IsEmpty());
  std::vector<WPARAM> blocked;
  for (const auto& r : Notices(LN_INPUT_BLOCKED)) blocked.push_back(r.wParam);
  EXPECT_THAT(blocked, ::testing::ElementsAre('A', 'B', 'C'));

  ASSERT_EQ(api.SetProperties(PROP_LOCKED, 0), 1);
  notify.Clear();
  SendFromAnotherThread(Typed("abc"));
  EXPECT_EQ(target.TypedText(), "abc");
  EXPECT_EQ(Notices(LN_ACTIVITY).size(), 3u) << "one per key press, locked or not";
}

TEST_F(HookDllTest, HotKeysLockAndUnlockWhileTheKeyboardIsLocked) {
  ASSERT_TRUE(target.Activate());
  Configure(1, 1, 0, 0, CtrlAltL, CtrlAltU);
  ASSERT_EQ(api.SetShellHook(), 1);
  SendFromAnotherThread(Chord({VK_LCONTROL, VK_LMENU}, 'L'));
  ASSERT_EQ(api.GetIsLocked(), 1);
  // The modifiers' releases reached the system: nothing is held.
  EXPECT_GE(GetAsyncKeyState(VK_CONTROL), 0);
  EXPECT_GE(GetAsyncKeyState(VK_MENU), 0);

  target.ClearText();
  SendFromAnotherThread(Typed("xy"));
  EXPECT_EQ(target.TypedText(), "");

  SendFromAnotherThread(Chord({VK_LCONTROL, VK_LMENU}, 'U'));
  EXPECT_EQ(api.GetIsLocked(), 0) << "the unlock hot key typed on a locked keyboard";
  target.Clear();
  SendFromAnotherThread(Typed("ok"));
  EXPECT_EQ(target.TypedText(), "ok") << "typed without a modifier left held";
  for (const auto& r : target.Take(WM_KEYDOWN)) EXPECT_GE(GetKeyState(VK_CONTROL), 0) << r.wParam;
}

TEST_F(HookDllTest, CtrlAltDeleteWhileLockedIsReportedAndTheHotKeysStillWork) {
  ASSERT_TRUE(target.Activate());
  Configure(1, 0, 1, 0, CtrlAltL, CtrlAltU);
  ASSERT_EQ(api.SetShellHook(), 1);
  ASSERT_EQ(api.SetProperties(PROP_LOCKED, 1), 1);
  notify.Clear();
  SendFromAnotherThread(Chord({VK_LCONTROL, VK_LMENU}, VK_DELETE));
  const auto reports = Notices(LN_CTRL_ALT_DEL);
  ASSERT_EQ(reports.size(), 2u) << "press and release";
  EXPECT_EQ(reports[0].wParam, 0xC02Eu);
  SendFromAnotherThread(Chord({VK_LCONTROL, VK_LMENU}, 'U'));
  EXPECT_EQ(api.GetIsLocked(), 0);
  SendFromAnotherThread(Chord({VK_LCONTROL, VK_LMENU}, 'L'));
  EXPECT_EQ(api.GetIsLocked(), 1);
}

TEST_F(HookDllTest, MouseButtonsAndWheelAreSwallowedWhileLocked) {
  ASSERT_TRUE(target.Activate());
  RECT r;
  GetWindowRect(target.Handle(), &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  PumpFor(100);
  Configure(0, 1, 0, 1, 0, CtrlAltU);
  ASSERT_EQ(api.SetShellHook(), 1);
  const std::vector<INPUT> click = {MouseInput(MOUSEEVENTF_LEFTDOWN),
                                    MouseInput(MOUSEEVENTF_LEFTUP),
                                    MouseInput(MOUSEEVENTF_WHEEL, 0, 0, WHEEL_DELTA)};
  SendFromAnotherThread(click);
  EXPECT_EQ(target.Take(WM_LBUTTONDOWN).size(), 1u) << "unlocked: the click arrives";
  ASSERT_EQ(api.SetProperties(PROP_LOCKED, 1), 1);
  target.Clear();
  notify.Clear();
  SendFromAnotherThread(click);
  EXPECT_THAT(target.Take(WM_LBUTTONDOWN), IsEmpty());
  EXPECT_THAT(target.Take(WM_LBUTTONUP), IsEmpty());
  EXPECT_THAT(target.Take(WM_MOUSEWHEEL), IsEmpty());
  EXPECT_EQ(Notices(LN_INPUT_BLOCKED).size(), 3u);
}

TEST_F(HookDllTest, LogFileGetsOneLinePerDecisionWithCrLf) {
  const std::string path = ProgramFolder() + "hookdll_tests.log";
  DeleteFileA(path.c_str());
  ASSERT_TRUE(target.Activate());
  ASSERT_EQ(api.SetShellHook(), 1);
  ASSERT_EQ(api.StartLog(path.c_str()), 1);
  SendFromAnotherThread({KeyInput('A', true)});
  ASSERT_EQ(api.StartLog(nullptr), 1);
  SendFromAnotherThread({KeyInput('A', false)});
  char name[40] = {};
  GetKeyNameTextA(static_cast<LONG>(MapVirtualKeyA('A', MAPVK_VK_TO_VSC) << 16), name, sizeof name);
  std::ifstream in(path, std::ios::binary);
  const std::string text{std::istreambuf_iterator<char>(in), {}};
  EXPECT_EQ(text, std::string("key Down  Shift: 0, Alt: 0, Ctrls: 0  41 ") + name +
                      "\r\nkey notlocked:41\r\n");
}

TEST_F(HookDllTest, StartLogRefusesPathsThatCannotBeOpened) {
  EXPECT_EQ(api.StartLog(nullptr), 1);
  EXPECT_EQ(api.StartLog(""), 0);
  EXPECT_EQ(api.StartLog(ProgramFolder().c_str()), 0) << "a folder";
  EXPECT_EQ(api.StartLog("C:\\no\\such\\folder\\hook.log"), 0);
  EXPECT_EQ(api.StartLog("C:\\bad<name>|.log"), 0);
  const std::string longPath = "C:\\" + std::string(5000, 'x') + ".log";
  EXPECT_EQ(api.StartLog(longPath.c_str()), 0);
}

TEST_F(HookDllTest, SetPropertiesStoresOnlyIndicesZeroToFourteen) {
  for (int index : {INT_MIN, -100, -1, 0, 1, 7, 14, 15, 16, 1000, INT_MAX}) {
    for (int value : {INT_MIN, -1, 0, 1, 0xC055, INT_MAX}) {
      api.Reset();
      const int expected = index >= 0 && index <= 14 ? 1 : 0;
      EXPECT_EQ(api.SetProperties(index, value), expected) << index << " " << value;
    }
  }
  api.SetProperties(PROP_LOCKED, 0);
  EXPECT_EQ(api.GetIsLocked(), 0);
}

TEST_F(HookDllTest, SafetyRuleRefusesAnInescapableLock) {
  // No hot key, or one that cannot be typed (a settings file can hold any number).
  for (int unlockKey : {0, static_cast<int>(0xFFFFC055u), 0x4000, 0x1C055}) {
    api.Reset();
    api.SetNotifyWnd(notify.Handle());
    Configure(1, 1, 0, 0, 0, unlockKey);
    ASSERT_EQ(api.SetShellHook(), 1);
    PumpFor(50);
    notify.Clear();
    EXPECT_EQ(api.SetProperties(PROP_LOCKED, 1), 0) << std::hex << unlockKey;
    EXPECT_EQ(api.GetIsLocked(), 0);
    DWORD value = 0;
    EXPECT_FALSE(PolicyValue(&value)) << "no side effect applied";
    PumpFor(100);
    EXPECT_THAT(Codes(), IsEmpty());
  }
}

}  // namespace
}  // namespace quell::wintest
