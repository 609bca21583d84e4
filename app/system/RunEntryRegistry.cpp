#include "RunEntryRegistry.h"

#include <windows.h>

#include <vector>

#include "base/Handles.h"
#include "base/WideText.h"

namespace quell::app {

namespace {

// The value holds a path, so it is read and written wide: Windows starts
// the program from a folder whose name the ANSI code page cannot spell only
// when the value spells it.
std::wstring RunValueNameW() { return base::WideFromUtf8(RunValueName); }

// The Run key, opened with `access`; empty when it cannot be.
base::RegistryKey OpenRunKey(REGSAM access, bool create) {
  const std::wstring path = base::WideFromUtf8(RunKeyPath);
  HKEY key = nullptr;
  const LONG rc = create ? RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, access,
                                           nullptr, &key, nullptr)
                         : RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, access, &key);
  return base::RegistryKey(rc == ERROR_SUCCESS ? key : nullptr);
}

}  // namespace

std::optional<std::string> TRunEntryRegistry::Read() {
  const base::RegistryKey key = OpenRunKey(KEY_QUERY_VALUE, false);
  if (!key.get()) return std::nullopt;
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key.get(), RunValueNameW().c_str(), nullptr, &type, nullptr, &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  // A value of another type names no program: it is there, and written over.
  if (type != REG_SZ && type != REG_EXPAND_SZ) return std::string();
  // `size` counts bytes; the data may lack its terminating zero.
  std::vector<wchar_t> data(size / sizeof(wchar_t) + 2, L'\0');
  if (RegQueryValueExW(key.get(), RunValueNameW().c_str(), nullptr, &type,
                       reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS) {
    return std::string();
  }
  return base::Utf8FromWide(data.data());
}

bool TRunEntryRegistry::Write(const std::string& data) {
  const base::RegistryKey key = OpenRunKey(KEY_SET_VALUE, true);
  const std::wstring wide = base::WideFromUtf8(data);
  return key.get() &&
         RegSetValueExW(key.get(), RunValueNameW().c_str(), 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(wide.c_str()),
                        static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool TRunEntryRegistry::Remove() {
  const base::RegistryKey key = OpenRunKey(KEY_SET_VALUE, false);
  if (!key.get()) return true;
  const LONG rc = RegDeleteValueW(key.get(), RunValueNameW().c_str());
  return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

}  // namespace quell::app
