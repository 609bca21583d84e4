#include "LayoutCheck.h"

#include "WinTestSupport.h"

namespace quell::wintest {

namespace {

std::string Describe(HWND w) {
  const RECT r = PlaceInParent(w);
  return ClassOf(w) + " \"" + TextOf(w) + "\" at " + std::to_string(r.left) + "," +
         std::to_string(r.top) + "-" + std::to_string(r.right) + "," + std::to_string(r.bottom);
}

bool Contains(const RECT& outer, const RECT& inner) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

void Check(HWND parent, LayoutCheck& result) {
  std::vector<HWND> children;
  for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
    children.push_back(w);
  RECT client;
  GetClientRect(parent, &client);
  for (std::size_t i = 0; i < children.size(); ++i) {
    const RECT a = PlaceInParent(children[i]);
    if (a.left < 0 || a.top < 0 || a.right > client.right || a.bottom > client.bottom) {
      result.faults.push_back(Describe(children[i]) + " is cut by its parent " + ClassOf(parent));
    }
    for (std::size_t j = i + 1; j < children.size(); ++j) {
      const std::string classA = ClassOf(children[i]), classB = ClassOf(children[j]);
      if (classA == "TQuellTabSheet" && classB == "TQuellTabSheet") continue;
      const RECT b = PlaceInParent(children[j]);
      // A page lies over its tab strip, the strip's sibling so that the
      // dialog manager walks into it: inside the strip it is where it belongs.
      if (classA == "TQuellTabSheet" && classB == "SysTabControl32" && Contains(b, a)) continue;
      if (classB == "TQuellTabSheet" && classA == "SysTabControl32" && Contains(a, b)) continue;
      RECT common;
      if (IntersectRect(&common, &a, &b))
        result.faults.push_back(Describe(children[i]) + " overlaps " + Describe(children[j]));
      ++result.pairsCompared;
    }
    Check(children[i], result);
  }
}

}  // namespace

RECT PlaceInParent(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

LayoutCheck CheckLayout(HWND parent) {
  LayoutCheck result;
  Check(parent, result);
  return result;
}

}  // namespace quell::wintest
