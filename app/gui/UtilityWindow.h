// Hidden tool windows that hand their messages to a plain handler: the
// message windows of components that are no controls (the tray icon's).
#pragma once

#include <windows.h>

#include "Application.h"

namespace quell::gui {

// A hidden tool window whose messages go to `handler` with `object`; the
// class ("TTrayUtilWindow" when no name is given) is registered on first use,
// and registered again when it was left with a foreign window procedure.
using UtilityHandler = void (*)(void* object, TMessage& message);
HWND CreateUtilityWindow(const char* className, UtilityHandler handler, void* object);
LRESULT CALLBACK UtilityWindowProc(HWND, UINT, WPARAM, LPARAM);
// From now on the window's messages go to the default procedure (its object
// is going away).
void UnbindUtilityWindow(HWND window);

}  // namespace quell::gui
