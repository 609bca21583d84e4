// The input shield with the real program and library under Wine: while the
// mouse buttons are locked a window of the program covers the virtual screen,
// top-most and never activated, and a click that the mouse hook lets through
// (as touch and pen input never meets the hook) ends on it; the window in
// front keeps the focus. A darkened cleaning lock turns the screen black
// around the notice and gives it back as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "HookDll/HookProtocol.h"
#include "ProgramSession.h"

namespace quell::wintest {
namespace {

constexpr const char* kShieldClass = "TQuellInputShield";

// Keyboard and mouse buttons locked, Ctrl+Alt+L and Ctrl+Alt+U.
const std::string kButtonsLocked =
    "[Config.Lock All]\r\nLOCK_KEYBOARD=1\r\nLOCK_MOUSE_BTN=1\r\nLOCK_MOUSE_MOVE=0\r\n"
    "LOCK_MOUSE_WHEEL=0\r\nKEY_LOCK=49228\r\nKEY_UNLOCK=49237\r\n\r\n";
// The keyboard alone, and cleaning locks of 6 s that darken the screens.
const std::string kButtonsFreeDarkening =
    "[Config.Lock All]\r\nLOCK_KEYBOARD=1\r\nLOCK_MOUSE_BTN=0\r\nLOCK_MOUSE_MOVE=0\r\n"
    "LOCK_MOUSE_WHEEL=0\r\nKEY_LOCK=49228\r\nKEY_UNLOCK=49237\r\n\r\n"
    "[Config.More]\r\nCLEANING_SECONDS=6\r\nDARKEN_WHILE_CLEANING=1\r\n\r\n";

POINT CentreOf(HWND w) {
  RECT r;
  GetWindowRect(w, &r);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The opacity a layered window was given, or -1.
int ShieldAlpha(HWND shield) {
  BYTE alpha = 0;
  DWORD flags = 0;
  if (!GetLayeredWindowAttributes(shield, nullptr, &alpha, &flags) || !(flags & LWA_ALPHA))
    return -1;
  return alpha;
}

bool IsAbove(HWND upper, HWND lower) {
  for (HWND w = GetWindow(upper, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT)) {
    if (w == lower) return true;
  }
  return false;
}

bool Inside(const RECT& r, int x, int y) {
  return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

bool Near(COLORREF a, COLORREF b) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= 8 && std::abs(GetGValue(a) - GetGValue(b)) <= 8 &&
         std::abs(GetBValue(a) - GetBValue(b)) <= 8;
}

// The share (per thousand) of the desktop's pixels outside `skip` (the
// notice) and the taskbar for which `differs` holds.
int PerMilleOutside(const ScreenPixels& image, const std::vector<RECT>& skip,
                    const std::function<bool(int, int)>& differs) {
  const int width = std::min(image.width, GetSystemMetrics(SM_CXSCREEN));
  const int height = std::min(image.height, GetSystemMetrics(SM_CYSCREEN) - 24);
  long counted = 0, found = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (std::any_of(skip.begin(), skip.end(), [&](const RECT& r) { return Inside(r, x, y); }))
        continue;
      ++counted;
      found += differs(x, y) ? 1 : 0;
    }
  }
  return counted ? static_cast<int>(found * 1000 / counted) : 1000;
}

class InputShieldEndToEnd : public ProgramSession {
 protected:
  HWND Shield() const {
    const auto found = WindowsOf(program.ProcessId(), kShieldClass);
    return found.empty() ? nullptr : found.front();
  }
  HWND NoticeWindow() const {
    const auto found = WindowsOf(program.ProcessId(), "TFormPopup");
    return found.empty() ? nullptr : found.front();
  }
  // Locks by the hot key typed at the witness, which keeps the focus.
  void LockAtTheWitness() {
    ASSERT_TRUE(target.Activate());
    XMoveTo(CentreOf(target.Handle()));
    XDoTool("key ctrl+alt+l");
    ASSERT_TRUE(WaitLocked(true));
    PumpUntil([&] { return !program.Notice().empty(); }, 3000);
    PumpFor(300);
  }

