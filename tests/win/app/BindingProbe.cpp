// Binds the hook library the way the program does, from the folder this
// probe was copied to, and prints "loaded=<path>" or "error=<message>"
// followed by whether a quellhook.dll is still mapped. With "serve" it binds
// as the program serving the library does, with a window, and also prints
// which of the library's claims exist while it is bound.
#include <cstdio>
#include <string>

#include "system/ExecutablePath.h"
#include "controller/LibrarySearch.h"
#include "system/HookBinding.h"

namespace {

bool MutexExists(const std::string& name) {
  const HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, name.c_str());
  if (mutex) CloseHandle(mutex);
  return mutex != nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  const bool serve = argc > 1 && std::string(argv[1]) == "serve";
  quell::app::THookBinding binding;
  std::string error;
  const auto window = serve ? reinterpret_cast<quell::app::TWindowId>(GetDesktopWindow()) : 0;
  if (binding.Bind(quell::app::ExecutableFolder(), window, &error)) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(binding.Module(), path, MAX_PATH);
    std::printf("loaded=%s", path);
    if (serve) {
      const auto names = quell::app::LibraryClaimNames(path);
      std::printf(" claims=%d%d", MutexExists(names.machine), MutexExists(names.session));
    }
    std::printf("\n");
  } else {
    std::printf("error=%s mapped=%d\n", error.c_str(),
                GetModuleHandleA("quellhook.dll") != nullptr);
  }
  return 0;
}
