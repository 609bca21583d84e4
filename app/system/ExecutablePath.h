// The running executable's path, read once per call at whatever length the
// system gives it.
#pragma once

#include <string>

namespace quell::app {

std::wstring ExecutablePathW();
// The same path in the system's code page.
std::string ExecutablePath();
// Its folder, with a trailing backslash.
std::string ExecutableFolder();

}  // namespace quell::app
