// The system settings a lock changes, read and written for real through
// Win32; used by the library and by the program's start-up repair.
#pragma once

#include "HookDll/SystemSettings.h"

namespace quell::hook {

class Win32SystemSettings final : public SystemSettings {
 public:
  constexpr Win32SystemSettings() noexcept = default;

  bool SystemParameters(std::uint32_t action, std::uint32_t uiParam, void* pvParam,
                        std::uint32_t winIni) override;
  bool OpenRegistryKey(std::uint32_t root, const char* subKey, std::uintptr_t* key) override;
  bool CreateRegistryKey(std::uint32_t root, const char* subKey, std::uintptr_t* key) override;
  RegistryValue QueryRegistryValue(std::uintptr_t key, const char* name, std::uint32_t* type,
                                   void* data, std::uint32_t* size) override;
  bool SetRegistryValue(std::uintptr_t key, const char* name, std::uint32_t type, const void* data,
                        std::uint32_t size) override;
  bool DeleteRegistryValue(std::uintptr_t key, const char* name) override;
  void CloseRegistryKey(std::uintptr_t key) override;
};

// The program's start-up repair: undoes what a lock of a program that died
// left in the system, as recorded in the registry. Call it in the first
// instance only, before the library is bound.
void RepairLockLeftovers() noexcept;

}  // namespace quell::hook
