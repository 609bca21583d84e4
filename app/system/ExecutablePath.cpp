#include "ExecutablePath.h"

#include <windows.h>

#include "controller/CommandLine.h"

namespace quell::app {

namespace {

// GetModuleFileName truncates to the buffer and answers its size when the
// path does not fit: the buffer grows until it does.
template <typename Char, typename Get>
std::basic_string<Char> ModulePath(Get get) {
  std::basic_string<Char> path(MAX_PATH, Char{});
  for (;;) {
    const DWORD n = get(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace

std::wstring ExecutablePathW() { return ModulePath<wchar_t>(GetModuleFileNameW); }

std::string ExecutablePath() { return ModulePath<char>(GetModuleFileNameA); }

std::string ExecutableFolder() { return std::string(FolderOf(ExecutablePath())); }

}  // namespace quell::app
