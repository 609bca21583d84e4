// The options dialog as real windows: what each control is, says and where
// it sits, the tab order, the hot-key boxes' values, the idle box's rules,
// the configuration test and the three ways out.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
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
using gui::TComponent;
using namespace settings;
using wintest::PumpFor;
using wintest::PumpUntil;

using wintest::ClassOf;
using wintest::ForEachThreadWindow;
using wintest::TextOf;

RECT PlaceIn(HWND w) {
  RECT r;
  GetWindowRect(w, &r);
  MapWindowPoints(nullptr, GetParent(w), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

class OptionsDialog : public gui::test::AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    images = gui::test::ProgramImages(app.get());
  }
  TOptionsHost Host() {
    TOptionsHost host;
    host.Settings = &settings;
    host.IdleLock = &idle;
    host.MinimizeOnLock = &minimizeOnLock;
    host.Images = images;
    host.MinimizeAllWindows = [this] { calls.push_back("minimize"); };
    host.Lock = [this] {
      calls.push_back(form && IsWindowVisible(form->Handle()) ? "lock, dialog shown"
                                                              : "lock, dialog hidden");
    };
    return host;
  }
  TFormOptions* Make() {
    form = Create<TFormOptions>(app.get(), Host());
    return form;
  }
  // Shows the dialog modally with `action` run from inside its loop; the
  // dialog frees itself afterwards.
  int RunModal(const std::function<void()>& action) {
    Make();
    HWND window = form->Handle();
    actionInLoop = action;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, &OptionsDialog::Tick);
    current = this;
    const int result = form->ShowModal();
    KillTimer(nullptr, timer);
    PumpFor(50);  // the dialog frees itself from the queue
    freed = !IsWindow(window);
    form = nullptr;
    return result;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (current && current->actionInLoop) {
      auto action = std::move(current->actionInLoop);
      current->actionInLoop = nullptr;
      action();
    }
  }
  static inline OptionsDialog* current = nullptr;

  TLockSettings settings;
  rules::TIdleLock idle;
  bool minimizeOnLock = false;
  gui::TImageList* images = nullptr;
  TFormOptions* form = nullptr;
  std::vector<std::string> calls;
  std::function<void()> actionInLoop;
  bool freed = false;
};

