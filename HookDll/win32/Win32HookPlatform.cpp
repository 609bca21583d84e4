#define WIN32_LEAN_AND_MEAN
#include "Win32HookPlatform.h"

#include <windows.h>

namespace quell::hook {

// The hook procedures, defined with the exports.
LRESULT CALLBACK KeyboardProc(int nCode, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK LowLevelKeyboardProc(int nCode, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK LowLevelMouseProc(int nCode, WPARAM wParam, LPARAM lParam);

namespace {
HKEY AsKey(std::uintptr_t key) { return reinterpret_cast<HKEY>(key); }
}  // namespace

std::uint32_t Win32HookPlatform::InstallHook(HookKind kind, std::uintptr_t module) {
  HOOKPROC proc = nullptr;
  switch (kind) {
    case HookKind::Keyboard: proc = KeyboardProc; break;
    case HookKind::LowLevelKeyboard: proc = LowLevelKeyboardProc; break;
    case HookKind::LowLevelMouse: proc = LowLevelMouseProc; break;
  }
  HHOOK hook = SetWindowsHookExA(static_cast<int>(kind), proc,
                                 reinterpret_cast<HINSTANCE>(module), 0);
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

void Win32HookPlatform::SystemParameters(std::uint32_t action, std::uint32_t uiParam,
                                         void* pvParam, std::uint32_t winIni) {
  SystemParametersInfoA(action, uiParam, pvParam, winIni);
}

bool Win32HookPlatform::OpenRegistryKey(std::uint32_t root, const char* subKey, std::uintptr_t* key) {
  HKEY opened = nullptr;
  const HKEY rootKey = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
  if (RegOpenKeyA(rootKey, subKey, &opened) != ERROR_SUCCESS) return false;
  *key = reinterpret_cast<std::uintptr_t>(opened);
  return true;
}

bool Win32HookPlatform::CreateRegistryKey(std::uint32_t root, const char* subKey, std::uintptr_t* key) {
  HKEY created = nullptr;
  const HKEY rootKey = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
  if (RegCreateKeyA(rootKey, subKey, &created) != ERROR_SUCCESS) return false;
  *key = reinterpret_cast<std::uintptr_t>(created);
  return true;
}

void Win32HookPlatform::SetRegistryDword(std::uintptr_t key, const char* name, std::uint32_t value) {
  const DWORD data = value;
  RegSetValueExA(AsKey(key), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
}

void Win32HookPlatform::DeleteRegistryValue(std::uintptr_t key, const char* name) {
  RegDeleteValueA(AsKey(key), name);
}

void Win32HookPlatform::CloseRegistryKey(std::uintptr_t key) { ::RegCloseKey(AsKey(key)); }

std::uint32_t Win32HookPlatform::CurrentProcessId() { return GetCurrentProcessId(); }

}  // namespace quell::hook
