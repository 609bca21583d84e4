// The system settings a lock changes (system parameters and registry
// values), behind one small interface: the library's lock side effects and
// the program's start-up repair use it alike, and tests run both against a
// fake. Registry keys are carried as pointer-sized words.
#pragma once

#include <cstdint>

namespace quell::hook {

// Registry roots and value types used by the lock side effects.
inline constexpr std::uint32_t kHkeyCurrentUser = 0x80000001u;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;

// What a registry read found.
enum class RegistryValue { Absent, Present, Unreadable };

class SystemSettings {
 public:
  // SystemParametersInfoA; true when the call succeeded.
  virtual bool SystemParameters(std::uint32_t action, std::uint32_t uiParam, void* pvParam,
                                std::uint32_t winIni) = 0;

  virtual bool OpenRegistryKey(std::uint32_t root, const char* subKey, std::uintptr_t* key) = 0;
  virtual bool CreateRegistryKey(std::uint32_t root, const char* subKey, std::uintptr_t* key) = 0;
  // RegQueryValueExA into `data` of `*size` bytes. Present: `*type` and
  // `*size` are the value's (its data only when it fitted).
  virtual RegistryValue QueryRegistryValue(std::uintptr_t key, const char* name,
                                           std::uint32_t* type, void* data,
                                           std::uint32_t* size) = 0;
  virtual bool SetRegistryValue(std::uintptr_t key, const char* name, std::uint32_t type,
                                const void* data, std::uint32_t size) = 0;
  virtual bool DeleteRegistryValue(std::uintptr_t key, const char* name) = 0;
  virtual void CloseRegistryKey(std::uintptr_t key) = 0;

 protected:
  ~SystemSettings() = default;
};

}  // namespace quell::hook
