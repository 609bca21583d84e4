#include "HookBinding.h"

#include "LibrarySearch.h"

namespace quell::app {

namespace {

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

template <typename Entry>
bool Resolve(HMODULE module, const char* name, Entry& entry) {
  entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  return entry != nullptr;
}

}  // namespace

bool THookBinding::Bind(std::string_view exeFolder, HWND notifyWnd, std::string* error) {
  if (FHookLib) return true;
  // The search is made here, with full paths, so that the system's own
  // search never gets to look in the current folder.
  TLibraryFolders folders;
  folders.exeFolder = std::string(exeFolder);
  char buffer[MAX_PATH] = {};
  if (GetSystemDirectoryA(buffer, MAX_PATH)) folders.systemFolders.emplace_back(buffer);
  if (GetWindowsDirectoryA(buffer, MAX_PATH)) folders.systemFolders.emplace_back(buffer);
  std::string path(32767, '\0');
  path.resize(GetEnvironmentVariableA("PATH", path.data(), static_cast<DWORD>(path.size())));
  folders.pathVariable = path;
  const std::string library = ChooseHookLibraryPath(folders, FileExists);

  if (!library.empty()) {
    // Its own dependencies are system DLLs; the current folder stays out
    // of their search as well.
    SetDllDirectoryA("");
    const UINT previousMode = SetErrorMode(SEM_NOOPENFILEERRORBOX);
    FHookLib = LoadLibraryA(library.c_str());
    SetErrorMode(previousMode);
  }
  if (!FHookLib) {
    if (error) *error = LibraryNotFoundMessage();
    return false;
  }

  const char* missing = nullptr;
  if (!Resolve(FHookLib, "SetShellHook", FSetShellHook))
    missing = "SetShellHook";
  else if (!Resolve(FHookLib, "UnSetShellHook", FUnSetShellHook))
    missing = "UnSetShellHook";
  else if (!Resolve(FHookLib, "SetNotifyWnd", FSetNotifyWnd))
    missing = "SetNotifyWnd";
  else if (!Resolve(FHookLib, "GetIsLocked", FGetIsLocked))
    missing = "GetIsLocked";
  else if (!Resolve(FHookLib, "GetNotifyWnd", FGetNotifyWnd))
    missing = "GetNotifyWnd";
  else if (!Resolve(FHookLib, "SetProperties", FSetProperties))
    missing = "SetProperties";
  else if (!Resolve(FHookLib, "StartLog", FStartLog))
    missing = "StartLog";
  if (missing) {
    if (error) *error = ExportNotFoundMessage(missing);
    Unbind();
    return false;
  }
  if (notifyWnd) FSetNotifyWnd(notifyWnd);
  return true;
}

void THookBinding::Unbind() {
  if (FHookLib) FreeLibrary(FHookLib);
  FHookLib = nullptr;
  ClearEntries();
}

void THookBinding::ClearEntries() {
  FSetShellHook = nullptr;
  FUnSetShellHook = nullptr;
  FSetNotifyWnd = nullptr;
  FGetIsLocked = nullptr;
  FGetNotifyWnd = nullptr;
  FSetProperties = nullptr;
  FStartLog = nullptr;
}

std::string ExecutablePath() {
  char path[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path, n);
}

std::string ExecutableFolder() {
  const std::string path = ExecutablePath();
  return path.substr(0, path.find_last_of("\\/") + 1);
}

}  // namespace quell::app
