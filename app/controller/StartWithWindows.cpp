#include "StartWithWindows.h"

namespace quell::app {

namespace {

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

std::string_view Unquoted(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
    text = text.substr(1, text.size() - 2);
  return text;
}

}  // namespace

std::string RunEntryFor(std::string_view exePath) {
  std::string data("\"");
  data.append(exePath).append("\"");
  return data;
}

bool RunEntryNames(const std::optional<std::string>& current, std::string_view exePath) {
  return current && SameTextIgnoringCase(Unquoted(*current), exePath);
}

TRunEntryStep DecideRunEntry(bool wanted, bool wasWanted, const std::optional<std::string>& current,
                             std::string_view exePath) {
  if (wanted) {
    // Written in the one form, quotes included, even over an unquoted entry
    // naming the same file: a path with blanks needs them.
    return current && *current == RunEntryFor(exePath) ? TRunEntryStep::None : TRunEntryStep::Write;
  }
  return wasWanted && current ? TRunEntryStep::Remove : TRunEntryStep::None;
}

bool ApplyStartWithWindows(TRunEntryStore& store, bool wanted, bool wasWanted,
                           std::string_view exePath) {
  switch (DecideRunEntry(wanted, wasWanted, store.Read(), exePath)) {
    case TRunEntryStep::None: return true;
    case TRunEntryStep::Write: return store.Write(RunEntryFor(exePath));
    case TRunEntryStep::Remove: return store.Remove();
  }
  return true;
}

}  // namespace quell::app
