// The program's process-wide state: made once at start-up (by WinMain),
// before any form, and handed to the forms that use it. Nothing else holds
// these values.
#pragma once

#include <memory>

#include "IdleLock.h"
#include "Properties.h"

namespace quell::app {

struct TController {
  // Decided by the single-instance mutex before any form is made.
  bool IsFirstInstance = true;
  // The settings file next to the executable: opened by the main form's
  // FormCreate, closed by its FormDestroy.
  std::unique_ptr<settings::TLockIniFile> LockIniFile;
  // IdleLimit, IdleCounter, IdleLockEnabled.
  rules::TIdleLock IdleLock;
  bool MinimizeOnLock = false;
};

}  // namespace quell::app
