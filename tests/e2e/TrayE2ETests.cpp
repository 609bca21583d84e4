// The tray icon in the notification area of Wine's virtual desktop, used
// with real clicks from the X server: it shows its picture, opens its menu
// where the right button went down, and tells a double click from a click.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "gui/core/Action.h"
#include "gui/Application.h"
#include "gui/Form.h"
#include "gui/ImageList.h"
#include "gui/Menus.h"
#include "ui/TrayIcon.h"
#include "tests/win/support/RecordedProgramMenu.h"
#include "tests/win/support/WinTestSupport.h"
#include "res/resource.h"

namespace quell::ui {
namespace {

using gui::Create;
using gui::TComponent;
using gui::TMouseButton;
using wintest::PumpFor;
using wintest::PumpUntil;
using wintest::Screenshot;
using wintest::XDoTool;
using wintest::XMoveTo;

// Counts the pixels of a screen rectangle that lean clearly to red or green.
struct Tint {
  int red = 0;
  int green = 0;
};
Tint TintOf(const RECT& r) {
  Tint t;
  HDC screen = GetDC(nullptr);
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x) {
      const COLORREF c = GetPixel(screen, x, y);
      const int red = GetRValue(c), green = GetGValue(c), blue = GetBValue(c);
      if (red > green + 80 && red > blue + 80) ++t.red;
      if (green > red + 60 && green > blue + 40) ++t.green;
    }
  }
  ReleaseDC(nullptr, screen);
  return t;
}

class TrayEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    app = std::make_unique<gui::TApplication>();
    app->Initialize();
    app->SetTitle("Quellane");
    app->OnException = [this](TComponent*, const std::string& what) { reported.push_back(what); };
    form = Create<gui::TForm>(app.get());  // no main form yet, as while the program starts
    images = Create<gui::TImageList>(form);
    for (int id : {IDI_EXIT, IDI_OPTIONS, IDI_LOCKED, IDI_UNLOCKED}) {
      images->AddIconResource(app->Instance(), MAKEINTRESOURCEA(id));
    }
    menu = quell::wintest::BuildRecordedProgramMenu(form, images, executed).pmTrayIcon;
    // As the program does: no taskbar button for the application window.
    SetWindowLongA(app->Handle(), GWL_EXSTYLE, WS_EX_TOOLWINDOW);
    tray = Create<TTrayIcon>(form);
    tray->SetPopupMenu(menu);
    tray->OnClick = [this](TComponent*, TMouseButton b, gui::TShiftState, int, int) {
      clicks.push_back(b);
    };
    tray->OnDblClick = [this](TComponent*, TMouseButton b, gui::TShiftState, int, int) {
      doubleClicks.push_back(b);
    };
    tray->OnMouseDown = [this](TComponent*, TMouseButton, gui::TShiftState, int x, int y) {
      pressedAt = {x, y};
    };
    tray->SetActive(true);
    images->GetIcon(3, tray->Icon());  // unlocked
    ASSERT_TRUE(PumpUntil([&] { return FindIcon(); }, 5000))
        << "no green padlock in the notification area";
    centre = {(iconRect.left + iconRect.right) / 2, (iconRect.top + iconRect.bottom) / 2};
  }
  void TearDown() override {
    XDoTool("mousemove 400 300");
    app.reset();
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }
  // The notification area draws its icons in slots of 20 pixels from the
  // right end of the taskbar; ours is the slot that shows the green padlock.
  bool FindIcon() {
    const HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    if (!taskbar) return false;
    GetWindowRect(taskbar, &bar);
    for (int slot = 0; slot < 16; ++slot) {
      const RECT r{bar.right - 20 * (slot + 1), bar.top, bar.right - 20 * slot, bar.bottom};
      if (TintOf(r).green > 20) {
        iconRect = r;
        return true;
      }
    }
    return false;
  }

  std::unique_ptr<gui::TApplication> app;
  gui::TForm* form = nullptr;
  gui::TImageList* images = nullptr;
  gui::TPopupMenu* menu = nullptr;
  TTrayIcon* tray = nullptr;
  RECT bar{};
  RECT iconRect{};
  POINT centre{};
  POINT pressedAt{-1, -1};
  std::vector<TMouseButton> clicks;
  std::vector<TMouseButton> doubleClicks;
  std::vector<std::string> executed;
  std::vector<std::string> reported;
};

