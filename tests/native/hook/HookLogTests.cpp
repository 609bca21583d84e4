// The hook log: opening rules and byte-exact lines.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "FakeHookPlatform.h"

namespace quell::hook::testing {
namespace {

namespace fs = std::filesystem;

class HookLogTest : public ::testing::Test, protected HookFixtureState {
 protected:
  fs::path dir;
  fs::path file;

  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("quell-log-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    file = dir / "hook.log";
    lib.SetNotifyWnd(1);
    lib.SetShellHook();
  }
  void TearDown() override {
    lib.StartLog(nullptr);
    fs::remove_all(dir);
  }
  std::string Contents() const {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  void Key(std::uint32_t message, std::uint32_t vk, std::uint32_t scan) {
    lib.LowLevelKeyboardProc(0, message, {vk, scan, 0, 100});
  }
};

TEST_F(HookLogTest, UnlockedKeyPressWritesTheEventLineThenNotLocked) {
  ASSERT_EQ(lib.StartLog(file.string().c_str()), 1);
  Key(kWmKeyDown, 0x41, 0x1E);
  EXPECT_EQ(Contents(), "key Down  Shift: 0, Alt: 0, Ctrls: 0  41 A\r\nkey notlocked:41\r\n");
}

TEST_F(HookLogTest, LabelsAndModifierFieldsAreFixedWidth) {
  ASSERT_EQ(lib.StartLog(file.string().c_str()), 1);
  os.keyDown[0x10] = os.keyDown[0x11] = os.keyDown[0x12] = true;
  Key(kWmSysKeyDown, 0x41, 0x1E);
  Key(kWmSysKeyUp, 0x41, 0x1E);
  os.keyDown[0x10] = os.keyDown[0x11] = os.keyDown[0x12] = false;
  Key(kWmKeyUp, 0x2E, 0x99);  // a scan code without a name
  EXPECT_EQ(Contents(),
            "key sDown Shift:-1, Alt:-1, Ctrls:-1  41 A\r\nkey notlocked:e041\r\n"
            "key sUp   Shift:-1, Alt:-1, Ctrls:-1  41 A\r\nkey notlocked:e041\r\n"
            "key Up    Shift: 0, Alt: 0, Ctrls: 0  2e \r\nkey notlocked:2e\r\n");
}

TEST_F(HookLogTest, LockedLinesForPassedAndSwallowedKeys) {
  lib.SetProperties(PROP_KEY_UNLOCK, 0xC055);
  lib.SetProperties(PROP_KEY_LOCK, 0x2041);
  lib.SetProperties(PROP_LOCKED, 1);
  ASSERT_EQ(lib.StartLog(file.string().c_str()), 1);
  Key(kWmKeyDown, 0x42, 0x30);  // keyboard free: passed
  lib.SetProperties(PROP_LOCK_KEYBOARD, 1);
  Key(kWmKeyDown, 0x43, 0x2E);  // swallowed
  os.keyDown[0x11] = os.keyDown[0x12] = true;
  Key(kWmKeyDown, 0x55, 0x16);  // the unlock hot key: only the event line
  EXPECT_EQ(Contents(),
            "key Down  Shift: 0, Alt: 0, Ctrls: 0  42 \r\nkey passed:42, wParam 256\r\n"
            "key Down  Shift: 0, Alt: 0, Ctrls: 0  43 \r\nkey locked:43\r\n"
            "key Down  Shift: 0, Alt:-1, Ctrls:-1  55 \r\n");
}

TEST_F(HookLogTest, MouseLogsOnlyUnlistedMessagesWhileLocked) {
  ASSERT_EQ(lib.StartLog(file.string().c_str()), 1);
  lib.LowLevelMouseProc(0, 0x207);  // unlocked: not looked up, not logged
  lib.SetProperties(PROP_LOCKED, 1);
  lib.LowLevelMouseProc(0, 0x207);
  lib.LowLevelMouseProc(0, 0x208);
  lib.LowLevelMouseProc(0, 0x200);
  EXPECT_EQ(Contents(), "Mouse WPARAM 519\r\nMouse WPARAM 520\r\n");
}

TEST_F(HookLogTest, OpeningAppendsAndNullClosesForGood) {
  { std::ofstream(file, std::ios::binary) << "earlier\r\n"; }
  EXPECT_EQ(lib.StartLog(nullptr), 1) << "null with no log open";
  ASSERT_EQ(lib.StartLog(file.string().c_str()), 1);
  EXPECT_EQ(lib.WriteLogLine("x=%d", 5), 1);
  EXPECT_EQ(lib.StartLog(nullptr), 1);
  EXPECT_EQ(lib.WriteLogLine("after"), 0);
  Key(kWmKeyDown, 0x41, 0x1E);
  EXPECT_EQ(Contents(), "earlier\r\nx=5\r\n");
}

TEST_F(HookLogTest, ReopeningClosesTheFirstLog) {
  const fs::path second = dir / "second.log";
  ASSERT_EQ(lib.StartLog(file.string().c_str()), 1);
  ASSERT_EQ(lib.StartLog(second.string().c_str()), 1);
  lib.WriteLogLine("two");
  EXPECT_EQ(Contents(), "");
  std::ifstream in(second, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "two\r\n");
}

TEST_F(HookLogTest, PathsThatCannotBeOpenedLeaveTheLogOff) {
  const std::string longName(5000, 'x');
  for (const std::string& path : {std::string(), dir.string(), (dir / "missing" / "a.log").string(),
                                  (dir / longName).string()}) {
    EXPECT_EQ(lib.StartLog(path.c_str()), 0) << path.substr(0, 80);
    EXPECT_EQ(lib.WriteLogLine("nothing"), 0);
  }
  // A failed open also closes a log that was open before.
  ASSERT_EQ(lib.StartLog(file.string().c_str()), 1);
  EXPECT_EQ(lib.StartLog(dir.string().c_str()), 0);
  EXPECT_EQ(lib.WriteLogLine("nothing"), 0);
}

TEST_F(HookLogTest, AnotherProcessNeitherWritesNorClosesTheStream) {
  ASSERT_EQ(lib.StartLog(file.string().c_str()), 1);
  std::FILE* stream = process.log;
  ASSERT_NE(stream, nullptr);
  // A second process maps the same record with a state of its own.
  ProcessState other{};
  HookLibrary otherLib{shared, other, os, os};
  os.processId = 43;
  EXPECT_EQ(otherLib.WriteLogLine("foreign"), 0);
  EXPECT_EQ(otherLib.StartLog(nullptr), 1);
  EXPECT_EQ(shared.logOwner, 0u);
  // The stream is still open in its own process, which no longer writes to it...
  os.processId = 42;
  EXPECT_EQ(lib.WriteLogLine("dropped"), 0);
  EXPECT_GE(std::fputs("own\r\n", stream), 0);
  EXPECT_EQ(std::fflush(stream), 0);
  EXPECT_EQ(Contents(), "own\r\n");
  // ...and closes it at its own next StartLog.
  EXPECT_EQ(lib.StartLog(nullptr), 1);
  EXPECT_EQ(process.log, nullptr);
}

TEST_F(HookLogTest, TheOwnerReopensAfterAnotherProcessDroppedTheLog) {
  ASSERT_EQ(lib.StartLog(file.string().c_str()), 1);
  ProcessState other{};
  HookLibrary otherLib{shared, other, os, os};
  os.processId = 43;
  ASSERT_EQ(otherLib.StartLog(nullptr), 1);
  os.processId = 42;
  ASSERT_EQ(lib.StartLog(file.string().c_str()), 1);
  EXPECT_EQ(lib.WriteLogLine("again"), 1);
  EXPECT_EQ(Contents(), "again\r\n");
}

}  // namespace
}  // namespace quell::hook::testing
