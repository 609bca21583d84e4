#include "WindowBinding.h"

namespace quell::gui {

namespace {
constexpr char kReceiverProperty[] = "Quell.WindowReceiver";
}  // namespace

void BindWindow(HWND window, TWindowReceiver* receiver) {
  SetPropA(window, kReceiverProperty, receiver);
}

void UnbindWindow(HWND window) { RemovePropA(window, kReceiverProperty); }

TWindowReceiver* BoundReceiver(HWND window) {
  if (!window) return nullptr;
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId()) return nullptr;
  return static_cast<TWindowReceiver*>(GetPropA(window, kReceiverProperty));
}

LRESULT CALLBACK BoundWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    if (auto* receiver = static_cast<TWindowReceiver*>(create->lpCreateParams)) {
      BindWindow(hwnd, receiver);
    }
  }
  TWindowReceiver* receiver = BoundReceiver(hwnd);
  if (!receiver) return DefWindowProcA(hwnd, msg, wParam, lParam);
  TMessage message{msg, wParam, lParam, 0};
  receiver->ReceiveWindowMessage(hwnd, message);
  if (msg == WM_NCDESTROY) UnbindWindow(hwnd);
  return message.Result;
}

}  // namespace quell::gui
