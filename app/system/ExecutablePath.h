// The running executable's path, read once per call at whatever length the
// system gives it.
#pragma once

#include <string>

namespace quell::app {

std::wstring ExecutablePathW();
// The same path in UTF-8, as every path inside the program is.
std::string ExecutablePath();
// Its folder, with a trailing backslash.
std::string ExecutableFolder();

}  // namespace quell::app
