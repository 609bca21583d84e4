#include "RecordedProgramMenu.h"

namespace quell::wintest {

ui::TProgramMenu BuildRecordedProgramMenu(gui::TComponent* owner, gui::TImageList* images,
                                          std::vector<std::string>& executed) {
  ui::TProgramMenu menu = ui::BuildProgramMenu(owner, images);
  for (gui::TAction* a :
       {menu.acLock, menu.acCleanLock, menu.acUnlock, menu.acOptions, menu.acExit}) {
    a->OnExecute = [&executed, a](gui::TComponent*) { executed.push_back(a->Caption()); };
  }
  menu.acLock->SetShortCut(0xC04C);    // Ctrl+Alt+L
  menu.acUnlock->SetShortCut(0xC055);  // Ctrl+Alt+U
  gui::TAction* unlock = menu.acUnlock;
  unlock->OnUpdate = [unlock](gui::TComponent*) { unlock->SetEnabled(false); };
  return menu;
}

}  // namespace quell::wintest
