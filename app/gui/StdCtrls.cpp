#include "StdCtrls.h"

#include "DisplayDpi.h"
#include "ThemedButton.h"

namespace quell::gui {

// --- TLabel ---

void TLabel::SetFocusControl(TWinControl* control) {
  if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
  FFocusControl = control;
  if (control) control->FreeNotification(this);
}

void TLabel::AdjustCreationParams(TCreateParams& params) {
  TWinControl::AdjustCreationParams(params);
  params.windowClass = "STATIC";
  params.systemClass = true;
  params.style |= (FWordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP) | SS_NOPREFIX;
  // Without SS_NOTIFY a static is transparent to the pointer.
  if (FFocusControl) params.style |= SS_NOTIFY;
}

void TLabel::CreatedHandle() {
  // A one-line label is as wide as its text.
  if (!FWordWrap) GrowToCaption(0);
}

bool TLabel::HandleCommand(WORD code) {
  if (code != STN_CLICKED || !FFocusControl) return false;
  FFocusControl->SetFocus();
  return true;
}

void TLabel::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == TOperation::Remove && component == FFocusControl) FFocusControl = nullptr;
}

// --- TCheckBox ---

bool TCheckBox::Checked() {
  // The window is the truth once it exists: the user clicks it.
  if (HandleAllocated()) return SendMessageA(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
  return FChecked;
}

void TCheckBox::SetChecked(bool checked) {
  FChecked = checked;
  if (HandleAllocated())
    SendMessageA(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TCheckBox::AdjustCreationParams(TCreateParams& params) {
  TWinControl::AdjustCreationParams(params);
  params.windowClass = "BUTTON";
  params.systemClass = true;
  params.style |= BS_AUTOCHECKBOX;
}

void TCheckBox::CreatedHandle() {
  SetChecked(FChecked);
  // The box, the gap after it and the text are never cut.
  GrowToCaption(GetSystemMetrics(SM_CXMENUCHECK) + Scaled(6));
}

bool TCheckBox::HandleCommand(WORD code) {
  if (code != BN_CLICKED) return false;
  FChecked = Checked();
  if (OnClick) OnClick(this);
  return true;
}

// --- TPanel ---

void TPanel::AdjustCreationParams(TCreateParams& params) {
  TWinControl::AdjustCreationParams(params);
  params.windowClass = "TQuellPanel";
  params.classStyle = CS_HREDRAW | CS_VREDRAW;
  params.style |= WS_CLIPCHILDREN;
  params.exStyle |= WS_EX_CONTROLPARENT;
}

void TPanel::WndProc(TMessage& message) {
  if (message.Msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Handle(), &ps);
    RECT r;
    GetClientRect(Handle(), &r);
    DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
    EndPaint(Handle(), &ps);
    message.Result = 0;
    return;
  }
  TWinControl::WndProc(message);
}

// --- TImage ---

void TImage::Changed() {
  if (HandleAllocated()) InvalidateRect(Handle(), nullptr, TRUE);
}

void TImage::AdjustCreationParams(TCreateParams& params) {
  TWinControl::AdjustCreationParams(params);
  params.windowClass = "TQuellImage";
}

void TImage::WndProc(TMessage& message) {
  if (message.Msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Handle(), &ps);
    if (!FPicture.Empty()) {
      BitmapCanvas source(FPicture);
      BitBlt(dc, 0, 0, FPicture.Width(), FPicture.Height(), source.Handle(), 0, 0, SRCCOPY);
    }
    EndPaint(Handle(), &ps);
    message.Result = 0;
    return;
  }
  TWinControl::WndProc(message);
}

// --- TBitBtn ---

void TBitBtn::SetAction(TAction* action) {
  if (FAction) FAction->RemoveFreeNotification(this);
  FAction = action;
  if (action) action->FreeNotification(this);
}

void TBitBtn::Click() {
  if (OnClick) {
    OnClick(this);
  } else if (FAction) {
    FAction->Execute();
  }
}

void TBitBtn::AdjustCreationParams(TCreateParams& params) {
  TWinControl::AdjustCreationParams(params);
  params.windowClass = "BUTTON";
  params.systemClass = true;
  params.style |= BS_PUSHBUTTON | BS_OWNERDRAW;
}

bool TBitBtn::HandleCommand(WORD code) {
  // An owner-drawn button reports the second click of a double click apart.
  if (code != BN_CLICKED && code != BN_DOUBLECLICKED) return false;
  Click();
  return true;
}

void TBitBtn::SetHot(bool hot) {
  if (hot == FHot) return;
  FHot = hot;
  if (HandleAllocated()) InvalidateRect(Handle(), nullptr, FALSE);
}

void TBitBtn::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_MOUSEMOVE:
      if (!FHot) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
        TrackMouseEvent(&track);
        SetHot(true);
      }
      break;
    case WM_MOUSELEAVE: SetHot(false); break;
    case WM_UPDATEUISTATE:
      // The window's keyboard cues, as the system hands them down (kept
      // here too: not every system answers WM_QUERYUISTATE).
      if (HIWORD(message.WParam) & UISF_HIDEFOCUS) {
        if (LOWORD(message.WParam) == UIS_SET) FFocusHidden = true;
        if (LOWORD(message.WParam) == UIS_CLEAR) FFocusHidden = false;
      }
      TWinControl::WndProc(message);
      if (LOWORD(message.WParam) == UIS_INITIALIZE)
        FFocusHidden = (SendMessageA(Handle(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) != 0;
      InvalidateRect(Handle(), nullptr, FALSE);
      return;
    case WM_THEMECHANGED:
    case WM_ENABLE:
      TWinControl::WndProc(message);
      InvalidateRect(Handle(), nullptr, FALSE);
      return;
    default: break;
  }
  TWinControl::WndProc(message);
}

