// The program's binding to quellhook.dll: loaded at run time by file name,
// its seven exports resolved by name.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "base/Handles.h"
#include "HookDll/HookExports.h"
#include "HookDll/SharedHookState.h"
#include "controller/LockLibrary.h"
#include "HookThread.h"
#include "LibraryClaim.h"

namespace quell::app {

class THookBinding : public TLockLibrary {
 public:
  THookBinding() = default;
  THookBinding(const THookBinding&) = delete;
  THookBinding& operator=(const THookBinding&) = delete;
  ~THookBinding() override { Unbind(); }

  bool Bind(std::string_view exeFolder, TWindowId notifyWnd, std::string* error) override;
  // Binds the library at `path` (UTF-8) itself, with no search; a
  // `notifyWnd` makes this the program serving it. Refused while the file
  // serves a program of another session.
  bool BindFile(const std::string& path, TWindowId notifyWnd, std::string* error);
  void Unbind() override;
  bool Bound() const override { return static_cast<bool>(FHookLib); }
  HMODULE Module() const { return FHookLib.get(); }

  // Installed and removed on the hook thread of the program serving the
  // library, so that its low-level hooks are called there.
  int SetShellHook() override { return FSetShellHook ? FHookThread.Call(FSetShellHook) : 0; }
  int UnSetShellHook() override { return FUnSetShellHook ? FHookThread.Call(FUnSetShellHook) : 0; }
  int SetNotifyWnd(TWindowId window) override {
    return FSetNotifyWnd ? FSetNotifyWnd(reinterpret_cast<HWND>(window)) : 0;
  }
  int GetIsLocked() override { return FGetIsLocked ? FGetIsLocked() : 0; }
  TWindowId GetNotifyWnd() override {
    return FGetNotifyWnd ? reinterpret_cast<TWindowId>(FGetNotifyWnd()) : 0;
  }
  HWND NotifyWindow() { return reinterpret_cast<HWND>(GetNotifyWnd()); }
  int SetProperties(int index, int value) override {
    return FSetProperties ? FSetProperties(index, value) : 0;
  }
  int StartLog(const char* path) override { return FStartLog ? FStartLog(path) : 0; }
  std::optional<THookSight> HookSight() override;
  void SetPassMediaKeys(bool pass) override;
  std::optional<TStoppedInput> TakeStoppedInput() override;

 private:
  void ClearEntries();

  TLibraryClaim FClaim;  // held while bound
  base::ModuleHandle FHookLib;
  THookThread FHookThread;  // the serving program's, while bound
  // The library's shared record in its mapped section; null for a library
  // that has none of this layout.
  volatile hook::SharedHookState* FRecord = nullptr;
  hook_exports::SetShellHookFn FSetShellHook = nullptr;
  hook_exports::UnSetShellHookFn FUnSetShellHook = nullptr;
  hook_exports::SetNotifyWndFn FSetNotifyWnd = nullptr;
  hook_exports::GetIsLockedFn FGetIsLocked = nullptr;
  hook_exports::GetNotifyWndFn FGetNotifyWnd = nullptr;
  hook_exports::SetPropertiesFn FSetProperties = nullptr;
  hook_exports::StartLogFn FStartLog = nullptr;
};

}  // namespace quell::app
