// The shell calls a tray icon makes, behind one replaceable table, and the
// shell's version that decides which of its features an icon may use.
#pragma once

#include <windows.h>
#include <shellapi.h>

namespace quell::ui {

// The shell calls of every tray icon, replaceable by tests: Shell_NotifyIconA
// and the reading of shell32.dll's version, with the version that reading
// gave (0: not read yet, or unreadable).
struct TrayShell {
  BOOL(WINAPI* notifyIcon)(DWORD command, PNOTIFYICONDATAA data);
  DWORD (*readShellVersion)();
  DWORD readVersion = 0;
};
TrayShell& TrayShellCalls();
// The dwFileVersionMS word of shell32.dll's version resource, read on first
// use and kept once it is nonzero (0 when it cannot be read).
DWORD ShellVersion();
void ForgetShellVersion();
DWORD ReadShell32Version();

}  // namespace quell::ui
