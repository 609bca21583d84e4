#include "Arrange.h"

namespace quell::gui {

bool SeparateGrownControls(std::vector<ArrangedControl>& controls) {
  // From left to right: each control is placed after every control to its
  // left that it meets, where one of the two grew.
  // A form's row has a handful of controls: an insertion sort, stable and small.
  std::vector<std::size_t> order;
  order.reserve(controls.size());
  for (std::size_t i = 0; i < controls.size(); ++i) {
    auto at = order.end();
    while (at != order.begin() && controls[*(at - 1)].rect.left > controls[i].rect.left) --at;
    order.insert(at, i);
  }
  // A control that was pushed pushes on like one that grew.
  std::vector<bool> pushing(controls.size());
  for (std::size_t i = 0; i < controls.size(); ++i) pushing[i] = controls[i].grown;
  bool moved = false;
  for (std::size_t i = 1; i < order.size(); ++i) {
    ArrangedControl& current = controls[order[i]];
    for (bool again = true; again;) {
      again = false;
      for (std::size_t j = 0; j < i; ++j) {
        const ArrangedControl& left = controls[order[j]];
        if (!(pushing[order[j]] || pushing[order[i]]) || !Intersects(left.rect, current.rect))
          continue;
        // Only what lies to the right is pushed: a control that starts at the
        // same place as another was designed to share it.
        if (left.rect.left >= current.rect.left) continue;
        const int by = left.rect.right - current.rect.left;
        current.rect.left += by;
        current.rect.right += by;
        pushing[order[i]] = true;
        moved = again = true;
      }
    }
  }
  return moved;
}

}  // namespace quell::gui
