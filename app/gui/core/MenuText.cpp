#include "MenuText.h"

namespace quell::gui {

std::string AccessibleMenuText(std::string_view caption, std::string_view shortcutText) {
  if (caption == "-") return {};
  std::string text;
  text.reserve(caption.size() + shortcutText.size() + 1);
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] != '&') {
      text += caption[i];
    } else if (i + 1 < caption.size() && caption[i + 1] == '&') {
      text += "&&";
      ++i;
    }
  }
  if (!shortcutText.empty()) {
    text += '\t';
    text += shortcutText;
  }
  return text;
}

}  // namespace quell::gui
