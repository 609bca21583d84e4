#include "Form.h"

#include <memory>
#include <stdexcept>
#include <vector>

#include "ComCtrls.h"
#include "Dialogs.h"
#include "DisplayDpi.h"
#include "gui/core/PageKeys.h"

namespace quell::gui {

TForm::TForm(TComponent* owner) : TWinControl(owner) {}

TForm::~TForm() {
  // The tooltip goes first: it has subclassed every hinted control and takes
  // its subclass back from each only while the control's window exists (a
  // control destroyed under the subclass leaves comctl32's record behind).
  FTooltips.reset();
  // The components go while the form's window still exists.
  DestroyComponents();
  if (TApplication* app = Application()) app->FormGone(this);
  DestroyHandle();
}

void TForm::AfterConstruction() {
  if (OnCreate) {
    TApplication* app = Application();
    try {
      OnCreate(this);
    } catch (...) {
      if (!app) throw;
      app->HandleException(this);
    }
  }
}

void TForm::BeforeDestruction() {
  TWinControl::BeforeDestruction();
  if (OnDestroy) {
    if (TApplication* app = Application()) {
      app->Guard(this, [&] { OnDestroy(this); });
    } else {
      try {
        OnDestroy(this);
      } catch (...) {
      }
    }
  }
}

void TForm::AdjustCreationParams(TCreateParams& params) {
  TWinControl::AdjustCreationParams(params);
  params.windowClass = "TQuellForm";
  if (TApplication* app = Application()) params.wndParent = app->Handle();
  switch (FBorderStyle) {
    case TFormBorderStyle::None: params.style = WS_POPUP; break;
    case TFormBorderStyle::Single:
      params.style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_BORDER;
      break;
    case TFormBorderStyle::Sizeable: params.style = WS_OVERLAPPEDWINDOW; break;
    case TFormBorderStyle::Dialog:
      params.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
      params.exStyle |= WS_EX_DLGMODALFRAME;
      break;
    case TFormBorderStyle::ToolWindow:
      params.style = WS_CAPTION | WS_SYSMENU;
      params.exStyle |= WS_EX_TOOLWINDOW;
      break;
    case TFormBorderStyle::SizeToolWin:
      params.style = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
      params.exStyle |= WS_EX_TOOLWINDOW;
      break;
  }
  params.style |= WS_CLIPCHILDREN;
  if (FDialogKeys) params.exStyle |= WS_EX_CONTROLPARENT;
  if (FStayOnTop) params.exStyle |= WS_EX_TOPMOST;
  if (FClientWidth >= 0 && FClientHeight >= 0) {
    RECT r{0, 0, FClientWidth, FClientHeight};
    AdjustWindowRectEx(&r, params.style, FALSE, params.exStyle);
    params.width = r.right - r.left;
    params.height = r.bottom - r.top;
    if (params.x == CW_USEDEFAULT) params.x = 0;
    if (params.y == CW_USEDEFAULT) params.y = 0;
  }
  if (FPosition == TPosition::ScreenCenter && params.width != CW_USEDEFAULT) {
    params.x = (GetSystemMetrics(SM_CXSCREEN) - params.width) / 2;
    params.y = (GetSystemMetrics(SM_CYSCREEN) - params.height) / 2;
  }
}

void TForm::SetStayOnTop(bool onTop) {
  FStayOnTop = onTop;
  if (HandleAllocated()) {
    SetWindowPos(Handle(), onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

void TForm::SetClientSize(int width, int height) {
  width = Scaled(width);
  height = Scaled(height);
  FClientWidth = width;
  FClientHeight = height;
  if (HandleAllocated()) {
    RECT r{0, 0, width, height};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongA(Handle(), GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(Handle(), GWL_EXSTYLE)));
    SetBounds(Left(), Top(), r.right - r.left, r.bottom - r.top);
  }
}

void TForm::SetFont(const std::string& face, int height) {
  LOGFONTA lf{};
  lf.lfHeight = -Scaled(height);
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = DEFAULT_QUALITY;
  lstrcpynA(lf.lfFaceName, face.c_str(), LF_FACESIZE);
  FFont.reset(CreateFontIndirectA(&lf));
}

void TForm::SetActiveControl(TWinControl* control) {
  FActiveControl = control;
  FLastFocus = nullptr;
  if (control && HandleAllocated() && GetActiveWindow() == Handle()) control->SetFocus();
}

namespace {
void CollectHintedControls(HWND parent, std::vector<TWinControl*>& out) {
  for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
    if (TWinControl* c = TWinControl::FromHandle(w); c && !c->Hint().empty()) out.push_back(c);
    CollectHintedControls(w, out);
  }
}
}  // namespace

void TForm::UpdateHints() {
  FTooltips.reset();
  if (!FShowHint) return;
  FTooltips.reset(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  Handle(), nullptr, GetModuleHandleA(nullptr), nullptr));
  if (!FTooltips) return;
  SendMessageA(FTooltips.get(), TTM_SETMAXTIPWIDTH, 0, Scaled(300));
  std::vector<TWinControl*> controls;
  CollectHintedControls(Handle(), controls);
  for (TWinControl* c : controls) {
    std::string text = c->Hint().substr(0, c->Hint().find('|'));
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(c->Handle());
    tool.lpszText = text.data();
    SendMessageA(FTooltips.get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

bool TForm::PageKey(unsigned virtualKey) {
  const HWND focus = GetFocus();
  TWinControl* focused = TWinControl::FromHandle(focus);
  TShiftState shift = 0;
  if (GetKeyState(VK_CONTROL) < 0) shift |= ssCtrl;
  if (GetKeyState(VK_SHIFT) < 0) shift |= ssShift;
  if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
  const TPageStep step = PageStepOfKey(virtualKey, shift, focused && focused->TakesAnyKey());
  if (step == TPageStep::None) return false;
  TPageControl* pages = nullptr;
  for (HWND w = focus; w && w != Handle() && !pages; w = GetParent(w)) {
    TWinControl* c = TWinControl::FromHandle(w);
    pages = dynamic_cast<TPageControl*>(c);
    if (auto* sheet = dynamic_cast<TTabSheet*>(c)) pages = sheet->PageControl();
  }
  for (std::size_t i = 0; !pages && i < ComponentCount(); ++i) {
    auto* c = dynamic_cast<TPageControl*>(Components(i));
    if (c && c->HandleAllocated() && IsWindowVisible(c->Handle()) && IsWindowEnabled(c->Handle())) {
      pages = c;
    }
  }
  if (!pages) return false;
  if (focused) focused->KeyTakenByForm();
  pages->SelectNextPage(step == TPageStep::Next);
  return true;
}

void TForm::Show() {
  SetVisible(true);
  BringWindowToTop(Handle());
}

void TForm::Hide() { SetVisible(false); }

bool TForm::Minimized() { return HandleAllocated() && IsIconic(Handle()); }

TModalResult TForm::ShowModal() {
  TApplication* app = Application();
  if (!app) throw std::logic_error("ShowModal needs an application object");
  if (FModal || Visible()) throw std::logic_error("only a hidden form can be shown modally");
  const HWND self = Handle();
  // Modal to every window of the program: the others take no input meanwhile.
  auto others = std::make_unique<TDisabledProgramWindows>(self, false);
  FModal = true;
  FModalResult = mrNone;
  TCloseAction action = TCloseAction::Hide;
  Show();
  SetActiveWindow(self);
  const auto restore = [&] {
    others.reset();
    FModal = false;
  };
  try {
    for (;;) {
      app->HandleMessage();
      if (app->Terminated()) {
        FModalResult = mrCancel;
        break;
      }
      if (FModalResult != mrNone) {
        action = DoClose(TCloseAction::Hide);
        if (action == TCloseAction::None) {
          FModalResult = mrNone;
          continue;
        }
        break;
      }
    }
  } catch (...) {
    restore();
    Hide();
    throw;
  }
  // Re-enable before hiding, so that activation returns to the program.
  restore();
  Hide();
  const TModalResult result = FModalResult;
  if (action == TCloseAction::Free) Release();
  return result;
}

TCloseAction TForm::DoClose(TCloseAction action) {
  if (OnClose) {
    if (TApplication* app = Application()) {
      app->Guard(this, [&] { OnClose(this, action); });
    } else {
      OnClose(this, action);
    }
  }
  return action;
}

void TForm::Close() {
  if (FModal) {
    FModalResult = mrCancel;
    return;
  }
  const TCloseAction action = DoClose(TCloseAction::Hide);
  if (action == TCloseAction::None) return;
  TApplication* app = Application();
  if (app && app->MainForm() == this) {
    app->Terminate();
    return;
  }
  switch (action) {
    case TCloseAction::Hide: Hide(); break;
    case TCloseAction::Minimize: ShowWindow(Handle(), SW_MINIMIZE); break;
    case TCloseAction::Free: Release(); break;
    case TCloseAction::None: break;
  }
}

void TForm::Release() { PostMessageA(Handle(), CM_RELEASE, 0, 0); }

void TForm::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_ACTIVATE:
      // The focus goes back to the control that had it, not to the form.
      if (LOWORD(message.WParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus && IsChild(Handle(), focus)) FLastFocus = focus;
      } else if (HWND target = FLastFocus && IsChild(Handle(), FLastFocus) ? FLastFocus
                               : FActiveControl ? FActiveControl->Handle()
                                                : nullptr) {
        ::SetFocus(target);
        message.Result = 0;
        return;
      }
      break;
    case WM_CLOSE:
      Close();
      message.Result = 0;
      return;
    case WM_SHOWWINDOW:
      if (message.LParam == 0) {
        TNotifyEvent& event = message.WParam ? OnShow : OnHide;
        if (event) event(this);
      }
      break;
    default: break;
  }
  TWinControl::WndProc(message);
}

}  // namespace quell::gui
