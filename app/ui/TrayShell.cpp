#include "TrayShell.h"

#include <vector>

namespace quell::ui {

TrayShell& TrayShellCalls() {
  static TrayShell calls{Shell_NotifyIconA, ReadShell32Version};
  return calls;
}

DWORD ReadShell32Version() {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA("shell32.dll", &ignored);
  if (size == 0) return 0;
  std::vector<char> block(size);
  if (!GetFileVersionInfoA("shell32.dll", 0, size, block.data())) return 0;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&info), &length) || !info ||
      length < sizeof *info) {
    return 0;
  }
  return info->dwFileVersionMS;
}

DWORD ShellVersion() {
  TrayShell& shell = TrayShellCalls();
  if (shell.readVersion == 0) shell.readVersion = shell.readShellVersion();
  return shell.readVersion;
}

void ForgetShellVersion() { TrayShellCalls().readVersion = 0; }

}  // namespace quell::ui
