// Start with Windows: the program's own value under the current user's Run
// key, named "Quellane", holding the running executable's full path in
// quotes (the form the installer writes too). The decision is portable; the
// registry is reached through TRunEntryStore.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quell::app {

inline constexpr const char* RunKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* RunValueName = "Quellane";

// The Run value's data for an executable: its path in quotes.
std::string RunEntryFor(std::string_view exePath);

enum class TRunEntryStep { None, Write, Remove };

// What to do with the Run value: on, it must name this executable (written
// when missing or pointing elsewhere); turned off (it was on), it is
// removed. An entry that is there while the option was never on (the
// installer's) is left alone.
TRunEntryStep DecideRunEntry(bool wanted, bool wasWanted, const std::optional<std::string>& current,
                             std::string_view exePath);
// Whether the Run value names this executable (quotes and case aside).
bool RunEntryNames(const std::optional<std::string>& current, std::string_view exePath);

// The Run value of the current user.
class TRunEntryStore {
 public:
  virtual ~TRunEntryStore() = default;
  virtual std::optional<std::string> Read() = 0;
  virtual bool Write(const std::string& data) = 0;
  virtual bool Remove() = 0;
};

// Carries the decision out; false when the registry refused.
bool ApplyStartWithWindows(TRunEntryStore& store, bool wanted, bool wasWanted,
                           std::string_view exePath);

}  // namespace quell::app
