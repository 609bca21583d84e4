#include "MemIniFile.h"

#include <limits>
#include <system_error>

#include "AtomicFile.h"
#include "base/Text.h"

namespace quell::settings {

namespace {

constexpr bool IsBlankOrControl(char c) noexcept { return static_cast<unsigned char>(c) <= 0x20; }

// One to eight hexadecimal digits, taken as a 32-bit pattern.
std::optional<std::int32_t> ParseHex(std::string_view digits) noexcept {
  if (digits.empty() || digits.size() > 8) return std::nullopt;
  std::uint32_t value = 0;
  for (char c : digits) {
    const int d = base::HexDigitValue(c);
    if (d < 0) return std::nullopt;
    value = (value << 4) | static_cast<std::uint32_t>(d);
  }
  return static_cast<std::int32_t>(value);
}

// An optional sign and at least one decimal digit, within the 32-bit range.
std::optional<std::int32_t> ParseDecimal(std::string_view text) noexcept {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t magnitude = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > limit) return std::nullopt;  // stops before any overflow
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

}  // namespace

std::string_view TrimIni(std::string_view text) noexcept {
  while (!text.empty() && IsBlankOrControl(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlankOrControl(text.back())) text.remove_suffix(1);
  return text;
}

std::optional<std::int32_t> ParseIniInt(std::string_view text) noexcept {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
    return ParseHex(text.substr(2));
  if (!text.empty() && (text[0] == '$' || text[0] == 'x' || text[0] == 'X'))
    return ParseHex(text.substr(1));
  return ParseDecimal(text);
}

TMemIniFile::TMemIniFile(std::string fileName, bool readFile)
    : TCustomIniFile(std::move(fileName)) {
  if (FileName().empty() || !readFile) return;
  std::optional<std::string> content;
  try {
    content = ReadFileIfExists(FileName());
  } catch (const std::exception&) {
    // Unreadable, a folder in the file's place, or no memory for the content.
    throw TIniFileOpenError(FileName());
  }
  if (!content) return;
  LoadFromText(*content);
}

void TMemIniFile::LoadFromText(std::string_view text) {
  std::optional<std::size_t> current;  // the section that lines go to
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    std::size_t next;
    if (end == std::string_view::npos) {
      end = text.size();
      next = end;
    } else {
      next = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    }
    const std::string_view line = TrimIni(text.substr(start, end - start));
    start = next;

    if (line.empty() || line.front() == ';') continue;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      AddSection(std::string(TrimIni(line.substr(1, line.size() - 2))));
      current = FSections.size() - 1;
      continue;
    }
    if (!current) continue;  // text before the first section

    const std::size_t eq = line.find('=');
    std::string stored;
    if (eq == std::string_view::npos) {
      stored = line;
    } else {
      const std::string_view key = TrimIni(line.substr(0, eq));
      const std::string_view value = TrimIni(line.substr(eq + 1));
      stored.reserve(key.size() + 1 + value.size());
      stored.append(key).append(1, '=').append(value);
    }
    FSections[*current].Lines.Add(std::move(stored));
  }
}

const TMemIniFile::TSection* TMemIniFile::FindSection(std::string_view name) const {
  const auto index = FSectionNames.IndexOfKey(name);
  return index ? &FSections[*index] : nullptr;
}

TMemIniFile::TSection& TMemIniFile::AddSection(std::string name) {
  FSectionNames.Add(name);
  FSections.push_back(
      TSection{std::move(name), THashedStringList(THashedStringList::TKeyKind::Name)});
  return FSections.back();
}

std::int32_t TMemIniFile::ReadInt(std::string_view section, std::string_view key,
                                  std::int32_t defaultValue) const {
  const TSection* s = FindSection(section);
  if (!s) return defaultValue;
  const auto index = s->Lines.IndexOfKey(key);
  if (!index) return defaultValue;
  const std::string& line = s->Lines[*index];
  const std::string_view value = std::string_view(line).substr(line.find('=') + 1);
  return ParseIniInt(value).value_or(defaultValue);
}

void TMemIniFile::WriteInt(std::string_view section, std::string_view key, std::int32_t value) {
  WriteString(section, key, std::to_string(value));
}

std::string TMemIniFile::ReadString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue) const {
  const TSection* s = FindSection(section);
  const auto index = s ? s->Lines.IndexOfKey(key) : std::nullopt;
  if (!index) return std::string(defaultValue);
  const std::string& line = s->Lines[*index];
  return line.substr(line.find('=') + 1);
}

void TMemIniFile::WriteString(std::string_view section, std::string_view key,
                              std::string_view value) {
  const auto sectionIndex = FSectionNames.IndexOfKey(section);
  TSection& s = sectionIndex ? FSections[*sectionIndex] : AddSection(std::string(section));
  std::string line;
  line.append(key).append(1, '=').append(TrimIni(value));
  if (const auto index = s.Lines.IndexOfKey(key))
    s.Lines.Put(*index, std::move(line));
  else
    s.Lines.Add(std::move(line));
}

void TMemIniFile::EraseSection(std::string_view section) {
  if (!FindSection(section)) return;
  std::vector<TSection> kept;
  THashedStringList names{THashedStringList::TKeyKind::WholeString};
  for (TSection& s : FSections) {
    if (SameTextAscii(s.Name, section)) continue;
    names.Add(s.Name);
    kept.push_back(std::move(s));
  }
  FSections = std::move(kept);
  FSectionNames = std::move(names);
}

std::vector<std::string> TMemIniFile::SectionKeys(std::string_view section) const {
  std::vector<std::string> keys;
  const TSection* s = FindSection(section);
  if (!s) return keys;
  keys.reserve(s->Lines.Count());
  for (const std::string& line : s->Lines.Items()) {
    const auto key = s->Lines.KeyOf(line);
    keys.emplace_back(key ? *key : std::string_view(line));
  }
  return keys;
}

std::string TMemIniFile::ToText() const {
  std::string text;
  for (const TSection& s : FSections) {
    text.append("[").append(s.Name).append("]\r\n");
    for (const std::string& line : s.Lines.Items()) text.append(line).append("\r\n");
    text.append("\r\n");
  }
  return text;
}

void TMemIniFile::WriteBack() { WriteFileAtomically(FileName(), ToText()); }

}  // namespace quell::settings
