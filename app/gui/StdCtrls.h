// The plain controls of forms: labels, check boxes, panels, images and
// buttons with a glyph above the caption. Each is the system's own window
// class where there is one, subclassed so that the layer sees its messages.
#pragma once

#include "gui/core/Action.h"
#include "Graphics.h"
#include "WinControl.h"

namespace quell::gui {

// A static text; a click on it focuses FocusControl, if set.
class TLabel : public TWinControl {
 public:
  explicit TLabel(TComponent* owner) : TWinControl(owner) {}
  void SetWordWrap(bool wrap) { FWordWrap = wrap; }
  void SetFocusControl(TWinControl* control);

 protected:
  void AdjustCreationParams(TCreateParams& params) override;
  void CreatedHandle() override;
  bool HandleCommand(WORD code) override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  bool FWordWrap = false;
  TWinControl* FFocusControl = nullptr;
};

class TCheckBox : public TWinControl {
 public:
  explicit TCheckBox(TComponent* owner) : TWinControl(owner) { SetTabStop(true); }
  bool Checked();
  void SetChecked(bool checked);
  TNotifyEvent OnClick;

 protected:
  void AdjustCreationParams(TCreateParams& params) override;
  void CreatedHandle() override;
  bool HandleCommand(WORD code) override;

 private:
  bool FChecked = false;
};

// A container with a raised edge.
class TPanel : public TWinControl {
 public:
  explicit TPanel(TComponent* owner) : TWinControl(owner) {}

 protected:
  void AdjustCreationParams(TCreateParams& params) override;
  void WndProc(TMessage& message) override;
};

// Shows a bitmap at its top left corner.
class TImage : public TWinControl {
 public:
  explicit TImage(TComponent* owner) : TWinControl(owner) {}
  TBitmap& Picture() { return FPicture; }
  // Repaints after the picture changed.
  void Changed();

 protected:
  void AdjustCreationParams(TCreateParams& params) override;
  void WndProc(TMessage& message) override;

 private:
  TBitmap FPicture;
};

// A push button with a glyph centred above its caption. A click runs
// OnClick, or else the linked action; the button keeps its own caption. It
// is drawn with the visual style's push button while a style is active
// (ThemedButton.h), in the classic frame otherwise, and shows its focus only
// while the window shows keyboard cues.
class TBitBtn : public TWinControl {
 public:
  explicit TBitBtn(TComponent* owner) : TWinControl(owner) { SetTabStop(true); }
  TIcon& Glyph() { return FGlyph; }
  void SetAction(TAction* action);
  TAction* Action() const { return FAction; }
  // What a click does.
  void Click();
  TNotifyEvent OnClick;
  // The pointer is over the button (tracked while it is).
  bool Hot() const { return FHot; }

 protected:
  void AdjustCreationParams(TCreateParams& params) override;
  void WndProc(TMessage& message) override;
  bool HandleCommand(WORD code) override;
  bool HandleDrawItem(const DRAWITEMSTRUCT& item) override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void SetHot(bool hot);

  TIcon FGlyph;
  TAction* FAction = nullptr;
  bool FHot = false;
  bool FFocusHidden = false;  // keyboard cues hidden (WM_UPDATEUISTATE)
};

}  // namespace quell::gui
