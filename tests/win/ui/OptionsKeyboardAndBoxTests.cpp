// The options dialog's keyboard paths and its invalid-configuration box, as
// real windows: the order the dialog manager follows, the keys that turn
// the pages, and a box that is modal to every window of the program and
// leaves the modal result as it found it.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/win/gui/GuiTestSupport.h"
#include "ui/FOptions.h"
#include "tests/win/support/ProgramImages.h"
#include "tests/win/support/WinTestSupport.h"
#include "res/resource.h"

namespace quell::ui {
namespace {

using gui::Create;
using settings::TLockSettings;
using wintest::ClassOf;
using wintest::PumpFor;

class OptionsKeys : public gui::test::AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    images = gui::test::ProgramImages(app.get());
    TOptionsHost host;
    host.Settings = &stored;
    host.IdleLock = &idle;
    host.MinimizeOnLock = &minimize;
    host.Images = images;
    host.MinimizeAllWindows = [] {};
    host.Lock = [] {};
    form = Create<TFormOptions>(app.get(), host);
  }
  void ShowInFront() {
    form->Show();
    SetForegroundWindow(form->Handle());
    PumpFor(100);
  }
  // The name of the control a window belongs to.
  std::string NameOf(HWND w) {
    auto* c = gui::TWinControl::FromHandle(w);
    return c ? c->Name() : "?" + ClassOf(w);
  }
  // The stops of the dialog manager from the focus round to it again.
  std::vector<std::string> DialogManagerRound(bool backwards) {
    std::vector<std::string> names;
    const HWND start = GetFocus();
    HWND w = start;
    for (int i = 0; i < 20; ++i) {
      w = GetNextDlgTabItem(form->Handle(), w, backwards ? TRUE : FALSE);
      names.push_back(NameOf(w));
      if (w == start || !w) break;
    }
    return names;
  }
  // A key press as the application's loop sees it, with Ctrl and Shift held
  // as asked (the thread's key state).
  void Press(WORD vk, bool ctrl, bool shift = false) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = ctrl ? 0x80 : 0;
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    PostMessageA(GetFocus(), WM_KEYDOWN, vk, 1);
    app->ProcessMessages();
    keys[VK_CONTROL] = keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
  }
  int Page() {
    return static_cast<int>(SendMessageA(form->PageControl->Handle(), TCM_GETCURSEL, 0, 0));
  }

  TLockSettings stored;
  rules::TIdleLock idle;
  bool minimize = false;
  gui::TImageList* images = nullptr;
  TFormOptions* form = nullptr;
};

TEST_F(OptionsKeys, TheDialogManagerStopsOnThePageTheButtonsAndTheTabStrip) {
  ShowInFront();
  ASSERT_EQ(GetFocus(), form->HotKeyUnLock->Handle());
  using V = std::vector<std::string>;
  EXPECT_EQ(DialogManagerRound(false), (V{"HotKeyLock", "BitBtnApply", "BitBtnCancel",
                                          "BitBtnLockNow", "PageControl", "HotKeyUnLock"}));
  EXPECT_EQ(DialogManagerRound(true), (V{"PageControl", "BitBtnLockNow", "BitBtnCancel",
                                         "BitBtnApply", "HotKeyLock", "HotKeyUnLock"}));
  // The hidden page's controls are no stops; on the other page, its own are.
  form->PageControl->SelectNextPage(true);
  form->cbKeyboard->SetFocus();
  EXPECT_EQ(DialogManagerRound(false),
            (V{"cbMouseButtons", "cmMouseWheel", "cbMouseMove", "cbScreenSaverOff", "cbBeep",
               "cbIdle", "spIdle", "cbMini", "BitBtnApply", "BitBtnCancel", "BitBtnLockNow",
               "PageControl", "cbKeyboard"}));
  // The page lies over the strip's display area, so it is the one seen.
  RECT page, strip;
  GetWindowRect(form->tsLock->Handle(), &page);
  GetWindowRect(form->PageControl->Handle(), &strip);
  const POINT inside{(page.left + page.right) / 2, (page.top + page.bottom) / 2};
  EXPECT_TRUE(PtInRect(&strip, inside));
  EXPECT_EQ(ChildWindowFromPointEx(
                form->Handle(),
                [&] {
                  POINT p = inside;
                  ScreenToClient(form->Handle(), &p);
                  return p;
                }(),
                CWP_SKIPINVISIBLE),
            form->tsLock->Handle());
}

TEST_F(OptionsKeys, CtrlTabAndTheCtrlPageKeysTurnThePagesWhereverTheFocusIs) {
  ShowInFront();
  ASSERT_EQ(Page(), 0);
  Press(VK_TAB, true);
  EXPECT_EQ(Page(), 1);
  EXPECT_TRUE(IsWindowVisible(form->cbKeyboard->Handle()));
  EXPECT_FALSE(IsWindowVisible(form->HotKeyUnLock->Handle()));
  EXPECT_EQ(GetFocus(), form->cbKeyboard->Handle()) << "the focus follows into the new page";
  Press(VK_TAB, true, true);
  EXPECT_EQ(Page(), 0);
  EXPECT_EQ(GetFocus(), form->HotKeyUnLock->Handle());
  // A hot-key box takes Ctrl+PgDn as its value.
  Press(VK_NEXT, true);
  EXPECT_EQ(Page(), 0);
  // From the strip and from a button, the focus stays where it is.
  form->PageControl->SetFocus();
  Press(VK_NEXT, true);
  EXPECT_EQ(Page(), 1);
  EXPECT_EQ(GetFocus(), form->PageControl->Handle());
  Press(VK_PRIOR, true);
  EXPECT_EQ(Page(), 0);
  form->BitBtnApply->SetFocus();
  Press(VK_PRIOR, true);
  EXPECT_EQ(Page(), form->PageControl->PageCount() - 1) << "round from the first page to the last";
  EXPECT_EQ(GetFocus(), form->BitBtnApply->Handle());
  Press(VK_NEXT, true);
  EXPECT_EQ(Page(), 0) << "round from the last page to the first";
  // Ctrl+Tab in a hot-key box turns the page without leaving the Ctrl it
  // pressed first (the box takes a modifier at once) as the box's value.
  const WORD ctrlAltL = MAKEWORD('L', HOTKEYF_CONTROL | HOTKEYF_ALT);
  form->HotKeyLock->SetHotKey(ctrlAltL);
  form->HotKeyLock->SetFocus();
  Press(VK_CONTROL, true);
  Press(VK_TAB, true);
  EXPECT_EQ(Page(), 1);
  EXPECT_EQ(form->HotKeyLock->HotKey(), ctrlAltL);
  form->BitBtnApply->SetFocus();
  // Without Ctrl, Tab is the dialog manager's.
  Press(VK_TAB, false);
  EXPECT_EQ(Page(), 1);
  EXPECT_EQ(GetFocus(), form->BitBtnCancel->Handle());
}

