// Maps quellhook.dll in a process of its own and prints what the shared
// record holds: "notify=<window> locked=<0|1>". With "lock" or "unlock" as
// argument it writes the lock flag first, as a second program instance could.
#include <cstdio>
#include <cstring>

#include "tests/win/support/HookApi.h"
#include "HookDll/HookProtocol.h"

int main(int argc, char** argv) {
  quell::wintest::HookApi api;
  if (!api.Load()) {
    std::printf("cannot load quellhook.dll\n");
    return 2;
  }
  if (argc > 1 && std::strcmp(argv[1], "lock") == 0) api.SetProperties(quell::PROP_LOCKED, 1);
  if (argc > 1 && std::strcmp(argv[1], "unlock") == 0) api.SetProperties(quell::PROP_LOCKED, 0);
  std::printf("notify=%llu locked=%d\n",
              static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(api.NotifyWindow())),
              api.GetIsLocked());
  return 0;
}
