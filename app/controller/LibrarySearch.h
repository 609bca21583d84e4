// Where the program looks for its hook library, and what it reports when
// the library or one of its exports is missing.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quell::app {

inline constexpr const char* HookLibraryName = "quellhook.dll";

// The folders a search may visit; each may end with a backslash or not.
struct TLibraryFolders {
  std::string exeFolder;                   // the running executable's folder
  std::vector<std::string> systemFolders;  // the system folder, then the Windows folder
  std::string pathVariable;                // the PATH environment variable
};

// The file to load: next to the executable, else in HookDll\obj\ below it,
// else the first found by the system's search order: the executable's
// folder, the system folders, then the absolute folders of PATH. The current
// folder, and relative PATH entries that would stand for it, are never
// searched: a library planted there would be loaded into a program that
// controls the keyboard. Empty when the library is found nowhere.
std::string ChooseHookLibraryPath(const TLibraryFolders& folders,
                                  const std::function<bool(const std::string&)>& exists);

std::string LibraryNotFoundMessage();  // "Dll:quellhook.dll not found"
std::string ExportNotFoundMessage(
    std::string_view name);  // "quellhook.dll.<name> DLL function not found"

}  // namespace quell::app