TEST_F(TrayEndToEnd, TheIconShowsItsPictureAtTheRightOfTheTaskbarAndFollowsItsChanges) {
  EXPECT_GT(centre.x, (bar.left + bar.right) / 2) << "in the notification area at the right";
  EXPECT_GE(centre.y, bar.top);
  PumpFor(300);
  const Tint unlocked = TintOf(iconRect);
  EXPECT_GT(unlocked.green, 20) << "the green open padlock";
  EXPECT_LT(unlocked.red, 5);
  Screenshot("tray-icon");
  images->GetIcon(2, tray->Icon());  // locked
  PumpFor(300);
  const Tint locked = TintOf(iconRect);
  EXPECT_GT(locked.red, 20) << "the red closed padlock";
  EXPECT_LT(locked.green, 5);
  Screenshot("tray-icon-locked");
}

TEST_F(TrayEndToEnd, ARightClickOpensTheMenuWhereTheButtonWentDownAndItsItemsWork) {
  // The menu runs its own loop on this thread; a second thread looks at it
  // and chooses "Options ..." with a real click.
  std::atomic<bool> done{false};
  RECT menuRect{};
  bool sawMenu = false;
  std::thread chooser([&] {
    HWND w = nullptr;
    for (int i = 0; i < 250 && !w; ++i) {
      const HWND found = FindWindowA("#32768", nullptr);
      if (found && IsWindowVisible(found)) w = found;
      Sleep(20);
    }
    if (w) {
      sawMenu = true;
      Sleep(300);  // fully drawn
      GetWindowRect(w, &menuRect);
      Screenshot("tray-menu");
      RECT item{};
      GetMenuItemRect(nullptr, menu->Handle(), 4, &item);
      XMoveTo({(item.left + item.right) / 2, (item.top + item.bottom) / 2});
      XDoTool("click 1");
    }
    done = true;
  });
  XMoveTo(centre);
  XDoTool("click 3");
  XMoveTo({300, 200});  // gone before the menu opens: it must open at the press
  PumpUntil([&] { return done.load() && !executed.empty(); }, 10000);
  chooser.join();
  ASSERT_TRUE(sawMenu) << "no menu appeared";
  EXPECT_EQ(pressedAt.x, centre.x);
  EXPECT_EQ(pressedAt.y, centre.y);
  // Near the corner of the desktop the menu cannot open below and right of
  // the point: Windows flips it to the other side, Wine moves it just inside
  // the work area. Either way it touches the press position where it can.
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoA(MonitorFromPoint(centre, MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT work = monitor.rcWork;
  const int w = menuRect.right - menuRect.left, h = menuRect.bottom - menuRect.top;
  const bool xAtPress = menuRect.left == centre.x || menuRect.right == centre.x ||
                        (centre.x + w > work.right && menuRect.right == work.right);
  const bool yAtPress = menuRect.top == centre.y || menuRect.bottom == centre.y ||
                        (centre.y + h > work.bottom && menuRect.bottom == work.bottom);
  EXPECT_TRUE(xAtPress) << menuRect.left << ".." << menuRect.right << " vs " << centre.x;
  EXPECT_TRUE(yAtPress) << menuRect.top << ".." << menuRect.bottom << " vs " << centre.y;
  EXPECT_THAT(executed, ::testing::ElementsAre("Options ..."));
  EXPECT_THAT(clicks, ::testing::ElementsAre(TMouseButton::Right));
  EXPECT_TRUE(reported.empty());
}

TEST_F(TrayEndToEnd, ARealDoubleClickFiresOnDblClickOnceAndNoClickWhileASingleClickWaits) {
  XMoveTo(centre);
  XDoTool("click --repeat 2 --delay 60 1");
  PumpFor(GetDoubleClickTime() + 400);
  EXPECT_THAT(doubleClicks, ::testing::ElementsAre(TMouseButton::Left));
  EXPECT_TRUE(clicks.empty()) << "the double click dropped the click";

  doubleClicks.clear();
  XDoTool("click 1");
  EXPECT_TRUE(clicks.empty()) << "not before the double-click time";
  EXPECT_TRUE(PumpUntil([&] { return !clicks.empty(); }, GetDoubleClickTime() + 1000));
  EXPECT_THAT(clicks, ::testing::ElementsAre(TMouseButton::Left));
  EXPECT_TRUE(doubleClicks.empty());
}

}  // namespace
}  // namespace quell::ui
