// The shell calls a tray icon makes, and the shell's version that decides
// which of its features an icon may use: the system's, or a stand-in that
// the icon's owner hands it.
#pragma once

#include <windows.h>
#include <shellapi.h>

namespace quell::ui {

class TTrayShell {
 public:
  virtual ~TTrayShell() = default;
  virtual BOOL NotifyIcon(DWORD command, PNOTIFYICONDATAA data) = 0;
  // The dwFileVersionMS word of shell32.dll's version resource, read on
  // first use and kept once it is nonzero (0 when it cannot be read).
  DWORD Version() {
    if (FVersion == 0) FVersion = ReadVersion();
    return FVersion;
  }

 protected:
  virtual DWORD ReadVersion() = 0;

 private:
  DWORD FVersion = 0;
};

// Shell_NotifyIconA and shell32.dll's own version.
TTrayShell& SystemTrayShell();
DWORD ReadShell32Version();

}  // namespace quell::ui
