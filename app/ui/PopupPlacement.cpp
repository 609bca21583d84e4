#include "PopupPlacement.h"

#include <algorithm>
#include <cstdlib>

namespace quell::ui {

Point PopupPosition(const Rect& workArea, int windowWidth, int windowHeight) {
  const int left = workArea.left + workArea.Width() - windowWidth - kPopupRightGap;
  const int top = workArea.top + workArea.Height() - windowHeight - kPopupBottomGap;
  return {std::max(left, workArea.left), std::max(top, workArea.top)};
}

PopupLayout LayoutPopup(int clientWidth, Point imageAt) {
  PopupLayout layout;
  const int closeLeft = clientWidth - 18;
  layout.closeImage = {closeLeft, 1, closeLeft + kCloseImageWidth, 1 + kCloseImageHeight};
  layout.image = {imageAt.x, imageAt.y, imageAt.x + kPopupImageSize, imageAt.y + kPopupImageSize};
  layout.groupBoxHeight = imageAt.y + kPopupImageSize + 5;
  return layout;
}

bool SupportsDropShadow(const PlatformVersion& v) {
  return v.platformId == 2 && (v.major > 5 || (v.major == 5 && v.minor >= 1));
}

CreationParams PopupCreationParams(CreationParams base, const PlatformVersion& version) {
  base.style = (base.style & ~(kWsBorder | kWsDlgFrame)) | kWsPopup;
  base.exStyle |= kWsExToolWindow | kWsExNoActivate;
  if (SupportsDropShadow(version)) base.classStyle |= kCsDropShadow;
  return base;
}

ColorRef CloseGlyphPixel(int x, int y) {
  const int last = kCloseGlyphSize - 1;
  if ((x == 0 || x == last) && (y == 0 || y == last)) return kCloseGlyphTransparent;
  // Two diagonal strokes three pixels wide, 3 pixels in from the edges.
  if (x >= 3 && x <= last - 3 && y >= 3 && y <= last - 3) {
    if (std::abs(x - y) <= 1 || std::abs(x + y - last) <= 1) return kCloseGlyphWhite;
  }
  return kCloseGlyphRed;
}

}  // namespace quell::ui
