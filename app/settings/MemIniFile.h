// The ini file held in memory: read whole at construction, looked up and
// changed in memory, and written back whole on request.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "HashedStringList.h"

namespace quell::settings {

// The file exists but its bytes could not be read. The message is
// "Cannot open file " followed by the path.
class TIniFileOpenError : public std::runtime_error {
 public:
  explicit TIniFileOpenError(const std::string& path)
      : std::runtime_error("Cannot open file " + path), FPath(path) {}
  const std::string& Path() const noexcept { return FPath; }

 private:
  std::string FPath;
};

// The operations of an ini file that the settings rely on.
class TCustomIniFile {
 public:
  explicit TCustomIniFile(std::string fileName) : FFileName(std::move(fileName)) {}
  virtual ~TCustomIniFile() = default;
  TCustomIniFile(const TCustomIniFile&) = delete;
  TCustomIniFile& operator=(const TCustomIniFile&) = delete;

  const std::string& FileName() const noexcept { return FFileName; }

  // The integer under section/key, or defaultValue when there is none or it
  // does not parse (see ParseIniInt).
  virtual std::int32_t ReadInt(std::string_view section, std::string_view key,
                               std::int32_t defaultValue) const = 0;
  virtual void WriteInt(std::string_view section, std::string_view key, std::int32_t value) = 0;
  // The text after the "=" of section/key (trimmed), or defaultValue when
  // there is no such key.
  virtual std::string ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const = 0;
  virtual void WriteString(std::string_view section, std::string_view key,
                           std::string_view value) = 0;
  // Removes every section of that name with all its lines.
  virtual void EraseSection(std::string_view section) = 0;
  // One entry per line of the section (its key, or the whole line when it has
  // no "="); empty when there is no such section.
  virtual std::vector<std::string> SectionKeys(std::string_view section) const = 0;
  // Writes the whole in-memory file to FileName(). Throws on failure.
  virtual void WriteBack() = 0;

 private:
  std::string FFileName;
};

// Reads an ini value as a signed 32-bit integer: decimal with an optional
// sign within the 32-bit range, or up to eight hexadecimal digits after "$",
// "x", "X", "0x" or "0X" taken as a 32-bit pattern ("$FFFFFFFF" is -1).
// Anything else gives no value.
std::optional<std::int32_t> ParseIniInt(std::string_view text) noexcept;

// Trims leading and trailing blanks and control characters (bytes up to 0x20).
std::string_view TrimIni(std::string_view text) noexcept;

class TMemIniFile : public TCustomIniFile {
 public:
  // Reads the whole file when fileName is not empty and the file exists
  // (unless `readFile` is false: then it starts empty, for a program that
  // goes on with its defaults after a read error).
  // Throws TIniFileOpenError when it exists but cannot be read.
  explicit TMemIniFile(std::string fileName, bool readFile = true);

  std::int32_t ReadInt(std::string_view section, std::string_view key,
                       std::int32_t defaultValue) const override;
  void WriteInt(std::string_view section, std::string_view key, std::int32_t value) override;
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const override;
  void WriteString(std::string_view section, std::string_view key, std::string_view value) override;
  void EraseSection(std::string_view section) override;
  std::vector<std::string> SectionKeys(std::string_view section) const override;
  // Replaces the file atomically: the new content goes to a temporary file in
  // the same folder, which replaces the old file only once it is complete.
  // On failure the old file is untouched, the temporary file is removed and
  // TFileWriteError is thrown.
  void WriteBack() override;

  // Parses text as the content of a file, adding to what is held.
  void LoadFromText(std::string_view text);
  // The bytes that WriteBack writes.
  std::string ToText() const;

 private:
  struct TSection {
    std::string Name;
    THashedStringList Lines{THashedStringList::TKeyKind::Name};
  };

  const TSection* FindSection(std::string_view name) const;
  TSection& AddSection(std::string name);

  std::vector<TSection> FSections;
  // Section name -> position in FSections of the last section of that name.
  THashedStringList FSectionNames{THashedStringList::TKeyKind::WholeString};
};

}  // namespace quell::settings
