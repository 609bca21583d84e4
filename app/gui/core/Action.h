// A user command: caption, image, shortcut and enabled state shared by every
// menu item or button linked to it. Execute runs OnUpdate first (which sets
// Enabled) and then OnExecute only when the action is enabled; internal
// callers that must bypass that test call the execute handler themselves.
#pragma once

#include <string>

#include "Component.h"
#include "CustomImageList.h"
#include "Events.h"

namespace quell::gui {

class TActionList;

class TAction : public TComponent {
 public:
  explicit TAction(TComponent* owner, TActionList* list = nullptr);
  ~TAction() override;

  TActionList* ActionList() const { return FList; }
  void SetActionList(TActionList* list);

  const std::string& Caption() const { return FCaption; }
  void SetCaption(std::string caption) { FCaption = std::move(caption); }
  const std::string& Hint() const { return FHint; }
  void SetHint(std::string hint) { FHint = std::move(hint); }
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int index) { FImageIndex = index; }
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut shortCut) { FShortCut = shortCut; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool enabled) { FEnabled = enabled; }
  bool Checked() const { return FChecked; }
  void SetChecked(bool checked) { FChecked = checked; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool visible) { FVisible = visible; }

  TNotifyEvent OnExecute;
  TNotifyEvent OnUpdate;

  // Runs OnUpdate; answers whether there was one.
  bool Update();
  // Runs Update, then OnExecute when Enabled; answers whether OnExecute ran.
  bool Execute();

 private:
  TActionList* FList = nullptr;
  std::string FCaption;
  std::string FHint;
  int FImageIndex = -1;
  TShortCut FShortCut = 0;
  bool FEnabled = true;
  bool FChecked = false;
  bool FVisible = true;
};

// The actions of a form, with the image list their image indices refer to.
class TActionList : public TComponent {
 public:
  explicit TActionList(TComponent* owner) : TComponent(owner) {}
  ~TActionList() override;

  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* images);
  std::size_t ActionCount() const { return FActions.size(); }
  TAction* Actions(std::size_t index) const { return FActions.at(index); }
  // Runs every action's OnUpdate (a menu does this before it opens).
  void UpdateActions();

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TAction;
  TCustomImageList* FImages = nullptr;
  std::vector<TAction*> FActions;
};

// The text a menu shows for a shortcut: "Shift+", "Ctrl+", "Alt+" in that
// order, then the key's name ("Ctrl+Alt+L", "F5", "Del"); "" for none.
std::string ShortCutToText(TShortCut shortCut);

}  // namespace quell::gui
