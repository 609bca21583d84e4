// quellhook.dll loaded by name and bound by its exports, as the program does.
#pragma once

#include <windows.h>

#include "HookExports.h"

namespace quell::wintest {

struct HookApi {
  HMODULE module = nullptr;
  hook_exports::SetShellHookFn SetShellHook = nullptr;
  hook_exports::UnSetShellHookFn UnSetShellHook = nullptr;
  hook_exports::SetNotifyWndFn SetNotifyWnd = nullptr;
  hook_exports::GetNotifyWndFn GetNotifyWnd = nullptr;
  hook_exports::SetPropertiesFn SetProperties = nullptr;
  hook_exports::GetIsLockedFn GetIsLocked = nullptr;
  hook_exports::StartLogFn StartLog = nullptr;

  // Loads `path` and resolves all seven exports; false if any is missing.
  bool Load(const char* path = "quellhook.dll");
  // Puts the shared record back to its first-mapping state.
  void Reset() const;
  ~HookApi();
};

}  // namespace quell::wintest
