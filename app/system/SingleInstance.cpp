#include "SingleInstance.h"

namespace quell::app {

TSingleInstance::TSingleInstance() {
  FMutex = CreateMutexA(nullptr, FALSE, kSingleInstanceMutexName);
  // A mutex that cannot be made at all leaves this copy the first: a
  // program that runs beats one that refuses to.
  if (FMutex && GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(FMutex);
    FMutex = nullptr;
    FFirst = false;
  }
}

TSingleInstance::~TSingleInstance() {
  if (FMutex) CloseHandle(FMutex);
}

}  // namespace quell::app
