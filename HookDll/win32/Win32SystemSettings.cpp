#include "Win32SystemSettings.h"

#include <windows.h>

#include "HookDll/LockChanges.h"

namespace quell::hook {

namespace {
HKEY AsKey(std::uintptr_t key) { return reinterpret_cast<HKEY>(key); }
HKEY RootKey(std::uint32_t root) {
  return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
}
}  // namespace

bool Win32SystemSettings::SystemParameters(std::uint32_t action, std::uint32_t uiParam,
                                           void* pvParam, std::uint32_t winIni) {
  return SystemParametersInfoA(action, uiParam, pvParam, winIni) != FALSE;
}

bool Win32SystemSettings::OpenRegistryKey(std::uint32_t root, const char* subKey,
                                          std::uintptr_t* key) {
  HKEY opened = nullptr;
  if (RegOpenKeyA(RootKey(root), subKey, &opened) != ERROR_SUCCESS) return false;
  *key = reinterpret_cast<std::uintptr_t>(opened);
  return true;
}

bool Win32SystemSettings::CreateRegistryKey(std::uint32_t root, const char* subKey,
                                            std::uintptr_t* key) {
  HKEY created = nullptr;
  if (RegCreateKeyA(RootKey(root), subKey, &created) != ERROR_SUCCESS) return false;
  *key = reinterpret_cast<std::uintptr_t>(created);
  return true;
}

RegistryValue Win32SystemSettings::QueryRegistryValue(std::uintptr_t key, const char* name,
                                                      std::uint32_t* type, void* data,
                                                      std::uint32_t* size) {
  DWORD valueType = 0, valueSize = *size;
  const LONG rc =
      RegQueryValueExA(AsKey(key), name, nullptr, &valueType, static_cast<BYTE*>(data), &valueSize);
  if (rc == ERROR_FILE_NOT_FOUND) return RegistryValue::Absent;
  if (rc != ERROR_SUCCESS && rc != ERROR_MORE_DATA) return RegistryValue::Unreadable;
  *type = valueType;
  *size = valueSize;
  return RegistryValue::Present;
}

bool Win32SystemSettings::SetRegistryValue(std::uintptr_t key, const char* name, std::uint32_t type,
                                           const void* data, std::uint32_t size) {
  return RegSetValueExA(AsKey(key), name, 0, type, static_cast<const BYTE*>(data), size) ==
         ERROR_SUCCESS;
}

bool Win32SystemSettings::DeleteRegistryValue(std::uintptr_t key, const char* name) {
  return RegDeleteValueA(AsKey(key), name) == ERROR_SUCCESS;
}

void Win32SystemSettings::CloseRegistryKey(std::uintptr_t key) { RegCloseKey(AsKey(key)); }

void RepairLockLeftovers() noexcept {
  Win32SystemSettings system;
  RepairLockLeftovers(system);
}

}  // namespace quell::hook
