// What a screen reader is given for a menu item the program draws itself.
#pragma once

#include <string>
#include <string_view>

namespace quell::gui {

// The item's text in the form of a menu string, which the system's
// accessibility proxy reads as name and shortcut: the caption, then a tab and
// the shortcut's text when there is one. Single '&' marks go (the drawn menu
// offers no access keys, so none is announced); "&&" stays, the string form
// of one '&'. A separator ("-") has no text.
std::string AccessibleMenuText(std::string_view caption, std::string_view shortcutText);

}  // namespace quell::gui
