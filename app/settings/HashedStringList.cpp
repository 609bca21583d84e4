#include "HashedStringList.h"

#include <cstdint>
#include <utility>

#include "base/Text.h"

namespace quell::settings {

namespace {

constexpr unsigned char FoldAscii(unsigned char c) noexcept {
  return static_cast<unsigned char>(base::FoldAscii(static_cast<char>(c)));
}

}  // namespace

bool SameTextAscii(std::string_view a, std::string_view b) noexcept {
  return base::SameTextAscii(a, b);
}

std::size_t TCaseInsensitiveHash::operator()(std::string_view s) const noexcept {
  // FNV-1a over the folded bytes.
  std::uint64_t h = 14695981039346656037ULL;
  for (char c : s) {
    h ^= FoldAscii(static_cast<unsigned char>(c));
    h *= 1099511628211ULL;
  }
  return static_cast<std::size_t>(h);
}

std::optional<std::string_view> THashedStringList::KeyOf(std::string_view item) const noexcept {
  if (FKind == TKeyKind::WholeString) return item;
  const auto eq = item.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return item.substr(0, eq);
}

void THashedStringList::Add(std::string item) {
  FItems.push_back(std::move(item));
  if (FIndexStale) return;
  const std::size_t index = FItems.size() - 1;
  if (const auto key = KeyOf(FItems.back())) {
    const auto found = FIndex.find(*key);
    if (found != FIndex.end())
      found->second = index;
    else
      FIndex.emplace(std::string(*key), index);
  }
}

void THashedStringList::Put(std::size_t index, std::string item) {
  std::string& slot = FItems.at(index);
  const auto oldKey = KeyOf(slot);
  const auto newKey = KeyOf(item);
  const bool sameKey =
      oldKey.has_value() == newKey.has_value() && (!oldKey || SameTextAscii(*oldKey, *newKey));
  slot = std::move(item);
  if (!sameKey) FIndexStale = true;
}

void THashedStringList::Reindex() const {
  FIndex.clear();
  for (std::size_t i = 0; i < FItems.size(); ++i) {
    if (const auto key = KeyOf(FItems[i])) FIndex.insert_or_assign(std::string(*key), i);
  }
  FIndexStale = false;
}

std::optional<std::size_t> THashedStringList::IndexOfKey(std::string_view key) const {
  if (FIndexStale) Reindex();
  const auto found = FIndex.find(key);
  if (found == FIndex.end()) return std::nullopt;
  return found->second;
}

}  // namespace quell::settings
