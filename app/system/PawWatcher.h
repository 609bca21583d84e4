// The paw watch: a low-level keyboard hook of the program's own, served on a
// thread that does nothing else (as the library's are), feeding a TPawGuard
// while armed. It only looks: every key goes on to the next hook. A
// detection is posted to the program's window.
#pragma once

#include <windows.h>

#include <atomic>

#include "controller/ControllerSystem.h"
#include "controller/PawGuard.h"
#include "HookThread.h"

namespace quell::app {

// Posted to the program's window when paws walk on the keyboard.
inline constexpr UINT kPawsMessage = WM_APP + 15;

class TPawWatcher : public TPawWatch {
 public:
  // One per process (a low-level hook procedure has no context of its
  // own): a second stays without a hook.
  TPawWatcher(HWND window, UINT pawsMessage);
  ~TPawWatcher() override;
  TPawWatcher(const TPawWatcher&) = delete;
  TPawWatcher& operator=(const TPawWatcher&) = delete;

  bool Hooked() const { return FHook != nullptr; }
  void Arm(bool armed) override;

 private:
  static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
  static int Install();
  static int Remove();
  void See(WPARAM message, const KBDLLHOOKSTRUCT& key);

  HWND FWindow;
  UINT FMessage;
  THookThread FThread;
  HHOOK FHook = nullptr;
  std::atomic<bool> FArmed{false};
  std::atomic<bool> FForget{false};  // the guard starts afresh at its next key
  TPawGuard FGuard;                  // the hook thread's alone
};

}  // namespace quell::app
