// A pop-up menu laid out like the program's tray menu, for tests of the
// components that show it: four actions with the program's captions, images
// and hot keys ("Unlock" disabled), each recording its caption when executed.
#pragma once

#include <string>
#include <vector>

#include "Form.h"
#include "ImageList.h"
#include "Menus.h"

namespace quell::wintest {

gui::TPopupMenu* BuildProgramLikeMenu(gui::TForm* form, gui::TImageList* images,
                                      std::vector<std::string>& executed);

}  // namespace quell::wintest
