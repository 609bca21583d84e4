#include "HookBinding.h"

#include <cstring>

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

// The record in the library's section named ".shared", as this process has
// it mapped: the same memory every process of the library sees.
volatile hook::SharedHookState* SharedRecordOf(HMODULE module) {
  auto* image = reinterpret_cast<BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image);
  if (dos->e_magic != IMAGE_DOS_SIGNATURE) return nullptr;
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(image + dos->e_lfanew);
  if (nt->Signature != IMAGE_NT_SIGNATURE) return nullptr;
  // The section table follows the optional header (IMAGE_FIRST_SECTION).
  const auto* section = reinterpret_cast<const IMAGE_SECTION_HEADER*>(
      reinterpret_cast<const BYTE*>(&nt->OptionalHeader) + nt->FileHeader.SizeOfOptionalHeader);
  for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
    if (std::memcmp(section->Name, ".shared", sizeof ".shared") != 0) continue;
    if (section->Misc.VirtualSize < sizeof(hook::SharedHookState)) return nullptr;
    auto* record =
        reinterpret_cast<volatile hook::SharedHookState*>(image + section->VirtualAddress);
    return record->layoutMark == hook::kSharedRecordMark ? record : nullptr;
  }
  return nullptr;
}

}  // namespace

std::optional<THookSight> THookBinding::HookSight() {
  if (!FRecord) return std::nullopt;
  THookSight sight;
  sight.keyboardHook = FRecord->keyboardHook;
  sight.lowLevelKeyboardHook = FRecord->lowLevelKeyboardHook;
  sight.lowLevelMouseHook = FRecord->lowLevelMouseHook;
  sight.keyboardSeen = FRecord->lowLevelKeyboardSeen;
  sight.mouseSeen = FRecord->lowLevelMouseSeen;
  return sight;
}

void THookBinding::SetPassMediaKeys(bool pass) {
  if (FRecord) FRecord->passMediaKeys = pass ? 1 : 0;
}

std::optional<TStoppedInput> THookBinding::TakeStoppedInput() {
  if (!FRecord) return std::nullopt;
  // Taken after the unlock: nothing counts until the next lock zeroes them.
  const TStoppedInput stopped{FRecord->keysStopped, FRecord->clicksStopped};
  FRecord->keysStopped = 0;
  FRecord->clicksStopped = 0;
  return stopped;
}

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
  FRecord = SharedRecordOf(FHookLib.get());
  if (notifyWnd) {
    SetNotifyWnd(notifyWnd);
    FHookThread.Start();
  }
  return true;
}

void THookBinding::Unbind() {
  // The thread ends before the code of its hooks is unmapped.
  FHookThread.Stop();
  FRecord = nullptr;
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
