#include "ProgramLikeMenu.h"

namespace quell::wintest {

using gui::Create;
using gui::TComponent;

gui::TPopupMenu* BuildProgramLikeMenu(gui::TForm* form, gui::TImageList* images,
                                      std::vector<std::string>& executed) {
  auto* actions = Create<gui::TActionList>(form);
  actions->SetImages(images);
  const auto action = [&](const char* name, const char* caption, int image) {
    auto* a = Create<gui::TAction>(form, actions);
    a->SetName(name);
    a->SetCaption(caption);
    a->SetImageIndex(image);
    a->OnExecute = [&executed, caption](TComponent*) { executed.push_back(caption); };
    return a;
  };
  auto* acLock = action("acLock", "Lock Computer", 2);
  acLock->SetShortCut(0xC04C);
  auto* acUnlock = action("acUnlock", "Unlock", 3);
  acUnlock->SetShortCut(0xC055);
  acUnlock->OnUpdate = [acUnlock](TComponent*) { acUnlock->SetEnabled(false); };
  auto* acOptions = action("acOptions", "Options ...", 1);
  auto* acExit = action("acExit", "Exit", 0);

  auto* menu = Create<gui::TPopupMenu>(form);
  menu->SetName("pmTrayIcon");
  menu->SetImages(images);
  const auto item = [&](gui::TAction* a, const char* caption, gui::TMenuItem* parent) {
    auto* i = Create<gui::TMenuItem>(form);
    i->SetAction(a);
    if (caption) i->SetCaption(caption);
    parent->Add(i);
    return i;
  };
  gui::TMenuItem* root = menu->Items();
  item(acLock, nullptr, root);
  item(acUnlock, nullptr, root);
  item(nullptr, "-", root);
  item(acOptions, nullptr, root);
  item(nullptr, "-", root);
  auto* help = item(nullptr, "Help", root);
  item(nullptr, "Help Topic", help);
  item(nullptr, "Home", help);
  item(nullptr, "-", root);
  item(acExit, nullptr, root);
  return menu;
}

}  // namespace quell::wintest
