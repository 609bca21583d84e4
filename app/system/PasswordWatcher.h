// Watches the keys typed on the locked keyboard for the unlock password on
// a thread of its own. Each key may cost a PBKDF2 derivation (a tenth of a
// second or more), and the program's thread runs the low-level hooks: a
// system removes hooks that keep it waiting. The keys stay in that thread's
// memory; a match is posted to the program's window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "controller/ControllerSystem.h"
#include "base/Handles.h"

namespace quell::app {

// Posted to the program's window when the keys typed end with the password.
inline constexpr UINT kPasswordMatchMessage = WM_APP + 14;

class TPasswordWatcher : public TPasswordWatch {
 public:
  // A match is posted to `window` as `matchMessage` with the generation of
  // the keys that made it in wParam.
  TPasswordWatcher(HWND window, UINT matchMessage);
  ~TPasswordWatcher() override;
  TPasswordWatcher(const TPasswordWatcher&) = delete;
  TPasswordWatcher& operator=(const TPasswordWatcher&) = delete;

  // The stored form to watch for ("" for none); forgets every key.
  void SetPassword(const std::string& storedForm) override;
  bool HasPassword() const override { return FHasPassword; }
  // Forgets every key; a match of keys fed before is no longer current.
  void Clear() override;
  // One blocked key (its shortcut code).
  void Feed(std::uint32_t shortcutCode) override;
  // Whether a posted match belongs to the keys fed since the last Clear.
  bool IsCurrent(std::uintptr_t generation) const override { return generation == FGeneration; }

 private:
  static DWORD WINAPI ThreadProc(LPVOID parameter);
  void Post(UINT message, WPARAM wParam, LPARAM lParam);

  HWND FWindow;
  UINT FMatchMessage;
  base::KernelHandle FThread;
  DWORD FThreadId = 0;
  base::KernelHandle FReady;
  bool FHasPassword = false;
  WPARAM FGeneration = 0;
};

}  // namespace quell::app
