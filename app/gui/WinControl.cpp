#include "WinControl.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace quell::gui {

namespace {
void RegisterLayerClass(const TCreateParams& params, WNDPROC procedure) {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA existing{};
  if (GetClassInfoA(instance, params.windowClass.c_str(), &existing)) return;
  WNDCLASSA wc{};
  wc.style = params.classStyle;
  wc.lpfnWndProc = procedure;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  wc.hbrBackground = params.background;
  wc.lpszClassName = params.windowClass.c_str();
  if (!RegisterClassA(&wc))
    throw std::runtime_error("RegisterClassA failed for " + params.windowClass);
}
}  // namespace

TWinControl::TWinControl(TComponent* owner) : TComponent(owner) {}

TWinControl::~TWinControl() { DestroyHandle(); }

HWND TWinControl::Handle() {
  if (!handle_) CreateHandle();
  return handle_;
}

TWinControl* TWinControl::FromHandle(HWND window) {
  return dynamic_cast<TWinControl*>(BoundReceiver(window));
}

void TWinControl::AdjustCreationParams(TCreateParams& params) {
  params.caption = caption_;
  if (parent_) {
    params.style = WS_CHILD | WS_CLIPSIBLINGS;
    params.wndParent = parent_->Handle();
  }
  if (boundsSet_) {
    params.x = bounds_.left;
    params.y = bounds_.top;
    params.width = Width();
    params.height = Height();
  }
  if (!enabled_) params.style |= WS_DISABLED;
  if (tabStop_) params.style |= WS_TABSTOP;
}

void TWinControl::CreateHandle() {
  TCreateParams params;
  AdjustCreationParams(params);
  if (!params.systemClass) RegisterLayerClass(params, BoundWindowProc);
  const HWND created = CreateWindowExA(
      params.exStyle, params.windowClass.c_str(), params.caption.c_str(),
      params.style & ~static_cast<DWORD>(WS_VISIBLE), params.x, params.y, params.width,
      params.height, params.wndParent, nullptr, GetModuleHandleA(nullptr),
      params.systemClass ? nullptr : static_cast<TWindowReceiver*>(this));
  if (!created) throw std::runtime_error("CreateWindowExA failed for " + params.windowClass);
  if (params.systemClass) {
    // The class's procedure keeps doing the work; ours sees every message first.
    handle_ = created;
    BindWindow(created, this);
    systemProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(created, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&BoundWindowProc)));
  }
  if (HFONT font = Font()) SendMessageA(created, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  RECT r;
  GetWindowRect(created, &r);
  if (parent_) MapWindowPoints(nullptr, parent_->Handle(), reinterpret_cast<POINT*>(&r), 2);
  bounds_ = r;
  CreatedHandle();
  if (visible_) ShowWindow(created, SW_SHOW);
}

void TWinControl::DestroyHandle() {
  if (handle_ && IsWindow(handle_)) DestroyWindow(handle_);
  handle_ = nullptr;
}

void TWinControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  parent_ = parent;
  if (handle_) ::SetParent(handle_, parent_ ? parent_->Handle() : nullptr);
}

void TWinControl::SetCaption(std::string caption) {
  caption_ = std::move(caption);
  if (handle_) SetWindowTextA(handle_, caption_.c_str());
}

bool TWinControl::Visible() const { return handle_ ? IsWindowVisible(handle_) != FALSE : visible_; }

void TWinControl::SetVisible(bool visible) {
  visible_ = visible;
  if (visible) {
    ShowWindow(Handle(), SW_SHOW);
  } else if (handle_) {
    ShowWindow(handle_, SW_HIDE);
  }
}

void TWinControl::SetEnabled(bool enabled) {
  enabled_ = enabled;
  if (handle_) EnableWindow(handle_, enabled ? TRUE : FALSE);
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  bounds_ = {left, top, left + width, top + height};
  boundsSet_ = true;
  if (handle_) MoveWindow(handle_, left, top, width, height, TRUE);
}

