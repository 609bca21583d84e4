// The real program on the display it runs on, as a user sees it: its notice,
// its tray menu and the pages of its options dialog, measured from outside
// and kept as screenshots. The same program runs at 96 DPI and, in a Wine
// prefix of that density, at 144 DPI (QUELL_EXPECT_DPI names it); the
// pictures land in the artifacts folder of the tier.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/win/support/QuellaneProcess.h"
#include "tests/win/support/LayoutCheck.h"
#include "tests/win/support/WinTestSupport.h"

namespace quell::wintest {
namespace {

int ExpectedDpi() {
  const char* value = std::getenv("QUELL_EXPECT_DPI");
  return value && *value ? std::atoi(value) : 96;
}
// A design length (96 DPI) at the session's density, as the program rounds it.
int Scaled(int length) { return (length * ExpectedDpi() + 48) / 96; }

HWND VisibleWindowOf(DWORD process, const std::string& windowClass) {
  HWND found = nullptr;
  ForEachTopLevelWindow([&](HWND w) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == process && ClassOf(w) == windowClass && IsWindowVisible(w)) found = w;
    return found == nullptr;
  });
  return found;
}

// Keeps a picture of a part of the screen, `margin` pixels around a
// window, as <artifacts>/<name>.png (for the README); "" on failure.
std::string ScreenshotAround(const std::string& name, HWND window, int margin) {
  const char* folder = std::getenv("QUELL_ARTIFACTS");
  if (!folder || !*folder) return {};
  RECT r;
  GetWindowRect(window, &r);
  const int left = std::max(0, static_cast<int>(r.left) - margin);
  const int top = std::max(0, static_cast<int>(r.top) - margin);
  const int width = r.right + margin - left, height = r.bottom + margin - top;
  const std::string path = std::string(folder) + "/" + name + ".png";
  const std::string crop = std::to_string(width) + "x" + std::to_string(height) + "+" +
                           std::to_string(left) + "+" + std::to_string(top);
  return XRun("import -window root -crop " + crop + " +repage " + path) == 0 ? path : std::string();
}

// The height of the clearly red pixels of a screen rectangle.
int RedHeightIn(const RECT& r) {
  HDC screen = GetDC(nullptr);
  int top = -1, bottom = -1;
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x) {
      const COLORREF c = GetPixel(screen, x, y);
      if (GetRValue(c) > GetGValue(c) + 60 && GetRValue(c) > GetBValue(c) + 60) {
        if (top < 0) top = y;
        bottom = y + 1;
      }
    }
  }
  ReleaseDC(nullptr, screen);
  return top < 0 ? 0 : bottom - top;
}

class HighDpiEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(XRun("xdotool getmouselocation"), 0)
        << "no X relay: this tier needs the Wine session";
    HDC screen = GetDC(nullptr);
    dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    ASSERT_EQ(dpi, ExpectedDpi()) << "the Wine session was not made with the expected density";
  }
  void TearDown() override {
    if (program.Alive()) {
      EXPECT_TRUE(program.Close());
    }
  }
  QuellaneProcess program;
  int dpi = 96;
};

