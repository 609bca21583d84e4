// The program's binding to quellhook.dll: loaded at run time by file name,
// its seven exports resolved by name.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "HookExports.h"

namespace quell::app {

class THookBinding {
 public:
  THookBinding() = default;
  THookBinding(const THookBinding&) = delete;
  THookBinding& operator=(const THookBinding&) = delete;
  ~THookBinding() { Unbind(); }

  // Loads the library found from `exeFolder` (with its trailing backslash)
  // and resolves every export. When `notifyWnd` is given, registers it as the
  // library's notify window. On failure the library is unloaded again,
  // `error` gets the message to show, and false is returned.
  bool Bind(std::string_view exeFolder, HWND notifyWnd, std::string* error);
  void Unbind();
  bool Bound() const { return FHookLib != nullptr; }
  HMODULE Module() const { return FHookLib; }

  // The seven exports. Unbound, each does nothing and answers 0.
  int SetShellHook() const { return FSetShellHook ? FSetShellHook() : 0; }
  int UnSetShellHook() const { return FUnSetShellHook ? FUnSetShellHook() : 0; }
  int SetNotifyWnd(HWND window) const { return FSetNotifyWnd ? FSetNotifyWnd(window) : 0; }
  int GetIsLocked() const { return FGetIsLocked ? FGetIsLocked() : 0; }
  HWND GetNotifyWnd() const { return FGetNotifyWnd ? FGetNotifyWnd() : nullptr; }
  int SetProperties(int index, int value) const {
    return FSetProperties ? FSetProperties(index, value) : 0;
  }
  int StartLog(const char* path) const { return FStartLog ? FStartLog(path) : 0; }

 private:
  void ClearEntries();

  HMODULE FHookLib = nullptr;
  hook_exports::SetShellHookFn FSetShellHook = nullptr;
  hook_exports::UnSetShellHookFn FUnSetShellHook = nullptr;
  hook_exports::SetNotifyWndFn FSetNotifyWnd = nullptr;
  hook_exports::GetIsLockedFn FGetIsLocked = nullptr;
  hook_exports::GetNotifyWndFn FGetNotifyWnd = nullptr;
  hook_exports::SetPropertiesFn FSetProperties = nullptr;
  hook_exports::StartLogFn FStartLog = nullptr;
};

// The folder of the running executable, with a trailing backslash.
std::string ExecutableFolder();
std::string ExecutablePath();

}  // namespace quell::app
