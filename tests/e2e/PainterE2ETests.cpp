// The menu painter and the notice pop-up as a user meets them, in Wine's
// virtual desktop with real X input: the tray menu opened with a real right
// click and drawn by the painter in the flat style, and the notice shown
// above the taskbar and closed with a real click. Screenshots of both are
// kept as artifacts.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "gui/core/Action.h"
#include "gui/Application.h"
#include "ui/FPopup.h"
#include "gui/Form.h"
#include "gui/ImageList.h"
#include "ui/MenuPainter.h"
#include "gui/Menus.h"
#include "ui/TrayIcon.h"
#include "tests/win/support/RecordedProgramMenu.h"
#include "tests/win/support/WinTestSupport.h"
#include "res/resource.h"

namespace quell::ui {
namespace {

using gui::Create;
using gui::TComponent;
using wintest::PumpFor;
using wintest::PumpUntil;
using wintest::Screenshot;
using wintest::XDoTool;
using wintest::XMoveTo;

// How often each colour appears in a screen rectangle.
std::map<COLORREF, int> ColoursOf(const RECT& r) {
  std::map<COLORREF, int> count;
  HDC screen = GetDC(nullptr);
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) ++count[GetPixel(screen, x, y)];
  ReleaseDC(nullptr, screen);
  return count;
}

COLORREF ScreenPixel(int x, int y) {
  HDC screen = GetDC(nullptr);
  const COLORREF c = GetPixel(screen, x, y);
  ReleaseDC(nullptr, screen);
  return c;
}

// A program like Quellane: a hidden main form with the tray menu, the tray
// icon and the menu painter set up as the program sets them up.
class PainterEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    app = std::make_unique<gui::TApplication>();
    app->Initialize();
    app->SetTitle("Quellane");
    app->OnException = [this](TComponent*, const std::string& what) { reported.push_back(what); };
    form = app->CreateForm<gui::TForm>();
    images = Create<gui::TImageList>(form);
    for (int id : {IDI_EXIT, IDI_OPTIONS, IDI_LOCKED, IDI_UNLOCKED}) {
      images->AddIconResource(app->Instance(), MAKEINTRESOURCEA(id));
    }
    menu = quell::wintest::BuildRecordedProgramMenu(form, images, executed).pmTrayIcon;
  }
  void TearDown() override {
    XDoTool("mousemove 400 300");
    app.reset();
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }
  void StartPainter() {
    painter = Create<TMenuPainter>(form);
    painter->BindToForm(form);
    ApplyProgramMenuStyle(*painter);
    MenuPainterManager()->RegisterPainter(painter);
    painter->SetActive(true);
  }
  // Adds the tray icon and answers its centre on the screen, found as a user
  // finds it: the green open padlock at the right end of the taskbar.
  POINT StartTrayIcon() {
    tray = Create<TTrayIcon>(form);
    tray->SetPopupMenu(menu);
    tray->SetActive(true);
    images->GetIcon(3, tray->Icon());  // unlocked
    RECT bar{};
    GetWindowRect(FindWindowA("Shell_TrayWnd", nullptr), &bar);
    POINT centre{-1, -1};
    PumpUntil(
        [&] {
          long sx = 0, sy = 0, n = 0;
          HDC screen = GetDC(nullptr);
          for (int y = bar.top; y < bar.bottom; ++y)
            for (int x = bar.right - 200; x < bar.right; ++x) {
              const COLORREF c = GetPixel(screen, x, y);
              if (GetGValue(c) > GetRValue(c) + 60 && GetGValue(c) > GetBValue(c) + 40) {
                sx += x;
                sy += y;
                ++n;
              }
            }
          ReleaseDC(nullptr, screen);
          if (n > 10) centre = {sx / n, sy / n};
          return n > 10;
        },
        5000);
    return centre;
  }

  std::unique_ptr<gui::TApplication> app;
  gui::TForm* form = nullptr;
  gui::TImageList* images = nullptr;
  gui::TPopupMenu* menu = nullptr;
  TTrayIcon* tray = nullptr;
  TMenuPainter* painter = nullptr;
  std::vector<std::string> executed;
  std::vector<std::string> reported;
};

