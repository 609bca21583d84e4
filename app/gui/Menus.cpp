#include "Menus.h"

#include <algorithm>
#include <cstddef>
#include <stdexcept>
#include <type_traits>
#include <unordered_map>
#include <unordered_set>

#include "base/WideText.h"
#include "core/MenuText.h"
#include "ImageList.h"

namespace quell::gui {

namespace {

std::unordered_map<UINT, TMenuItem*>& Commands() {
  static std::unordered_map<UINT, TMenuItem*> commands;
  return commands;
}

// A proxy reads the record at the item data's address, in this process's
// layout (12 bytes on i686, 16 on x86_64): it has to come first.
static_assert(std::is_standard_layout_v<TMenuItemData>);
static_assert(offsetof(TMenuItemData, accessible) == 0);

// The item data of the menus built and not yet rebuilt or gone, so that a
// request naming anything else is left alone.
std::unordered_set<ULONG_PTR>& LiveItemData() {
  static std::unordered_set<ULONG_PTR> live;
  return live;
}

UINT AllocateCommand(TMenuItem* item) {
  // WM_COMMAND carries 16 bits; numbers are reused once their item is gone.
  static UINT next = 0;
  for (int tries = 0; tries < 0xFFFF; ++tries) {
    next = next % 0xFFFFu + 1;
    if (Commands().emplace(next, item).second) return next;
  }
  throw std::runtime_error("no free menu command numbers");
}

base::FontHandle MenuFont() {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  return base::FontHandle(CreateFontIndirectA(&metrics.lfMenuFont));
}

std::string MenuText(const TMenuItem& item) {
  std::string text = item.Caption();
  const std::string shortCut = ShortCutToText(item.ShortCut());
  if (!shortCut.empty()) text += "\t" + shortCut;
  return text;
}

constexpr int kImageColumn = 24;

void DefaultMeasure(const TMenuItem& item, TCanvas& canvas, int& width, int& height) {
  if (item.IsLine()) {
    height = 8;
    width = 0;
    return;
  }
  std::string text = item.Caption();
  const std::string shortCut = ShortCutToText(item.ShortCut());
  if (!shortCut.empty()) text += shortCut + "WWW";
  width = kImageColumn + canvas.TextWidth(text) + 8;
  height = std::max(canvas.TextHeight(text) + 6, 20);
}

void DefaultDraw(const TMenuItem& item, TCanvas& canvas, const RECT& rect, bool selected) {
  const bool enabled = item.Enabled();
  canvas.FillRect(rect, clSystemColor | (selected && enabled ? COLOR_HIGHLIGHT : COLOR_MENU));
  if (item.IsLine()) {
    RECT line{rect.left + kImageColumn, (rect.top + rect.bottom) / 2, rect.right - 2,
              (rect.top + rect.bottom) / 2 + 1};
    canvas.FillRect(line, clSystemColor | COLOR_GRAYTEXT);
    return;
  }
  if (const TPopupMenu* menu = item.Menu(); menu && menu->Images()) {
    const TImageList& images = *menu->Images();
    images.Draw(canvas.Handle(), rect.left + (kImageColumn - images.Width()) / 2,
                (rect.top + rect.bottom - images.Height()) / 2, item.ImageIndex(), enabled);
  }
  const TColor text = clSystemColor | (!enabled   ? COLOR_GRAYTEXT
                                       : selected ? COLOR_HIGHLIGHTTEXT
                                                  : COLOR_MENUTEXT);
  RECT r{rect.left + kImageColumn + 4, rect.top, rect.right - 10, rect.bottom};
  canvas.DrawText(item.Caption(), r, DT_SINGLELINE | DT_VCENTER | DT_LEFT, text);
  const std::string shortCut = ShortCutToText(item.ShortCut());
  if (!shortCut.empty()) canvas.DrawText(shortCut, r, DT_SINGLELINE | DT_VCENTER | DT_RIGHT, text);
}

}  // namespace

TMenuItem* FindMenuItem(UINT command) {
  const auto found = Commands().find(command);
  return found == Commands().end() ? nullptr : found->second;
}

TMenuItem* FindMenuItemOfData(ULONG_PTR itemData) {
  if (!LiveItemData().contains(itemData)) return nullptr;
  return FindMenuItem(reinterpret_cast<const TMenuItemData*>(itemData)->command);
}

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), FCommand(AllocateCommand(this)) {}

