// The exact bytes of the settings file that a first save with the defaults
// writes: checked by the settings tests on the host and by the end-to-end
// tests against the real program.
#pragma once

namespace quell::testdata {

inline constexpr const char* FirstSaveBytes =
    "[Config.Lock All]\r\n"
    "DO_BEEP=0\r\n"
    "LOCK_KEYBOARD=1\r\n"
    "LOCK_MOUSE_BTN=1\r\n"
    "LOCK_MOUSE_MOVE=1\r\n"
    "LOCK_MOUSE_WHEEL=1\r\n"
    "KEY_LOCK=0\r\n"
    "KEY_UNLOCK=0\r\n"
    "SCREEN_SAVER_OFF=0\r\n"
    "LOKED_IMAGE=2\r\n"
    "UNLOKED_IMAGE=3\r\n"
    "CHECK_IDLE=0\r\n"
    "EDIT_IDLE=0\r\n"
    "CHECK_MINI=0\r\n"
    "\r\n";

}  // namespace quell::testdata
