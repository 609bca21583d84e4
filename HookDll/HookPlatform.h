// The few operating-system calls the hook library makes for its hooks,
// behind one small interface so that every decision can run natively against
// a fake. The system settings a lock changes are SystemSettings.h.
// Handles are carried as 32-bit words, as the shared record stores them.
#pragma once

#include <cstdint>

namespace quell::hook {

enum class HookKind : int { Keyboard = 2, LowLevelKeyboard = 13, LowLevelMouse = 14 };

class HookPlatform {
 public:
  // Installs a system-wide hook of `kind` with the library's own procedure
  // and module; returns the hook handle, 0 on failure.
  virtual std::uint32_t InstallHook(HookKind kind, std::uintptr_t module) = 0;
  virtual bool RemoveHook(std::uint32_t hook) = 0;

  // PostMessageA(window, WM_USER, wParam, lParam); the result is not needed.
  virtual void Post(std::uint32_t window, std::uintptr_t wParam, std::intptr_t lParam) = 0;

  // GetAsyncKeyState(vk) with its most significant bit set.
  virtual bool IsKeyDown(int vk) = 0;
  // GetKeyNameTextA(lParam, buffer, size): the length copied, 0 for none.
  virtual int KeyName(std::int32_t lParam, char* buffer, int size) = 0;
  virtual void Beep() = 0;  // MessageBeep(MB_OK)

  // GetTickCount(): the clock of GetLastInputInfo.
  virtual std::uint32_t TickCount() = 0;

  virtual std::uint32_t CurrentProcessId() = 0;
  // Whether process `id` still runs (true when that cannot be told).
  virtual bool IsProcessRunning(std::uint32_t id) = 0;

 protected:
  ~HookPlatform() = default;
};

}  // namespace quell::hook
