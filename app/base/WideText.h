// Paths and texts inside the program are UTF-8; the system's wide (UTF-16)
// calls take and give them through these two conversions, at the place of
// the call. The ANSI calls would turn every letter outside the code page
// into '?'.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace quell::base {

// UTF-8 to UTF-16. A byte that is no part of a valid UTF-8 sequence becomes
// U+FFFD, so the result is always a well-formed wide string.
inline std::wstring WideFromUtf8(std::string_view text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int needed = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
  if (needed <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(needed), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), length, wide.data(), needed);
  return wide;
}

// UTF-16 to UTF-8. A lone surrogate becomes U+FFFD.
inline std::string Utf8FromWide(std::wstring_view text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int needed =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return {};
  std::string narrow(static_cast<std::size_t>(needed), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), length, narrow.data(), needed, nullptr, nullptr);
  return narrow;
}

}  // namespace quell::base