bool TBitBtn::HandleDrawItem(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  const HWND window = Handle();
  ButtonState state;
  state.pressed = (item.itemState & ODS_SELECTED) != 0;
  state.disabled = (item.itemState & ODS_DISABLED) != 0 || !IsWindowEnabled(window);
  state.focused = (item.itemState & ODS_FOCUS) != 0;
  state.hot = FHot;
  state.focusHidden = FFocusHidden || (item.itemState & ODS_NOFOCUSRECT) != 0 ||
                      (SendMessageA(window, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) != 0;
  TButtonTheme& theme = ButtonTheme();
  ButtonLook look = ChooseButtonLook(state, theme.Active(window));
  if (look.themed && !theme.DrawPushButton(window, dc, r, look.themeState))
    look = ChooseButtonLook(state, false);
  if (!look.themed)
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (look.classicPushed ? DFCS_PUSHED : 0u));

  const HFONT font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
  base::Selection fontSelection(dc, font);
  const int margin = Scaled(3);
  RECT text{0, 0, r.right - r.left - 2 * margin, 0};
  const std::string& caption = Caption();
  DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
            DT_CALCRECT | DT_SINGLELINE);
  const int glyphWidth = FGlyph.Empty() ? 0 : FGlyph.Width();
  const int glyphHeight = FGlyph.Empty() ? 0 : FGlyph.Height();
  const int spacing = Scaled(3);
  const int shift = look.contentShift;
  const int contentHeight = glyphHeight + (glyphHeight ? spacing : 0) + (text.bottom - text.top);
  const int top = r.top + (r.bottom - r.top - contentHeight) / 2 + shift;
  if (!FGlyph.Empty()) {
    const int left = r.left + (r.right - r.left - glyphWidth) / 2 + shift;
    DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(FGlyph.Handle()), 0, left, top,
               glyphWidth, glyphHeight,
               DST_ICON | (look.grayedContent ? DSS_DISABLED : DSS_NORMAL));
  }
  RECT captionRect{r.left + margin + shift, top + glyphHeight + (glyphHeight ? spacing : 0),
                   r.right - margin + shift, r.bottom - margin};
  SetBkMode(dc, TRANSPARENT);
  if (look.grayedContent && !look.themed) {
    // Engraved, as the system draws disabled captions.
    OffsetRect(&captionRect, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &captionRect,
              DT_CENTER | DT_SINGLELINE);
    OffsetRect(&captionRect, -1, -1);
  }
  SetTextColor(dc, GetSysColor(look.grayedContent ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
  DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &captionRect,
            DT_CENTER | DT_SINGLELINE);
  if (look.focusRect) {
    RECT f = r;
    InflateRect(&f, -Scaled(4), -Scaled(4));
    DrawFocusRect(dc, &f);
  }
  return true;
}

void TBitBtn::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == TOperation::Remove && component == FAction) FAction = nullptr;
}

}  // namespace quell::gui
