#include "CommandLine.h"

#include "base/Text.h"

namespace quell::app {

bool IsSwitch(std::string_view arg) { return arg.size() == 2 && (arg[0] == '-' || arg[0] == '/'); }

std::vector<TSwitch> ParseSwitches(const std::vector<std::string>& args) {
  std::vector<TSwitch> switches;
  for (const std::string& arg : args) {
    if (!IsSwitch(arg)) continue;
    switch (base::FoldAscii(arg[1])) {
      case 'l': switches.push_back(TSwitch::Lock); break;
      case 'u': switches.push_back(TSwitch::Unlock); break;
      case '?':
      case 'h': switches.push_back(TSwitch::Help); break;
      case 'c': switches.push_back(TSwitch::CleanLock); break;
      case 's': switches.push_back(TSwitch::State); break;
      default: break;
    }
  }
  return switches;
}

bool AsksState(const std::vector<TSwitch>& switches) {
  for (TSwitch s : switches)
    if (s == TSwitch::State) return true;
  return false;
}

std::string CommandLineHelpText(std::string_view exeFileName) {
  std::string text(exeFileName);
  text += " [/L|/U|/C|/S]\r\n";
  text += "   /L     Lock Computer\r\n";
  text += "   /U     UnLock Computer \r\n";
  text += "   /C     Lock for Cleaning\r\n";
  text += "   /S     Exit code: 0 unlocked, 1 locked, 2 not running\r\n";
  return text;
}

std::string_view FileNameOf(std::string_view path) {
  const auto slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view FolderOf(std::string_view path) {
  return path.substr(0, path.size() - FileNameOf(path).size());
}

}  // namespace quell::app
