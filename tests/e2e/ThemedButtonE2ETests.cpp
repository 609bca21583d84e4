// The program's own push buttons (Lock Now, Save, Cancel) under the pointer
// and the keyboard of the X server: drawn through the visual style's push
// button in its hot, pressed, focused and disabled states while a style is
// active, in the classic frame otherwise, and with a focus rectangle only
// while the window shows keyboard cues. The style is a seam: a recording
// stand-in shows the themed path, the system's is what Wine really has.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "gui/Application.h"
#include "gui/DisplayDpi.h"
#include "gui/Form.h"
#include "gui/StdCtrls.h"
#include "gui/ThemedButton.h"
#include "tests/win/support/WinTestSupport.h"
#include "res/resource.h"

#include <uxtheme.h>

namespace quell::gui {
namespace {

using wintest::PumpFor;
using wintest::PumpUntil;
using wintest::Screenshot;
using wintest::XDoTool;
using wintest::XMoveTo;

// A visual style that paints each state in a colour of its own and keeps
// the states it was asked for.
class RecordingTheme final : public TButtonTheme {
 public:
  bool active = true;
  std::vector<ThemeButtonState> drawn;
  bool Active(HWND) override { return active; }
  bool DrawPushButton(HWND, HDC dc, const RECT& bounds, ThemeButtonState state) override {
    drawn.push_back(state);
    const HBRUSH brush = CreateSolidBrush(ColourOf(state));
    FillRect(dc, &bounds, brush);
    DeleteObject(brush);
    return true;
  }
  static COLORREF ColourOf(ThemeButtonState state) {
    switch (state) {
      case ThemeButtonState::Normal: return RGB(0, 200, 0);
      case ThemeButtonState::Hot: return RGB(0, 200, 200);
      case ThemeButtonState::Pressed: return RGB(200, 0, 200);
      case ThemeButtonState::Disabled: return RGB(120, 120, 0);
      case ThemeButtonState::Defaulted: return RGB(200, 200, 0);
    }
    return 0;
  }
};

class ThemedButtonEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(wintest::XRun("xdotool getmouselocation"), 0) << "no X relay";
    app = std::make_unique<TApplication>();
    app->Initialize();
    form = Create<TForm>(app.get());
    form->SetBorderStyle(TFormBorderStyle::ToolWindow);
    form->SetClientSize(220, 80);
    form->SetFont("MS Sans Serif", 10);
    form->SetDialogKeys(true);
    form->SetCaption("Buttons");
    auto button = [&](const char* caption, int left, int icon) {
      auto* b = Create<TBitBtn>(form);
      b->SetParent(form);
      b->SetDesignBounds(left, 10, 60, 58);
      b->SetCaption(caption);
      b->Glyph().LoadFromResource(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(icon), Scaled(32));
      b->OnClick = [this, caption](TComponent*) { clicks.push_back(caption); };
      b->SetVisible(true);
      return b;
    };
    save = button("Save", 10, IDI_OPT_APPLY);
    cancel = button("Cancel", 80, IDI_OPT_CANCEL);
    form->Show();
    SetForegroundWindow(form->Handle());
    PumpFor(300);
  }
  void TearDown() override {
    app->SetButtonTheme(nullptr);
    app.reset();
  }
  POINT Centre(TBitBtn* b) {
    RECT r;
    GetWindowRect(b->Handle(), &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  void Redraw(TBitBtn* b) {
    RedrawWindow(b->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    PumpFor(100);
  }
  COLORREF PixelOf(TBitBtn* b, int x, int y) {
    RECT r;
    GetWindowRect(b->Handle(), &r);
    HDC screen = GetDC(nullptr);
    const COLORREF c = GetPixel(screen, r.left + x, r.top + y);
    ReleaseDC(nullptr, screen);
    return c;
  }
  // Pixels of the row where the focus rectangle runs that differ from the
  // button's face a little outside it.
  int FocusDots(TBitBtn* b) {
    const int row = Scaled(4);
    const COLORREF face = PixelOf(b, Scaled(2), Scaled(2) + 1);
    int dots = 0;
    for (int x = row + 2; x < b->Width() - row - 2; ++x) {
      if (PixelOf(b, x, row) != face) ++dots;
    }
    return dots;
  }
  ThemeButtonState Last() {
    return theme.drawn.empty() ? ThemeButtonState::Normal : theme.drawn.back();
  }
  bool WaitDrawn(ThemeButtonState state) {
    return PumpUntil([&] { return !theme.drawn.empty() && theme.drawn.back() == state; }, 3000);
  }

  std::unique_ptr<TApplication> app;
  TForm* form = nullptr;
  TBitBtn* save = nullptr;
  TBitBtn* cancel = nullptr;
  std::vector<std::string> clicks;
  RecordingTheme theme;
};

TEST_F(ThemedButtonEndToEnd, WithAStyleTheButtonFollowsThePointerThroughHotAndPressed) {
  app->SetButtonTheme(&theme);
  XMoveTo({5, 5});
  Redraw(save);
  EXPECT_EQ(Last(), ThemeButtonState::Normal);
  EXPECT_EQ(PixelOf(save, Scaled(3), Scaled(3)), RecordingTheme::ColourOf(ThemeButtonState::Normal))
      << "the style's part is what shows, not the classic frame";

  XMoveTo(Centre(save));
  EXPECT_TRUE(WaitDrawn(ThemeButtonState::Hot)) << "under the pointer";
  EXPECT_TRUE(save->Hot());
  XDoTool("mousedown 1");
  EXPECT_TRUE(WaitDrawn(ThemeButtonState::Pressed));
  XDoTool("mouseup 1");
  EXPECT_TRUE(PumpUntil([&] { return !clicks.empty(); }, 3000));
  EXPECT_EQ(clicks, std::vector<std::string>{"Save"});
  EXPECT_TRUE(WaitDrawn(ThemeButtonState::Hot)) << "released, still under the pointer";

  // The pointer leaves: the focused button shows as the one Enter presses.
  XMoveTo({5, 5});
  EXPECT_TRUE(WaitDrawn(ThemeButtonState::Defaulted));
  EXPECT_FALSE(save->Hot());
  EXPECT_TRUE(save->Focused());

  save->SetEnabled(false);
  EXPECT_TRUE(WaitDrawn(ThemeButtonState::Disabled));
  EXPECT_EQ(PixelOf(save, Scaled(3), Scaled(3)),
            RecordingTheme::ColourOf(ThemeButtonState::Disabled));
  EXPECT_FALSE(Screenshot("themed-buttons").empty());
}

TEST_F(ThemedButtonEndToEnd, TheFocusRectangleShowsOnlyWhileKeyboardCuesAreShown) {
  for (bool themed : {true, false}) {
    SCOPED_TRACE(themed ? "with a style" : "classic");
    theme.active = themed;
    app->SetButtonTheme(&theme);
    XMoveTo({5, 5});
    cancel->SetFocus();
    ASSERT_TRUE(cancel->Focused());
    Redraw(cancel);
    Redraw(save);
    EXPECT_GT(FocusDots(cancel), Scaled(10)) << "the focus is shown";
    EXPECT_EQ(FocusDots(save), 0) << "only on the focused button";
    // Cues hidden, as the system tells a window after a click (Wine itself
    // hands no cue changes down: the message is what the system sends).
    SendMessageA(cancel->Handle(), WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
    Redraw(cancel);
    EXPECT_EQ(FocusDots(cancel), 0) << "no focus rectangle while cues are hidden";
    SendMessageA(cancel->Handle(), WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    Redraw(cancel);
    EXPECT_GT(FocusDots(cancel), Scaled(10)) << "shown again";
    // Other cues do not touch the focus's.
    SendMessageA(cancel->Handle(), WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEACCEL), 0);
    Redraw(cancel);
    EXPECT_GT(FocusDots(cancel), Scaled(10));
    SendMessageA(cancel->Handle(), WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEACCEL), 0);
  }
}

TEST_F(ThemedButtonEndToEnd, WithoutAStyleTheClassicFrameIsDrawnAndThatIsWhatWineHas) {
  // The system's seam, as the program uses it.
  const bool systemThemed = ButtonTheme().Active(save->Handle());
  std::printf("visual style active under this system: %s\n", systemThemed ? "yes" : "no (classic)");
  if (!IsThemeActive() || !IsAppThemed()) {
    EXPECT_FALSE(systemThemed) << "no style is active: the classic frame";
  }
  theme.active = false;
  app->SetButtonTheme(&theme);
  XMoveTo(Centre(save));
  PumpFor(300);
  XDoTool("mousedown 1");
  PumpFor(300);
  EXPECT_TRUE(theme.drawn.empty()) << "no style: the style's part is never asked for";
  // Classic: the face colour inside the raised frame.
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  EXPECT_EQ(PixelOf(save, Scaled(3), Scaled(3)), face);
  XDoTool("mouseup 1");
  EXPECT_TRUE(PumpUntil([&] { return !clicks.empty(); }, 3000));
}

}  // namespace
}  // namespace quell::gui
