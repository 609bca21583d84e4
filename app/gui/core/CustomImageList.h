// What portable code knows of an image list: a component with a count of
// images of one size. The Win32 layer's TImageList holds the pictures.
#pragma once

#include "Component.h"

namespace quell::gui {

class TCustomImageList : public TComponent {
 public:
  using TComponent::TComponent;
  virtual int Count() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
};

}  // namespace quell::gui
