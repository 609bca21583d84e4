// The program's command line: /L locks, /U unlocks, /C locks for cleaning,
// /S reports the state as the exit code, /? or /h lists the switches; '-'
// may stand for '/', case is ignored, anything else is ignored.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quell::app {

enum class TSwitch { Lock, Unlock, Help, CleanLock, State };

// The exit code of a copy started with /S, for scripts: the state of the
// running copy when /S was read (after the switches before it were handled).
enum TStateExitCode : int {
  kStateUnlocked = 0,
  kStateLocked = 1,
  kStateNotRunning = 2,  // no running copy; the copy with /S started nothing
  kStateUnknown = 3,     // a copy runs but cannot be asked: no library here, or not its library
};

// True when the switches ask for the state: such a copy never stays
// resident, whatever else its command line says.
bool AsksState(const std::vector<TSwitch>& switches);

// True when `arg` has exactly two characters and the first is '-' or '/'.
bool IsSwitch(std::string_view arg);

// The switches among `args` (without the program name), in order.
std::vector<TSwitch> ParseSwitches(const std::vector<std::string>& args);

// The text of the switch list for the executable named `exeFileName`.
std::string CommandLineHelpText(std::string_view exeFileName);
inline constexpr const char* CommandLineHelpCaption = "Quellane Command-Line Options";

// The file name of a path, without its folder (either slash separates).
std::string_view FileNameOf(std::string_view path);
// The folder of a path with its trailing slash ("" for a bare name).
std::string_view FolderOf(std::string_view path);

}  // namespace quell::app
