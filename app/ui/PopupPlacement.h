// The notice pop-up's rules that need no window: where it goes in the work
// area, how its parts are laid out, its window-creation parameters and the
// pixels of its close glyph.
#pragma once

#include <cstdint>

#include "UiBasics.h"

namespace quell::ui {

// Distance of the pop-up from the work area's right and bottom edges.
inline constexpr int kPopupRightGap = 16;
inline constexpr int kPopupBottomGap = 4;

// Top-left corner of a window of the given outer size in the bottom-right
// corner of `workArea` (the desktop without the taskbar, wherever it is). A
// window larger than the work area is kept from starting left of or above it.
Point PopupPosition(const Rect& workArea, int windowWidth, int windowHeight);

// Design-time layout of the pop-up's client area.
inline constexpr int kPopupClientWidth = 212;
inline constexpr int kPopupClientHeight = 37;
inline constexpr int kPopupBorderWidth = 5;
inline constexpr ColorRef kPopupBackground = 0xFFFBF0u;  // RGB 240, 251, 255
inline constexpr Point kPopupMessageAt{23, 15};
inline constexpr Point kPopupImageAt{3, 15};
inline constexpr int kPopupImageSize = 16;
inline constexpr int kCloseImageWidth = 13;
inline constexpr int kCloseImageHeight = 14;

struct PopupLayout {
  Rect closeImage;  // in the client area; in front of its siblings
  Rect image;       // the icon, shown at its own size
  int groupBoxHeight = 0;
};

// Where the close glyph, the icon and the group box's bottom go for a
// client area `clientWidth` wide, with the icon's top-left at `imageAt`.
PopupLayout LayoutPopup(int clientWidth, Point imageAt = kPopupImageAt);

// The parameters a window is created with.
struct CreationParams {
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  std::uint32_t classStyle = 0;
};

struct PlatformVersion {
  std::uint32_t platformId = 0;  // 2: NT-based
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
};

inline constexpr std::uint32_t kWsBorder = 0x00800000u;
inline constexpr std::uint32_t kWsDlgFrame = 0x00400000u;
inline constexpr std::uint32_t kWsPopup = 0x80000000u;
inline constexpr std::uint32_t kWsExToolWindow = 0x80u;
inline constexpr std::uint32_t kWsExNoActivate = 0x08000000u;
inline constexpr std::uint32_t kCsDropShadow = 0x20000u;

// Drop shadows exist on NT-based systems from version 5.1 on.
bool SupportsDropShadow(const PlatformVersion& version);

// The pop-up's changes to a dialog-style, stay-on-top form's parameters: no
// caption bar, a pop-up window with no taskbar button that a click does not
// activate, and a drop shadow where the platform has one.
CreationParams PopupCreationParams(CreationParams base, const PlatformVersion& version);

// The close glyph: a white cross on a red square whose corner pixels are
// magenta, the colour that is drawn transparent.
inline constexpr int kCloseGlyphSize = 13;
inline constexpr ColorRef kCloseGlyphWhite = 0xFFFFFFu;
inline constexpr ColorRef kCloseGlyphRed = 0x2020D0u;  // RGB 208, 32, 32
inline constexpr ColorRef kCloseGlyphTransparent = 0xFF00FFu;
ColorRef CloseGlyphPixel(int x, int y);

}  // namespace quell::ui
