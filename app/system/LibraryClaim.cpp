#include "LibraryClaim.h"

#include "controller/LibrarySearch.h"

namespace quell::app {

namespace {

// Makes the named mutex, or joins it; `existed` tells whether it was there
// before. Another user's mutex cannot be joined: it exists all the same.
base::KernelHandle Make(const std::string& name, bool* existed) {
  SetLastError(ERROR_SUCCESS);
  base::KernelHandle handle(CreateMutexA(nullptr, FALSE, name.c_str()));
  const DWORD error = GetLastError();
  *existed = error == ERROR_ALREADY_EXISTS || error == ERROR_ACCESS_DENIED;
  return handle;
}

bool Exists(const std::string& name) {
  const base::KernelHandle handle(OpenMutexA(SYNCHRONIZE, FALSE, name.c_str()));
  return handle || GetLastError() == ERROR_ACCESS_DENIED;
}

}  // namespace

bool TLibraryClaim::Take(const std::string& libraryPath, bool serving) {
  Release();
  const TLibraryClaimNames names = LibraryClaimNames(libraryPath);
  if (!serving) return !ServesAnotherSession(Exists(names.machine), Exists(names.session));
  bool sessionClaimed = false, machineClaimed = false;
  base::KernelHandle session = Make(names.session, &sessionClaimed);
  base::KernelHandle machine = Make(names.machine, &machineClaimed);
  if (ServesAnotherSession(machineClaimed, sessionClaimed)) return false;
  FSession = std::move(session);
  FMachine = std::move(machine);
  return true;
}

void TLibraryClaim::Release() {
  FMachine.reset();
  FSession.reset();
}

}  // namespace quell::app
