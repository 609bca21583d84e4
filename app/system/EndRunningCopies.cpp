#include "EndRunningCopies.h"

#include <string>
#include <vector>

#include "ExecutablePath.h"
#include "base/Handles.h"

namespace quell::app {

namespace {

// A file's path as the system resolves it (long names), for comparison.
std::wstring NormalisedPath(const wchar_t* path) {
  std::wstring full(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetLongPathNameW(path, full.data(), static_cast<DWORD>(full.size()));
    if (n == 0) return path;
    if (n < full.size()) {
      full.resize(n);
      return full;
    }
    full.resize(n);
  }
}

std::wstring OwnPath() {
  const std::wstring path = ExecutablePathW();
  return path.empty() ? path : NormalisedPath(path.c_str());
}

std::wstring ImagePathOf(HANDLE process) {
  std::wstring path(32768, L'\0');
  DWORD size = static_cast<DWORD>(path.size());
  if (!QueryFullProcessImageNameW(process, 0, path.data(), &size)) return {};
  path.resize(size);
  return NormalisedPath(path.c_str());
}

struct RunningCopy {
  HWND mainForm;
  base::KernelHandle process;
};

struct Search {
  std::wstring ownPath;
  std::vector<RunningCopy> found;
};

// The main form is the program's hidden, never-activated tool window of the
// form class; every Quellane process has exactly one.
bool IsMainForm(HWND window) {
  char name[32] = {};
  GetClassNameA(window, name, sizeof name);
  if (lstrcmpA(name, "TQuellForm") != 0) return false;
  constexpr DWORD kMainFormStyle = WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
  const auto exStyle = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_EXSTYLE));
  return (exStyle & kMainFormStyle) == kMainFormStyle;
}

BOOL CALLBACK CollectCopy(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<Search*>(context);
  if (!IsMainForm(window)) return TRUE;
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid == 0 || pid == GetCurrentProcessId()) return TRUE;
  base::KernelHandle process(
      OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, pid));
  if (!process) return TRUE;
  const std::wstring image = ImagePathOf(process.get());
  if (!image.empty() &&
      CompareStringOrdinal(image.c_str(), -1, search->ownPath.c_str(), -1, TRUE) == CSTR_EQUAL) {
    search->found.push_back({window, std::move(process)});
  }
  return TRUE;
}

}  // namespace

int EndRunningCopies(DWORD timeoutMs) {
  Search search{OwnPath(), {}};
  if (search.ownPath.empty()) return 1;
  EnumWindows(CollectCopy, reinterpret_cast<LPARAM>(&search));
  if (search.found.empty()) return 0;

  for (const RunningCopy& copy : search.found) PostMessageA(copy.mainForm, WM_CLOSE, 0, 0);
  bool allEnded = true;
  const DWORD start = GetTickCount();
  for (const RunningCopy& copy : search.found) {
    const DWORD spent = GetTickCount() - start;
    const DWORD left = spent < timeoutMs ? timeoutMs - spent : 0;
    if (WaitForSingleObject(copy.process.get(), left) != WAIT_OBJECT_0) allEnded = false;
  }
  // The keyboard hook had mapped the library into other programs; each
  // unloads it at its next message once the hook is gone. A message to every
  // top-level window lets them do so now, so that the file is free.
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(HWND_BROADCAST, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_NORMAL, 1000,
                      &ignored);
  return allEnded ? 0 : 1;
}

}  // namespace quell::app
