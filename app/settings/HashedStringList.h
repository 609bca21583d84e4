// An ordered list of strings with a hashed, case-insensitive index.
//
// The ini file keeps its section names and the lines of each section in
// such lists: the order is what gets written back, the index makes a lookup
// cost the same in a section of ten lines as in one of a hundred thousand.
// Where several entries share a key, the index finds the last of them.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quell::settings {

// ASCII case folding: every name in the settings file is ASCII, and the
// result must not depend on the user's locale.
bool SameTextAscii(std::string_view a, std::string_view b) noexcept;

struct TCaseInsensitiveHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view s) const noexcept;
};

struct TCaseInsensitiveEqual {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const noexcept {
    return SameTextAscii(a, b);
  }
};

class THashedStringList {
 public:
  // What an entry is looked up by: the whole string (section names), or its
  // name, the text before the first "=" (the lines of a section; a line
  // without "=" has no name and is never found).
  enum class TKeyKind { WholeString, Name };

  explicit THashedStringList(TKeyKind kind) : FKind(kind) {}

  std::size_t Count() const noexcept { return FItems.size(); }
  const std::string& operator[](std::size_t index) const { return FItems.at(index); }
  const std::vector<std::string>& Items() const noexcept { return FItems; }

  void Add(std::string item);
  // Replaces an entry in place; the entry keeps its position.
  void Put(std::size_t index, std::string item);

  // The index of the last entry whose key matches, without regard to case.
  std::optional<std::size_t> IndexOfKey(std::string_view key) const;

  // The key of an entry as this list sees it; empty optional for a line
  // without "=" in a list of name=value lines.
  std::optional<std::string_view> KeyOf(std::string_view item) const noexcept;

 private:
  void Reindex() const;

  TKeyKind FKind;
  std::vector<std::string> FItems;
  // Key -> position of the last entry with that key. Rebuilt on the next
  // lookup after a Put that changed an entry's key (the settings never do).
  mutable std::unordered_map<std::string, std::size_t, TCaseInsensitiveHash, TCaseInsensitiveEqual>
      FIndex;
  mutable bool FIndexStale = false;
};

}  // namespace quell::settings
