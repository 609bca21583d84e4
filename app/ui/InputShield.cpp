#include "InputShield.h"

namespace quell::ui {

namespace {

constexpr UINT kPointerActivate = 0x024B;  // WM_POINTERACTIVATE
constexpr UINT_PTR kHideTimer = 1;
constexpr LRESULT kPointerNoActivate = 3;  // PA_NOACTIVATE

Rect CurrentBounds() {
  const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const Rect virtualScreen{x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                           y + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  const Rect primary{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  return ShieldBounds(virtualScreen, primary);
}

// Input the shield takes and ends: the pointer's, and the mouse messages
// the system makes of touch and pen.
bool IsPointerInput(UINT msg) {
  return (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) ||
         (msg >= WM_NCMOUSEMOVE && msg <= WM_NCXBUTTONDBLCLK) ||
         (msg >= 0x0245 && msg <= 0x0251) ||  // WM_POINTERUPDATE .. WM_POINTERHWHEEL
         msg == 0x0119 /* WM_GESTURE */ || msg == 0x0240 /* WM_TOUCH */;
}

}  // namespace

TInputShield::TInputShield(gui::TComponent* owner) : TWinControl(owner) { SetName("InputShield"); }

void TInputShield::AdjustCreationParams(gui::TCreateParams& params) {
  params.windowClass = "TQuellInputShield";
  params.caption = "Quellane input shield";
  params.style = WS_POPUP;
  // No taskbar button, never activated, above every window that is not
  // top-most; layered for its opacity.
  params.exStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_LAYERED;
  params.classStyle = 0;
  params.background = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  const Rect bounds = CurrentBounds();
  params.x = bounds.left;
  params.y = bounds.top;
  params.width = bounds.Width();
  params.height = bounds.Height();
  params.wndParent = nullptr;
}

void TInputShield::ShowShield(TShieldShade shade, HWND keepAbove) {
  const HWND window = Handle();
  KillTimer(window, kHideTimer);
  SetLayeredWindowAttributes(window, 0, ShieldAlpha(shade), LWA_ALPHA);
  const Rect bounds = CurrentBounds();
  SetWindowPos(window, HWND_TOPMOST, bounds.left, bounds.top, bounds.Width(), bounds.Height(),
               SWP_NOACTIVATE | SWP_SHOWWINDOW);
  // A shade changed while shown is painted at once.
  InvalidateRect(window, nullptr, TRUE);
  if (keepAbove && IsWindowVisible(keepAbove)) {
    SetWindowPos(keepAbove, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

void TInputShield::HideShield() {
  if (!HandleAllocated() || !IsWindowVisible(Handle())) return;
  // The unlock hot key is mostly still held when the lock ends. A window
  // that vanishes from under the pointer then has the keys read anew (Wine
  // reads them from the X server) and the held modifiers stay down for the
  // window in front: the shield goes once they are up. Its window stays for
  // the next lock and goes with its owner, the main form.
  if (!SetTimer(Handle(), kHideTimer, kHideDelayMs, nullptr)) ShowWindow(Handle(), SW_HIDE);
}

void TInputShield::FitToScreens() {
  const Rect bounds = CurrentBounds();
  SetWindowPos(Handle(), nullptr, bounds.left, bounds.top, bounds.Width(), bounds.Height(),
               SWP_NOACTIVATE | SWP_NOZORDER);
}

void TInputShield::WndProc(gui::TMessage& message) {
  switch (message.Msg) {
    case WM_MOUSEACTIVATE: message.Result = MA_NOACTIVATEANDEAT; return;
    case kPointerActivate: message.Result = kPointerNoActivate; return;
    case WM_TIMER:
      if (message.WParam == kHideTimer) {
        KillTimer(Handle(), kHideTimer);
        ShowWindow(Handle(), SW_HIDE);
        message.Result = 0;
        return;
      }
      break;
    case WM_DISPLAYCHANGE:
      // A monitor came, went or changed its resolution.
      FitToScreens();
      message.Result = 0;
      return;
    default: break;
  }
  if (IsPointerInput(message.Msg)) {
    message.Result = 0;
    return;
  }
  TWinControl::WndProc(message);
}

}  // namespace quell::ui
