#include "ThemedButton.h"

#include <uxtheme.h>
#include <vssym32.h>

#include "Application.h"
#include "base/Handles.h"

namespace quell::gui {

namespace {

class TSystemButtonTheme final : public TButtonTheme {
 public:
  bool Active(HWND window) override {
    if (!IsThemeActive() || !IsAppThemed()) return false;
    return static_cast<bool>(base::ThemeHandle(OpenThemeData(window, L"BUTTON")));
  }
  bool DrawPushButton(HWND window, HDC dc, const RECT& bounds, ThemeButtonState state) override {
    const base::ThemeHandle owner(OpenThemeData(window, L"BUTTON"));
    const HTHEME theme = owner.get();
    if (!theme) return false;
    const int part = BP_PUSHBUTTON, stateId = static_cast<int>(state);
    if (IsThemeBackgroundPartiallyTransparent(theme, part, stateId)) {
      RECT behind = bounds;
      DrawThemeParentBackground(window, dc, &behind);
    }
    return SUCCEEDED(DrawThemeBackground(theme, dc, part, stateId, &bounds, nullptr));
  }
};

}  // namespace

TButtonTheme& SystemButtonTheme() {
  static TSystemButtonTheme system;
  return system;
}

TButtonTheme& TApplication::ButtonTheme() const {
  return FButtonTheme ? *FButtonTheme : SystemButtonTheme();
}

TButtonTheme& ButtonTheme() {
  TApplication* app = Application();
  return app ? app->ButtonTheme() : SystemButtonTheme();
}

}  // namespace quell::gui
