#include "ExitRequest.h"

namespace quell::app {

bool IsExitRequest(const std::vector<std::string>& args) {
  if (args.size() != 1) return false;
  const std::string& arg = args.front();
  constexpr std::string_view kWord = "exit";
  if (arg.size() != kWord.size() + 1 || (arg[0] != '/' && arg[0] != '-')) return false;
  for (std::size_t i = 0; i < kWord.size(); ++i) {
    char c = arg[i + 1];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != kWord[i]) return false;
  }
  return true;
}

}  // namespace quell::app
