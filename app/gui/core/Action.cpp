#include "Action.h"

#include <algorithm>
#include <array>

#include "HookDll/VirtualKeys.h"

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
  using namespace quell::hook;
  if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z'))
    return std::string(1, static_cast<char>(vk));
  if (vk >= kVkF1 && vk <= kVkF24) return "F" + std::to_string(vk - kVkF1 + 1);
  if (vk >= kVkNumpad0 && vk <= kVkNumpad9) return "Num " + std::to_string(vk - kVkNumpad0);
  static constexpr std::array<std::pair<std::uint32_t, const char*>, 33> kNames{{
      {kVkBack, "BkSp"},
      {kVkTab, "Tab"},
      {kVkReturn, "Enter"},
      {kVkPause, "Pause"},
      {kVkEscape, "Esc"},
      {kVkSpace, "Space"},
      {kVkPrior, "PgUp"},
      {kVkNext, "PgDn"},
      {kVkEnd, "End"},
      {kVkHome, "Home"},
      {kVkLeft, "Left"},
      {kVkUp, "Up"},
      {kVkRight, "Right"},
      {kVkDown, "Down"},
      {kVkSnapshot, "PrtSc"},
      {kVkInsert, "Ins"},
      {kVkDelete, "Del"},
      {kVkMultiply, "Num *"},
      {kVkAdd, "Num +"},
      {kVkSubtract, "Num -"},
      {kVkDecimal, "Num ."},
      {kVkDivide, "Num /"},
      // The punctuation keys of a US layout.
      {kVkOem1, ";"},
      {kVkOemPlus, "="},
      {kVkOemComma, ","},
      {kVkOemMinus, "-"},
      {kVkOemPeriod, "."},
      {kVkOem2, "/"},
      {kVkOem3, "`"},
      {kVkOem4, "["},
      {kVkOem5, "\\"},
      {kVkOem6, "]"},
      {kVkOem7, "'"},
  }};
  for (const auto& [code, name] : kNames) {
    if (code == vk) return name;
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
