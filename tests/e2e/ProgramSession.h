// A test with the real program started in a folder of its own: the first
// start (no settings file) opens the options dialog; a start with settings
// does not. Whatever a test left locked is unlocked and the program closed.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/win/support/ProgramWindows.h"
#include "tests/win/support/QuellaneProcess.h"
#include "tests/win/support/WinTestSupport.h"

namespace quell::wintest {

// Keyboard locked, the mouse free, Ctrl+Alt+U unlocks and Ctrl+Alt+L locks.
inline const char* const kUsableSettings =
    "[Config.Lock All]\r\nLOCK_KEYBOARD=1\r\nLOCK_MOUSE_BTN=0\r\nLOCK_MOUSE_MOVE=0\r\n"
    "LOCK_MOUSE_WHEEL=0\r\nKEY_LOCK=49228\r\nKEY_UNLOCK=49237\r\n\r\n";

inline const char* const kDialogCaption = "Quellane 1.03";

class ProgramSession : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(XRun("xdotool getmouselocation"), 0)
        << "no X relay: this tier needs the Wine session";
  }
  void TearDown() override {
    if (program.Alive() && program.Hook().GetIsLocked()) program.Hook().SetProperties(0, 0);
    if (program.Alive()) {
      EXPECT_TRUE(program.Close()) << "the program did not end";
    }
  }
  // The dialog of the first start, painted and focused; null when none came.
  HWND StartWithDialog() {
    if (!program.Start()) return nullptr;
    HWND dialog = nullptr;
    PumpUntil(
        [&] {
          const auto found = WindowsOf(program.ProcessId(), "TQuellForm", kDialogCaption);
          dialog = found.empty() ? nullptr : found.front();
          return dialog != nullptr;
        },
        15000);
    PumpFor(500);
    return dialog;
  }
  bool WaitForDialogGone() {
    return PumpUntil(
        [&] { return WindowsOf(program.ProcessId(), "TQuellForm", kDialogCaption).empty(); },
        10000);
  }
  std::vector<HWND> Boxes() const { return WindowsOf(program.ProcessId(), "#32770"); }
  bool WaitLocked(bool locked, DWORD ms = 3000) {
    return PumpUntil([&] { return (program.Hook().GetIsLocked() != 0) == locked; }, ms);
  }
  // Opens the tray menu and clicks its second item, "Lock for Cleaning".
  static void ChooseLockForCleaning() {
    XMoveTo(TrayIconCentre());
    XDoTool("click 3");
    RECT first{};
    ASSERT_TRUE(PumpUntil([&] { return OpenMenuEdgeItemRect(false, &first); }, 6000));
    PumpFor(300);
    const int height = first.bottom - first.top;
    XMoveTo({(first.left + first.right) / 2, first.top + height + height / 2});
    XDoTool("click 1");
  }
  // The number in a cleaning notice ("...: Cleaning: unlocks in 4
  // seconds"), or -1.
  static int CountdownOf(const std::string& notice) {
    const std::string marker = "unlocks in ";
    const std::size_t at = notice.find(marker);
    if (at == std::string::npos) return -1;
    return std::atoi(notice.c_str() + at + marker.size());
  }

  QuellaneProcess program;
};

}  // namespace quell::wintest
