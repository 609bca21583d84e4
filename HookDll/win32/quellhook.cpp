// quellhook.dll: the shared data section, the seven exports and the three
// hook procedures. Each procedure only adapts the platform's arguments to
// the portable filters and chains to the next hook.
#include <windows.h>

#include <type_traits>

#include "HookDll/HookExports.h"
#include "HookDll/HookLibrary.h"
#include "Win32HookPlatform.h"
#include "Win32SystemSettings.h"

using quell::hook::HookLibrary;

// One record for every process that maps the library: a named section that
// the linker marks shared and writable.
__attribute__((section(".shared"), shared)) quell::hook::SharedHookState g_shared = {};

namespace {
constinit quell::hook::ProcessState g_process;
constinit quell::hook::Win32HookPlatform g_platform;
constinit quell::hook::Win32SystemSettings g_system;
constinit HookLibrary g_library{g_shared, g_process, g_platform, g_system};

HHOOK AsHook(std::uint32_t word) { return static_cast<HHOOK>(ULongToHandle(word)); }
}  // namespace

namespace quell::hook {

LRESULT CALLBACK KeyboardProc(int nCode, WPARAM wParam, LPARAM lParam) {
  if (g_library.KeyboardProc(nCode, static_cast<std::uint32_t>(wParam),
                             static_cast<std::uint32_t>(lParam))) {
    return 1;
  }
  return CallNextHookEx(AsHook(g_shared.keyboardHook), nCode, wParam, lParam);
}

LRESULT CALLBACK LowLevelKeyboardProc(int nCode, WPARAM wParam, LPARAM lParam) {
  const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
  const LowLevelKey key{event->vkCode, event->scanCode, event->flags, event->time};
  if (g_library.LowLevelKeyboardProc(nCode, static_cast<std::uint32_t>(wParam), key)) return 1;
  return CallNextHookEx(AsHook(g_shared.lowLevelKeyboardHook), nCode, wParam, lParam);
}

LRESULT CALLBACK LowLevelMouseProc(int nCode, WPARAM wParam, LPARAM lParam) {
  if (g_library.LowLevelMouseProc(nCode, static_cast<std::uint32_t>(wParam))) return 1;
  return CallNextHookEx(AsHook(g_shared.lowLevelMouseHook), nCode, wParam, lParam);
}

}  // namespace quell::hook

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  // Detaching leaves hooks, lock flag and log as they are.
  if (reason == DLL_PROCESS_ATTACH) {
    g_process.module = reinterpret_cast<std::uintptr_t>(instance);
    g_shared.layoutMark = quell::hook::kSharedRecordMark;
  }
  return TRUE;
}

int SetShellHook() { return g_library.SetShellHook(); }
int UnSetShellHook() { return g_library.UnSetShellHook(); }
int SetNotifyWnd(HWND window) { return g_library.SetNotifyWnd(HandleToULong(window)); }
HWND GetNotifyWnd() { return static_cast<HWND>(ULongToHandle(g_library.GetNotifyWnd())); }
int SetProperties(int index, int value) { return g_library.SetProperties(index, value); }
int GetIsLocked() { return g_library.GetIsLocked(); }
int StartLog(const char* path) { return g_library.StartLog(path); }

}  // extern "C"

namespace exports = quell::hook_exports;
static_assert(std::is_same_v<decltype(&SetShellHook), exports::SetShellHookFn>);
static_assert(std::is_same_v<decltype(&UnSetShellHook), exports::UnSetShellHookFn>);
static_assert(std::is_same_v<decltype(&SetNotifyWnd), exports::SetNotifyWndFn>);
static_assert(std::is_same_v<decltype(&GetNotifyWnd), exports::GetNotifyWndFn>);
static_assert(std::is_same_v<decltype(&SetProperties), exports::SetPropertiesFn>);
static_assert(std::is_same_v<decltype(&GetIsLocked), exports::GetIsLockedFn>);
static_assert(std::is_same_v<decltype(&StartLog), exports::StartLogFn>);
// The hook procedures are handed to SetWindowsHookExA through the platform.
static_assert(std::is_same_v<decltype(&quell::hook::KeyboardProc), HOOKPROC>);
static_assert(std::is_same_v<decltype(&quell::hook::LowLevelKeyboardProc), HOOKPROC>);
static_assert(std::is_same_v<decltype(&quell::hook::LowLevelMouseProc), HOOKPROC>);
