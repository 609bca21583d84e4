#include "RunEntryRegistry.h"

#include <windows.h>

#include <vector>

#include "base/Handles.h"

namespace quell::app {

namespace {

// The Run key, opened with `access`; empty when it cannot be.
base::RegistryKey OpenRunKey(REGSAM access, bool create) {
  HKEY key = nullptr;
  const LONG rc = create ? RegCreateKeyExA(HKEY_CURRENT_USER, RunKeyPath, 0, nullptr, 0, access,
                                           nullptr, &key, nullptr)
                         : RegOpenKeyExA(HKEY_CURRENT_USER, RunKeyPath, 0, access, &key);
  return base::RegistryKey(rc == ERROR_SUCCESS ? key : nullptr);
}

}  // namespace

std::optional<std::string> TRunEntryRegistry::Read() {
  const base::RegistryKey key = OpenRunKey(KEY_QUERY_VALUE, false);
  if (!key.get()) return std::nullopt;
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key.get(), RunValueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  // A value of another type names no program: it is there, and written over.
  if (type != REG_SZ && type != REG_EXPAND_SZ) return std::string();
  std::vector<char> data(size + 1, '\0');
  if (RegQueryValueExA(key.get(), RunValueName, nullptr, &type,
                       reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS) {
    return std::string();
  }
  return std::string(data.data());
}

bool TRunEntryRegistry::Write(const std::string& data) {
  const base::RegistryKey key = OpenRunKey(KEY_SET_VALUE, true);
  return key.get() && RegSetValueExA(key.get(), RunValueName, 0, REG_SZ,
                                     reinterpret_cast<const BYTE*>(data.c_str()),
                                     static_cast<DWORD>(data.size() + 1)) == ERROR_SUCCESS;
}

bool TRunEntryRegistry::Remove() {
  const base::RegistryKey key = OpenRunKey(KEY_SET_VALUE, false);
  if (!key.get()) return true;
  const LONG rc = RegDeleteValueA(key.get(), RunValueName);
  return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

}  // namespace quell::app