TEST_F(PainterEndToEnd, TheTrayMenuIsDrawnByThePainterInTheFlatStyle) {
  StartPainter();
  const POINT centre = StartTrayIcon();
  ASSERT_GE(centre.x, 0) << "no icon in the notification area";

  // The menu runs its own loop on this thread; a second thread looks at it,
  // points at "Lock Computer", keeps a picture and closes the menu.
  std::atomic<bool> done{false};
  bool sawMenu = false;
  RECT menuRect{}, lockRect{}, optionsRect{}, separatorRect{}, unlockRect{};
  std::map<COLORREF, int> colours;
  COLORREF borderPixel = 0, fillPixel = 0, columnPixel = 0, backPixel = 0, unlockPixel = 0;
  std::string shot;
  std::thread looker([&] {
    HWND w = nullptr;
    for (int i = 0; i < 250 && !w; ++i) {
      const HWND found = FindWindowA("#32768", nullptr);
      if (found && IsWindowVisible(found)) w = found;
      Sleep(20);
    }
    if (w) {
      sawMenu = true;
      Sleep(300);
      GetWindowRect(w, &menuRect);
      GetMenuItemRect(nullptr, menu->Handle(), 0, &lockRect);
      GetMenuItemRect(nullptr, menu->Handle(), 2, &unlockRect);
      GetMenuItemRect(nullptr, menu->Handle(), 3, &separatorRect);
      GetMenuItemRect(nullptr, menu->Handle(), 4, &optionsRect);
      XMoveTo({(lockRect.left + lockRect.right) / 2, (lockRect.top + lockRect.bottom) / 2});
      Sleep(500);
      shot = Screenshot("painter-tray-menu");
      colours = ColoursOf(menuRect);
      borderPixel = ScreenPixel(lockRect.left, (lockRect.top + lockRect.bottom) / 2);
      fillPixel = ScreenPixel(lockRect.right - 3, lockRect.top + 3);
      columnPixel = ScreenPixel(optionsRect.left + 2, optionsRect.top + 2);
      backPixel = ScreenPixel(optionsRect.right - 3, optionsRect.top + 2);
      // Over the disabled Unlock: it is never highlighted.
      XMoveTo({(unlockRect.left + unlockRect.right) / 2, (unlockRect.top + unlockRect.bottom) / 2});
      Sleep(400);
      unlockPixel = ScreenPixel(unlockRect.right - 3, unlockRect.top + 3);
      // A click outside closes it: the keyboard belongs to the window in
      // front, and the icon's click brings nothing of this program there.
      XMoveTo({menuRect.left - 150, menuRect.top - 100});
      XDoTool("click 1");
    }
    done = true;
  });
  XMoveTo(centre);
  XDoTool("click 3");
  PumpUntil([&] { return done.load(); }, 15000);
  looker.join();
  PumpFor(200);
  ASSERT_TRUE(sawMenu) << "no menu appeared";
  EXPECT_FALSE(shot.empty()) << "the screenshot was not kept";
  std::printf("screenshot: %s\n", shot.c_str());

  const MenuPalette& palette = painter->Renderer().Palette();
  EXPECT_EQ(borderPixel, palette.selectBorder) << "a solid border round the selection";
  EXPECT_EQ(fillPixel, palette.selectFill) << "a tinted selection";
  EXPECT_EQ(columnPixel, palette.iconColumn) << "the darker icon column";
  EXPECT_EQ(backPixel, palette.menuBack) << "the light menu background";
  EXPECT_EQ(unlockPixel, palette.menuBack);
  EXPECT_NE(palette.selectFill, palette.menuBack);
  EXPECT_GT(colours[palette.menuBack], 2000) << "mostly the light background";
  EXPECT_GT(colours[palette.iconColumn], 300);
  EXPECT_EQ(separatorRect.bottom - separatorRect.top, 4);
  EXPECT_EQ(optionsRect.bottom - optionsRect.top, 22);
  EXPECT_TRUE(executed.empty()) << "a click outside chooses nothing";
  EXPECT_TRUE(reported.empty());
}

TEST_F(PainterEndToEnd, TheNoticeSitsAboveTheTaskbarAndARealClickClosesIt) {
  const POINT centre = StartTrayIcon();
  ASSERT_GE(centre.x, 0);
  TFormPopup::ShowPopup("Computer is Locked", "Enter Hot Key or password to Unlock", 5000,
                        tray->Icon());
  PumpFor(500);
  ASSERT_NE(FormPopup(), nullptr);
  const HWND w = FormPopup()->Handle();
  ASSERT_TRUE(IsWindowVisible(w));
  const std::string shot = Screenshot("popup-above-taskbar");
  EXPECT_FALSE(shot.empty());
  std::printf("screenshot: %s\n", shot.c_str());

  RECT popup{}, bar{};
  GetWindowRect(w, &popup);
  GetWindowRect(FindWindowA("Shell_TrayWnd", nullptr), &bar);
  EXPECT_EQ(bar.top - popup.bottom, 4) << "just above the taskbar";
  EXPECT_EQ(bar.right - popup.right, 16);
  // The icon is the tray icon's: the green open padlock.
  POINT origin{0, 0};
  ClientToScreen(w, &origin);
  int green = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const COLORREF c = ScreenPixel(origin.x + 5 + 3 + x, origin.y + 5 + 15 + y);
      if (GetGValue(c) > GetRValue(c) + 60 && GetGValue(c) > GetBValue(c) + 40) ++green;
    }
  EXPECT_GT(green, 10);

  XMoveTo({origin.x + 5 + 60, origin.y + 5 + 20});  // on the message
  XDoTool("click 1");
  EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(w); }, 2000)) << "a click closes it at once";
  EXPECT_TRUE(executed.empty()) << "a left click opens nothing";
  EXPECT_TRUE(reported.empty());
}

}  // namespace
}  // namespace quell::ui
