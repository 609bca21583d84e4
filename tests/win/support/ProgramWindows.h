// Another process's windows as a user sees them: its top-level windows by
// class and caption, a control by class and text, where the keyboard focus
// of its thread is, and clicks on them through the X server.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace quell::wintest {

// The top-level windows of a process with a class (and a caption, if given).
std::vector<HWND> WindowsOf(DWORD process, const std::string& windowClass,
                            const char* caption = nullptr, bool visibleOnly = true);
// A descendant of `parent` with this class (any case) and text, or null.
HWND ChildOf(HWND parent, const std::string& windowClass, const std::string& text);
// The window with the keyboard focus in the thread that owns `window`.
HWND FocusOfThreadOf(HWND window);
// A left click through the X server at a point, or on a window's centre.
void ClickAt(POINT point);
void ClickOn(HWND window);
// Keys through the X server (xdotool key syntax), then a short pump.
void PressKeys(const std::string& keys);

}  // namespace quell::wintest