  RecordingWindow target{"witness"};
};

TEST_F(InputShieldEndToEnd,
       WhileTheButtonsAreLockedAClickTheHookPassesEndsOnTheShieldAndTheFocusStays) {
  program.WriteSettings(kButtonsLocked);
  ASSERT_TRUE(program.Start());
  PumpFor(500);
  ASSERT_TRUE(target.Activate());
  target.Clear();
  LockAtTheWitness();

  const HWND shield = Shield();
  ASSERT_NE(shield, nullptr) << "no shield while the buttons are locked";
  const auto exStyle = static_cast<DWORD>(GetWindowLongA(shield, GWL_EXSTYLE));
  EXPECT_EQ(exStyle & WS_EX_TOPMOST, static_cast<DWORD>(WS_EX_TOPMOST));
  EXPECT_EQ(exStyle & WS_EX_NOACTIVATE, static_cast<DWORD>(WS_EX_NOACTIVATE));
  EXPECT_EQ(exStyle & WS_EX_TOOLWINDOW, static_cast<DWORD>(WS_EX_TOOLWINDOW)) << "a taskbar button";
  EXPECT_EQ(exStyle & WS_EX_APPWINDOW, 0u);
  RECT r;
  GetWindowRect(shield, &r);
  const RECT screen{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                    GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                    GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  EXPECT_TRUE(EqualRect(&r, &screen))
      << r.left << "," << r.top << " " << r.right << "x" << r.bottom;
  const HWND notice = NoticeWindow();
  ASSERT_NE(notice, nullptr) << "no notice";
  EXPECT_TRUE(IsAbove(notice, shield)) << "the shield covers the notice";
  EXPECT_EQ(GetForegroundWindow(), target.Handle()) << "the lock took the foreground";
  EXPECT_EQ(GetFocus(), target.Handle());

  // Clear: the least opacity that still takes the pointer. (Wine blends no
  // layered window without a compositing window manager: there it shows
  // black, which a screenshot cannot tell from the darkened look.)
  EXPECT_EQ(ShieldAlpha(shield), 1);
  Screenshot("input-shield-clear");

  // The hook made to pass clicks, as it never sees touch and pen: the click
  // lands on the shield, not on the witness under it.
  ASSERT_EQ(program.Hook().SetProperties(PROP_LOCK_MOUSE_BTN, 0), 1);
  XMoveTo(CentreOf(target.Handle()));
  XDoTool("click 1");
  XDoTool("click 3");
  const POINT centre = CentreOf(target.Handle());
  const LPARAM at = MAKELPARAM(centre.x, centre.y);
  PostMessageA(shield, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(shield, WM_LBUTTONUP, 0, at);
  PostMessageA(shield, 0x0246 /* WM_POINTERDOWN */, 1, at);
  PostMessageA(shield, 0x0247 /* WM_POINTERUP */, 1, at);
  PumpFor(700);
  EXPECT_TRUE(target.Take(WM_LBUTTONDOWN).empty()) << "a click passed the shield";
  EXPECT_TRUE(target.Take(WM_RBUTTONDOWN).empty()) << "a right click passed the shield";
  EXPECT_EQ(GetForegroundWindow(), target.Handle()) << "a click on the shield took the foreground";
  EXPECT_TRUE(target.Take(WM_KILLFOCUS).empty()) << "the witness lost the focus while locked";
  ASSERT_TRUE(IsWindow(shield));

  XDoTool("key ctrl+alt+u");
  ASSERT_TRUE(WaitLocked(false));
  EXPECT_TRUE(PumpUntil([&] { return Shield() == nullptr; }, 3000))
      << "the shield outlived the lock";
  EXPECT_FALSE(IsWindowVisible(shield));
  EXPECT_EQ(GetForegroundWindow(), target.Handle());
  EXPECT_EQ(GetFocus(), target.Handle());
  EXPECT_TRUE(target.Take(WM_KILLFOCUS).empty());
  target.ClearText();
  XDoTool("type after");
  PumpFor(300);
  EXPECT_EQ(target.TypedText(), "after") << "typing does not reach the witness after the unlock";
  target.Clear();
  XMoveTo(CentreOf(target.Handle()));
  XDoTool("click 1");
  PumpFor(300);
  EXPECT_EQ(target.Take(WM_LBUTTONDOWN).size(), 1u) << "clicks do not arrive after the unlock";
}

TEST_F(InputShieldEndToEnd, NoShieldWithTheButtonsFreeAndADarkenedCleaningLockGivesTheScreenBack) {
  program.WriteSettings(kButtonsFreeDarkening);
  ASSERT_TRUE(program.Start());
  PumpFor(500);
  LockAtTheWitness();
  EXPECT_EQ(Shield(), nullptr) << "a shield while the buttons are free";
  XMoveTo(CentreOf(target.Handle()));
  target.Clear();
  XDoTool("click 1");
  PumpFor(300);
  EXPECT_EQ(target.Take(WM_LBUTTONDOWN).size(), 1u) << "the free buttons were stopped";
  XDoTool("key ctrl+alt+u");
  ASSERT_TRUE(WaitLocked(false));
  // The notice of the unlock gone, the screen as the user left it.
  PumpUntil([&] { return program.Notice().empty(); }, 8000);
  ASSERT_TRUE(target.Activate());
  PumpFor(500);
  const ScreenPixels before = TakeScreenPixels();
  Screenshot("darken-before");
  ASSERT_GT(before.width, 0) << "no screen picture";

  // Ended by itself, and then by the unlock hot key.
  for (const bool byHotKey : {false, true}) {
    SCOPED_TRACE(byHotKey ? "ended by the hot key" : "ended by itself");
    ChooseLockForCleaning();
    ASSERT_TRUE(WaitLocked(true)) << "Lock for Cleaning did not lock";
    ASSERT_TRUE(PumpUntil([&] { return Shield() != nullptr; }, 3000)) << "no shield";
    PumpUntil([&] { return program.Notice().find("Cleaning") != std::string::npos; }, 3000);
    PumpFor(1200);  // the countdown's next number is up
    const HWND notice = NoticeWindow();
    ASSERT_NE(notice, nullptr);
    EXPECT_TRUE(IsAbove(notice, Shield())) << "the countdown is under the black";
    EXPECT_EQ(ShieldAlpha(Shield()), 255) << "not opaque";
    RECT noticeRect;
    GetWindowRect(notice, &noticeRect);
    const ScreenPixels dark = TakeScreenPixels();
    if (!byHotKey) Screenshot("darken-during");
    ASSERT_GT(dark.width, 0);
    EXPECT_LE(PerMilleOutside(dark, {noticeRect},
                              [&](int x, int y) { return dark.At(x, y) != RGB(0, 0, 0); }),
              2)
        << "not black outside the notice";
    int blackInNotice = 0, noticePixels = 0;
    for (int y = noticeRect.top; y < noticeRect.bottom; ++y) {
      for (int x = noticeRect.left; x < noticeRect.right; ++x, ++noticePixels)
        blackInNotice += dark.At(x, y) == RGB(0, 0, 0) ? 1 : 0;
    }
    EXPECT_LT(blackInNotice * 2, noticePixels) << "the notice is not drawn above the black";

    if (byHotKey) {
      XDoTool("key ctrl+alt+u");
      ASSERT_TRUE(WaitLocked(false));
    } else {
      ASSERT_TRUE(WaitLocked(false, 9000)) << "the cleaning lock did not end by itself";
    }
    EXPECT_TRUE(PumpUntil([&] { return Shield() == nullptr; }, 3000)) << "still dark";
    // The tray menu that began the lock took the foreground: the witness
    // in front again, as it was for the first picture.
    ASSERT_TRUE(target.Activate());
    PumpFor(500);
    const ScreenPixels after = TakeScreenPixels();
    if (!byHotKey) Screenshot("darken-after");
    ASSERT_GT(after.width, 0);
    std::vector<RECT> skip{noticeRect};
    if (const HWND unlocked = NoticeWindow()) {
      RECT r;
      GetWindowRect(unlocked, &r);
      skip.push_back(r);
    }
    EXPECT_LE(PerMilleOutside(after, skip,
                              [&](int x, int y) { return !Near(after.At(x, y), before.At(x, y)); }),
              5)
        << "the screen is not as it was before the cleaning lock";
    PumpUntil([&] { return program.Notice().empty(); }, 8000);
  }
}

}  // namespace
}  // namespace quell::wintest
