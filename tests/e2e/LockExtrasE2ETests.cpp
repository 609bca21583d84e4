// What a lock lets through, what it tells, and what locks by itself, with the
// real program and library and real keys and clicks through the X server:
// the media and volume keys through a lock, the unlock notice's count of
// what the lock stopped, and the paw guard.
#include <gtest/gtest.h>

#include <string>

#include "ProgramSession.h"

namespace quell::wintest {
namespace {

const std::string kMediaKeysThrough =
    std::string(kUsableSettings) +
    "[Config.More]\r\nCLEANING_SECONDS=5\r\nMEDIA_KEYS_THROUGH=1\r\n";
// Keyboard and mouse buttons locked, Ctrl+Alt+L and Ctrl+Alt+U.
const std::string kButtonsLocked =
    "[Config.Lock All]\r\nLOCK_KEYBOARD=1\r\nLOCK_MOUSE_BTN=1\r\nLOCK_MOUSE_MOVE=0\r\n"
    "LOCK_MOUSE_WHEEL=0\r\nKEY_LOCK=49228\r\nKEY_UNLOCK=49237\r\n\r\n";
const std::string kPawGuard = std::string(kUsableSettings) + "[Config.More]\r\nPAW_GUARD=1\r\n";

class LockExtrasEndToEnd : public ProgramSession {
 protected:
  void StartWith(const std::string& settings) {
    if (program.Alive()) {
      ASSERT_TRUE(program.Close());
    }
    program.WriteSettings(settings);
    ASSERT_TRUE(program.Start());
    PumpFor(500);
    ASSERT_TRUE(witness.Activate());
  }
  // The witness's key presses of `vk`, and its WM_APPCOMMANDs, since the last look.
  int KeyDowns(WPARAM vk) {
    int n = 0;
    for (const Received& r : witness.Take(WM_KEYDOWN)) n += r.wParam == vk;
    return n;
  }
  // Typed at the witness, which has the focus.
  void Press(const char* keys) {
    XDoTool(std::string("key --delay 120 ") + keys);
    PumpFor(400);
  }

  RecordingWindow witness{"witness"};
};

// Locked with the switch on, the volume key reaches the window in front and
// the letter does not; in a cleaning lock, and with the switch off, neither.
TEST_F(LockExtrasEndToEnd, MediaKeysPassALockWhenAskedButNeverACleaningLock) {
  const struct {
    const char* what;
    std::string settings;
    const char* lockBy;  // a key typed at the witness or a switch for a second copy
    bool volumeThrough;
  } cases[] = {
      {"switch on", kMediaKeysThrough, "ctrl+alt+l", true},
      {"cleaning lock", kMediaKeysThrough, "/C", false},
      {"switch off", std::string(kUsableSettings), "ctrl+alt+l", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    StartWith(c.settings);
    if (c.lockBy[0] == '/') {
      EXPECT_EQ(program.RunAgain(c.lockBy), 0u);
      ASSERT_TRUE(witness.Activate());
    } else {
      Press(c.lockBy);
    }
    ASSERT_TRUE(WaitLocked(true));
    witness.Clear();
    Press("XF86AudioRaiseVolume a XF86AudioMute");
    const int volume = KeyDowns(VK_VOLUME_UP) + KeyDowns(VK_VOLUME_MUTE);
    const auto commands = witness.Take(WM_APPCOMMAND);
    EXPECT_EQ(volume > 0 || !commands.empty(), c.volumeThrough)
        << volume << " key presses, " << commands.size() << " app commands";
    EXPECT_EQ(KeyDowns('A'), 0) << "a letter went through the lock";
    Press("ctrl+alt+u");
    ASSERT_TRUE(WaitLocked(false));
    Press("XF86AudioRaiseVolume a");
    EXPECT_EQ(KeyDowns('A'), 1) << "unlocked, the letter arrives";
  }
}

// Five letters and two clicks while locked; the hot key's Ctrl, Alt and U
// are no stopped keys.
TEST_F(LockExtrasEndToEnd, TheUnlockNoticeSaysWhatTheLockStopped) {
  StartWith(kButtonsLocked);
  Press("ctrl+alt+l");
  ASSERT_TRUE(WaitLocked(true));
  XDoTool("type --delay 120 hello");
  XDoTool("click --delay 200 --repeat 2 1");
  PumpFor(300);
  Press("ctrl+alt+u");
  ASSERT_TRUE(WaitLocked(false));
  EXPECT_TRUE(PumpUntil(
      [&] {
        return program.Notice() == "Computer is UnLocked: Stopped while locked: 5 keys, 2 clicks.";
      },
      3000))
      << program.Notice();
  Screenshot("notice-stopped");
}

// Typing at a typist's pace never locks; a burst of keys as a cat walking
// over the keyboard makes does, with its own line; the hot key unlocks.
TEST_F(LockExtrasEndToEnd, APawBurstLocksAndTypingDoesNot) {
  StartWith(kPawGuard);
  witness.ClearText();
  XDoTool("type --delay 90 typingatasteadypace");
  PumpFor(500);
  EXPECT_FALSE(program.Hook().GetIsLocked()) << "typing locked";
  EXPECT_EQ(witness.TypedText(), "typingatasteadypace");
  XDoTool("type --delay 8 qwertyuiopasdfghjklzxcvbnmqwertyuiop");
  ASSERT_TRUE(WaitLocked(true)) << "the burst did not lock";
  EXPECT_TRUE(PumpUntil(
      [&] { return program.Notice() == "Computer is Locked: Paws on the keyboard."; }, 3000))
      << program.Notice();
  Screenshot("notice-paws");
  Press("ctrl+alt+u");
  EXPECT_TRUE(WaitLocked(false)) << "the hot key did not unlock";
}

}  // namespace
}  // namespace quell::wintest
