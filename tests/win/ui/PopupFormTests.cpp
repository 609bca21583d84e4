// TFormPopup as a real window: one pop-up for the program, its window
// styles, its corner of the real work area, its close timer restarted by
// every notice, and closing by click, button release, loss of activation and
// a right click that opens the options instead of a context menu; the alert
// a screen reader reads it out at.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "gui/Application.h"
#include "ui/FPopup.h"
#include "gui/Form.h"
#include "tests/win/support/WinTestSupport.h"

namespace quell::ui {
namespace {

using gui::Create;
using gui::TComponent;
using wintest::PumpFor;
using wintest::PumpUntil;

class PopupFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app = std::make_unique<gui::TApplication>();
    app->Initialize();
    app->OnException = [this](TComponent*, const std::string& what) { reported.push_back(what); };
    mainForm = app->CreateForm<gui::TForm>();
    icon = static_cast<HICON>(LoadImageA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION),
                                         IMAGE_ICON, 16, 16, LR_SHARED));
  }
  void TearDown() override {
    app.reset();
    EXPECT_EQ(FormPopup(), nullptr) << "the pop-up goes with its owner";
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }
  HWND PopupWindow() { return FormPopup() ? FormPopup()->Handle() : nullptr; }
  bool Shown() { return FormPopup() && IsWindowVisible(FormPopup()->Handle()); }
  void Show(const char* title = "Computer is Locked",
            const char* message = "Enter Hot Key or password to Unlock", unsigned ms = 5000) {
    TFormPopup::ShowPopup(title, message, ms, icon);
    // The owner's answer to a right click: it opens its options.
    if (FormPopup()) FormPopup()->OnOptionsRequest = [this] { ++optionsRuns; };
    PumpFor(50);
    ASSERT_TRUE(Shown());
  }
  static bool AnyContextMenu() {
    const HWND menu = FindWindowA("#32768", nullptr);
    return menu && IsWindowVisible(menu);
  }

  std::unique_ptr<gui::TApplication> app;
  gui::TForm* mainForm = nullptr;
  HICON icon = nullptr;
  int optionsRuns = 0;
  std::vector<std::string> reported;
};

TEST_F(PopupFormTest, TwoNoticesThreeSecondsApartCloseFiveSecondsAfterTheSecond) {
  ASSERT_EQ(FormPopup(), nullptr);
  Show("Quellane", "Program is running");
  const HWND first = PopupWindow();
  EXPECT_EQ(FormPopup()->Owner(), mainForm) << "made on first use, owned by the main form";
  PumpFor(3000);
  ASSERT_TRUE(Shown());
  Show("Computer is UnLocked", "You may continue to work.");
  const ULONGLONG second = GetTickCount64();
  EXPECT_EQ(PopupWindow(), first) << "one pop-up window for the program";
  EXPECT_EQ(FormPopup()->GroupBoxTitle.Caption, "Computer is UnLocked");
  EXPECT_EQ(FormPopup()->LabelMessage.Caption, "You may continue to work.");
  PumpUntil([&] { return !Shown(); }, 4600);
  EXPECT_TRUE(Shown()) << "still up 4.6 s after the second notice (the first's time is over)";
  ASSERT_TRUE(PumpUntil([&] { return !Shown(); }, 1500));
  const ULONGLONG closedAfter = GetTickCount64() - second;
  EXPECT_GE(closedAfter, 4700u);
  EXPECT_LE(closedAfter, 5800u);
  EXPECT_FALSE(FormPopup()->TimerClose->Enabled());
  EXPECT_EQ(optionsRuns, 0);
}

