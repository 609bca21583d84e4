#include "ExitRequest.h"

#include "base/Text.h"

namespace quell::app {

bool IsExitRequest(const std::vector<std::string>& args) {
  if (args.size() != 1) return false;
  const std::string& arg = args.front();
  constexpr std::string_view kWord = "exit";
  if (arg.size() != kWord.size() + 1 || (arg[0] != '/' && arg[0] != '-')) return false;
  return base::SameTextAscii(std::string_view(arg).substr(1), kWord);
}

}  // namespace quell::app
