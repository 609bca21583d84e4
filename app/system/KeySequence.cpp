#include "KeySequence.h"

#include <windows.h>

namespace quell::app {

void SendMinimizeAllKeys() {
  auto key = [](BYTE vk, DWORD flags) {
    keybd_event(vk, static_cast<BYTE>(MapVirtualKeyA(vk, 0)), flags, 0);
  };
  key(VK_LWIN, 0);
  key('M', 0);
  key('M', KEYEVENTF_KEYUP);
  key(VK_LWIN, KEYEVENTF_KEYUP);
}

}  // namespace quell::app
