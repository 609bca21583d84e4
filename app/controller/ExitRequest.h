// "Quellane.exe /exit": ends the Quellane that runs from the same file, as
// Exit in its tray menu does, and starts nothing. The uninstaller runs it so
// that no file of the install folder stays in use and nothing stays locked.
#pragma once

#include <string>
#include <vector>

namespace quell::app {

// True when `args` (without the program name) is exactly one argument that
// reads "/exit" or "-exit", in any case. Mixed with other arguments it is an
// ordinary unknown argument, which the program ignores.
bool IsExitRequest(const std::vector<std::string>& args);

}  // namespace quell::app
