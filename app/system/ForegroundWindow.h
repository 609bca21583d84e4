// Bringing a window of the program to the foreground.
#pragma once

#include <windows.h>

namespace quell::app {

// Brings a window to the foreground, also from a program that is not in
// front; true when it is the foreground window afterwards.
bool ForceForegroundWindow(HWND window);

}  // namespace quell::app
