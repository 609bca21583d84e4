// Where the program looks for its hook library, what it reports when the
// library or one of its exports is missing, and how a library file already
// serving a program of another session is recognised.
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
inline constexpr const char* ServedForAnotherUserMessage =
    "Quellane is already running for another user from this folder.";
std::string ExportNotFoundMessage(
    std::string_view name);  // "quellhook.dll.<name> DLL function not found"

// The library's shared record belongs to the library file, for every
// session of the machine: one copy of the program used by two users at once
// (fast user switching, a shared tools folder) must not have the second
// user's program take the first one's notifications and lock. The program
// serving a library holds a claim on the file for the whole machine and one
// for its session, named after the file (its path, in any letter case).
struct TLibraryClaimNames {
  std::string machine;  // "Global\\Quellane.Library.<hash>"
  std::string session;  // "Local\\Quellane.Library.<hash>.Session"
};
TLibraryClaimNames LibraryClaimNames(std::string_view libraryPath);

// Whether a library file is serving a program of another session, from the
// two claims found on it: the machine's taken, and not by this session.
constexpr bool ServesAnotherSession(bool machineClaimed, bool sessionClaimed) {
  return machineClaimed && !sessionClaimed;
}

}  // namespace quell::app
