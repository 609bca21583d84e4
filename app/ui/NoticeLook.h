// The notice pop-up's rules for people who do not see it as drawn: its
// colours under high contrast, and when a screen reader is told of it.
#pragma once

#include <string_view>

#include "UiBasics.h"

namespace quell::ui {

// The colours the notice is painted in: its own light background, or with
// high contrast on the system's window colours, the close glyph then drawn
// in the text colour with its cross cut out in the background's.
struct NoticeColors {
  ColorRef background = 0;
  ColorRef text = 0;
  ColorRef glyphFace = 0;   // the close glyph's square
  ColorRef glyphCross = 0;  // its cross

  bool operator==(const NoticeColors&) const = default;
};
NoticeColors NoticeColorsFor(bool highContrast, const gui::SystemColors& system);
// A pixel of the close glyph as drawn (CloseGlyphPixel) in `colors`; the
// transparent corners stay transparent.
ColorRef GlyphPixelIn(ColorRef glyphPixel, const NoticeColors& colors);

// Whether showing the notice titled `title` raises the system's alert event,
// so that a screen reader reads it out: when it comes up, or a shown one
// gets another title. A shown notice that only changes its message (the
// cleaning countdown, each second) is not read out again.
bool AnnouncesNotice(bool shownBefore, std::string_view shownTitle, std::string_view title);

}  // namespace quell::ui
