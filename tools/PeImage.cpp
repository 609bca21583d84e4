#include "PeImage.h"

#include <cstring>
#include <stdexcept>

namespace quell::tools {

namespace {

class Reader {
 public:
  explicit Reader(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}

  template <typename T>
  T At(std::uint64_t offset) const {
    if (offset + sizeof(T) > bytes_.size()) throw std::runtime_error("truncated image");
    T value;
    std::memcpy(&value, bytes_.data() + offset, sizeof(T));
    return value;
  }

  std::string CString(std::uint64_t offset) const {
    std::string s;
    for (;; ++offset) {
      const char c = At<char>(offset);
      if (c == '\0') return s;
      s += c;
      if (s.size() > 4096) throw std::runtime_error("unterminated string");
    }
  }

 private:
  const std::vector<std::uint8_t>& bytes_;
};

struct RawSection {
  std::uint32_t virtualAddress, virtualSize, rawPointer, rawSize;
};

}  // namespace

PeImage ParsePe(const std::vector<std::uint8_t>& bytes) {
  const Reader r(bytes);
  PeImage image;
  image.fileSize = bytes.size();
  if (r.At<std::uint16_t>(0) != 0x5A4D) throw std::runtime_error("no MZ header");
  const std::uint32_t pe = r.At<std::uint32_t>(0x3C);
  if (r.At<std::uint32_t>(pe) != 0x00004550) throw std::runtime_error("no PE signature");
  image.machine = r.At<std::uint16_t>(pe + 4);
  const std::uint16_t sectionCount = r.At<std::uint16_t>(pe + 6);
  const std::uint16_t optionalSize = r.At<std::uint16_t>(pe + 20);
  const std::uint64_t optional = pe + 24;
  const std::uint16_t magic = r.At<std::uint16_t>(optional);
  if (magic != 0x10B && magic != 0x20B) throw std::runtime_error("unknown optional header");
  image.pe32Plus = magic == 0x20B;
  const std::uint64_t directories = optional + (image.pe32Plus ? 112 : 96);
  const std::uint32_t exportRva = r.At<std::uint32_t>(directories);
  const std::uint32_t importRva = r.At<std::uint32_t>(directories + 8);

  std::vector<RawSection> raw;
  const std::uint64_t table = optional + optionalSize;
  for (std::uint16_t i = 0; i < sectionCount; ++i) {
    const std::uint64_t s = table + 40ull * i;
    PeSection section;
    for (int c = 0; c < 8 && r.At<char>(s + c) != '\0'; ++c) section.name += r.At<char>(s + c);
    section.characteristics = r.At<std::uint32_t>(s + 36);
    image.sections.push_back(section);
    raw.push_back({r.At<std::uint32_t>(s + 12), r.At<std::uint32_t>(s + 8),
                   r.At<std::uint32_t>(s + 20), r.At<std::uint32_t>(s + 16)});
  }
  auto offsetOf = [&](std::uint32_t rva) -> std::uint64_t {
    for (const RawSection& s : raw) {
      const std::uint32_t size = s.virtualSize > s.rawSize ? s.virtualSize : s.rawSize;
      if (rva >= s.virtualAddress && rva < s.virtualAddress + size) {
        return std::uint64_t{s.rawPointer} + (rva - s.virtualAddress);
      }
    }
    throw std::runtime_error("address outside every section");
  };

  if (importRva != 0) {
    for (std::uint64_t d = offsetOf(importRva);; d += 20) {
      const std::uint32_t nameRva = r.At<std::uint32_t>(d + 12);
      if (nameRva == 0) break;
      image.imports.push_back(r.CString(offsetOf(nameRva)));
    }
  }
  if (exportRva != 0) {
    const std::uint64_t e = offsetOf(exportRva);
    const std::uint32_t nameCount = r.At<std::uint32_t>(e + 24);
    const std::uint64_t names = offsetOf(r.At<std::uint32_t>(e + 32));
    for (std::uint32_t i = 0; i < nameCount; ++i) {
      image.exports.push_back(r.CString(offsetOf(r.At<std::uint32_t>(names + 4ull * i))));
    }
  }
  return image;
}

}  // namespace quell::tools
