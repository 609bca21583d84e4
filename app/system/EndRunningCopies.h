// Ends every other Quellane process started from this program's own file:
// each one's main form is closed as Exit in the tray menu closes it (the
// program unlocks, removes its hooks and unloads its library), and the call
// waits for the processes to end. Copies started from other folders are
// left alone.
#pragma once

#include <windows.h>

namespace quell::app {

// 0 when no copy was running or every copy ended within `timeoutMs`, 1 when
// one is still running.
int EndRunningCopies(DWORD timeoutMs);

}  // namespace quell::app