TMenuItem::~TMenuItem() {
  // The sub-items go with their parent.
  while (!FItems.empty()) {
    TMenuItem* child = FItems.back();
    FItems.pop_back();
    child->FParent = nullptr;
    TComponent::Free(child);
  }
  if (FParent) FParent->Remove(this);
  SetAction(nullptr);
  Commands().erase(FCommand);
}

void TMenuItem::Add(TMenuItem* item) { Insert(FItems.size(), item); }

void TMenuItem::Insert(std::size_t index, TMenuItem* item) {
  if (!item || item == this) return;
  if (item->FParent) item->FParent->Remove(item);
  item->FParent = this;
  FItems.insert(FItems.begin() + static_cast<std::ptrdiff_t>(std::min(index, FItems.size())), item);
}

void TMenuItem::Remove(TMenuItem* item) {
  const auto it = std::find(FItems.begin(), FItems.end(), item);
  if (it == FItems.end()) return;
  FItems.erase(it);
  item->FParent = nullptr;
}

TPopupMenu* TMenuItem::Menu() const {
  const TMenuItem* root = this;
  while (root->FParent) root = root->FParent;
  return root->FMenu;
}

void TMenuItem::SetAction(TAction* action) {
  if (action == FAction) return;
  if (FAction) FAction->RemoveFreeNotification(this);
  FAction = action;
  if (FAction) FAction->FreeNotification(this);
}

std::string TMenuItem::Caption() const { return FAction ? FAction->Caption() : FCaption; }
int TMenuItem::ImageIndex() const { return FAction ? FAction->ImageIndex() : FImageIndex; }
TShortCut TMenuItem::ShortCut() const { return FAction ? FAction->ShortCut() : FShortCut; }
bool TMenuItem::Enabled() const { return FAction ? FAction->Enabled() : FEnabled; }
bool TMenuItem::Checked() const { return FAction ? FAction->Checked() : FChecked; }
bool TMenuItem::Visible() const { return FAction ? FAction->Visible() : FVisible; }
std::string TMenuItem::Hint() const { return FAction ? FAction->Hint() : FHint; }

void TMenuItem::Click() {
  if (OnClick) {
    OnClick(this);
  } else if (FAction) {
    FAction->Execute();
  }
}

void TMenuItem::InitiateAction() {
  if (FAction) FAction->Update();
  const std::vector<TMenuItem*> items = FItems;
  for (TMenuItem* item : items) item->InitiateAction();
}

void TMenuItem::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::Remove && component == FAction) FAction = nullptr;
}

TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner), FItems(Create<TMenuItem>(this)) {
  FItems->FMenu = this;
}

TPopupMenu::~TPopupMenu() {
  // The root item (and the tree below it) is owned by the menu.
  DestroyComponents();
  // The menu goes before the item data it points to.
  FHandle.reset();
  for (const auto& data : FItemData) LiveItemData().erase(reinterpret_cast<ULONG_PTR>(data.get()));
}

void TPopupMenu::SetImages(TImageList* images) {
  if (images == FImages) return;
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = images;
  if (FImages) FImages->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != TOperation::Remove) return;
  if (component == FImages) FImages = nullptr;
  if (component == FItems) FItems = nullptr;
}

void TPopupMenu::Rebuild() {
  FBitmaps.clear();
  FHandle.reset(CreatePopupMenu());
  for (const auto& data : FItemData) LiveItemData().erase(reinterpret_cast<ULONG_PTR>(data.get()));
  FItemData.clear();
  if (FItems) Build(FHandle.get(), *FItems);
}

const TMenuItemData* TPopupMenu::ItemDataOf(const TMenuItem& item) const {
  for (const auto& data : FItemData) {
    if (data->command == item.Command()) return data.get();
  }
  return nullptr;
}

