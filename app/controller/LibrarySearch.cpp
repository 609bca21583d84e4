#include "LibrarySearch.h"

#include <cstdint>

#include "base/Text.h"

namespace quell::app {

namespace {

std::string InFolder(std::string folder, std::string_view file) {
  if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
  return folder + std::string(file);
}

// "C:\x" or "\\server\share": anything else depends on the current folder.
bool IsAbsolute(std::string_view folder) {
  const bool drive =
      folder.size() >= 3 && folder[1] == ':' && (folder[2] == '\\' || folder[2] == '/');
  const bool unc = folder.size() >= 2 && folder[0] == '\\' && folder[1] == '\\';
  return drive || unc;
}

std::vector<std::string> SplitPath(std::string_view variable) {
  std::vector<std::string> folders;
  std::size_t start = 0;
  while (start <= variable.size()) {
    const std::size_t end = std::min(variable.find(';', start), variable.size());
    std::string entry(variable.substr(start, end - start));
    if (entry.size() >= 2 && entry.front() == '"' && entry.back() == '"') {
      entry = entry.substr(1, entry.size() - 2);
    }
    if (IsAbsolute(entry)) folders.push_back(entry);
    start = end + 1;
  }
  return folders;
}

}  // namespace

std::string ChooseHookLibraryPath(const TLibraryFolders& folders,
                                  const std::function<bool(const std::string&)>& exists) {
  std::vector<std::string> candidates = {
      InFolder(folders.exeFolder, HookLibraryName),
      InFolder(InFolder(folders.exeFolder, "HookDll\\obj"), HookLibraryName),
  };
  for (const std::string& folder : folders.systemFolders) {
    candidates.push_back(InFolder(folder, HookLibraryName));
  }
  for (const std::string& folder : SplitPath(folders.pathVariable)) {
    candidates.push_back(InFolder(folder, HookLibraryName));
  }
  for (const std::string& candidate : candidates) {
    if (exists(candidate)) return candidate;
  }
  return {};
}

std::string LibraryNotFoundMessage() {
  return std::string("Dll:") + HookLibraryName + " not found";
}

std::string ExportNotFoundMessage(std::string_view name) {
  return std::string(HookLibraryName) + "." + std::string(name) + " DLL function not found";
}

TLibraryClaimNames LibraryClaimNames(std::string_view libraryPath) {
  // FNV-1a over the path as Windows compares it: letter case aside, and
  // either slash.
  std::uint64_t hash = 0xcbf29ce484222325ull;
  for (char c : libraryPath) {
    const char folded = c == '/' ? '\\' : base::FoldAscii(c);
    hash = (hash ^ static_cast<unsigned char>(folded)) * 0x100000001b3ull;
  }
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex(16, '0');
  for (int i = 15; i >= 0; --i, hash >>= 4) hex[static_cast<std::size_t>(i)] = kDigits[hash & 15];
  const std::string name = "Quellane.Library." + hex;
  return {"Global\\" + name, "Local\\" + name + ".Session"};
}

}  // namespace quell::app
