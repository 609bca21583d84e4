#include "HookBinding.h"

#include "base/WideText.h"
#include "controller/LibrarySearch.h"

namespace quell::app {

namespace {

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(base::WideFromUtf8(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

template <typename Entry>
bool Resolve(HMODULE module, const char* name, Entry& entry) {
  entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  return entry != nullptr;
}

}  // namespace

bool THookBinding::Bind(std::string_view exeFolder, TWindowId notifyWnd, std::string* error) {
  if (FHookLib) return true;
  // The search is made here, with full paths, so that the system's own
  // search never gets to look in the current folder.
  TLibraryFolders folders;
  folders.exeFolder = std::string(exeFolder);
  // Every folder in UTF-8, as the executable's is.
  wchar_t buffer[MAX_PATH] = {};
  if (GetSystemDirectoryW(buffer, MAX_PATH))
    folders.systemFolders.push_back(base::Utf8FromWide(buffer));
  if (GetWindowsDirectoryW(buffer, MAX_PATH))
    folders.systemFolders.push_back(base::Utf8FromWide(buffer));
  std::wstring path(32767, L'\0');
  path.resize(GetEnvironmentVariableW(L"PATH", path.data(), static_cast<DWORD>(path.size())));
  folders.pathVariable = base::Utf8FromWide(path);
  return BindFile(ChooseHookLibraryPath(folders, FileExists), notifyWnd, error);
}

bool THookBinding::BindFile(const std::string& library, TWindowId notifyWnd, std::string* error) {
  if (FHookLib) return true;
  // The file is left alone while it serves a program of another session.
  if (!library.empty() && !FClaim.Take(library, notifyWnd != 0)) {
    if (error) *error = ServedForAnotherUserMessage;
    return false;
  }
  if (!library.empty()) {
    // Its own dependencies are system DLLs; the current folder stays out
    // of their search as well.
    SetDllDirectoryW(L"");
    const UINT previousMode = SetErrorMode(SEM_NOOPENFILEERRORBOX);
    FHookLib.reset(LoadLibraryW(base::WideFromUtf8(library).c_str()));
    SetErrorMode(previousMode);
  }
  if (!FHookLib) {
    FClaim.Release();
    if (error) *error = LibraryNotFoundMessage();
    return false;
  }

  const char* missing = nullptr;
  if (!Resolve(FHookLib.get(), "SetShellHook", FSetShellHook))
    missing = "SetShellHook";
  else if (!Resolve(FHookLib.get(), "UnSetShellHook", FUnSetShellHook))
    missing = "UnSetShellHook";
  else if (!Resolve(FHookLib.get(), "SetNotifyWnd", FSetNotifyWnd))
    missing = "SetNotifyWnd";
  else if (!Resolve(FHookLib.get(), "GetIsLocked", FGetIsLocked))
    missing = "GetIsLocked";
  else if (!Resolve(FHookLib.get(), "GetNotifyWnd", FGetNotifyWnd))
    missing = "GetNotifyWnd";
  else if (!Resolve(FHookLib.get(), "SetProperties", FSetProperties))
    missing = "SetProperties";
  else if (!Resolve(FHookLib.get(), "StartLog", FStartLog))
    missing = "StartLog";
  if (missing) {
    if (error) *error = ExportNotFoundMessage(missing);
    Unbind();
    return false;
  }
  if (notifyWnd) SetNotifyWnd(notifyWnd);
  return true;
}

void THookBinding::Unbind() {
  FHookLib.reset();
  ClearEntries();
  FClaim.Release();
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

}  // namespace quell::app
