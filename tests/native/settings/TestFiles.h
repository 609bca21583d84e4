// Scratch folders and file helpers for the settings tests.
#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace quell::settings::test {

namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, removed with all its
// content when the object goes away.
class TScratchDir {
 public:
  TScratchDir() {
    std::mt19937_64 rng(
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    for (;;) {
      FPath = fs::temp_directory_path() / ("quell-settings-" + std::to_string(rng() % 1000000000));
      if (fs::create_directory(FPath)) break;
    }
  }
  ~TScratchDir() {
    std::error_code ignored;
    fs::remove_all(FPath, ignored);
  }
  TScratchDir(const TScratchDir&) = delete;
  TScratchDir& operator=(const TScratchDir&) = delete;

  const fs::path& Path() const { return FPath; }
  fs::path operator/(const std::string& name) const { return FPath / name; }

  // The names of the entries in the folder, to spot stray temporary files.
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(FPath))
      names.push_back(e.path().filename().string());
    return names;
  }

 private:
  fs::path FPath;
};

// The whole content of a file; empty when it cannot be read.
inline std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  const std::streamoff size = in.tellg();
  if (!in || size < 0) return {};
  std::string bytes(static_cast<std::size_t>(size), '\0');
  in.seekg(0);
  in.read(bytes.data(), size);
  return bytes;
}

inline void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace quell::settings::test
