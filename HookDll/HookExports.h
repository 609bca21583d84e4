// The seven exports of quellhook.dll as the program binds them by name: plain
// C linkage and the default (cdecl) calling convention on both sides. The
// library checks its definitions against these types at compile time, so a
// calling convention changed on one side only (which corrupts the stack in
// the i686 build alone) does not build.
#pragma once

#include <windows.h>

namespace quell::hook_exports {

using SetShellHookFn = int (*)();
using UnSetShellHookFn = int (*)();
using SetNotifyWndFn = int (*)(HWND window);
using GetNotifyWndFn = HWND (*)();
using SetPropertiesFn = int (*)(int index, int value);
using GetIsLockedFn = int (*)();
using StartLogFn = int (*)(const char* path);

}  // namespace quell::hook_exports
