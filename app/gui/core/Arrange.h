// Keeps controls that grew to their captions off their neighbours: where a
// label or a check box became wider than its place (a wider font, a denser
// display), the controls it now runs into on its right move right by as
// much. Nothing moves where nothing grew.
#pragma once

#include <vector>

#include "DpiScale.h"

namespace quell::gui {

struct ArrangedControl {
  PixelRect rect;
  bool grown = false;  // wider than its designed place
};

// Moves controls right, never left, up or down, until no control that grew
// shares a pixel with a sibling; overlaps between two controls that both
// kept their places (pages stacked on each other) are left as designed.
// Answers whether anything moved.
bool SeparateGrownControls(std::vector<ArrangedControl>& controls);

}  // namespace quell::gui
