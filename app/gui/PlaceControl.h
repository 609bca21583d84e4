#pragma once

#include "WinControl.h"
#include "gui/core/Component.h"

namespace quell::gui {

// Makes a control owned by `owner` on `parent` at its place on the form,
// given in design units (96 DPI; the control scales them to the display).
// A tab order of -1 leaves the control out of the dialog's tab order.
template <class T>
T* Place(TComponent* owner, const char* name, TWinControl* parent, int left, int top, int width,
         int height, const char* caption = "", int tabOrder = -1) {
  T* control = Create<T>(owner);
  control->SetName(name);
  control->SetParent(parent);
  control->SetDesignBounds(left, top, width, height);
  control->SetCaption(caption);
  control->SetTabOrder(tabOrder);
  return control;
}

}  // namespace quell::gui
