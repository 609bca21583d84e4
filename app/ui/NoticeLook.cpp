#include "NoticeLook.h"

#include "PopupPlacement.h"

namespace quell::ui {

NoticeColors NoticeColorsFor(bool highContrast, const gui::SystemColors& system) {
  const ColorRef text = gui::ResolveColor(gui::clWindowText, system);
  if (!highContrast) return {kPopupBackground, text, kCloseGlyphRed, kCloseGlyphWhite};
  const ColorRef window = gui::ResolveColor(gui::clWindow, system);
  return {window, text, text, window};
}

ColorRef GlyphPixelIn(ColorRef glyphPixel, const NoticeColors& colors) {
  if (glyphPixel == kCloseGlyphRed) return colors.glyphFace;
  if (glyphPixel == kCloseGlyphWhite) return colors.glyphCross;
  return glyphPixel;
}

bool AnnouncesNotice(bool shownBefore, std::string_view shownTitle, std::string_view title) {
  return !shownBefore || shownTitle != title;
}

}  // namespace quell::ui
