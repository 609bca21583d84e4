// The hook library as the controller uses it: the binding and the seven
// exports. Window handles cross as pointer-sized integers, so that the
// controller needs no windows.h; 0 is no window.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "HookWatch.h"

namespace quell::app {

using TWindowId = std::uintptr_t;

// What the last lock stopped, as the library counted it.
struct TStoppedInput {
  std::uint32_t keys = 0;    // key presses
  std::uint32_t clicks = 0;  // mouse button presses
};

class TLockLibrary {
 public:
  virtual ~TLockLibrary() = default;

  // Loads the library found from `exeFolder` (with its trailing backslash)
  // and resolves every export; registers `notifyWnd` as the notify window
  // when it is not 0. On failure nothing stays loaded, `error` gets the
  // message to show and false is returned.
  virtual bool Bind(std::string_view exeFolder, TWindowId notifyWnd, std::string* error) = 0;
  virtual void Unbind() = 0;
  virtual bool Bound() const = 0;

  // The seven exports. Unbound, each does nothing and answers 0.
  virtual int SetShellHook() = 0;
  virtual int UnSetShellHook() = 0;
  virtual int SetNotifyWnd(TWindowId window) = 0;
  virtual int GetIsLocked() = 0;
  virtual TWindowId GetNotifyWnd() = 0;
  virtual int SetProperties(int index, int value) = 0;
  virtual int StartLog(const char* path) = 0;

  // The hooks as the library's shared record shows them; empty while
  // unbound or for a library whose record cannot be read.
  virtual std::optional<THookSight> HookSight() = 0;
  // Whether the media and volume keys pass a keyboard lock: told to the
  // library through its record beside the properties (nothing happens for
  // a library whose record cannot be reached).
  virtual void SetPassMediaKeys(bool pass) = 0;
  // What the last lock stopped and was not told yet: read, and set back to
  // nothing, so that each lock is told once. Empty as HookSight is.
  virtual std::optional<TStoppedInput> TakeStoppedInput() = 0;
};

}  // namespace quell::app
