#include "DisplayDpi.h"

namespace quell::gui {

int DisplayDpi() {
  static const int dpi = [] {
    const HDC screen = GetDC(nullptr);
    const int value = screen ? GetDeviceCaps(screen, LOGPIXELSY) : kDesignDpi;
    if (screen) ReleaseDC(nullptr, screen);
    return value > 0 ? value : kDesignDpi;
  }();
  return dpi;
}

RECT ScaledRect(int left, int top, int width, int height) {
  const PixelRect r = ScaleRectToDpi({left, top, width, height}, DisplayDpi());
  return {r.left, r.top, r.right, r.bottom};
}

}  // namespace quell::gui
