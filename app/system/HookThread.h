// The thread the low-level hooks are served on. The system calls a
// low-level hook on the thread that installed it, and removes a hook that
// keeps it waiting too long; on a thread of its own, doing nothing but
// waiting for messages, no work of the program's (a dialog, a save, a
// password's derivation) can keep an input event waiting.
#pragma once

#include <windows.h>

#include "base/Handles.h"

namespace quell::app {

class THookThread {
 public:
  using TEntry = int (*)();

  THookThread() = default;
  THookThread(const THookThread&) = delete;
  THookThread& operator=(const THookThread&) = delete;
  ~THookThread() { Stop(); }

  // Starts the thread; false when it cannot be made (calls then run on the
  // caller's thread, as they would without it).
  bool Start();
  // Ends the thread; hooks it still holds end with it.
  void Stop();
  bool Running() const { return static_cast<bool>(FThread); }
  // Runs `entry` (SetShellHook, UnSetShellHook) on the thread and answers
  // its result; 0 when the thread does not answer in time.
  int Call(TEntry entry);

 private:
  static DWORD WINAPI Main(void* self);

  base::KernelHandle FThread;
  base::KernelHandle FDone;  // set by the thread when a call has run
  DWORD FThreadId = 0;
  int FResult = 0;
};

}  // namespace quell::app
