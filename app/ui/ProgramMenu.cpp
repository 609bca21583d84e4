#include "ProgramMenu.h"

namespace quell::ui {

using gui::Create;

TProgramMenu BuildProgramMenu(gui::TComponent* owner, gui::TImageList* images) {
  TProgramMenu m;
  m.ActionList = Create<gui::TActionList>(owner);
  m.ActionList->SetName("ActionList");
  m.ActionList->SetImages(images);
  const auto action = [&](const char* name, const char* caption, int image) {
    gui::TAction* a = Create<gui::TAction>(owner, m.ActionList);
    a->SetName(name);
    a->SetCaption(caption);
    a->SetImageIndex(image);
    return a;
  };
  m.acOptions = action("acOptions", "Options ...", IMAGE_OPTIONS);
  m.acExit = action("acExit", "Exit", IMAGE_EXIT);
  m.acLock = action("acLock", "Lock Computer", IMAGE_LOCKED);
  m.acUnlock = action("acUnlock", "Unlock", IMAGE_UNLOCKED);
  m.acCleanLock = action("acCleanLock", "Lock for Cleaning", IMAGE_LOCKED);
  m.acCleanLock->SetHint("Lock keyboard and mouse for a while; unlocks by itself");

  m.pmTrayIcon = Create<gui::TPopupMenu>(owner);
  m.pmTrayIcon->SetName("pmTrayIcon");
  m.pmTrayIcon->SetImages(images);
  const auto item = [&](gui::TMenuItem* parent, const char* name, gui::TAction* linked,
                        const char* caption) {
    gui::TMenuItem* i = Create<gui::TMenuItem>(owner);
    i->SetName(name);
    if (linked) i->SetAction(linked);
    if (caption) i->SetCaption(caption);
    parent->Add(i);
    return i;
  };
  gui::TMenuItem* root = m.pmTrayIcon->Items();
  m.pmiLockComputer = item(root, "pmiLockComputer", m.acLock, nullptr);
  m.pmiLockForCleaning = item(root, "pmiLockForCleaning", m.acCleanLock, nullptr);
  m.pmiUnlock = item(root, "pmiUnlock", m.acUnlock, nullptr);
  m.pmiN1 = item(root, "pmiN1", nullptr, "-");
  m.pmiOptions = item(root, "pmiOptions", m.acOptions, nullptr);
  m.pmiN2 = item(root, "pmiN2", nullptr, "-");
  m.Homewebsite1 = item(root, "Homewebsite1", nullptr, "Help");
  m.HelpTopic1 = item(m.Homewebsite1, "HelpTopic1", nullptr, "Help Topic");
  m.Home1 = item(m.Homewebsite1, "Home1", nullptr, "Home");
  m.N1 = item(root, "N1", nullptr, "-");
  m.pmiExit = item(root, "pmiExit", m.acExit, nullptr);
  return m;
}

}  // namespace quell::ui
