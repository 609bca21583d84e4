#include "StartWithWindows.h"

#include "base/Text.h"

namespace quell::app {

namespace {

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
  return current && base::SameTextAscii(Unquoted(*current), exePath);
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
