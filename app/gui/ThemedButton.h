// The visual style's push button, for the buttons the program draws itself.
// The style is reached through a seam: the system's (uxtheme) by default,
// or one a test puts in its place to see both ways of drawing.
#pragma once

#include <windows.h>

#include "ButtonLook.h"

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

// The seam: the theme in use, and a test's replacement (null: the system's).
TButtonTheme& ButtonTheme();
void SetButtonTheme(TButtonTheme* theme);

}  // namespace quell::gui