TEST_F(OptionsDialog, FormIsASmallTopmostToolWindowInTheCentreWithItsFont) {
  Make();
  HWND w = form->Handle();
  EXPECT_EQ(TextOf(w), "Quellane 1.03");
  RECT client;
  GetClientRect(w, &client);
  EXPECT_EQ(client.right, 471);
  EXPECT_EQ(client.bottom, 254);
  const auto exStyle = static_cast<DWORD>(GetWindowLongA(w, GWL_EXSTYLE));
  const auto style = static_cast<DWORD>(GetWindowLongA(w, GWL_STYLE));
  EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
  EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  RECT outer;
  GetWindowRect(w, &outer);
  EXPECT_NEAR((outer.left + outer.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((outer.top + outer.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
  LOGFONTA font{};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(form->cbKeyboard->Handle(), WM_GETFONT, 0, 0)),
             sizeof font, &font);
  EXPECT_STREQ(font.lfFaceName, "MS Sans Serif");
  EXPECT_EQ(font.lfHeight, -10);
}

struct Expected {
  const char* name;
  const char* windowClass;
  const char* parent;
  RECT place;  // left, top, right, bottom
  const char* text;
  const char* hint;
};

TEST_F(OptionsDialog, EveryControlHasItsClassPlaceCaptionAndHint) {
  Make();
  const std::vector<Expected> table = {
      {"PanelButtons", "TQuellPanel", "FormOptions", {0, 0, 471, 67}, "", ""},
      {"BitBtnLockNow",
       "Button",
       "PanelButtons",
       {5, 4, 65, 62},
       "Lock Now",
       "Add a lock to your computer at once."},
      {"BitBtnApply", "Button", "PanelButtons", {73, 4, 133, 62}, "Save", "Save the settings."},
      {"BitBtnCancel",
       "Button",
       "PanelButtons",
       {141, 4, 201, 62},
       "Cancel",
       "The modification to the settings will not be saved."},
      {"PageControl", "SysTabControl32", "FormOptions", {0, 80, 471, 235}, "", ""},
      {"lHotKeyUnLock", "Static", "tsHotKeys", {18, 12, 103, 25}, "Unlock Computer:", ""},
      {"HotKeyUnLock", "msctls_hotkey32", "tsHotKeys", {18, 28, 116, 47}, "", ""},
      {"lHotKeyLock", "Static", "tsHotKeys", {18, 60, 93, 73}, "Lock Computer:", ""},
      {"HotKeyLock", "msctls_hotkey32", "tsHotKeys", {18, 79, 116, 98}, "", ""},
      {"Label1",
       "Static",
       "tsHotKeys",
       {176, 24, 421, 50},
       "Aim the cursor at the 'Unlock' edition bar, and press the key you want to set as the "
       "hotkey.",
       ""},
      {"ImageLocked", "TQuellImage", "tsHotKeys", {0, 104, 25, 129}, "", ""},
      {"ImageUnlocked", "TQuellImage", "tsHotKeys", {32, 104, 57, 129}, "", ""},
      {"cbKeyboard",
       "Button",
       "tsLock",
       {13, 14, 129, 28},
       "Lock Keyboard",
       "Block keyboard input"},
      {"cbMouseButtons", "Button", "tsLock", {13, 34, 129, 48}, "Lock Mouse Bottons", ""},
      {"cmMouseWheel", "Button", "tsLock", {13, 54, 129, 68}, "Lock Mose wheel", ""},
      {"cbMouseMove", "Button", "tsLock", {13, 74, 129, 88}, "Lock Mouse movements", ""},
      {"cbScreenSaverOff",
       "Button",
       "tsLock",
       {13, 94, 129, 108},
       "Disable screen saver",
       "Prevent the Windows screen saver from running while computer locked"},
      {"cbBeep",
       "Button",
       "tsLock",
       {234, 16, 361, 30},
       "Beep on locked keys",
       "Beep on locked mouse and keyboard keys "},
      {"cbMini", "Button", "tsLock", {234, 40, 403, 57}, "Minimize Windows when lock", ""},
      {"Label5", "Static", "tsLock", {233, 78, 258, 91}, "Wait:", ""},
      {"spIdle", "Edit", "tsLock", {263, 69, 312, 91}, "15", ""},
      {"Label4", "Static", "tsLock", {312, 78, 354, 91}, "Seconds", ""},
      {"cbIdle", "Button", "tsLock", {356, 74, 455, 91}, "On resume,lock", ""},
      {"StatusBar", "msctls_statusbar32", "FormOptions", {0, 235, 471, 254}, "", ""},
  };
  std::map<HWND, std::string> names{{form->Handle(), "FormOptions"}};
  for (const char* n : {"PanelButtons", "PageControl", "tsHotKeys", "tsLock"}) {
    names[dynamic_cast<gui::TWinControl*>(form->FindComponent(n))->Handle()] = n;
  }
  for (const Expected& e : table) {
    SCOPED_TRACE(e.name);
    auto* control = dynamic_cast<gui::TWinControl*>(form->FindComponent(e.name));
    ASSERT_NE(control, nullptr);
    HWND w = control->Handle();
    EXPECT_STRCASEEQ(ClassOf(w).c_str(), e.windowClass);
    EXPECT_EQ(names[GetParent(w)], e.parent);
    const RECT r = PlaceIn(w);
    EXPECT_EQ(r.left, e.place.left);
    EXPECT_EQ(r.top, e.place.top);
    // Labels and check boxes only ever grow to fit their caption.
    if (dynamic_cast<gui::TLabel*>(control) || dynamic_cast<gui::TCheckBox*>(control)) {
      EXPECT_GE(r.right, e.place.right);
    } else {
      EXPECT_EQ(r.right, e.place.right);
    }
    EXPECT_EQ(r.bottom, e.place.bottom);
    EXPECT_EQ(TextOf(w), e.text);
    EXPECT_EQ(control->Hint(), e.hint);
  }
  // The pages and their tabs.
  HWND tabs = form->PageControl->Handle();
  ASSERT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 3);
  char text[32];
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  SendMessageA(tabs, TCM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_STREQ(text, "General");
  SendMessageA(tabs, TCM_GETITEMA, 1, reinterpret_cast<LPARAM>(&item));
  EXPECT_STREQ(text, "Options");
  SendMessageA(tabs, TCM_GETITEMA, 2, reinterpret_cast<LPARAM>(&item));
  EXPECT_STREQ(text, "More");
  EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), 0);
  // The previews stay hidden; everything else is shown with the form.
  form->Show();
  PumpFor(50);
  EXPECT_FALSE(IsWindowVisible(form->ImageLocked->Handle()));
  EXPECT_FALSE(IsWindowVisible(form->ImageUnlocked->Handle()));
  EXPECT_TRUE(IsWindowVisible(form->HotKeyUnLock->Handle()));
  EXPECT_FALSE(IsWindowVisible(form->cbKeyboard->Handle())) << "the second page is hidden";
  // The tooltips carry the six hints of the first two pages and the nine
  // of the third.
  HWND tips = nullptr;
  ForEachThreadWindow(GetCurrentThreadId(), [&](HWND w) {
    if (ClassOf(w) == TOOLTIPS_CLASSA) tips = w;
    return true;
  });
  ASSERT_NE(tips, nullptr);
  EXPECT_EQ(SendMessageA(tips, TTM_GETTOOLCOUNT, 0, 0), 15);
}

