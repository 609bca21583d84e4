// The one way the layer binds a C++ object to a window and hands it the
// window's messages: the windows it makes (controls, forms, the application
// window) are bound at WM_NCCREATE from their creation parameter; windows
// of system classes and hidden message windows are bound once made, and
// their procedure replaced by the same one.
#pragma once

#include <windows.h>

namespace quell::gui {

// One window message as handlers see it; Result is what the window returns.
struct TMessage {
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
  LRESULT Result;
};

// What a window is bound to. A receiver handles its own exceptions: none
// may leave ReceiveWindowMessage into the system's dispatch.
class TWindowReceiver {
 public:
  virtual void ReceiveWindowMessage(HWND window, TMessage& message) = 0;

 protected:
  ~TWindowReceiver() = default;
};

// Binds `receiver` to `window`; the binding ends with WM_NCDESTROY.
void BindWindow(HWND window, TWindowReceiver* receiver);
// From now on the window's messages go to the default procedure.
void UnbindWindow(HWND window);
// The receiver of a window of this process, or null. Another process built
// on this layer marks its windows the same way; its pointers mean nothing here.
TWindowReceiver* BoundReceiver(HWND window);
// The procedure of every bound window. A window made with it whose creation
// parameter is a TWindowReceiver* is bound at WM_NCCREATE.
LRESULT CALLBACK BoundWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace quell::gui
