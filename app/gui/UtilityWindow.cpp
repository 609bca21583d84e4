#include "UtilityWindow.h"

namespace quell::gui {

namespace {
constexpr char kDefaultUtilityClass[] = "TTrayUtilWindow";
// Bound handler and object live in the window's extra bytes, one pointer each.
constexpr int kHandlerSlot = 0;
constexpr int kObjectSlot = sizeof(LONG_PTR);
constexpr int kExtraBytes = 2 * sizeof(LONG_PTR);
}  // namespace

HWND CreateUtilityWindow(const char* className, UtilityHandler handler, void* object) {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  const char* name = className ? className : kDefaultUtilityClass;
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.cbWndExtra = kExtraBytes;
  wc.hInstance = instance;
  wc.lpszClassName = name;
  WNDCLASSA existing{};
  if (!GetClassInfoA(instance, name, &existing)) {
    RegisterClassA(&wc);
  } else if (existing.lpfnWndProc != DefWindowProcA || existing.cbWndExtra < kExtraBytes) {
    // Left behind with another procedure, or too small to hold the binding.
    UnregisterClassA(name, instance);
    RegisterClassA(&wc);
  }
  HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, name, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                instance, nullptr);
  if (window && handler) {
    SetWindowLongPtrA(window, kHandlerSlot, reinterpret_cast<LONG_PTR>(handler));
    SetWindowLongPtrA(window, kObjectSlot, reinterpret_cast<LONG_PTR>(object));
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(UtilityWindowProc));
  }
  return window;
}

void UnbindUtilityWindow(HWND window) { SetWindowLongPtrA(window, kHandlerSlot, 0); }

LRESULT CALLBACK UtilityWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  const auto handler = reinterpret_cast<UtilityHandler>(GetWindowLongPtrA(hwnd, kHandlerSlot));
  void* object = reinterpret_cast<void*>(GetWindowLongPtrA(hwnd, kObjectSlot));
  if (!handler) return DefWindowProcA(hwnd, msg, wParam, lParam);
  TMessage message{msg, wParam, lParam, 0};
  handler(object, message);
  return message.Result;
}

}  // namespace quell::gui
