// The text a screen reader is given for an owner-drawn menu item.
#include <gtest/gtest.h>

#include "gui/core/MenuText.h"

namespace quell::gui {
namespace {

TEST(AccessibleMenuText, CaptionAndShortcutInTheMenuStringFormWithoutAccessKeys) {
  struct Case {
    const char* caption;
    const char* shortcut;
    const char* text;
  };
  for (const Case& c : {
           Case{"Lock Computer", "", "Lock Computer"},
           Case{"Options ...", "", "Options ..."},
           Case{"Lock &Now", "Ctrl+Alt+L", "Lock Now\tCtrl+Alt+L"},
           Case{"&Exit", "", "Exit"},
           Case{"Save && Close", "", "Save && Close"},  // one '&' in string form
           Case{"&&&Both", "", "&&Both"},
           Case{"Trailing &", "", "Trailing "},
           Case{"-", "", ""},
           Case{"", "F1", "\tF1"},
       }) {
    EXPECT_EQ(AccessibleMenuText(c.caption, c.shortcut), c.text) << c.caption;
  }
}

}  // namespace
}  // namespace quell::gui
