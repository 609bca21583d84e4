// The controller's safety rules seen through the recording stand-in
// library: hot keys that cannot be typed, the idle timer while a refused
// lock's dialog is open, and Exit while the options dialog is open.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "HookDll/HookProtocol.h"
#include "tests/win/support/QuellaneProcess.h"
#include "RecordingLibraryTest.h"
#include "tests/win/support/WinTestSupport.h"

namespace quell::wintest {
namespace {

using ::testing::Contains;
using ::testing::Not;

class ControllerSafety : public RecordingLibraryTest {
 protected:
  HWND OptionsDialog() const {
    const HWND dialog = FindWindowA(nullptr, "Quellane 1.03");
    DWORD pid = 0;
    if (dialog) GetWindowThreadProcessId(dialog, &pid);
    return dialog && pid == program.ProcessId() && IsWindowVisible(dialog) ? dialog : nullptr;
  }
};

TEST_F(ControllerSafety, HotKeysThatCannotBeTypedAreHandedToTheLibraryAsNone) {
  // $FFFFC055 reads as a negative number, 0x1C04C has a bit above the low
  // 16, 0xC000 is Ctrl+Alt without a key.
  for (const char* value : {"$FFFFC055", "115788", "49152"}) {
    SCOPED_TRACE(value);
    QuellaneProcess run{"fake_quellhook_full.dll"};
    const std::string calls = run.Folder() + "calls.log";
    SetEnvironmentVariableA("QUELL_FAKE_HOOK_LOG", calls.c_str());
    run.WriteSettings(
        std::string("[Config.Lock All]\r\nLOCK_KEYBOARD=1\r\nLOCK_MOUSE_BTN=1\r\nKEY_LOCK=") +
        value + "\r\nKEY_UNLOCK=" + value + "\r\n\r\n");
    ASSERT_TRUE(run.Start());
    auto lines = [&] {
      std::ifstream in(calls, std::ios::binary);
      std::vector<std::string> read;
      for (std::string line; std::getline(in, line);) read.push_back(line);
      return read;
    };
    ASSERT_TRUE(PumpUntil([&] { return lines().size() >= 17; }, 5000));
    EXPECT_THAT(lines(), Contains("SetProperties 6 0"));
    EXPECT_THAT(lines(), Contains("SetProperties 7 0"));
    // A lock is refused (no unlock hot key) and opens the options.
    PostMessageA(run.MainWindow(), kNotifyMessage, 0, LN_LOCK_REQUEST);
    HWND dialog = nullptr;
    EXPECT_TRUE(PumpUntil(
        [&] { return (dialog = FindWindowA(nullptr, "Quellane 1.03")) != nullptr; }, 8000));
    EXPECT_EQ(run.Hook().GetIsLocked(), 0);
    if (dialog) PostMessageA(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(run.Close());
    DeleteFileA(calls.c_str());
  }
}

TEST_F(ControllerSafety, ARefusedIdleLockOpensOneDialogAndTheTimerWaitsUntilItCloses) {
  // Keyboard and mouse locked without an unlock hot key: every lock is
  // refused. The idle time below the dialog's minimum is kept as written.
  program.WriteSettings(
      "[Config.Lock All]\r\nLOCK_KEYBOARD=1\r\nLOCK_MOUSE_BTN=1\r\nKEY_UNLOCK=0\r\nCHECK_IDLE=1\r\n"
      "EDIT_IDLE=3\r\n\r\n");
  ASSERT_TRUE(program.Start());
  ASSERT_TRUE(PumpUntil([&] { return OptionsDialog() != nullptr; }, 10000))
      << "the refused idle lock";
  EXPECT_EQ(Count("SetProperties 0 1"), 1);
  const long applied = Count("SetShellHook");
  // The dialog confines the idle time to at least 15 s when it fills its
  // box; a count that went on would reach it within twelve more ticks.
  PumpFor(14000);
  EXPECT_EQ(Count("SetProperties 0 1"), 1) << "no tick tries again while the dialog is open";
  EXPECT_EQ(Count("SetShellHook"), applied) << "nor hands the hot keys back to the library";
  EXPECT_EQ(Count("SetProperties 7 0"), Count("SetProperties 6 0"));

  PostMessageA(OptionsDialog(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(PumpUntil([&] { return OptionsDialog() == nullptr; }, 5000));
  EXPECT_TRUE(program.Close());
}

}  // namespace
}  // namespace quell::wintest