// Pixels of a window's rectangle on the screen that are clearly of a hue.
struct Hues {
  int upper = 0;
  int lower = 0;  // the lowest 17 rows, where the caption is
};
Hues HuesOf(HWND w, bool (*is)(int r, int g, int b)) {
  RECT rect;
  GetWindowRect(w, &rect);
  Hues h;
  HDC screen = GetDC(nullptr);
  for (int y = rect.top; y < rect.bottom; ++y) {
    for (int x = rect.left; x < rect.right; ++x) {
      const COLORREF c = GetPixel(screen, x, y);
      if (is(GetRValue(c), GetGValue(c), GetBValue(c)))
        (y < rect.bottom - 17 ? h.upper : h.lower)++;
    }
  }
  ReleaseDC(nullptr, screen);
  return h;
}

TEST_F(OptionsDialog, ButtonsShowTheirGlyphAboveTheCaptionAndTheRealFont) {
  Make();
  form->Show();
  SetForegroundWindow(form->Handle());
  PumpFor(200);
  RedrawWindow(form->Handle(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  const auto red = [](int r, int g, int b) { return r > g + 80 && r > b + 80; };
  const auto blue = [](int r, int g, int b) { return b > r + 80 && b > g + 40; };
  const auto dark = [](int r, int g, int b) { return r + g + b < 150; };
  const Hues lockNow = HuesOf(form->BitBtnLockNow->Handle(), red);
  EXPECT_GT(lockNow.upper, 100) << "the red padlock";
  EXPECT_EQ(lockNow.lower, 0);
  const Hues save = HuesOf(form->BitBtnApply->Handle(), blue);
  EXPECT_GT(save.upper, 100) << "the blue disk";
  const Hues cancel = HuesOf(form->BitBtnCancel->Handle(), red);
  EXPECT_GT(cancel.upper, 50) << "the red cross";
  // The caption: dark pixels in the lower half beyond the frame's own.
  EXPECT_GT(HuesOf(form->BitBtnApply->Handle(), dark).lower,
            HuesOf(form->PanelButtons->Handle(), dark).lower / 4);
  // The face the font mapper really chose.
  HDC dc = GetDC(form->cbKeyboard->Handle());
  SelectObject(dc,
               reinterpret_cast<HFONT>(SendMessageA(form->cbKeyboard->Handle(), WM_GETFONT, 0, 0)));
  char face[LF_FACESIZE] = {};
  GetTextFaceA(dc, LF_FACESIZE, face);
  ReleaseDC(form->cbKeyboard->Handle(), dc);
  // Where the font mapper has no such face (Wine without its own fonts), a
  // caption is never cut: labels and check boxes grow to their text.
  (void)face;
  for (gui::TWinControl* c : std::initializer_list<gui::TWinControl*>{
           form->lHotKeyUnLock, form->lHotKeyLock, form->cbMouseMove, form->cbScreenSaverOff,
           form->Label4, form->cbIdle, form->cbMini, form->cbBeep}) {
    SCOPED_TRACE(c->Name());
    HDC cdc = GetDC(c->Handle());
    SelectObject(cdc, reinterpret_cast<HFONT>(SendMessageA(c->Handle(), WM_GETFONT, 0, 0)));
    SIZE text{};
    GetTextExtentPoint32A(cdc, c->Caption().c_str(), static_cast<int>(c->Caption().size()), &text);
    ReleaseDC(c->Handle(), cdc);
    const bool box = dynamic_cast<gui::TCheckBox*>(c) != nullptr;
    EXPECT_GE(c->Width(), text.cx + (box ? GetSystemMetrics(SM_CXMENUCHECK) : 0));
  }
}

// The names of a window's tabbing children in the order Tab visits them.
std::vector<std::string> TabOrderIn(TFormOptions* form, gui::TWinControl* parent) {
  std::vector<std::string> names;
  for (HWND w = GetWindow(parent->Handle(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
    if (!(GetWindowLongA(w, GWL_STYLE) & WS_TABSTOP) &&
        !(GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_CONTROLPARENT)) {
      continue;
    }
    for (std::size_t i = 0; i < form->ComponentCount(); ++i) {
      auto* c = dynamic_cast<gui::TWinControl*>(form->Components(i));
      if (c && c->HandleAllocated() && c->Handle() == w) names.push_back(c->Name());
    }
  }
  return names;
}

TEST_F(OptionsDialog, TabOrderFollowsTheDesignWithinEachParentAndTheUnlockBoxHasTheFocus) {
  Make();
  using V = std::vector<std::string>;
  // The form's own windows: the pages lie over the strip (the order the
  // dialog manager follows through all of them: OptionsKeyboardAndBoxTests).
  EXPECT_EQ(TabOrderIn(form, form),
            (V{"tsHotKeys", "tsLock", "tsMore", "PanelButtons", "PageControl"}));
  EXPECT_EQ(TabOrderIn(form, form->PanelButtons),
            (V{"BitBtnApply", "BitBtnCancel", "BitBtnLockNow"}));
  EXPECT_EQ(TabOrderIn(form, form->tsHotKeys), (V{"HotKeyUnLock", "HotKeyLock"}));
  EXPECT_EQ(TabOrderIn(form, form->tsLock),
            (V{"cbKeyboard", "cbMouseButtons", "cmMouseWheel", "cbMouseMove", "cbScreenSaverOff",
               "cbBeep", "cbIdle", "spIdle", "cbMini"}));
  form->Show();
  PumpFor(100);
  EXPECT_EQ(GetFocus(), form->HotKeyUnLock->Handle());
  // Tab moves on to the lock box, as in a dialog box.
  MSG tab{form->HotKeyUnLock->Handle(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
  EXPECT_TRUE(IsDialogMessageA(form->Handle(), &tab));
  EXPECT_EQ(GetFocus(), form->HotKeyLock->Handle());
}

TEST_F(OptionsDialog, HotKeyBoxesShowStoredCodesAndSaveThemBack) {
  struct Case {
    std::int32_t stored;
    WORD shown;
    std::int32_t saved;
  };
  // Ctrl+Alt+L; A with stray bits 8..12 (shown and saved without them);
  // Shift+Ctrl+F5; a value with bits above the low 16, or a negative one,
  // or modifiers without a key, is no hot key: an empty box.
  for (const Case c : {Case{49228, 0x064C, 49228}, Case{0x0141, 0x0041, 0x41},
                       Case{0x6074, 0x0374, 0x6074}, Case{0x1C04C, 0, 0},
                       Case{static_cast<std::int32_t>(0xFFFFC055u), 0, 0}, Case{0xC000, 0, 0}}) {
    SCOPED_TRACE(c.stored);
    settings = TLockSettings{};
    settings.Values[SLOT_LOCK_KEYBOARD] = 0;  // a save without an unlock hot key is allowed
    settings.Values[SLOT_KEY_LOCK] = c.stored;
    settings.Values[SLOT_KEY_UNLOCK] = c.stored;
    const int result = RunModal([&] {
      EXPECT_EQ(SendMessageA(form->HotKeyLock->Handle(), HKM_GETHOTKEY, 0, 0), c.shown);
      EXPECT_EQ(SendMessageA(form->HotKeyUnLock->Handle(), HKM_GETHOTKEY, 0, 0), c.shown);
      form->BitBtnApply->Click();
    });
    EXPECT_EQ(result, gui::mrOk);
    EXPECT_EQ(settings.Values[SLOT_KEY_LOCK], c.saved);
    EXPECT_EQ(settings.Values[SLOT_KEY_UNLOCK], c.saved);
  }
  // A value typed with the extended flag (Ctrl+Alt+Delete on the keypad
  // block) is stored without it.
  settings = TLockSettings{};
  RunModal([&] {
    SendMessageA(form->HotKeyUnLock->Handle(), HKM_SETHOTKEY,
                 MAKEWORD(VK_DELETE, HOTKEYF_CONTROL | HOTKEYF_ALT | HOTKEYF_EXT), 0);
    form->BitBtnApply->Click();
  });
  EXPECT_EQ(settings.Values[SLOT_KEY_UNLOCK], 0xC000 | VK_DELETE);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(OptionsDialog, OutOfRangeStoredValuesAreConfinedAndStoredBackOnlyBySave) {
  settings.Values[SLOT_EDIT_IDLE] = 0;
  settings.Values[SLOT_CHECK_IDLE] = 1;
  settings.Values[SLOT_LOCKED_IMAGE] = 9;
  settings.Values[SLOT_UNLOCKED_IMAGE] = -2;
  int cancel = RunModal([&] {
    EXPECT_EQ(TextOf(form->spIdle->Handle()), "15");
    EXPECT_EQ(form->LockedImageIndex, 3);
    EXPECT_EQ(form->UnlockedImageIndex, 0);
    form->BitBtnCancel->Click();
  });
  EXPECT_EQ(cancel, gui::mrCancel);
  EXPECT_TRUE(freed);
  EXPECT_EQ(idle.IdleLimit, 15) << "opening the dialog sets the controller's idle values";
  EXPECT_TRUE(idle.IdleLockEnabled);
  EXPECT_EQ(settings.Values[SLOT_EDIT_IDLE], 0);
  EXPECT_EQ(settings.Values[SLOT_LOCKED_IMAGE], 9);
  EXPECT_EQ(settings.Values[SLOT_UNLOCKED_IMAGE], -2);

  settings.Values[SLOT_LOCK_KEYBOARD] = 0;
  EXPECT_EQ(RunModal([&] { form->BitBtnApply->Click(); }), gui::mrOk);
  EXPECT_EQ(settings.Values[SLOT_EDIT_IDLE], 15);
  EXPECT_EQ(settings.Values[SLOT_LOCKED_IMAGE], 3);
  EXPECT_EQ(settings.Values[SLOT_UNLOCKED_IMAGE], 0);

  settings.Values[SLOT_EDIT_IDLE] = 99999;
  RunModal([&] {
    EXPECT_EQ(TextOf(form->spIdle->Handle()), "3600");
    form->Close();
  });
  EXPECT_EQ(idle.IdleLimit, 3600);
  EXPECT_EQ(settings.Values[SLOT_EDIT_IDLE], 99999);
}

TEST_F(OptionsDialog, IdleBoxTakesOnlyNumberCharactersStepsAndClampsWhenLeft) {
  Make();
  form->Show();
  PumpFor(50);
  HWND edit = form->spIdle->Handle();
  form->spIdle->SetFocus();
  SetWindowTextA(edit, "");
  for (char c : std::string("4x2\r")) SendMessageA(edit, WM_CHAR, static_cast<WPARAM>(c), 0);
  EXPECT_EQ(TextOf(edit), "42");
  SendMessageA(edit, WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(TextOf(edit), "43");
  SendMessageA(edit, WM_KEYDOWN, VK_DOWN, 0);
  SendMessageA(edit, WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(TextOf(edit), "41");
  // The spin buttons inside the box's right edge.
  HWND buttons = GetWindow(edit, GW_CHILD);
  ASSERT_NE(buttons, nullptr);
  RECT b;
  GetClientRect(buttons, &b);
  SendMessageA(buttons, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(b.right / 2, b.bottom / 4));
  SendMessageA(buttons, WM_LBUTTONUP, 0, MAKELPARAM(b.right / 2, b.bottom / 4));
  EXPECT_EQ(TextOf(edit), "42");
  // Typed text is brought into range when the box loses the focus.
  SetWindowTextA(edit, "5000");
  form->cbIdle->SetFocus();
  EXPECT_EQ(TextOf(edit), "3600");
  form->spIdle->SetFocus();
  SetWindowTextA(edit, "1-2");
  form->cbIdle->SetFocus();
  EXPECT_EQ(TextOf(edit), "15");
  SetWindowTextA(edit, "16");
  SendMessageA(edit, WM_KEYDOWN, VK_DOWN, 0);
  SendMessageA(edit, WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(TextOf(edit), "15");
}

TEST_F(OptionsDialog, ConfigurationWithoutAWayOutIsRefusedBySaveAndLockNow) {
  // The defaults: keyboard and mouse locked, no unlock hot key.
  settings.Values[SLOT_LOCK_MOUSE_MOVE] = 0;  // buttons alone are enough to refuse
  const TSettingValues stored = settings.Values;
  int result = RunModal([&] {
    form->BitBtnApply->Click();
    form->BitBtnLockNow->Click();
    EXPECT_EQ(form->ModalResult(), gui::mrNone);
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    form->cbMini->SetChecked(true);  // not stored by the refusals
    form->Close();
  });
  EXPECT_EQ(result, gui::mrCancel);
  ASSERT_EQ(boxes.size(), 2u);
  for (const Box& box : boxes) {
    EXPECT_EQ(box.text, "Need UnLock HotKey!");
    EXPECT_EQ(box.caption, "Invalid configuration");
    EXPECT_EQ(box.owner, app->Handle());
    EXPECT_EQ(box.flags & (MB_TYPEMASK | MB_ICONMASK), static_cast<UINT>(MB_OK));
  }
  EXPECT_TRUE(calls.empty());
  EXPECT_TRUE(settings.Values == stored);

  // Modifiers without a key are no unlock hot key either: nothing could
  // type them as one.
  boxes.clear();
  result = RunModal([&] {
    SendMessageA(form->HotKeyUnLock->Handle(), HKM_SETHOTKEY,
                 MAKEWORD(0, HOTKEYF_CONTROL | HOTKEYF_ALT), 0);
    form->BitBtnApply->Click();
    EXPECT_EQ(form->ModalResult(), gui::mrNone);
    form->Close();
  });
  EXPECT_EQ(result, gui::mrCancel);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Need UnLock HotKey!");
  EXPECT_TRUE(settings.Values == stored);

  // The wheel and the lock hot key do not count; with the keyboard free,
  // every mouse box may be locked.
  boxes.clear();
  settings = TLockSettings{};
  settings.Values[SLOT_LOCK_MOUSE_BTN] = 0;
  settings.Values[SLOT_LOCK_MOUSE_MOVE] = 0;
  EXPECT_EQ(RunModal([&] { form->BitBtnApply->Click(); }), gui::mrOk);
  settings = TLockSettings{};
  settings.Values[SLOT_LOCK_KEYBOARD] = 0;
  EXPECT_EQ(RunModal([&] { form->BitBtnApply->Click(); }), gui::mrOk);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(OptionsDialog, LockNowStoresMinimisesOnlyAsTheProgramStartedAndLocksWhileShown) {
  settings.Values[SLOT_KEY_UNLOCK] = 49237;
  int result = RunModal([&] {
    form->cbMini->SetChecked(true);
    form->cbBeep->SetChecked(true);
    form->BitBtnLockNow->Click();
  });
  EXPECT_EQ(result, gui::mrCancel);
  EXPECT_EQ(calls, (std::vector<std::string>{"lock, dialog shown"}));
  EXPECT_EQ(settings.Values[SLOT_CHECK_MINI], 1);
  EXPECT_EQ(settings.Values[SLOT_DO_BEEP], 1);

  calls.clear();
  minimizeOnLock = true;
  RunModal([&] { form->BitBtnLockNow->Click(); });
  EXPECT_EQ(calls, (std::vector<std::string>{"minimize", "lock, dialog shown"}));
}

TEST_F(OptionsDialog, CancelAndTheCloseBoxStoreNothingAndFreeTheDialog) {
  settings.Values[SLOT_KEY_UNLOCK] = 49237;
  const TSettingValues before = settings.Values;
  for (int way = 0; way < 3; ++way) {
    SCOPED_TRACE(way);
    int result = RunModal([&] {
      for (gui::TCheckBox* c :
           {form->cbKeyboard, form->cbMouseButtons, form->cmMouseWheel, form->cbMouseMove,
            form->cbScreenSaverOff, form->cbBeep, form->cbMini, form->cbIdle}) {
        c->SetChecked(!c->Checked());
      }
      form->spIdle->SetValue(600);
      form->HotKeyLock->SetHotKey(0x0641);
      form->HotKeyUnLock->SetHotKey(0);
      if (way == 0) form->BitBtnCancel->Click();
      if (way == 1) PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
      if (way == 2) PostMessageA(form->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    });
    EXPECT_EQ(result, gui::mrCancel);
    EXPECT_TRUE(freed);
    EXPECT_TRUE(settings.Values == before);
    EXPECT_FALSE(app->OnHint) << "the hint handler goes with the dialog";
  }
}

TEST_F(OptionsDialog, StatusBarFollowsTheHintUnderThePointer) {
  Make();
  form->Show();
  SetForegroundWindow(form->Handle());
  SendMessageA(form->PageControl->Handle(), TCM_SETCURSEL, 1, 0);
  form->PageControl->SetActivePage(form->tsLock);
  PumpFor(100);
  auto statusText = [&] {
    char text[256] = {};
    // In simple mode the control answers with its one text for part 0.
    SendMessageA(form->StatusBar->Handle(), SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    return std::string(text);
  };
  // Moves the pointer and runs the application's loop, whose idle pass
  // reads the hint, until the hint is `expected` or a second has passed.
  auto pointAt = [&](gui::TWinControl* c, int x, int y, const std::string& expected) {
    POINT p{x, y};
    ClientToScreen(c->Handle(), &p);
    SetCursorPos(p.x, p.y);
    const ULONGLONG deadline = GetTickCount64() + 1000;
    do {
      const UINT_PTR wake = SetTimer(nullptr, 0, 20, nullptr);
      app->HandleMessage();
      KillTimer(nullptr, wake);
    } while (app->Hint() != expected && GetTickCount64() < deadline);
    return statusText();
  };
  const std::string screenSaver =
      "Prevent the Windows screen saver from running while computer locked";
  EXPECT_EQ(pointAt(form->cbScreenSaverOff, 30, 5, screenSaver), screenSaver);
  EXPECT_EQ(pointAt(form->tsLock, 300, 110, ""), "") << "the empty area of the page";
  EXPECT_EQ(pointAt(form->BitBtnApply, 30, 30, "Save the settings."), "Save the settings.");
  EXPECT_EQ(pointAt(form->cbMouseMove, 30, 5, ""), "") << "no hint, nor has its page";
  EXPECT_EQ(pointAt(form->cbKeyboard, 30, 5, "Block keyboard input"), "Block keyboard input");
}

// What the system's own static control keeps of each one made with a font
// and destroyed, in heap blocks: Wine 8's keeps a 24-byte record made at
// WM_SETFONT (freed only for an icon), Windows nothing.
double BlocksKeptPerStaticWithAFont() {
  const HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
  constexpr int kLabels = 100;
  const wintest::HeapChange change = wintest::HeapChangeOver(5, kLabels, [&] {
    const HWND label = CreateWindowExA(0, "STATIC", "text", WS_CHILD | SS_LEFT, 0, 0, 50, 16,
                                       parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
    DestroyWindow(label);
  });
  DestroyWindow(parent);
  return static_cast<double>(change.Blocks()) / kLabels;
}

TEST_F(OptionsDialog, OpenedAndClosedFiftyTimesItLeavesNothingAllocated) {
  auto cycle = [&] { RunModal([&] { form->BitBtnCancel->Click(); }); };
  std::size_t labels = 0;
  Make();
  wintest::ForEachChildWindow(form->Handle(), [&](HWND w) {
    if (ClassOf(w) == "Static") ++labels;
    return true;
  });
  gui::TComponent::Free(form);
  form = nullptr;
  const double systemKeeps = BlocksKeptPerStaticWithAFont() * static_cast<double>(labels);

  constexpr int kCycles = 50;
  const wintest::HeapChange change = wintest::HeapChangeOver(3, kCycles, cycle);
  std::printf(
      "%d x options dialog: %zu -> %zu heap blocks (%.1f per dialog kept by %zu system "
      "static controls), %zu -> %zu bytes\n",
      kCycles, change.before.blocks, change.after.blocks, systemKeeps, labels, change.before.bytes,
      change.after.bytes);
  // Less than a block a dialog beyond what the system's statics keep; each
  // control of ours that kept something would be 50 blocks.
  EXPECT_LT(static_cast<double>(change.Blocks()) - systemKeeps * kCycles, kCycles)
      << kCycles << " dialogs left" << change.Growth();
}

}  // namespace
}  // namespace quell::ui
