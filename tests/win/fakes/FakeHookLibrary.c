/* A stand-in for quellhook.dll with the same exports, for testing how the
 * program finds, binds and drives the library. It keeps the lock flag and
 * the properties like the real one (without hooks or side effects) and,
 * when QUELL_FAKE_HOOK_LOG names a file, appends one line per call to it.
 * Built once whole and once without StartLog; a shared section holds the
 * state, so that a second program instance sees the first one's window. */
#include <windows.h>
#include <stdarg.h>
#include <stdio.h>

/* Shared by every process that maps this file, like the real library's state. */
struct FakeState {
  int properties[15];
  int hooked;
  UINT_PTR notify;
};
__attribute__((section(".shared"), shared)) struct FakeState g_state = {{0}, 0, 0};
#define g_properties g_state.properties
#define g_hooked g_state.hooked
#define g_notify ((HWND)g_state.notify)

__attribute__((format(printf, 1, 2))) static void Record(const char* format, ...) {
  char path[MAX_PATH];
  DWORD n = GetEnvironmentVariableA("QUELL_FAKE_HOOK_LOG", path, sizeof path);
  if (n == 0 || n >= sizeof path) return;
  FILE* f = fopen(path, "ab");
  if (!f) return;
  va_list args;
  va_start(args, format);
  vfprintf(f, format, args);
  va_end(args);
  fputs("\n", f);
  fclose(f);
}

__declspec(dllexport) int SetShellHook(void) {
  Record("SetShellHook");
  g_hooked = 1;
  PostMessageA(g_notify, WM_USER, 0, 1);
  return 1;
}

__declspec(dllexport) int UnSetShellHook(void) {
  Record("UnSetShellHook");
  g_hooked = 0;
  PostMessageA(g_notify, WM_USER, 0, 1);
  return 1;
}

__declspec(dllexport) int SetNotifyWnd(HWND window) {
  Record("SetNotifyWnd %d", window != NULL);
  g_state.notify = (UINT_PTR)window;
  return 1;
}

__declspec(dllexport) HWND GetNotifyWnd(void) { return g_notify; }

__declspec(dllexport) int SetProperties(int index, int value) {
  Record("SetProperties %d %d", index, value);
  if (index < 0 || index > 14) return 0;
  g_properties[index] = value;
  if (g_properties[0] && g_properties[2] && !g_properties[7] &&
      (g_properties[3] || g_properties[4])) {
    g_properties[0] = 0;
    return 0;
  }
  if (index == 0) PostMessageA(g_notify, WM_USER, 0, 1);
  return 1;
}

__declspec(dllexport) int GetIsLocked(void) { return g_properties[0] && g_hooked; }

#ifndef FAKE_WITHOUT_STARTLOG
__declspec(dllexport) int StartLog(const char* path) {
  Record("StartLog %d", path != NULL);
  return 1;
}
#endif
