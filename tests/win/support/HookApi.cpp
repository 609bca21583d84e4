#include "HookApi.h"

#include <string>
#include <string_view>

namespace quell::wintest {

bool HookApi::Load(const char* path) {
  // A name alone is the test program's own folder's file.
  char full[MAX_PATH] = {};
  const bool plainName = std::string_view(path).find_first_of("\\/") == std::string_view::npos;
  if (plainName) {
    const DWORD n = GetModuleFileNameA(nullptr, full, MAX_PATH);
    std::string_view folder(full, n);
    folder = folder.substr(0, folder.find_last_of("\\/") + 1);
    return BindFile(std::string(folder) + path, 0, nullptr);
  }
  return BindFile(path, 0, nullptr);
}

void HookApi::Reset() {
  UnSetShellHook();
  StartLog(nullptr);
  for (int i = 14; i >= 0; --i) SetProperties(i, 0);
  SetNotifyWnd(nullptr);
}

}  // namespace quell::wintest
