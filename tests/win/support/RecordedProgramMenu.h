// The program's own tray menu, for tests of the components that show it:
// the actions record their captions when executed instead of locking, the
// hot keys are the defaults and "Unlock" is disabled, as while unlocked.
#pragma once

#include <string>
#include <vector>

#include "gui/ImageList.h"
#include "ui/ProgramMenu.h"

namespace quell::wintest {

ui::TProgramMenu BuildRecordedProgramMenu(gui::TComponent* owner, gui::TImageList* images,
                                          std::vector<std::string>& executed);

}  // namespace quell::wintest
