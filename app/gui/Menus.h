// Pop-up menus. Items are components (owned by the form) arranged in a tree
// under the menu; an item linked to an action shows the action's caption,
// image, shortcut text and enabled state, and a click executes the action.
// The menu is built afresh each time it opens, after the linked actions have
// run their update handlers. An owner-drawn menu asks its items through
// OnMeasureItem and OnDrawItem.
#pragma once

#include <oleacc.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/core/Action.h"
#include "Application.h"
#include "Graphics.h"
#include "base/Handles.h"

namespace quell::gui {

class TPopupMenu;
class TImageList;

// The item data of every item of a built menu. It begins with the record a
// screen reader's proxy looks for in an owner-drawn item (signature
// MSAA_MENU_SIG, the item's text as AccessibleMenuText gives it), then names
// the item by its command number. The menu that built it owns it.
struct TMenuItemData {
  MSAAMENUINFO accessible;
  UINT command;
  std::wstring text;
};

using TMenuMeasureItemEvent =
    std::function<void(TComponent* sender, TCanvas& canvas, int& width, int& height)>;
using TMenuDrawItemEvent =
    std::function<void(TComponent* sender, TCanvas& canvas, const RECT& rect, bool selected)>;

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;

  // The tree. An item has at most one parent; Add takes it from the old one.
  void Add(TMenuItem* item);
  void Insert(std::size_t index, TMenuItem* item);
  void Remove(TMenuItem* item);
  std::size_t Count() const { return FItems.size(); }
  TMenuItem* Items(std::size_t index) const { return FItems.at(index); }
  TMenuItem* Parent() const { return FParent; }
  TPopupMenu* Menu() const;

  TAction* Action() const { return FAction; }
  void SetAction(TAction* action);

  // Each reads the linked action's value while there is one.
  std::string Caption() const;
  void SetCaption(std::string caption) { FCaption = std::move(caption); }
  int ImageIndex() const;
  void SetImageIndex(int index) { FImageIndex = index; }
  TShortCut ShortCut() const;
  void SetShortCut(TShortCut shortCut) { FShortCut = shortCut; }
  bool Enabled() const;
  void SetEnabled(bool enabled) { FEnabled = enabled; }
  bool Checked() const;
  void SetChecked(bool checked) { FChecked = checked; }
  bool Visible() const;
  void SetVisible(bool visible) { FVisible = visible; }
  std::string Hint() const;
  void SetHint(std::string hint) { FHint = std::move(hint); }
  bool Default() const { return FDefault; }
  void SetDefault(bool isDefault) { FDefault = isDefault; }
  bool RadioItem() const { return FRadioItem; }
  void SetRadioItem(bool radio) { FRadioItem = radio; }
  // A caption of "-" makes the item a separator line.
  bool IsLine() const { return Caption() == "-"; }
  // The item's command number in the menus the layer builds.
  UINT Command() const { return FCommand; }

  // OnClick, or else the action's Execute.
  virtual void Click();
  // Runs the update handlers of the linked actions of this item and below.
  void InitiateAction();

  TNotifyEvent OnClick;
  TMenuMeasureItemEvent OnMeasureItem;
  TMenuDrawItemEvent OnDrawItem;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TPopupMenu;
  TMenuItem* FParent = nullptr;
  TPopupMenu* FMenu = nullptr;  // set on the root item only
  std::vector<TMenuItem*> FItems;
  TAction* FAction = nullptr;
  std::string FCaption;
  std::string FHint;
  int FImageIndex = -1;
  TShortCut FShortCut = 0;
  bool FEnabled = true;
  bool FChecked = false;
  bool FVisible = true;
  bool FDefault = false;
  bool FRadioItem = false;
  UINT FCommand;
};

class TPopupMenu : public TComponent {
 public:
  explicit TPopupMenu(TComponent* owner);
  ~TPopupMenu() override;

  TMenuItem* Items() const { return FItems; }
  TImageList* Images() const { return FImages; }
  void SetImages(TImageList* images);
  bool OwnerDraw() const { return FOwnerDraw; }
  void SetOwnerDraw(bool ownerDraw) { FOwnerDraw = ownerDraw; }

  // Opens at the screen point and tracks until the menu closes. The chosen
  // item's click runs afterwards from the message loop.
  void Popup(int x, int y);
  // The menu as last built (valid while it is shown and until the next build).
  HMENU Handle() const { return FHandle.get(); }
  // Builds the menu from the items now (Popup does this itself).
  void Rebuild();
  // The item data `item` was given in the menu as last built, or null.
  const TMenuItemData* ItemDataOf(const TMenuItem& item) const;

  TNotifyEvent OnPopup;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void Build(HMENU menu, const TMenuItem& parent);
  TMenuItem* FItems;
  TImageList* FImages = nullptr;
  bool FOwnerDraw = false;
  base::MenuHandle FHandle;
  std::vector<base::BitmapHandle> FBitmaps;
  std::vector<std::unique_ptr<TMenuItemData>> FItemData;  // for FHandle's items
};

// For the application window: menu commands, and measuring and drawing of
// owner-drawn items. Answers whether the message was a menu's.
bool HandleMenuMessage(TMessage& message);
// The item with this command number, or null.
TMenuItem* FindMenuItem(UINT command);
// The item whose item data (in a menu still built) this is, or null.
TMenuItem* FindMenuItemOfData(ULONG_PTR itemData);

}  // namespace quell::gui
