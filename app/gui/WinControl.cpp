#include "WinControl.h"

#include "gui/core/Arrange.h"
#include "DisplayDpi.h"

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
  if (!FHandle) CreateHandle();
  return FHandle;
}

TWinControl* TWinControl::FromHandle(HWND window) {
  return dynamic_cast<TWinControl*>(BoundReceiver(window));
}

void TWinControl::AdjustCreationParams(TCreateParams& params) {
  params.caption = FCaption;
  if (FParent) {
    params.style = WS_CHILD | WS_CLIPSIBLINGS;
    params.wndParent = FParent->Handle();
  }
  if (FBoundsSet) {
    params.x = FBounds.left;
    params.y = FBounds.top;
    params.width = Width();
    params.height = Height();
  }
  if (!FEnabled) params.style |= WS_DISABLED;
  if (FTabStop) params.style |= WS_TABSTOP;
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
    FHandle = created;
    BindWindow(created, this);
    FSystemProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(created, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&BoundWindowProc)));
  }
  if (HFONT font = Font()) SendMessageA(created, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  RECT r;
  GetWindowRect(created, &r);
  if (FParent) MapWindowPoints(nullptr, FParent->Handle(), reinterpret_cast<POINT*>(&r), 2);
  FBounds = r;
  CreatedHandle();
  if (FVisible) ShowWindow(created, SW_SHOW);
}

void TWinControl::DestroyHandle() {
  if (FHandle && IsWindow(FHandle)) DestroyWindow(FHandle);
  FHandle = nullptr;
}

void TWinControl::SetParent(TWinControl* parent) {
  if (parent == FParent) return;
  FParent = parent;
  if (FHandle) ::SetParent(FHandle, FParent ? FParent->Handle() : nullptr);
}

void TWinControl::SetCaption(std::string caption) {
  FCaption = std::move(caption);
  if (FHandle) SetWindowTextA(FHandle, FCaption.c_str());
}

bool TWinControl::Visible() const { return FHandle ? IsWindowVisible(FHandle) != FALSE : FVisible; }

void TWinControl::SetVisible(bool visible) {
  FVisible = visible;
  if (visible) {
    ShowWindow(Handle(), SW_SHOW);
  } else if (FHandle) {
    ShowWindow(FHandle, SW_HIDE);
  }
}

void TWinControl::SetEnabled(bool enabled) {
  FEnabled = enabled;
  if (FHandle) EnableWindow(FHandle, enabled ? TRUE : FALSE);
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  FBounds = {left, top, left + width, top + height};
  FBoundsSet = true;
  if (FHandle) MoveWindow(FHandle, left, top, width, height, TRUE);
}

void TWinControl::SetDesignBounds(int left, int top, int width, int height) {
  const RECT r = ScaledRect(left, top, width, height);
  SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void TWinControl::UpdateTabOrder() {
  if (!FHandle) return;
  std::vector<TWinControl*> children;
  for (HWND w = GetWindow(FHandle, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
    if (TWinControl* child = FromHandle(w)) children.push_back(child);
  }
  std::stable_sort(children.begin(), children.end(),
                   [](const TWinControl* a, const TWinControl* b) {
                     if ((a->FTabOrder < 0) != (b->FTabOrder < 0)) return b->FTabOrder < 0;
                     return a->FTabOrder < b->FTabOrder;
                   });
  std::vector<TWinControl*> followers;
  std::erase_if(children, [&](TWinControl* c) {
    const bool follows = c->TabFollows() && std::find(children.begin(), children.end(),
                                                      c->TabFollows()) != children.end();
    if (follows) followers.push_back(c);
    return follows;
  });
  for (TWinControl* f : followers) {
    auto leader = std::find(children.begin(), children.end(), f->TabFollows());
    while (leader + 1 != children.end() && (*(leader + 1))->TabFollows() == f->TabFollows())
      ++leader;
    children.insert(leader + 1, f);
  }
  if (!followers.empty()) {
    std::rotate(children.begin(), std::find(children.begin(), children.end(), followers.front()),
                children.end());
  }
  HWND after = HWND_TOP;
  for (TWinControl* child : children) {
    SetWindowPos(child->FHandle, after, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    after = child->FHandle;
    child->UpdateTabOrder();
  }
}

void TWinControl::GrowToCaption(int extra) {
  if (!FHandle || FCaption.empty()) return;
  base::WindowDc dc(FHandle);
  base::Selection font(dc.get(),
                       reinterpret_cast<HGDIOBJ>(SendMessageA(FHandle, WM_GETFONT, 0, 0)));
  SIZE text{};
  GetTextExtentPoint32A(dc.get(), FCaption.c_str(), static_cast<int>(FCaption.size()), &text);
  if (text.cx + extra > Width()) {
    SetBounds(Left(), Top(), text.cx + extra, Height());
    FGrown = true;
  }
}

void TWinControl::ArrangeGrownControls() {
  if (!FHandle) return;
  std::vector<TWinControl*> children;
  std::vector<ArrangedControl> places;
  for (HWND w = GetWindow(FHandle, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
    if (TWinControl* child = FromHandle(w)) {
      children.push_back(child);
      places.push_back({{child->Left(), child->Top(), child->Left() + child->Width(),
                         child->Top() + child->Height()},
                        child->FGrown});
    }
  }
  if (SeparateGrownControls(places)) {
    for (std::size_t i = 0; i < children.size(); ++i) {
      const PixelRect& r = places[i].rect;
      if (r.left != children[i]->Left())
        children[i]->SetBounds(r.left, r.top, r.Width(), r.Height());
    }
  }
  for (TWinControl* child : children) child->ArrangeGrownControls();
}

void TWinControl::SetFocus() { ::SetFocus(Handle()); }

bool TWinControl::Focused() { return FHandle && GetFocus() == FHandle; }

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
    GetWindowRect(FHandle, &r);
    if (HWND parent = GetParent(FHandle);
        parent && (GetWindowLongA(FHandle, GWL_STYLE) & WS_CHILD)) {
      MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    }
    FBounds = r;
  }
  DefaultHandler(message);
}

void TWinControl::DefaultHandler(TMessage& message) {
  message.Result =
      FSystemProc
          ? CallWindowProcA(FSystemProc, FHandle, message.Msg, message.WParam, message.LParam)
          : DefWindowProcA(FHandle, message.Msg, message.WParam, message.LParam);
}

void TWinControl::ReceiveWindowMessage(HWND window, TMessage& message) {
  if (message.Msg == WM_NCCREATE) FHandle = window;
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
    FHandle = nullptr;
    FSystemProc = nullptr;
  }
}

}  // namespace quell::gui
