// The "Invalid configuration" box of the real program, used with the mouse:
// while it is up, nothing else of the program takes input (the dialog's
// buttons, the tray icon), no second box stacks up and no tooltip stays over
// it; once it is dismissed the dialog works again.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "ProgramSession.h"

namespace quell::wintest {
namespace {

class ModalBoxEndToEnd : public ProgramSession {};

TEST_F(ModalBoxEndToEnd, WhileTheBoxIsUpNoClickOnTheDialogOrTheTrayIconIsTaken) {
  const HWND dialog = StartWithDialog();
  ASSERT_NE(dialog, nullptr);
  const HWND save = ChildOf(dialog, "Button", "Save");
  const HWND cancel = ChildOf(dialog, "Button", "Cancel");
  const HWND lockNow = ChildOf(dialog, "Button", "Lock Now");
  ASSERT_TRUE(save && cancel && lockNow);

  // The defaults lock keyboard and mouse without an unlock hot key. The
  // pointer rests on Save afterwards, where its tooltip would come up.
  ClickOn(save);
  HWND box = nullptr;
  ASSERT_TRUE(
      PumpUntil([&] { return (box = program.MessageBoxWindow("Invalid configuration")); }, 5000));
  PumpFor(1500);
  EXPECT_FALSE(IsWindowEnabled(dialog)) << "the box is modal to the dialog";
  EXPECT_TRUE(WindowsOf(program.ProcessId(), TOOLTIPS_CLASSA).empty()) << "no tooltip over the box";

  ClickOn(cancel);
  PumpFor(800);
  ClickOn(lockNow);
  PumpFor(800);
  EXPECT_TRUE(IsWindowVisible(dialog)) << "Cancel was not taken";
  EXPECT_EQ(Boxes().size(), 1u) << "no second box";
  EXPECT_EQ(program.Hook().GetIsLocked(), 0);

  // The tray icon: a click would bring the options forward, a right click
  // would open the menu (with Exit in it).
  ClickAt(TrayIconCentre());
  PumpFor(1200);
  XMoveTo(TrayIconCentre());
  XDoTool("click 3");
  PumpFor(1500);
  EXPECT_EQ(FindWindowA("#32768", nullptr) && IsWindowVisible(FindWindowA("#32768", nullptr)),
            false)
      << "no tray menu while the box is up";
  EXPECT_EQ(GetForegroundWindow(), box) << "the box keeps the focus";
  EXPECT_EQ(Boxes().size(), 1u);
  Screenshot("options-invalid-configuration-modal");

  QuellaneProcess::PressOk(box);
  ASSERT_TRUE(PumpUntil([&] { return !IsWindow(box); }, 5000));
  EXPECT_TRUE(PumpUntil([&] { return IsWindowEnabled(dialog) != FALSE; }, 3000));
  EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == dialog; }, 3000))
      << "the dialog is active again";
  EXPECT_TRUE(IsWindowVisible(dialog));

  // And it works: Cancel now closes it and writes the first settings file.
  ClickOn(cancel);
  EXPECT_TRUE(WaitForDialogGone());
  EXPECT_TRUE(PumpUntil(
      [&] { return program.ReadSettings().find("CHECK_MINI") != std::string::npos; }, 10000));
}

}  // namespace
}  // namespace quell::wintest
