// TFormPopup: the small captionless, always-on-top notice in the bottom-right
// corner of the work area. It shows a title, a one-line message, an icon and
// a close glyph, has no taskbar button, is not activated by a click, and
// closes itself after a given time or as soon as the user clicks it. A right
// click closes it and asks its owner for the options (OnOptionsRequest).
//
// There is one pop-up for the program: made on first use (or by the program
// at start-up), then hidden and shown again.
#pragma once

#include <functional>
#include <string>

#include "gui/Form.h"
#include "gui/Graphics.h"
#include "PopupPlacement.h"
#include "gui/Timer.h"

namespace quell::ui {

// The pop-up's parts. They have no windows of their own: the form paints
// them, and a click anywhere on it is a click on the pop-up.
struct TPopupText {
  std::string Caption;
  Rect Bounds;
};
struct TPopupImage {
  base::BitmapHandle Picture;
  Rect Bounds;
  bool Transparent = true;  // the picture's corner colour is not drawn
};

class TFormPopup : public gui::TForm {
 public:
  explicit TFormPopup(gui::TComponent* owner);
  ~TFormPopup() override;

  // Shows the notice `title` / `message` with `icon` for `interval` ms,
  // making the program's pop-up first if there is none (owned by the main
  // form). A call while it is shown replaces texts and icon, places it again
  // and starts the countdown again.
  static void ShowPopup(const std::string& title, const std::string& message, unsigned interval,
                        const gui::TIcon& icon);
  static void ShowPopup(const std::string& title, const std::string& message, unsigned interval,
                        HICON icon);

  // The parts, named as on the form.
  TPopupText GroupBoxTitle;  // its frame caption is the title
  TPopupText LabelMessage;
  TPopupImage Image;
  TPopupImage ImageClose;
  gui::TTimer* TimerClose = nullptr;
  // The font the texts are drawn in.
  HFONT Font() const override { return FFont.get(); }

  // What a right click asks of the program once the pop-up is closed: the
  // owner opens its options. Nothing is asked while it is empty.
  std::function<void()> OnOptionsRequest;

  // The handlers (bound by the form itself).
  void ImageCloseClick(gui::TComponent* sender);
  void FormMouseUp(gui::TComponent* sender, gui::TMouseButton button, gui::TShiftState shift, int x,
                   int y);
  void FormDeactivate(gui::TComponent* sender);
  void ImageContextPopup(gui::TComponent* sender, POINT mousePos, bool& handled);
  void TimerCloseTimer(gui::TComponent* sender);

 protected:
  void AdjustCreationParams(gui::TCreateParams& params) override;
  void WndProc(gui::TMessage& message) override;

 private:
  void Show(const std::string& title, const std::string& message, unsigned interval, HICON icon);
  void FitTexts();
  void LayoutParts();
  void LayoutAndPlace();
  void Paint(HDC dc);
  void ClosePopup();

  base::FontHandle FFont;
  int FClientWidth = 0;  // of the parts inside the inner border, in pixels
};

// The program's pop-up, or null before the first one is made. Only the
// pop-up itself sets it: the first one made registers, and unregisters as
// it goes.
TFormPopup* FormPopup();

}  // namespace quell::ui
