#include "Win32HookPlatform.h"

#include <windows.h>

namespace quell::hook {

// The hook procedures, defined with the exports.
LRESULT CALLBACK KeyboardProc(int nCode, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK LowLevelKeyboardProc(int nCode, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK LowLevelMouseProc(int nCode, WPARAM wParam, LPARAM lParam);

std::uint32_t Win32HookPlatform::InstallHook(HookKind kind, std::uintptr_t module) {
  HOOKPROC proc = nullptr;
  switch (kind) {
    case HookKind::Keyboard: proc = KeyboardProc; break;
    case HookKind::LowLevelKeyboard: proc = LowLevelKeyboardProc; break;
    case HookKind::LowLevelMouse: proc = LowLevelMouseProc; break;
  }
  HHOOK hook =
      SetWindowsHookExA(static_cast<int>(kind), proc, reinterpret_cast<HINSTANCE>(module), 0);
  return HandleToULong(hook);
}

bool Win32HookPlatform::RemoveHook(std::uint32_t hook) {
  return UnhookWindowsHookEx(static_cast<HHOOK>(ULongToHandle(hook))) != FALSE;
}

void Win32HookPlatform::Post(std::uint32_t window, std::uintptr_t wParam, std::intptr_t lParam) {
  PostMessageA(static_cast<HWND>(ULongToHandle(window)), WM_USER, wParam, lParam);
}

bool Win32HookPlatform::IsKeyDown(int vk) { return GetAsyncKeyState(vk) < 0; }

int Win32HookPlatform::KeyName(std::int32_t lParam, char* buffer, int size) {
  return GetKeyNameTextA(lParam, buffer, size);
}

void Win32HookPlatform::Beep() { MessageBeep(MB_OK); }

std::uint32_t Win32HookPlatform::TickCount() { return GetTickCount(); }

std::uint32_t Win32HookPlatform::CurrentProcessId() { return GetCurrentProcessId(); }

bool Win32HookPlatform::IsProcessRunning(std::uint32_t id) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
  // No such process: ended. Any other refusal (access) tells nothing.
  if (!process) return GetLastError() != ERROR_INVALID_PARAMETER;
  const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  CloseHandle(process);
  return running;
}

}  // namespace quell::hook
