// A small reader of Windows PE images: enough to check what a built DLL or
// program imports and exports, its machine and its sections, on a host that
// cannot run it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quell::tools {

struct PeSection {
  std::string name;
  std::uint32_t characteristics = 0;
  bool Shared() const { return (characteristics & 0x10000000u) != 0; }
  bool Writable() const { return (characteristics & 0x80000000u) != 0; }
};

struct PeImage {
  std::uint16_t machine = 0;  // 0x14c i386, 0x8664 amd64
  bool pe32Plus = false;
  std::uint64_t fileSize = 0;
  std::vector<PeSection> sections;
  std::vector<std::string> imports;  // DLL names as stored
  std::vector<std::string> exports;  // exported names
};

// Parses `bytes`; throws std::runtime_error with the reason on a malformed image.
PeImage ParsePe(const std::vector<std::uint8_t>& bytes);

}  // namespace quell::tools
