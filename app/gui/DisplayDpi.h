// The display's density for the component layer: lengths the forms give in
// design units (96 DPI) become pixels of this display. The program declares
// itself DPI-aware in its manifest, so the system does not stretch its
// windows and this is the density it really draws at.
#pragma once

#include <windows.h>

#include "gui/core/DpiScale.h"

namespace quell::gui {

// The display's dots per inch (LOGPIXELSY of the screen), read once.
int DisplayDpi();
// A design length in pixels of the display.
inline int Scaled(int designLength) { return ScaleToDpi(designLength, DisplayDpi()); }
RECT ScaledRect(int left, int top, int width, int height);

}  // namespace quell::gui
