#include "WinControl.h"

#include <stdexcept>

namespace quell::gui {

namespace {
constexpr char kObjectProperty[] = "Quell.WinControl";

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
  if (!RegisterClassA(&wc)) throw std::runtime_error("RegisterClassA failed for " + params.windowClass);
}
}  // namespace

TWinControl::TWinControl(TComponent* owner) : TComponent(owner) {}

TWinControl::~TWinControl() { DestroyHandle(); }

HWND TWinControl::Handle() {
  if (!handle_) CreateHandle();
  return handle_;
}

TWinControl* TWinControl::FromHandle(HWND window) {
  if (!window) return nullptr;
  // Another process built on this layer marks its windows the same way; its
  // pointers mean nothing here.
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId()) return nullptr;
  return static_cast<TWinControl*>(GetPropA(window, kObjectProperty));
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
}

void TWinControl::CreateHandle() {
  TCreateParams params;
  AdjustCreationParams(params);
  RegisterLayerClass(params, StdWndProc);
  const HWND created = CreateWindowExA(params.exStyle, params.windowClass.c_str(), params.caption.c_str(),
                                       params.style & ~static_cast<DWORD>(WS_VISIBLE), params.x, params.y,
                                       params.width, params.height, params.wndParent, nullptr,
                                       GetModuleHandleA(nullptr), this);
  if (!created) throw std::runtime_error("CreateWindowExA failed for " + params.windowClass);
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
  if (message.Msg == WM_WINDOWPOSCHANGED) {
    RECT r;
    GetWindowRect(handle_, &r);
    if (HWND parent = GetParent(handle_); parent && (GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD)) {
      MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    }
    bounds_ = r;
  }
  DefaultHandler(message);
}

void TWinControl::DefaultHandler(TMessage& message) {
  message.Result = DefWindowProcA(handle_, message.Msg, message.WParam, message.LParam);
}

LRESULT CALLBACK TWinControl::StdWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TWinControl* self = nullptr;
  if (msg == WM_NCCREATE) {
    self = static_cast<TWinControl*>(reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams);
    if (self) {
      self->handle_ = hwnd;
      SetPropA(hwnd, kObjectProperty, self);
    }
  } else {
    self = FromHandle(hwnd);
  }
  if (!self) return DefWindowProcA(hwnd, msg, wParam, lParam);
  if (msg == CM_RELEASE) {
    // Freed from its own queue, once every handler of the form has returned.
    TComponent::Free(self);
    return 0;
  }
  TMessage message{msg, wParam, lParam, 0};
  try {
    self->WndProc(message);
  } catch (...) {
    if (TApplication* app = Application()) app->HandleException(self);
  }
  if (msg == WM_NCDESTROY) {
    RemovePropA(hwnd, kObjectProperty);
    self->handle_ = nullptr;
  }
  return message.Result;
}

}  // namespace quell::gui
