// Forms: top-level windows owned by the application window, shown modelessly
// or modally, with the events OnCreate, OnShow, OnHide, OnClose (which may
// change the close action) and OnDestroy.
#pragma once

#include <functional>

#include "WinControl.h"

namespace quell::gui {

using TModalResult = int;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = IDOK;
inline constexpr TModalResult mrCancel = IDCANCEL;
inline constexpr TModalResult mrAbort = IDABORT;
inline constexpr TModalResult mrRetry = IDRETRY;
inline constexpr TModalResult mrIgnore = IDIGNORE;
inline constexpr TModalResult mrYes = IDYES;
inline constexpr TModalResult mrNo = IDNO;

enum class TCloseAction { None, Hide, Free, Minimize };
using TCloseEvent = std::function<void(TComponent* sender, TCloseAction& action)>;

enum class TFormBorderStyle { None, Single, Sizeable, Dialog, ToolWindow, SizeToolWin };
enum class TPosition { Designed, ScreenCenter };

class TForm : public TWinControl {
 public:
  explicit TForm(TComponent* owner);
  ~TForm() override;

  void AfterConstruction() override;  // OnCreate
  void BeforeDestruction() override;  // OnDestroy

  void Show();
  void Hide();
  // Shows the form and runs a message loop, with the program's other windows
  // disabled, until ModalResult is set or the form is closed.
  TModalResult ShowModal();
  bool Modal() const { return FModal; }
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult result) { FModalResult = result; }
  // A modal form ends its loop with mrCancel. Otherwise OnClose decides:
  // hide (the default), minimise, free, or nothing; closing the main form
  // ends the application.
  void Close();
  // Frees the form once the messages now waiting for it have been handled.
  void Release();
  bool Minimized();

  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle style) { FBorderStyle = style; }
  bool StayOnTop() const { return FStayOnTop; }
  void SetStayOnTop(bool onTop);
  void SetPosition(TPosition position) { FPosition = position; }
  // The size of the client area in design units (96 DPI), scaled to the
  // display; the outer size follows from the styles.
  void SetClientSize(int width, int height);

  // The font of the form and of every control on it that has none of its
  // own; `height` is the character height in design units (pixels at 96 DPI).
  void SetFont(const std::string& face, int height);
  HFONT Font() const override { return FFont ? FFont.get() : TWinControl::Font(); }
  // The control that gets the focus when the form is activated (and the
  // one that had it when the form was last deactivated, if any).
  void SetActiveControl(TWinControl* control);
  // Tab, the arrow keys and Enter move between the form's controls as in a
  // dialog box.
  bool DialogKeys() const { return FDialogKeys; }
  void SetDialogKeys(bool on) { FDialogKeys = on; }
  // The form's own keys, before the dialog keys: Ctrl+Tab, Ctrl+Shift+Tab,
  // Ctrl+PgDn and Ctrl+PgUp turn the pages of the page control that holds
  // the focus, or else of the form's first one. True when the key was used.
  bool PageKey(unsigned virtualKey);
  // Tooltips with each control's hint (its short part, before '|').
  void SetShowHint(bool show) { FShowHint = show; }
  // Builds the tooltips of the controls on the form (call once they exist).
  void UpdateHints();

  TNotifyEvent OnCreate;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnDestroy;
  TCloseEvent OnClose;

 protected:
  void AdjustCreationParams(TCreateParams& params) override;
  void WndProc(TMessage& message) override;

 private:
  TCloseAction DoClose(TCloseAction action);

  TFormBorderStyle FBorderStyle = TFormBorderStyle::Sizeable;
  TPosition FPosition = TPosition::Designed;
  bool FStayOnTop = false;
  bool FModal = false;
  TModalResult FModalResult = mrNone;
  base::FontHandle FFont;
  TWinControl* FActiveControl = nullptr;
  HWND FLastFocus = nullptr;
  bool FDialogKeys = false;
  bool FShowHint = false;
  base::WindowHandle FTooltips;
  int FClientWidth = -1;
  int FClientHeight = -1;
};

}  // namespace quell::gui
