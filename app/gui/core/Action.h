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

  TActionList* ActionList() const { return list_; }
  void SetActionList(TActionList* list);

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption) { caption_ = std::move(caption); }
  const std::string& Hint() const { return hint_; }
  void SetHint(std::string hint) { hint_ = std::move(hint); }
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int index) { imageIndex_ = index; }
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut shortCut) { shortCut_ = shortCut; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled) { enabled_ = enabled; }
  bool Checked() const { return checked_; }
  void SetChecked(bool checked) { checked_ = checked; }
  bool Visible() const { return visible_; }
  void SetVisible(bool visible) { visible_ = visible; }

  TNotifyEvent OnExecute;
  TNotifyEvent OnUpdate;

  // Runs OnUpdate; answers whether there was one.
  bool Update();
  // Runs Update, then OnExecute when Enabled; answers whether OnExecute ran.
  bool Execute();

 private:
  TActionList* list_ = nullptr;
  std::string caption_;
  std::string hint_;
  int imageIndex_ = -1;
  TShortCut shortCut_ = 0;
  bool enabled_ = true;
  bool checked_ = false;
  bool visible_ = true;
};

// The actions of a form, with the image list their image indices refer to.
class TActionList : public TComponent {
 public:
  explicit TActionList(TComponent* owner) : TComponent(owner) {}
  ~TActionList() override;

  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* images);
  std::size_t ActionCount() const { return actions_.size(); }
  TAction* Actions(std::size_t index) const { return actions_.at(index); }
  // Runs every action's OnUpdate (a menu does this before it opens).
  void UpdateActions();

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TAction;
  TCustomImageList* images_ = nullptr;
  std::vector<TAction*> actions_;
};

// The text a menu shows for a shortcut: "Shift+", "Ctrl+", "Alt+" in that
// order, then the key's name ("Ctrl+Alt+L", "F5", "Del"); "" for none.
std::string ShortCutToText(TShortCut shortCut);

}  // namespace quell::gui
