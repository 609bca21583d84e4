#include "ForegroundWindow.h"

namespace quell::app {

namespace {
constexpr DWORD kVersionPlatformWin32Windows = 1;  // the 9x line
constexpr DWORD kVersionPlatformWin32Nt = 2;
}  // namespace

bool ForceForegroundWindow(HWND window) {
  if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
  if (GetForegroundWindow() == window) return true;

  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  GetVersionExA(&version);
  const bool modern =
      (version.dwPlatformId == kVersionPlatformWin32Nt && version.dwMajorVersion > 4) ||
      (version.dwPlatformId == kVersionPlatformWin32Windows &&
       (version.dwMajorVersion > 4 || (version.dwMajorVersion == 4 && version.dwMinorVersion > 0)));
  if (!modern) {
    BringWindowToTop(window);
    SetForegroundWindow(window);
    return GetForegroundWindow() == window;
  }

  // Windows refuses the foreground to a program that is not in front:
  // borrow the input state of the one that is, or lift the lock time-out.
  const DWORD foregroundThread = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
  const DWORD windowThread = GetWindowThreadProcessId(window, nullptr);
  bool done = false;
  if (AttachThreadInput(windowThread, foregroundThread, TRUE)) {
    BringWindowToTop(window);
    SetForegroundWindow(window);
    AttachThreadInput(windowThread, foregroundThread, FALSE);
    done = GetForegroundWindow() == window;
  }
  if (!done) {
    DWORD timeout = 0;
    SystemParametersInfoA(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &timeout, 0);
    SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, SPIF_SENDCHANGE);
    BringWindowToTop(window);
    SetForegroundWindow(window);
    SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0,
                          reinterpret_cast<void*>(static_cast<ULONG_PTR>(timeout)),
                          SPIF_SENDCHANGE);
    if (GetForegroundWindow() != window) {
      ShowWindow(window, SW_HIDE);
      ShowWindow(window, SW_SHOWMINIMIZED);
      ShowWindow(window, SW_SHOWNORMAL);
      BringWindowToTop(window);
      SetForegroundWindow(window);
    }
  }
  return GetForegroundWindow() == window;
}

}  // namespace quell::app
