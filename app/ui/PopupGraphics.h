// The notice pop-up's pictures: the close glyph and the icon turned into a
// bitmap for the pop-up's image.
#pragma once

#include <windows.h>

#include "gui/Graphics.h"
#include "UiBasics.h"

namespace quell::ui {

// The 13 x 13 close glyph; its magenta corners are meant to be drawn
// transparent.
base::BitmapHandle CreateCloseGlyphBitmap();

// A bitmap of the icon's own size showing the icon drawn over `background`
// (the colour the icon will be shown on, so that soft edges blend into it).
// An icon larger than `maxSize` (when given) is drawn at that size instead of
// being cut off. Null when there is no icon.
base::BitmapHandle IconToBitmap(HICON icon, ColorRef background, int maxSize = 0);

// The width and height of an icon; {0, 0} when there is none.
SIZE IconSize(HICON icon);

}  // namespace quell::ui
