#include "SingleInstance.h"

namespace quell::app {

TSingleInstance::TSingleInstance()
    : FMutex(CreateMutexA(nullptr, FALSE, kSingleInstanceMutexName)) {
  // A mutex that cannot be made at all leaves this copy the first: a
  // program that runs beats one that refuses to.
  if (FMutex && GetLastError() == ERROR_ALREADY_EXISTS) {
    FMutex.reset();
    FFirst = false;
  }
}

bool TSingleInstance::Running() {
  return static_cast<bool>(
      base::KernelHandle(OpenMutexA(SYNCHRONIZE, FALSE, kSingleInstanceMutexName)));
}

}  // namespace quell::app
