// The hook library's platform calls, made for real through Win32.
#pragma once

#include "HookDll/HookPlatform.h"

namespace quell::hook {

class Win32HookPlatform final : public HookPlatform {
 public:
  constexpr Win32HookPlatform() noexcept = default;

  std::uint32_t InstallHook(HookKind kind, std::uintptr_t module) override;
  bool RemoveHook(std::uint32_t hook) override;
  void Post(std::uint32_t window, std::uintptr_t wParam, std::intptr_t lParam) override;
  bool IsKeyDown(int vk) override;
  int KeyName(std::int32_t lParam, char* buffer, int size) override;
  void Beep() override;
  std::uint32_t TickCount() override;
  std::uint32_t CurrentProcessId() override;
  bool IsProcessRunning(std::uint32_t id) override;
};

}  // namespace quell::hook
