// What a user sees of a window's layout, read from the windows themselves:
// child windows that overlap a sibling or run out of their parent.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace quell::wintest {

// A window's rectangle in its parent's client coordinates.
RECT PlaceInParent(HWND window);

struct LayoutCheck {
  std::vector<std::string> faults;  // one line per overlap or cut window
  int pairsCompared = 0;
};

// Compares every pair of child windows of `parent`, and of theirs in turn,
// that show at the same time (the pages of a tab control share their place
// and never do; a page lies inside its tab strip): no two share a pixel, and each lies inside its
// parent's client area. Works on the windows of any process.
LayoutCheck CheckLayout(HWND parent);

}  // namespace quell::wintest