TEST_F(HighDpiEndToEnd, DialogNoticeAndMenuAreDrawnAtTheDisplaysDensity) {
  // The first start, with no settings file, opens the options dialog.
  ASSERT_TRUE(program.Start());
  const DWORD pid = program.ProcessId();
  HWND dialog = nullptr;
  ASSERT_TRUE(
      PumpUntil([&] { return (dialog = VisibleWindowOf(pid, "TQuellForm")) != nullptr; }, 15000));
  PumpFor(600);
  RECT client;
  GetClientRect(dialog, &client);
  EXPECT_NEAR(client.right, 471 * dpi / 96.0, 2.0);
  EXPECT_NEAR(client.bottom, 254 * dpi / 96.0, 2.0);
  const LayoutCheck layout = CheckLayout(dialog);
  EXPECT_EQ(layout.faults, std::vector<std::string>{});
  EXPECT_GT(layout.pairsCompared, 40) << "both pages' controls were compared";
  EXPECT_FALSE(Screenshot("dpi-options-general").empty());
  EXPECT_FALSE(ScreenshotAround("window-options-general", dialog, Scaled(12)).empty());
  // The second page, by a click on its tab.
  HWND tabs = nullptr;
  ForEachChildWindow(dialog, [&](HWND w) {
    if (ClassOf(w) == "SysTabControl32") tabs = w;
    return tabs == nullptr;
  });
  ASSERT_NE(tabs, nullptr);
  RECT tabRect;
  GetWindowRect(tabs, &tabRect);
  XMoveTo({tabRect.left + Scaled(75), tabRect.top + Scaled(10)});
  XDoTool("click 1");
  HWND keyboardBox = nullptr;
  ForEachChildWindow(dialog, [&](HWND w) {
    if (TextOf(w) == "Lock Keyboard") keyboardBox = w;
    return keyboardBox == nullptr;
  });
  ASSERT_NE(keyboardBox, nullptr);
  EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(keyboardBox) != FALSE; }, 3000));
  PumpFor(300);
  EXPECT_FALSE(Screenshot("dpi-options-options").empty());
  EXPECT_FALSE(ScreenshotAround("window-options-options", dialog, Scaled(12)).empty());
  // The third page, "More", right of the second tab.
  HWND darkenBox = nullptr;
  ForEachChildWindow(dialog, [&](HWND w) {
    if (TextOf(w) == "Darken the screens while cleaning") darkenBox = w;
    return darkenBox == nullptr;
  });
  ASSERT_NE(darkenBox, nullptr);
  for (int x : {125, 135, 115, 145}) {
    XMoveTo({tabRect.left + Scaled(x), tabRect.top + Scaled(10)});
    XDoTool("click 1");
    if (PumpUntil([&] { return IsWindowVisible(darkenBox) != FALSE; }, 1000)) break;
  }
  EXPECT_TRUE(IsWindowVisible(darkenBox));
  PumpFor(300);
  EXPECT_FALSE(Screenshot("dpi-options-more").empty());
  EXPECT_FALSE(ScreenshotAround("window-options-more", dialog, Scaled(12)).empty());
  XDoTool("key Escape");
  ASSERT_TRUE(PumpUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 5000));
  PumpFor(300);

  // A second start shows the running program's notice: the design's size
  // scaled, in the corner.
  program.RunAgain("");
  HWND notice = nullptr;
  ASSERT_TRUE(
      PumpUntil([&] { return (notice = VisibleWindowOf(pid, "TFormPopup")) != nullptr; }, 5000));
  PumpFor(300);
  GetClientRect(notice, &client);
  EXPECT_NEAR(client.right, 222 * dpi / 96.0, 2.0) << "the notice's width";
  EXPECT_NEAR(client.bottom, 47 * dpi / 96.0, 2.0) << "the notice's height";
  EXPECT_FALSE(Screenshot("dpi-notice").empty());
  EXPECT_FALSE(ScreenshotAround("window-notice", notice, Scaled(8)).empty());

  // The tray menu: rows tall enough for the small icons.
  XMoveTo(TrayIconCentre());
  XDoTool("click 3");
  HWND menu = nullptr;
  ASSERT_TRUE(PumpUntil(
      [&] {
        menu = FindWindowA("#32768", nullptr);
        return menu && IsWindowVisible(menu);
      },
      6000));
  PumpFor(400);
  RECT menuRect;
  GetWindowRect(menu, &menuRect);
  // Five rows with an image and three separators at least.
  EXPECT_GE(menuRect.bottom - menuRect.top, 5 * (GetSystemMetrics(SM_CYSMICON) + 4));
  // Its images come from the image list the tray icon takes its picture
  // from, made at the small-icon size: the red padlock of the first row
  // (its body, six pixels tall at 96 DPI) is as tall as the density makes it.
  EXPECT_GE(RedHeightIn({menuRect.left, menuRect.top, menuRect.left + Scaled(30),
                         menuRect.top + GetSystemMetrics(SM_CYSMICON) + Scaled(8)}),
            Scaled(6) - 1);
  EXPECT_FALSE(Screenshot("dpi-tray-menu").empty());
  EXPECT_FALSE(ScreenshotAround("window-tray-menu", menu, Scaled(8)).empty());
  // A click outside closes the menu.
  XMoveTo({Scaled(20), Scaled(20)});
  XDoTool("click 1");
  EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(menu); }, 3000)) << "the menu closes";
}

}  // namespace
}  // namespace quell::wintest
