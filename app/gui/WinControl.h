// A component with a window. One window procedure serves every window the
// layer creates: it binds the C++ object at WM_NCCREATE, hands each message
// to the virtual WndProc, and reports any exception to the application.
#pragma once

#include <string>

#include "Application.h"
#include "gui/core/Component.h"
#include "base/Handles.h"

namespace quell::gui {

// What CreateWindowExA gets; AdjustCreationParams overrides may change it.
struct TCreateParams {
  std::string caption;
  DWORD style = WS_OVERLAPPEDWINDOW;
  DWORD exStyle = 0;
  int x = CW_USEDEFAULT;
  int y = CW_USEDEFAULT;
  int width = CW_USEDEFAULT;
  int height = CW_USEDEFAULT;
  HWND wndParent = nullptr;
  // The layer registers the class on first use with its window procedure and
  // this class style; a control that needs another class style names its own
  // class.
  std::string windowClass = "TQuellWindow";
  // A class of the system or of comctl32 ("BUTTON", "msctls_hotkey32"):
  // not registered by the layer; the window is subclassed once it exists.
  bool systemClass = false;
  UINT classStyle = CS_DBLCLKS;
  HBRUSH background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
};

class TWinControl : public TComponent, public TWindowReceiver {
 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  // The window, created on first use.
  HWND Handle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  // The control bound to a window of the layer, or null.
  static TWinControl* FromHandle(HWND window);

  TWinControl* Parent() const { return FParent; }
  void SetParent(TWinControl* parent);
  const std::string& Caption() const { return FCaption; }
  void SetCaption(std::string caption);
  // "short|long": the status bar shows the long part (Application()->Hint).
  const std::string& Hint() const { return FHint; }
  void SetHint(std::string hint) { FHint = std::move(hint); }
  bool Visible() const;
  void SetVisible(bool visible);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool enabled);

  int Left() const { return FBounds.left; }
  int Top() const { return FBounds.top; }
  int Width() const { return FBounds.right - FBounds.left; }
  int Height() const { return FBounds.bottom - FBounds.top; }
  // In pixels.
  void SetBounds(int left, int top, int width, int height);
  // In design units (96 DPI): the place a form gives its control, scaled to
  // the display's density by its edges (DisplayDpi.h).
  void SetDesignBounds(int left, int top, int width, int height);
  int ClientWidth();
  int ClientHeight();

  // The font the window is given at creation: the parent's, unless a
  // control (a form) has its own.
  virtual HFONT Font() const { return FParent ? FParent->Font() : nullptr; }
  // Position among the parent's tabbing controls (-1: none). The windows'
  // Z-order is what the dialog keys follow, so UpdateTabOrder arranges it.
  int TabOrder() const { return FTabOrder; }
  void SetTabOrder(int order) { FTabOrder = order; }
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool stop) { FTabStop = stop; }
  // Orders the child windows by tab order (those without one last), and
  // their children likewise. A window that follows another directly
  // (TabFollows) comes right after it; the order then starts at the first
  // such follower, so that it lies above the window it follows (the dialog
  // keys wrap around: the order Tab goes round in stays the same).
  void UpdateTabOrder();
  // The sibling this control follows directly in the tab order, or null: a
  // page follows its page control, whose display area it covers.
  virtual TWinControl* TabFollows() const { return nullptr; }
  // Whether the control takes any key pressed in it as its value (a hot-key
  // box): the form's own keys then leave it what they can.
  virtual bool TakesAnyKey() const { return false; }
  // A key pressed in the control was used by the form (a page key): a
  // control that took part of it already (a hot-key box, its modifiers)
  // puts back the value it had before.
  virtual void KeyTakenByForm() {}
  void SetFocus();
  bool Focused();
  // Widens the window, never narrows it, so that its caption in its font
  // plus `extra` pixels fits.
  void GrowToCaption(int extra);
  // Moves the child windows that a grown sibling now runs into to the right
  // (Arrange.h), and their children's likewise; call once the windows exist.
  void ArrangeGrownControls();

 protected:
  virtual void AdjustCreationParams(TCreateParams& params);
  virtual void WndProc(TMessage& message);
  // The window's default processing (DefWindowProcA).
  void DefaultHandler(TMessage& message);
  void DestroyHandle();
  // Runs once the window exists.
  virtual void CreatedHandle() {}
  // Notifications of a control's own window, which Windows sends to the
  // parent: the parent hands them back to the control. Each answers true
  // when it handled the notification.
  virtual bool HandleCommand(WORD /*code*/) { return false; }
  virtual bool HandleNotify(NMHDR& /*header*/, LRESULT& /*result*/) { return false; }
  virtual bool HandleDrawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }

 private:
  void ReceiveWindowMessage(HWND window, TMessage& message) override;
  void CreateHandle();

  HWND FHandle = nullptr;
  WNDPROC FSystemProc = nullptr;  // the class's own procedure of a subclassed window
  TWinControl* FParent = nullptr;
  std::string FCaption;
  std::string FHint;
  bool FVisible = false;
  bool FEnabled = true;
  RECT FBounds{0, 0, 0, 0};
  bool FBoundsSet = false;
  int FTabOrder = -1;
  bool FTabStop = false;
  bool FGrown = false;  // wider than its place, to fit its caption
};

}  // namespace quell::gui
