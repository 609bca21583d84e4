#include "TrayShell.h"

#include <vector>

namespace quell::ui {

namespace {

class TSystemTrayShell final : public TTrayShell {
 public:
  BOOL NotifyIcon(DWORD command, PNOTIFYICONDATAA data) override {
    return Shell_NotifyIconA(command, data);
  }

 protected:
  DWORD ReadVersion() override { return ReadShell32Version(); }
};

}  // namespace

TTrayShell& SystemTrayShell() {
  static TSystemTrayShell shell;
  return shell;
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

}  // namespace quell::ui
