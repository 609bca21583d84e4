#include "ButtonLook.h"

namespace quell::gui {

ButtonLook ChooseButtonLook(const ButtonState& state, bool themeActive) {
  ButtonLook look;
  look.themed = themeActive;
  if (state.disabled) {
    // A disabled button is neither hot, pressed nor focused.
    look.themeState = ThemeButtonState::Disabled;
    look.grayedContent = true;
    return look;
  }
  look.focusRect = state.focused && !state.focusHidden;
  if (themeActive) {
    if (state.pressed) {
      look.themeState = ThemeButtonState::Pressed;
    } else if (state.hot) {
      look.themeState = ThemeButtonState::Hot;
    } else if (state.focused) {
      // The style marks the button that Enter would press.
      look.themeState = ThemeButtonState::Defaulted;
    }
    return look;
  }
  // The classic frame has no hot look; a pressed button sinks its content.
  look.classicPushed = state.pressed;
  look.contentShift = state.pressed ? 1 : 0;
  return look;
}

}  // namespace quell::gui