// ---------------------------------------------------- the invalid-configuration box

class OptionsBox : public OptionsKeys {
 protected:
  // Shows the dialog modally, runs `action` from inside its loop, and closes
  // it after three seconds if it is still open (`stuck` then says so).
  int RunModal(const std::function<void()>& action) {
    current = this;
    pending = action;
    stuck = false;
    const UINT_PTR run = SetTimer(nullptr, 0, 50, &OptionsBox::RunPending);
    const UINT_PTR watchdog = SetTimer(nullptr, 0, 3000, &OptionsBox::Unstick);
    const int result = form->ShowModal();
    KillTimer(nullptr, run);
    KillTimer(nullptr, watchdog);
    PumpFor(50);
    form = nullptr;  // freed by its own close
    return result;
  }
  static void CALLBACK RunPending(HWND, UINT, UINT_PTR, DWORD) {
    if (!current->pending) return;
    auto action = std::move(current->pending);
    current->pending = nullptr;
    action();
  }
  static void CALLBACK Unstick(HWND, UINT, UINT_PTR, DWORD) {
    if (!current->form || !current->form->Modal()) return;
    current->stuck = true;
    current->form->Close();
  }
  static inline OptionsBox* current = nullptr;
  std::function<void()> pending;
  bool stuck = false;
};

TEST_F(OptionsBox, WhileItIsUpEveryWindowOfTheProgramIsDisabledAndNoTooltipShows) {
  auto* other = app->CreateForm<gui::TForm>();
  other->SetBounds(10, 10, 100, 80);
  other->Show();
  const HWND hidden = CreateWindowExA(0, "STATIC", "tray-like", WS_POPUP, 0, 0, 0, 0, nullptr,
                                      nullptr, nullptr, nullptr);
  HWND tips = nullptr;
  wintest::ForEachThreadWindow(GetCurrentThreadId(), [&](HWND w) {
    if (ClassOf(w) == TOOLTIPS_CLASSA && GetWindow(w, GW_OWNER) == form->Handle()) tips = w;
    return true;
  });
  ASSERT_NE(tips, nullptr);
  struct Seen {
    bool dialog, other, hidden, tipShown;
  };
  std::vector<Seen> seen;
  recordedBoxes.show = [&](HWND, const std::string&, const std::string&, UINT) {
    seen.push_back({IsWindowEnabled(form->Handle()) != FALSE,
                    IsWindowEnabled(other->Handle()) != FALSE, IsWindowEnabled(hidden) != FALSE,
                    IsWindowVisible(tips) != FALSE});
    return IDOK;
  };
  const int result = RunModal([&] {
    ShowWindow(tips, SW_SHOWNA);  // a tip that came up over the button
    form->BitBtnApply->Click();
    EXPECT_TRUE(IsWindowEnabled(form->Handle())) << "the dialog takes input again";
    EXPECT_TRUE(form->Visible());
    form->Close();
  });
  EXPECT_EQ(result, gui::mrCancel);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_FALSE(seen[0].dialog);
  EXPECT_FALSE(seen[0].other);
  EXPECT_FALSE(seen[0].hidden) << "hidden windows (the tray icon's) too";
  EXPECT_FALSE(seen[0].tipShown);
  EXPECT_TRUE(IsWindowEnabled(other->Handle()));
  EXPECT_TRUE(IsWindowEnabled(hidden)) << "given back";
  DestroyWindow(hidden);
}

TEST_F(OptionsBox, ACloseThatCameWhileTheBoxWasUpIsKept) {
  const auto before = stored.Values;
  int shown = 0;
  recordedBoxes.show = [&](HWND, const std::string&, const std::string&, UINT) {
    ++shown;
    form->Close();  // a close dispatched by the box's own message loop
    return IDOK;
  };
  EXPECT_EQ(RunModal([&] { form->BitBtnLockNow->Click(); }), gui::mrCancel);
  EXPECT_FALSE(stuck) << "the close was thrown away";
  EXPECT_EQ(shown, 1);
  EXPECT_TRUE(stored.Values == before);
}

TEST_F(OptionsBox, AResultChosenBeforeTheBoxIsNeitherLostNorOverwritten) {
  const auto before = stored.Values;
  EXPECT_EQ(RunModal([&] {
              form->SetModalResult(gui::mrCancel);
              form->BitBtnApply->Click();
            }),
            gui::mrCancel);
  EXPECT_FALSE(stuck);
  ASSERT_EQ(boxes.size(), 1u) << "the refusal is still told";
  EXPECT_TRUE(stored.Values == before) << "nothing stored";
}

}  // namespace
}  // namespace quell::ui