TEST_F(PopupFormTest, WindowStylesPlacementAndPaint) {
  const HWND before = GetForegroundWindow();
  Show();
  const HWND w = PopupWindow();
  const auto style = static_cast<DWORD>(GetWindowLongA(w, GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(GetWindowLongA(w, GWL_EXSTYLE));
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_EQ(style & WS_CAPTION, 0u) << "no caption bar";
  EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW) << "no taskbar button";
  EXPECT_TRUE(exStyle & WS_EX_NOACTIVATE);
  EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
  OSVERSIONINFOA v{};
  v.dwOSVersionInfoSize = sizeof v;
  GetVersionExA(&v);
  const bool shadow = v.dwPlatformId == 2 &&
                      (v.dwMajorVersion > 5 || (v.dwMajorVersion == 5 && v.dwMinorVersion >= 1));
  EXPECT_EQ((GetClassLongA(w, GCL_STYLE) & CS_DROPSHADOW) != 0, shadow);
  EXPECT_NE(GetForegroundWindow(), w) << "showing does not activate it";
  EXPECT_EQ(GetForegroundWindow(), before);

  RECT area{}, r{}, client{};
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0));
  GetWindowRect(w, &r);
  EXPECT_EQ(area.right - r.right, 16);
  EXPECT_EQ(area.bottom - r.bottom, 4);
  GetClientRect(w, &client);
  EXPECT_EQ(client.right, 212 + 10);
  EXPECT_EQ(client.bottom, 37 + 10);

  // What is on the screen: the background colour, the close glyph's red and
  // white at its place, and dark title and message text.
  PumpFor(200);
  HDC screen = GetDC(nullptr);
  POINT origin{0, 0};
  ClientToScreen(w, &origin);
  auto at = [&](int x, int y) { return GetPixel(screen, origin.x + 5 + x, origin.y + 5 + y); };
  EXPECT_EQ(at(100, 33), kPopupBackground);
  EXPECT_EQ(at(194 + 1, 1 + 1), kCloseGlyphRed);
  EXPECT_EQ(at(194 + 6, 1 + 6), kCloseGlyphWhite);
  EXPECT_EQ(at(194, 1), kPopupBackground) << "the glyph's magenta corner is not drawn";
  int dark = 0;
  for (int y = 15; y < 30; ++y)
    for (int x = 23; x < 180; ++x) dark += GetRValue(at(x, y)) < 100 ? 1 : 0;
  EXPECT_GT(dark, 30) << "the message is drawn";
  int titleDark = 0;
  for (int y = 0; y < 12; ++y)
    for (int x = 8; x < 120; ++x) titleDark += GetRValue(at(x, y)) < 100 ? 1 : 0;
  EXPECT_GT(titleDark, 30) << "the title is drawn";
  ReleaseDC(nullptr, screen);
}

// The alerts raised in this process: the window with its text at the time.
std::vector<std::pair<HWND, std::string>> alerts;
void CALLBACK RecordAlert(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD,
                          DWORD) {
  char text[200] = {};
  GetWindowTextA(window, text, sizeof text);
  const bool client = object == OBJID_CLIENT && child == CHILDID_SELF;
  alerts.emplace_back(window, client ? text : "not the client");
}

