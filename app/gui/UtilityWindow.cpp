#include "UtilityWindow.h"

namespace quell::gui {

namespace {
constexpr char kDefaultUtilityClass[] = "TTrayUtilWindow";
}  // namespace

HWND CreateUtilityWindow(const char* className, TWindowReceiver* receiver) {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  const char* name = className ? className : kDefaultUtilityClass;
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = instance;
  wc.lpszClassName = name;
  WNDCLASSA existing{};
  if (!GetClassInfoA(instance, name, &existing)) {
    RegisterClassA(&wc);
  } else if (existing.lpfnWndProc != DefWindowProcA) {
    // Left behind with another procedure.
    UnregisterClassA(name, instance);
    RegisterClassA(&wc);
  }
  HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, name, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                instance, nullptr);
  if (window && receiver) {
    BindWindow(window, receiver);
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&BoundWindowProc));
  }
  return window;
}

}  // namespace quell::gui
