// quellhook.dll with real key presses and clicks from the X server: what a
// user at the keyboard would see happen to a window of another program.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/win/support/HookApi.h"
#include "HookDll/HookProtocol.h"
#include "tests/win/support/WinTestSupport.h"

namespace quell::wintest {
namespace {

using ::testing::IsEmpty;

constexpr int CtrlAltL = 0xC04C, CtrlAltU = 0xC055;

class HookEndToEnd : public ::testing::Test {
 protected:
  static HookApi api;
  static void SetUpTestSuite() { ASSERT_TRUE(api.Load()); }

  RecordingWindow notify{"notify", false};
  RecordingWindow target{"typing target"};

  void SetUp() override {
    api.Reset();
    api.SetNotifyWnd(notify.Handle());
    ASSERT_TRUE(target.Activate());
    XMoveTo(Centre());
    PumpFor(100);
    target.Clear();
    target.ClearText();
    notify.Clear();
  }
  void TearDown() override {
    api.Reset();
    XDoTool("keyup ctrl alt shift");
  }
  POINT Centre() const {
    RECT r;
    GetClientRect(target.Handle(), &r);
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(target.Handle(), &p);
    return p;
  }
  void Configure(int keyboard, int button, int move) {
    api.SetProperties(PROP_LOCK_KEYBOARD, keyboard);
    api.SetProperties(PROP_LOCK_MOUSE_BTN, button);
    api.SetProperties(PROP_LOCK_MOUSE_MOVE, move);
    api.SetProperties(PROP_KEY_LOCK, CtrlAltL);
    api.SetProperties(PROP_KEY_UNLOCK, CtrlAltU);
    ASSERT_EQ(api.SetShellHook(), 1);
  }
  size_t NoticeCount(LPARAM code) {
    size_t n = 0;
    for (const auto& r : notify.Take(WM_USER)) n += r.lParam == code;
    return n;
  }
};

HookApi HookEndToEnd::api;

TEST_F(HookEndToEnd, HotKeyLockLeavesNoModifierHeldAndTheUnlockHotKeyWorksOnALockedKeyboard) {
  Configure(1, 0, 0);
  XDoTool("key ctrl+alt+l");
  ASSERT_TRUE(PumpUntil([] { return api.GetIsLocked() == 1; }, 2000)) << "lock hot key";
  EXPECT_GE(GetAsyncKeyState(VK_CONTROL), 0) << "Ctrl left held by the lock";
  EXPECT_GE(GetAsyncKeyState(VK_MENU), 0) << "Alt left held by the lock";

  XDoTool("type abc");
  EXPECT_EQ(target.TypedText(), "");
  EXPECT_GE(NoticeCount(LN_INPUT_BLOCKED), 3u);

  XDoTool("key ctrl+alt+u");
  ASSERT_TRUE(PumpUntil([] { return api.GetIsLocked() == 0; }, 2000)) << "unlock hot key";
  target.Clear();
  XDoTool("type hello");
  EXPECT_EQ(target.TypedText(), "hello") << "text arrives, and unmodified";
  for (const auto& key : target.Take(WM_KEYDOWN)) {
    EXPECT_EQ(HIWORD(key.lParam) & KF_ALTDOWN, 0) << "Alt still held at key " << key.wParam;
  }
}

TEST_F(HookEndToEnd, ClicksAndMovesAreSwallowedWhileLockedAndArriveAfterwards) {
  Configure(0, 1, 1);
  ASSERT_EQ(api.SetProperties(PROP_LOCKED, 1), 1);
  XDoTool("click 1");
  XDoTool("mousemove_relative 5 5");
  EXPECT_THAT(target.Take(WM_LBUTTONDOWN), IsEmpty());
  EXPECT_THAT(target.Take(WM_LBUTTONUP), IsEmpty());
  EXPECT_EQ(NoticeCount(LN_INPUT_BLOCKED), 2u) << "press and release, never the move";

  XDoTool("key ctrl+alt+u");
  ASSERT_TRUE(PumpUntil([] { return api.GetIsLocked() == 0; }, 2000));
  XMoveTo(Centre());
  target.Clear();
  XDoTool("click 1");
  EXPECT_EQ(target.Take(WM_LBUTTONDOWN).size(), 1u);
}

TEST_F(HookEndToEnd, CtrlAltDeleteWhileLockedIsReportedAndLockAndUnlockStillWork) {
  Configure(1, 0, 1);
  ASSERT_EQ(api.SetProperties(PROP_LOCKED, 1), 1);
  notify.Clear();
  // Released as a person does: Delete first, then the modifiers.
  XDoTool("keydown ctrl+alt+Delete");
  XDoTool("keyup Delete");
  XDoTool("keyup alt+ctrl");
  EXPECT_EQ(NoticeCount(LN_CTRL_ALT_DEL), 2u);
  XDoTool("key ctrl+alt+u");
  ASSERT_TRUE(PumpUntil([] { return api.GetIsLocked() == 0; }, 2000));
  XDoTool("key ctrl+alt+l");
  ASSERT_TRUE(PumpUntil([] { return api.GetIsLocked() == 1; }, 2000));
  XDoTool("key ctrl+alt+u");
  EXPECT_TRUE(PumpUntil([] { return api.GetIsLocked() == 0; }, 2000));
}

}  // namespace
}  // namespace quell::wintest
