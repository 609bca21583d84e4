// The visual style's push button, for the buttons the program draws itself.
// The style is the application's: the system's (uxtheme) unless a test hands
// the application one of its own to see both ways of drawing.
#pragma once

#include <windows.h>

#include "gui/core/ButtonLook.h"

namespace quell::gui {

class TButtonTheme {
 public:
  virtual ~TButtonTheme() = default;
  // Whether a visual style applies to `window` now.
  virtual bool Active(HWND window) = 0;
  // Draws the push-button part in `state` (and what shows through its
  // rounded corners); false when it could not.
  virtual bool DrawPushButton(HWND window, HDC dc, const RECT& bounds, ThemeButtonState state) = 0;
};

TButtonTheme& SystemButtonTheme();
// The application's theme (the system's when there is no application).
TButtonTheme& ButtonTheme();

}  // namespace quell::gui