void TPopupMenu::Build(HMENU menu, const TMenuItem& parent) {
  UINT position = 0;
  for (TMenuItem* item : parent.FItems) {
    if (!item->Visible()) continue;
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE | MIIM_DATA;
    // A line is never selected nor chosen, and the arrow keys pass over it:
    // it has no command, and an owner-drawn one is still a separator.
    info.wID = item->IsLine() ? 0 : item->Command();
    auto& data = *FItemData.emplace_back(std::make_unique<TMenuItemData>());
    data.text =
        base::WideFromUtf8(AccessibleMenuText(item->Caption(), ShortCutToText(item->ShortCut())));
    data.accessible = {static_cast<DWORD>(MSAA_MENU_SIG), static_cast<DWORD>(data.text.size()),
                       data.text.data()};
    data.command = item->Command();
    info.dwItemData = reinterpret_cast<ULONG_PTR>(&data);
    LiveItemData().insert(info.dwItemData);
    std::string text = MenuText(*item);
    if (FOwnerDraw) {
      info.fType = MFT_OWNERDRAW | (item->IsLine() ? MFT_SEPARATOR : 0u);
    } else if (item->IsLine()) {
      info.fType = MFT_SEPARATOR;
    } else {
      info.fType = MFT_STRING;
      info.fMask |= MIIM_STRING;
      info.dwTypeData = text.data();
      if (FImages && item->ImageIndex() >= 0 && item->ImageIndex() < FImages->Count()) {
        TBitmap picture;
        picture.SetSize(FImages->Width(), FImages->Height(), GetSysColor(COLOR_MENU));
        {
          BitmapCanvas canvas(picture);
          FImages->Draw(canvas.Handle(), 0, 0, item->ImageIndex(), item->Enabled());
        }
        info.fMask |= MIIM_BITMAP;
        info.hbmpItem = picture.Handle();
        FBitmaps.emplace_back(picture.ReleaseHandle());
      }
    }
    if (item->RadioItem()) info.fType |= MFT_RADIOCHECK;
    info.fState = (item->Enabled() ? 0u : static_cast<UINT>(MFS_DISABLED)) |
                  (item->Checked() ? static_cast<UINT>(MFS_CHECKED) : 0u) |
                  (item->Default() ? static_cast<UINT>(MFS_DEFAULT) : 0u);
    if (item->Count() > 0) {
      HMENU sub = CreatePopupMenu();
      Build(sub, *item);
      info.fMask |= MIIM_SUBMENU;
      info.hSubMenu = sub;  // destroyed with the menu it belongs to
    }
    InsertMenuItemA(menu, position++, TRUE, &info);
  }
}

void TPopupMenu::Popup(int x, int y) {
  TApplication* app = Application();
  if (!app) throw std::logic_error("a menu needs an application object");
  if (OnPopup) OnPopup(this);
  if (FItems) FItems->InitiateAction();
  Rebuild();
  const UINT command = static_cast<UINT>(TrackPopupMenuEx(
      FHandle.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, x, y,
      app->Handle(), nullptr));
  if (command) PostMessageA(app->Handle(), CM_MENUCOMMAND, command, 0);
}

bool HandleMenuMessage(TMessage& m) {
  TApplication* app = Application();
  switch (m.Msg) {
    case CM_MENUCOMMAND: {
      if (TMenuItem* item = FindMenuItem(static_cast<UINT>(m.WParam))) {
        if (app) app->Guard(item, [&] { item->Click(); });
      }
      return true;
    }
    case WM_MEASUREITEM: {
      auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
      if (measure->CtlType != ODT_MENU) return false;
      TMenuItem* item = FindMenuItemOfData(measure->itemData);
      if (!item) return false;
      base::WindowDc screen(nullptr);
      base::FontHandle font = MenuFont();
      TCanvas canvas(screen.get());
      canvas.SetFont(font.get());
      // A handler sizes its item from nothing (a handler that only ever raises
      // the proposal, as the menu painter's does, must be able to go below the
      // layer's own sizes); without one the layer's own measure applies.
      int width = 0, height = 0;
      if (item->OnMeasureItem) {
        if (app) app->Guard(item, [&] { item->OnMeasureItem(item, canvas, width, height); });
      } else {
        DefaultMeasure(*item, canvas, width, height);
      }
      measure->itemWidth = static_cast<UINT>(std::max(width, 0));
      measure->itemHeight = static_cast<UINT>(std::max(height, 0));
      m.Result = TRUE;
      return true;
    }
    case WM_DRAWITEM: {
      auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
      if (draw->CtlType != ODT_MENU) return false;
      TMenuItem* item = FindMenuItemOfData(draw->itemData);
      if (!item) return false;
      base::FontHandle font = MenuFont();
      const int savedDc = SaveDC(draw->hDC);
      {
        TCanvas canvas(draw->hDC);
        canvas.SetFont(font.get());
        const bool selected = (draw->itemState & ODS_SELECTED) != 0;
        if (app) {
          app->Guard(item, [&] {
            if (item->OnDrawItem) {
              item->OnDrawItem(item, canvas, draw->rcItem, selected);
            } else {
              DefaultDraw(*item, canvas, draw->rcItem, selected);
            }
          });
        }
      }
      RestoreDC(draw->hDC, savedDc);
      m.Result = TRUE;
      return true;
    }
    default: return false;
  }
}

}  // namespace quell::gui
