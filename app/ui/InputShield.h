// TInputShield: while the mouse buttons are locked, a window over the whole
// virtual screen, top-most and never activated, on which touch and pen
// input lands and ends (the mouse hook never sees it). It has no taskbar
// button, takes neither the focus nor the foreground, and follows display
// changes. Clear, it is as good as invisible; black, it darkens every
// monitor for cleaning.
#pragma once

#include "gui/WinControl.h"
#include "InputShieldRules.h"

namespace quell::ui {

class TInputShield : public gui::TWinControl {
 public:
  explicit TInputShield(gui::TComponent* owner);

  // Shows the shield over every monitor in `shade`, at the top of the
  // top-most windows, then raises `keepAbove` (the notice, when shown)
  // back above it. Throws when its window cannot be made.
  void ShowShield(TShieldShade shade, HWND keepAbove);
  // Hides the shield a moment later (kHideDelayMs), when the keys that
  // ended the lock are up; shown again meanwhile, it stays.
  void HideShield();

 protected:
  void AdjustCreationParams(gui::TCreateParams& params) override;
  void WndProc(gui::TMessage& message) override;

 private:
  // The window to the virtual screen's rectangle, its place in the order kept.
  void FitToScreens();
};

}  // namespace quell::ui
