// Hidden tool windows: the message windows of components that are no
// controls (the tray icon's).
#pragma once

#include <windows.h>

#include "WindowBinding.h"

namespace quell::gui {

// A hidden tool window whose messages go to `receiver` (BindWindow); the
// class ("TTrayUtilWindow" when no name is given) keeps the default
// procedure, is registered on first use, and registered again when it was
// left with a foreign window procedure.
HWND CreateUtilityWindow(const char* className, TWindowReceiver* receiver);

}  // namespace quell::gui
