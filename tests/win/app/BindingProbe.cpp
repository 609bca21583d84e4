// Binds the hook library the way the program does, from the folder this
// probe was copied to, and prints "loaded=<path>" or "error=<message>"
// followed by whether a quellhook.dll is still mapped.
#include <cstdio>
#include <string>

#include "system/ExecutablePath.h"
#include "system/HookBinding.h"

int main() {
  quell::app::THookBinding binding;
  std::string error;
  if (binding.Bind(quell::app::ExecutableFolder(), 0, &error)) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(binding.Module(), path, MAX_PATH);
    std::printf("loaded=%s\n", path);
  } else {
    std::printf("error=%s mapped=%d\n", error.c_str(),
                GetModuleHandleA("quellhook.dll") != nullptr);
  }
  return 0;
}