TEST_F(PopupFormTest, AScreenReaderIsAlertedWithTheTextOfEachNoticeThatComesUpOrChangesItsTitle) {
  alerts.clear();
  const HWINEVENTHOOK hook =
      SetWinEventHook(EVENT_SYSTEM_ALERT, EVENT_SYSTEM_ALERT, nullptr, RecordAlert,
                      GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
  ASSERT_NE(hook, nullptr);
  Show("Computer is Locked", "Cleaning: unlocks in 3 seconds");
  Show("Computer is Locked", "Cleaning: unlocks in 2 seconds");
  Show("Computer is UnLocked", "You may continue to work.");
  FormPopup()->Close();
  PumpFor(100);
  Show("Quellane", "Program is running");
  PumpFor(200);
  UnhookWinEvent(hook);
  const HWND w = PopupWindow();
  using Alerts = std::vector<std::pair<HWND, std::string>>;
  EXPECT_EQ(alerts, (Alerts{{w, "Computer is Locked: Cleaning: unlocks in 3 seconds"},
                            {w, "Computer is UnLocked: You may continue to work."},
                            {w, "Quellane: Program is running"}}))
      << "the countdown's next second is not read out again";
}

TEST_F(PopupFormTest, ClicksReleasesAndDeactivationCloseIt) {
  auto click = [&](UINT down, UINT up, int x, int y) {
    PostMessageA(PopupWindow(), down, 0, MAKELPARAM(x, y));
    PostMessageA(PopupWindow(), up, 0, MAKELPARAM(x, y));
    PumpFor(100);
  };
  for (POINT p : {POINT{30, 22}, POINT{12, 25}, POINT{202, 8}, POINT{100, 3}}) {
    Show();
    click(WM_LBUTTONDOWN, WM_LBUTTONUP, p.x, p.y);
    EXPECT_FALSE(Shown()) << p.x << "," << p.y;
    EXPECT_FALSE(FormPopup()->TimerClose->Enabled());
  }
  Show();
  click(WM_MBUTTONDOWN, WM_MBUTTONUP, 50, 20);
  EXPECT_FALSE(Shown());
  Show();
  SendMessageA(PopupWindow(), WM_ACTIVATE, WA_INACTIVE, 0);
  EXPECT_FALSE(Shown());
  EXPECT_EQ(optionsRuns, 0);
  // Shown again after closing, with the countdown running.
  Show();
  EXPECT_TRUE(FormPopup()->TimerClose->Enabled());
  EXPECT_EQ(FormPopup()->TimerClose->Interval(), 5000u);
}

TEST_F(PopupFormTest, ARightClickClosesItAndOpensTheOptionsWithoutAContextMenu) {
  Show();
  PostMessageA(PopupWindow(), WM_RBUTTONDOWN, 0, MAKELPARAM(40, 20));
  PostMessageA(PopupWindow(), WM_RBUTTONUP, 0, MAKELPARAM(40, 20));
  PumpFor(300);
  EXPECT_FALSE(Shown());
  EXPECT_EQ(optionsRuns, 1);
  EXPECT_FALSE(AnyContextMenu());
  // The context-menu request alone does the same.
  Show();
  SendMessageA(PopupWindow(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(PopupWindow()),
               MAKELPARAM(-1, -1));
  EXPECT_FALSE(Shown());
  EXPECT_EQ(optionsRuns, 2);
  EXPECT_TRUE(reported.empty());
}

TEST_F(PopupFormTest, TheIconIsShownAtSixteenPixelsAndReplacedByEachNotice) {
  Show();
  ASSERT_TRUE(FormPopup()->Image.Picture);
  BITMAP info{};
  GetObjectA(FormPopup()->Image.Picture.get(), sizeof info, &info);
  EXPECT_EQ(info.bmWidth, 16);
  EXPECT_EQ(info.bmHeight, 16);
  const HBITMAP first = FormPopup()->Image.Picture.get();
  HICON big = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  TFormPopup::ShowPopup("T", "M", 5000, big);
  GetObjectA(FormPopup()->Image.Picture.get(), sizeof info, &info);
  EXPECT_EQ(info.bmWidth, 16) << "a 32-pixel icon is shown whole at 16";
  EXPECT_NE(FormPopup()->Image.Picture.get(), first);
  EXPECT_EQ(FormPopup()->Image.Bounds, (Rect{3, 15, 19, 31}));
  EXPECT_EQ(FormPopup()->ImageClose.Bounds, (Rect{194, 1, 207, 15}));
  EXPECT_EQ(FormPopup()->GroupBoxTitle.Bounds.bottom, 36);
}

TEST_F(PopupFormTest, TwoHundredNoticesLeaveNothingAllocated) {
  const char* const texts[][2] = {{"Computer is Locked", "Enter Hot Key or password to Unlock"},
                                  {"Computer is UnLocked", "You may continue to work."},
                                  {"Quellane", "Program is running"}};
  int shown = 0;
  auto cycle = [&] {
    const auto& text = texts[shown++ % 3];
    TFormPopup::ShowPopup(text[0], text[1], 5000, icon);
    RedrawWindow(PopupWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    PumpFor(1);
  };
  constexpr int kNotices = 200;
  const wintest::HeapChange change = wintest::HeapChangeOver(6, kNotices, cycle);
  ASSERT_TRUE(Shown());
  // The three texts take turns; a block kept by each notice would be 200.
  EXPECT_LT(change.Blocks(), 20) << kNotices << " notices left" << change.Growth();
}

}  // namespace
}  // namespace quell::ui
