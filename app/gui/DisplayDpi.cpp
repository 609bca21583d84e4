#include "DisplayDpi.h"

#include "base/Handles.h"

namespace quell::gui {

int DisplayDpi() {
  static const int dpi = [] {
    const base::ScreenDc screen;
    const int value = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : kDesignDpi;
    return value > 0 ? value : kDesignDpi;
  }();
  return dpi;
}

RECT ScaledRect(int left, int top, int width, int height) {
  const PixelRect r = ScaleRectToDpi({left, top, width, height}, DisplayDpi());
  return {r.left, r.top, r.right, r.bottom};
}

}  // namespace quell::gui
