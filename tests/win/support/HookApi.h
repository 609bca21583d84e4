// quellhook.dll loaded by name and bound by its exports, as the program does.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace quell::wintest {

struct HookApi {
  using IntFn = int (*)();
  HMODULE module = nullptr;
  IntFn SetShellHook = nullptr;
  IntFn UnSetShellHook = nullptr;
  int (*SetNotifyWnd)(HWND) = nullptr;
  HWND (*GetNotifyWnd)() = nullptr;
  int (*SetProperties)(int, int) = nullptr;
  IntFn GetIsLocked = nullptr;
  int (*StartLog)(const char*) = nullptr;

  // Loads `path` and resolves all seven exports; false if any is missing.
  bool Load(const char* path = "quellhook.dll");
  // Puts the shared record back to its first-mapping state.
  void Reset() const;
  ~HookApi();
};

}  // namespace quell::wintest
