#include "ThemedButton.h"

#include <uxtheme.h>
#include <vssym32.h>

namespace quell::gui {

namespace {

class SystemButtonTheme final : public TButtonTheme {
 public:
  bool Active(HWND window) override {
    if (!IsThemeActive() || !IsAppThemed()) return false;
    const HTHEME theme = OpenThemeData(window, L"BUTTON");
    if (!theme) return false;
    CloseThemeData(theme);
    return true;
  }
  bool DrawPushButton(HWND window, HDC dc, const RECT& bounds, ThemeButtonState state) override {
    const HTHEME theme = OpenThemeData(window, L"BUTTON");
    if (!theme) return false;
    const int part = BP_PUSHBUTTON, stateId = static_cast<int>(state);
    if (IsThemeBackgroundPartiallyTransparent(theme, part, stateId)) {
      RECT behind = bounds;
      DrawThemeParentBackground(window, dc, &behind);
    }
    const bool drawn = SUCCEEDED(DrawThemeBackground(theme, dc, part, stateId, &bounds, nullptr));
    CloseThemeData(theme);
    return drawn;
  }
};

TButtonTheme* replacement = nullptr;

}  // namespace

TButtonTheme& ButtonTheme() {
  static SystemButtonTheme system;
  return replacement ? *replacement : system;
}

void SetButtonTheme(TButtonTheme* theme) { replacement = theme; }

}  // namespace quell::gui
