// How a push button that the program draws itself looks in a given state:
// the part state of the visual style, or the classic frame, and whether the
// focus rectangle is drawn.
#pragma once

namespace quell::gui {

struct ButtonState {
  bool pressed = false;  // held down with the pointer over it, or by the space bar
  bool hot = false;      // the pointer is over it
  bool focused = false;  // it has the keyboard focus
  bool disabled = false;
  bool focusHidden = false;  // the window hides keyboard cues (UISF_HIDEFOCUS)
};

// The visual style's push-button states (BP_PUSHBUTTON's PBS_ values).
enum class ThemeButtonState { Normal = 1, Hot = 2, Pressed = 3, Disabled = 4, Defaulted = 5 };

struct ButtonLook {
  bool themed = false;
  ThemeButtonState themeState = ThemeButtonState::Normal;  // when themed
  bool classicPushed = false;                              // when not: the sunken frame
  int contentShift = 0;    // glyph and caption move by this many pixels right and down
  bool focusRect = false;  // the dotted rectangle inside the frame
  bool grayedContent = false;
};

ButtonLook ChooseButtonLook(const ButtonState& state, bool themeActive);

}  // namespace quell::gui
