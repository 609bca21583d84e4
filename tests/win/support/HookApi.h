// quellhook.dll bound through the program's own binding, by a path the test
// chooses, with window handles as the tests hold them.
#pragma once

#include <windows.h>

#include "system/HookBinding.h"

namespace quell::wintest {

class HookApi : public app::THookBinding {
 public:
  // Loads `path` and resolves all seven exports; false if any is missing.
  bool Load(const char* path = "quellhook.dll");
  // Puts the shared record back to its first-mapping state.
  void Reset();

  using app::THookBinding::SetNotifyWnd;
  int SetNotifyWnd(HWND window) { return SetNotifyWnd(reinterpret_cast<app::TWindowId>(window)); }
};

}  // namespace quell::wintest
