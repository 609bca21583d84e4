#include "ExecutablePath.h"

#include <windows.h>

#include "base/WideText.h"
#include "controller/CommandLine.h"

namespace quell::app {

namespace {

// GetModuleFileName truncates to the buffer and answers its size when the
// path does not fit: the buffer grows until it does.
std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace

std::wstring ExecutablePathW() { return ModulePath(); }

std::string ExecutablePath() { return base::Utf8FromWide(ModulePath()); }

std::string ExecutableFolder() { return std::string(FolderOf(ExecutablePath())); }

}  // namespace quell::app
