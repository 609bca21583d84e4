// The program's side of the library binding, seen through a stand-in
// library that records every call: Quellane.exe runs with
// fake_quellhook_full.dll as its quellhook.dll. The lock sequence itself is
// the controller's, tested on the host; these check that the real program
// takes it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include "HookDll/HookProtocol.h"
#include "tests/win/support/QuellaneProcess.h"
#include "RecordingLibraryTest.h"
#include "tests/win/support/WinTestSupport.h"

namespace quell::wintest {
namespace {

using ::testing::ElementsAreArray;

class ControllerTest : public RecordingLibraryTest {
 protected:
  static std::vector<std::string> SettingsCalls(const std::vector<int>& values) {
    std::vector<std::string> calls;
    for (int i = 1; i <= 15; ++i) {
      calls.push_back("SetProperties " + std::to_string(i) + " " + std::to_string(values[i - 1]));
    }
    calls.push_back("SetShellHook");
    return calls;
  }
  HWND Main() const { return program.MainWindow(); }
};

// Every slot set to a value of its own, to see each arrive at its index.
const char* const kDistinctSettings =
    "[Config.Lock All]\r\nDO_BEEP=1\r\nLOCK_KEYBOARD=1\r\nLOCK_MOUSE_BTN=0\r\nLOCK_MOUSE_MOVE=1\r\n"
    "LOCK_MOUSE_WHEEL=0\r\nKEY_LOCK=49228\r\nKEY_UNLOCK=49237\r\nSCREEN_SAVER_OFF=1\r\n=9\r\n"
    "LOKED_IMAGE=1\r\nUNLOKED_IMAGE=0\r\nCHECK_IDLE=0\r\nEDIT_IDLE=77\r\nCHECK_MINI=0\r\n\r\n";
const std::vector<int> kDistinctValues = {1, 1, 0, 1, 0, 49228, 49237, 1, 9, 9, 1, 0, 0, 77, 0};

TEST_F(ControllerTest, StartUpRegistersTheWindowAndHandsOverSlotsOneToFifteen) {
  program.WriteSettings(kDistinctSettings);
  ASSERT_TRUE(program.Start());
  ASSERT_TRUE(PumpUntil([&] { return Calls().size() >= 17; }, 5000));
  std::vector<std::string> expected = {"SetNotifyWnd 1"};
  for (const auto& call : SettingsCalls(kDistinctValues)) expected.push_back(call);
  const auto calls = Calls();
  EXPECT_THAT(std::vector<std::string>(calls.begin(), calls.begin() + 17),
              ElementsAreArray(expected))
      << "index 15 is passed too, and the library's refusal changes nothing";
}

TEST_F(ControllerTest, ASecondInstanceBindsButNeverTakesTheNotifications) {
  program.WriteSettings(kDistinctSettings);
  ASSERT_TRUE(program.Start());
  PumpFor(500);
  ForgetCalls();
  EXPECT_EQ(program.RunAgain("/L"), 0u);
  const auto calls = Calls();
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "SetNotifyWnd 1"), 0);
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "SetProperties 0 1"), 1)
      << "the running instance locked, once";
}

}  // namespace
}  // namespace quell::wintest

namespace quell::wintest {
namespace {

// "Help Topic" opens Quellane.chm from the program's folder: the build puts
// it there, compiled, with every page of the help in it.
TEST(HelpFile, IsACompiledHelpFileBesideTheProgramWithEveryPage) {
  std::ifstream in(ProgramFolder() + "Quellane.chm", std::ios::binary);
  const std::string chm{std::istreambuf_iterator<char>(in), {}};
  ASSERT_GE(chm.size(), 4u) << "no Quellane.chm next to the program";
  EXPECT_EQ(chm.substr(0, 4), "ITSF");
  for (const char* page :
       {"/index.html", "/locking.html", "/unlocking.html", "/options.html", "/commandline.html",
        "/safety.html", "/idle.html", "/troubleshooting.html", "/password.html", "/cleaning.html",
        "/longestlock.html", "/startup.html", "/accessibility.html"}) {
    EXPECT_NE(chm.find(page), std::string::npos) << page;
  }
}

}  // namespace
}  // namespace quell::wintest
