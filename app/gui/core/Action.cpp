#include "Action.h"

#include <algorithm>
#include <array>

namespace quell::gui {

TAction::TAction(TComponent* owner, TActionList* list) : TComponent(owner) { SetActionList(list); }

TAction::~TAction() { SetActionList(nullptr); }

void TAction::SetActionList(TActionList* list) {
  if (list == FList) return;
  if (FList) {
    auto& actions = FList->FActions;
    actions.erase(std::remove(actions.begin(), actions.end(), this), actions.end());
  }
  FList = list;
  if (FList) FList->FActions.push_back(this);
}

bool TAction::Update() {
  if (!OnUpdate) return false;
  OnUpdate(this);
  return true;
}

bool TAction::Execute() {
  Update();
  if (!FEnabled || !OnExecute) return false;
  OnExecute(this);
  return true;
}

TActionList::~TActionList() {
  // Actions owned elsewhere outlive the list; they just leave it.
  while (!FActions.empty()) FActions.back()->SetActionList(nullptr);
}

void TActionList::SetImages(TCustomImageList* images) {
  if (FImages == images) return;
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = images;
  if (FImages) FImages->FreeNotification(this);
}

void TActionList::UpdateActions() {
  const std::vector<TAction*> actions = FActions;
  for (TAction* a : actions) a->Update();
}

void TActionList::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::Remove && FImages == component) {
    FImages = nullptr;
  }
}

namespace {

std::string KeyName(unsigned vk) {
  if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z'))
    return std::string(1, static_cast<char>(vk));
  if (vk >= 0x70 && vk <= 0x87) return "F" + std::to_string(vk - 0x70 + 1);
  if (vk >= 0x60 && vk <= 0x69) return "Num " + std::to_string(vk - 0x60);
  switch (vk) {
    case 0x08: return "BkSp";
    case 0x09: return "Tab";
    case 0x0D: return "Enter";
    case 0x13: return "Pause";
    case 0x1B: return "Esc";
    case 0x20: return "Space";
    case 0x21: return "PgUp";
    case 0x22: return "PgDn";
    case 0x23: return "End";
    case 0x24: return "Home";
    case 0x25: return "Left";
    case 0x26: return "Up";
    case 0x27: return "Right";
    case 0x28: return "Down";
    case 0x2C: return "PrtSc";
    case 0x2D: return "Ins";
    case 0x2E: return "Del";
    case 0x6A: return "Num *";
    case 0x6B: return "Num +";
    case 0x6D: return "Num -";
    case 0x6E: return "Num .";
    case 0x6F: return "Num /";
    default: break;
  }
  // The punctuation keys of a US layout.
  static constexpr std::array<std::pair<unsigned, char>, 11> kPunctuation{{{0xBA, ';'},
                                                                           {0xBB, '='},
                                                                           {0xBC, ','},
                                                                           {0xBD, '-'},
                                                                           {0xBE, '.'},
                                                                           {0xBF, '/'},
                                                                           {0xC0, '`'},
                                                                           {0xDB, '['},
                                                                           {0xDC, '\\'},
                                                                           {0xDD, ']'},
                                                                           {0xDE, '\''}}};
  for (const auto& [code, c] : kPunctuation) {
    if (code == vk) return std::string(1, c);
  }
  return {};
}

}  // namespace

std::string ShortCutToText(TShortCut shortCut) {
  const std::string key = KeyName(shortCut & 0xFFu);
  if (key.empty()) return {};
  std::string text;
  if (shortCut & scShift) text += "Shift+";
  if (shortCut & scCtrl) text += "Ctrl+";
  if (shortCut & scAlt) text += "Alt+";
  return text + key;
}

}  // namespace quell::gui
