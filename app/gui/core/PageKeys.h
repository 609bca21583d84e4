// The keys that turn the pages of a page control from anywhere in its form:
// Ctrl+Tab and Ctrl+PgDn go to the next page, Ctrl+Shift+Tab and Ctrl+PgUp
// to the previous one, wrapping around at either end.
#pragma once

#include "Events.h"

namespace quell::gui {

enum class TPageStep { None, Next, Previous };

// The step a key press asks for. `focusTakesKeys`: the focused control
// takes any key as its value (a hot-key box), so only Ctrl+Tab, which no
// such box can take, still turns the page. Alt held makes it no step (it
// is part of AltGr and of the system's own keys).
TPageStep PageStepOfKey(unsigned virtualKey, TShiftState shift, bool focusTakesKeys);

// The page a step leads to among `count` pages, wrapping around; `current`
// when there is nothing to step to (no step, fewer than two pages, or no
// current page).
int SteppedPage(int current, int count, TPageStep step);

}  // namespace quell::gui