void TWinControl::UpdateTabOrder() {
  if (!handle_) return;
  std::vector<TWinControl*> children;
  for (HWND w = GetWindow(handle_, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
    if (TWinControl* child = FromHandle(w)) children.push_back(child);
  }
  std::stable_sort(children.begin(), children.end(),
                   [](const TWinControl* a, const TWinControl* b) {
                     if ((a->tabOrder_ < 0) != (b->tabOrder_ < 0)) return b->tabOrder_ < 0;
                     return a->tabOrder_ < b->tabOrder_;
                   });
  HWND after = HWND_TOP;
  for (TWinControl* child : children) {
    SetWindowPos(child->handle_, after, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    after = child->handle_;
    child->UpdateTabOrder();
  }
}

void TWinControl::GrowToCaption(int extra) {
  if (!handle_ || caption_.empty()) return;
  WindowDc dc(handle_);
  Selection font(dc.get(), reinterpret_cast<HGDIOBJ>(SendMessageA(handle_, WM_GETFONT, 0, 0)));
  SIZE text{};
  GetTextExtentPoint32A(dc.get(), caption_.c_str(), static_cast<int>(caption_.size()), &text);
  if (text.cx + extra > Width()) SetBounds(Left(), Top(), text.cx + extra, Height());
}

void TWinControl::SetFocus() { ::SetFocus(Handle()); }

bool TWinControl::Focused() { return handle_ && GetFocus() == handle_; }

int TWinControl::ClientWidth() {
  RECT r;
  GetClientRect(Handle(), &r);
  return r.right;
}

int TWinControl::ClientHeight() {
  RECT r;
  GetClientRect(Handle(), &r);
  return r.bottom;
}

void TWinControl::WndProc(TMessage& message) {
  // A control's notifications go back to the control that sent them.
  switch (message.Msg) {
    case WM_COMMAND:
      if (TWinControl* c = FromHandle(reinterpret_cast<HWND>(message.LParam));
          c && c != this && c->HandleCommand(HIWORD(message.WParam))) {
        message.Result = 0;
        return;
      }
      break;
    case WM_NOTIFY: {
      auto& header = *reinterpret_cast<NMHDR*>(message.LParam);
      LRESULT result = 0;
      if (TWinControl* c = FromHandle(header.hwndFrom);
          c && c != this && c->HandleNotify(header, result)) {
        message.Result = result;
        return;
      }
      break;
    }
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(message.LParam);
      if (TWinControl* c = item.CtlType != ODT_MENU ? FromHandle(item.hwndItem) : nullptr;
          c && c != this && c->HandleDrawItem(item)) {
        message.Result = TRUE;
        return;
      }
      break;
    }
    default: break;
  }
  if (message.Msg == WM_WINDOWPOSCHANGED) {
    RECT r;
    GetWindowRect(handle_, &r);
    if (HWND parent = GetParent(handle_);
        parent && (GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD)) {
      MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    }
    bounds_ = r;
  }
  DefaultHandler(message);
}

void TWinControl::DefaultHandler(TMessage& message) {
  message.Result =
      systemProc_
          ? CallWindowProcA(systemProc_, handle_, message.Msg, message.WParam, message.LParam)
          : DefWindowProcA(handle_, message.Msg, message.WParam, message.LParam);
}

void TWinControl::ReceiveWindowMessage(HWND window, TMessage& message) {
  if (message.Msg == WM_NCCREATE) handle_ = window;
  if (message.Msg == CM_RELEASE) {
    // Freed from its own queue, once every handler of the form has returned.
    TComponent::Free(this);
    return;
  }
  try {
    WndProc(message);
  } catch (...) {
    if (TApplication* app = Application()) app->HandleException(this);
  }
  if (message.Msg == WM_NCDESTROY) {
    handle_ = nullptr;
    systemProc_ = nullptr;
  }
}

}  // namespace quell::gui
