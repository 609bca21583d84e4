#include "RunEntryRegistry.h"

#include <windows.h>

#include <vector>

namespace quell::app {

namespace {

// The Run key, opened with `access`; closed when it goes out of scope.
class TRunKey {
 public:
  TRunKey(REGSAM access, bool create) {
    const LONG rc = create ? RegCreateKeyExA(HKEY_CURRENT_USER, RunKeyPath, 0, nullptr, 0, access,
                                             nullptr, &FKey, nullptr)
                           : RegOpenKeyExA(HKEY_CURRENT_USER, RunKeyPath, 0, access, &FKey);
    if (rc != ERROR_SUCCESS) FKey = nullptr;
  }
  ~TRunKey() {
    if (FKey) RegCloseKey(FKey);
  }
  TRunKey(const TRunKey&) = delete;
  TRunKey& operator=(const TRunKey&) = delete;
  HKEY Handle() const { return FKey; }

 private:
  HKEY FKey = nullptr;
};

}  // namespace

std::optional<std::string> TRunEntryRegistry::Read() {
  const TRunKey key(KEY_QUERY_VALUE, false);
  if (!key.Handle()) return std::nullopt;
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key.Handle(), RunValueName, nullptr, &type, nullptr, &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  // A value of another type names no program: it is there, and written over.
  if (type != REG_SZ && type != REG_EXPAND_SZ) return std::string();
  std::vector<char> data(size + 1, '\0');
  if (RegQueryValueExA(key.Handle(), RunValueName, nullptr, &type,
                       reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS) {
    return std::string();
  }
  return std::string(data.data());
}

bool TRunEntryRegistry::Write(const std::string& data) {
  const TRunKey key(KEY_SET_VALUE, true);
  return key.Handle() && RegSetValueExA(key.Handle(), RunValueName, 0, REG_SZ,
                                        reinterpret_cast<const BYTE*>(data.c_str()),
                                        static_cast<DWORD>(data.size() + 1)) == ERROR_SUCCESS;
}

bool TRunEntryRegistry::Remove() {
  const TRunKey key(KEY_SET_VALUE, false);
  if (!key.Handle()) return true;
  const LONG rc = RegDeleteValueA(key.Handle(), RunValueName);
  return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

}  // namespace quell::app
