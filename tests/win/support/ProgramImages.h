// The program's four menu pictures in an image list, as the tests that need
// a real one build it.
#pragma once

#include <windows.h>

#include "gui/core/Component.h"
#include "gui/ImageList.h"
#include "res/resource.h"

namespace quell::gui::test {

// A new image list of `owner` holding the Exit, Options, Locked and Unlocked
// icons of the running module, at indices 0 to 3, in pictures of the size
// given (16 x 16 unless said otherwise).
inline TImageList* ProgramImages(TComponent* owner, int width = 16, int height = 16) {
  auto* images = Create<TImageList>(owner, width, height);
  for (int id : {IDI_EXIT, IDI_OPTIONS, IDI_LOCKED, IDI_UNLOCKED}) {
    images->AddIconResource(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
  }
  return images;
}

}  // namespace quell::gui::test
