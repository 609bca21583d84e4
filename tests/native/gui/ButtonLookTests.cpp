// How the program's own push buttons look in each state, with and without
// an active visual style.
#include <gtest/gtest.h>

#include "gui/core/ButtonLook.h"

namespace quell::gui {
namespace {

ButtonState State(bool pressed, bool hot, bool focused, bool disabled, bool hidden = false) {
  return {pressed, hot, focused, disabled, hidden};
}

TEST(ButtonLook, ThemedStatesFollowPressedThenHotThenFocused) {
  EXPECT_EQ(ChooseButtonLook(State(false, false, false, false), true).themeState,
            ThemeButtonState::Normal);
  EXPECT_EQ(ChooseButtonLook(State(false, true, false, false), true).themeState,
            ThemeButtonState::Hot);
  EXPECT_EQ(ChooseButtonLook(State(true, true, false, false), true).themeState,
            ThemeButtonState::Pressed);
  // Held down with the space bar while the pointer is elsewhere.
  EXPECT_EQ(ChooseButtonLook(State(true, false, true, false), true).themeState,
            ThemeButtonState::Pressed);
  EXPECT_EQ(ChooseButtonLook(State(false, true, true, false), true).themeState,
            ThemeButtonState::Hot);
  EXPECT_EQ(ChooseButtonLook(State(false, false, true, false), true).themeState,
            ThemeButtonState::Defaulted);
  // A themed button's content never moves.
  EXPECT_EQ(ChooseButtonLook(State(true, true, true, false), true).contentShift, 0);
  EXPECT_TRUE(ChooseButtonLook(State(false, false, false, false), true).themed);
}

TEST(ButtonLook, DisabledWinsOverEveryOtherStateAndShowsNoFocus) {
  for (bool themed : {false, true}) {
    SCOPED_TRACE(themed);
    const ButtonLook look = ChooseButtonLook(State(true, true, true, true), themed);
    EXPECT_EQ(look.themeState, ThemeButtonState::Disabled);
    EXPECT_FALSE(look.focusRect);
    EXPECT_FALSE(look.classicPushed);
    EXPECT_EQ(look.contentShift, 0);
    EXPECT_TRUE(look.grayedContent);
  }
  EXPECT_FALSE(ChooseButtonLook(State(false, false, false, false), false).grayedContent);
}

TEST(ButtonLook, TheFocusRectangleFollowsTheFocusUnlessKeyboardCuesAreHidden) {
  for (bool themed : {false, true}) {
    SCOPED_TRACE(themed);
    EXPECT_TRUE(ChooseButtonLook(State(false, false, true, false), themed).focusRect);
    EXPECT_FALSE(ChooseButtonLook(State(false, false, true, false, true), themed).focusRect);
    EXPECT_FALSE(ChooseButtonLook(State(false, true, false, false), themed).focusRect);
    EXPECT_TRUE(ChooseButtonLook(State(true, false, true, false), themed).focusRect);
  }
}

TEST(ButtonLook, ClassicButtonsSinkWhenPressedAndHaveNoHotLook) {
  const ButtonLook pressed = ChooseButtonLook(State(true, true, false, false), false);
  EXPECT_FALSE(pressed.themed);
  EXPECT_TRUE(pressed.classicPushed);
  EXPECT_EQ(pressed.contentShift, 1);
  const ButtonLook hot = ChooseButtonLook(State(false, true, false, false), false);
  EXPECT_FALSE(hot.classicPushed);
  EXPECT_EQ(hot.contentShift, 0);
}

}  // namespace
}  // namespace quell::gui
