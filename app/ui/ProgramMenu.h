// The program's actions and its tray menu, as the main form has them: made
// by one function, so that the tests of the tray icon and the painter show
// the very menu the program shows. The handlers are the caller's to set.
#pragma once

#include "gui/core/Action.h"
#include "gui/ImageList.h"
#include "gui/Menus.h"

namespace quell::ui {

// The images of `images`, in the order the program loads them.
enum TProgramImage { IMAGE_EXIT = 0, IMAGE_OPTIONS = 1, IMAGE_LOCKED = 2, IMAGE_UNLOCKED = 3 };

struct TProgramMenu {
  gui::TActionList* ActionList = nullptr;
  gui::TAction* acOptions = nullptr;
  gui::TAction* acExit = nullptr;
  gui::TAction* acLock = nullptr;
  gui::TAction* acUnlock = nullptr;
  gui::TAction* acCleanLock = nullptr;
  gui::TPopupMenu* pmTrayIcon = nullptr;
  gui::TMenuItem* pmiLockComputer = nullptr;
  gui::TMenuItem* pmiLockForCleaning = nullptr;
  gui::TMenuItem* pmiUnlock = nullptr;
  gui::TMenuItem* pmiN1 = nullptr;
  gui::TMenuItem* pmiOptions = nullptr;
  gui::TMenuItem* pmiN2 = nullptr;
  gui::TMenuItem* Homewebsite1 = nullptr;  // the Help submenu
  gui::TMenuItem* HelpTopic1 = nullptr;
  gui::TMenuItem* Home1 = nullptr;
  gui::TMenuItem* N1 = nullptr;
  gui::TMenuItem* pmiExit = nullptr;
};

// Every component is owned by `owner`; the actions take their images from
// `images`.
TProgramMenu BuildProgramMenu(gui::TComponent* owner, gui::TImageList* images);

}  // namespace quell::ui
