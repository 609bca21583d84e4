#include "PageKeys.h"

#include "HookDll/VirtualKeys.h"

namespace quell::gui {

TPageStep PageStepOfKey(unsigned virtualKey, TShiftState shift, bool focusTakesKeys) {
  if ((shift & ssCtrl) == 0 || (shift & ssAlt) != 0) return TPageStep::None;
  const bool shifted = (shift & ssShift) != 0;
  switch (virtualKey) {
    case hook::kVkTab: return shifted ? TPageStep::Previous : TPageStep::Next;
    case hook::kVkNext: return shifted || focusTakesKeys ? TPageStep::None : TPageStep::Next;
    case hook::kVkPrior: return shifted || focusTakesKeys ? TPageStep::None : TPageStep::Previous;
    default: return TPageStep::None;
  }
}

int SteppedPage(int current, int count, TPageStep step) {
  if (step == TPageStep::None || count < 2 || current < 0 || current >= count) return current;
  return step == TPageStep::Next ? (current + 1) % count : (current + count - 1) % count;
}

}  // namespace quell::gui
