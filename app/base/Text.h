// Text helpers every layer shares: ASCII case folding (names, switches and
// keys compare without regard to the code page), hexadecimal digits and the
// command line's words.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quell::base {

// 'A'..'Z' to 'a'..'z'; every other byte as it is.
constexpr char FoldAscii(char c) noexcept {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr bool SameTextAscii(std::string_view a, std::string_view b) noexcept {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

// 0..15 for a hexadecimal digit of either case; -1 for anything else.
constexpr int HexDigitValue(char c) noexcept {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The words of the command line after the program's name.
inline std::vector<std::string> ArgumentsOf(int argc, char** argv) {
  if (argc < 1 || !argv) return {};
  return std::vector<std::string>(argv + 1, argv + argc);
}

}  // namespace quell::base
