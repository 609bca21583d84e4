// The separators of the real program's owner-drawn tray menu: a click on one
// chooses nothing. (The arrow keys need the keyboard,
// which the tray menu of another process does not get in Wine's desktop:
// MenuSeparatorKeysE2ETests drives them in a menu of the test's own.)
#include <gtest/gtest.h>

#include "ProgramSession.h"

namespace quell::wintest {
namespace {

class TrayMenuSeparatorEndToEnd : public ProgramSession {
 protected:
  HWND OpenMenu() {
    XMoveTo(TrayIconCentre());
    XDoTool("click 3");
    HWND menu = nullptr;
    PumpUntil(
        [&] {
          menu = FindWindowA("#32768", nullptr);
          return menu && IsWindowVisible(menu);
        },
        6000);
    PumpFor(300);
    return menu;
  }
  bool MenuOpen() {
    const HWND menu = FindWindowA("#32768", nullptr);
    return menu && IsWindowVisible(menu);
  }
};

TEST_F(TrayMenuSeparatorEndToEnd, AClickOnASeparatorKeepsTheMenuOpenAndChoosesNothing) {
  program.WriteSettings(kUsableSettings);
  ASSERT_TRUE(program.Start());
  PumpFor(1000);
  const HWND menu = OpenMenu();
  ASSERT_NE(menu, nullptr);
  // The first line lies below Lock Computer and Unlock (inside the frame).
  RECT first{};
  ASSERT_TRUE(OpenMenuEdgeItemRect(false, &first));
  const int itemHeight = first.bottom - first.top;
  const POINT line{(first.left + first.right) / 2, first.top + 2 * itemHeight + 2};
  XMoveTo(line);
  PumpFor(400);
  Screenshot("tray-menu-separator-hovered");
  XDoTool("click 1");
  PumpFor(800);
  // Nothing is chosen: no lock, no dialog, no exit. (Whether the menu stays
  // open depends here on which process Wine's desktop has in front; a menu
  // of the test's own shows it: MenuSeparatorKeysE2ETests.)
  EXPECT_EQ(program.Hook().GetIsLocked(), 0);
  EXPECT_TRUE(WindowsOf(program.ProcessId(), "TQuellForm", kDialogCaption).empty());
  if (MenuOpen()) ClickAt({300, 200});  // outside: the menu closes
  EXPECT_TRUE(PumpUntil([&] { return !MenuOpen(); }, 3000));
  PumpFor(500);
  EXPECT_TRUE(program.Alive());
}

}  // namespace
}  // namespace quell::wintest
