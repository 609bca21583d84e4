#include "MenuPainter.h"

#include <algorithm>

#include "gui/Application.h"
#include "gui/Form.h"
#include "gui/ImageList.h"

namespace quell::ui {

namespace {

TMenuPainterManager* theManager = nullptr;

// The handlers a painter installs; their type tells them from anyone else's.
struct PainterMeasure {
  TMenuPainter* painter;
  void operator()(gui::TComponent* sender, gui::TCanvas& canvas, int& width, int& height) const {
    painter->MeasureMenuItem(sender, canvas, width, height);
  }
};
struct PainterDraw {
  TMenuPainter* painter;
  void operator()(gui::TComponent* sender, gui::TCanvas& canvas, const RECT& rect,
                  bool selected) const {
    painter->DrawMenuItem(sender, canvas, rect, selected);
  }
};

bool Has(std::uint32_t set, int member) { return (set & (1u << member)) != 0; }

template <class T>
bool Contains(const std::vector<T*>& list, const void* item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

template <class T>
void Erase(std::vector<T*>& list, const void* item) {
  list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

// Asks the application window for a message soon: queued work runs then.
void WakeApplication() {
  if (gui::TApplication* app = gui::Application()) PostMessageA(app->Handle(), WM_NULL, 0, 0);
}

bool OwnsPainter(const gui::TComponent& form) {
  for (std::size_t i = 0; i < form.ComponentCount(); ++i) {
    if (dynamic_cast<TMenuPainter*>(form.Components(i))) return true;
  }
  return false;
}

}  // namespace

TMenuPainterManager* MenuPainterManager() { return theManager; }

// ---- TMenuPainter -----------------------------------------------------------

TMenuPainter::TMenuPainter(gui::TComponent* owner) : TComponent(owner), FForm(owner) {
  FRenderer.Options().dimLevel = 30;
  FRenderer.Options().grayLevel = 10;
  if (FForm) FForm->FreeNotification(this);
  if (!theManager) {
    auto* manager = new TMenuPainterManager();
    manager->AfterConstruction();
  }
}

TMenuPainter::~TMenuPainter() {
  if (FForm) StyleComponents(FForm, false);
  if (TMenuPainterManager* manager = theManager) {
    manager->UnregisterPainter(this);
    if (manager->Painters().empty()) gui::TComponent::Free(manager);
  }
  if (auto* window = dynamic_cast<gui::TWinControl*>(FForm); window && window->HandleAllocated()) {
    InvalidateRect(window->Handle(), nullptr, TRUE);
  }
}

void TMenuPainter::BindToForm(gui::TComponent* form) {
  if (form == FForm) return;
  const bool wasActive = FActive;
  SetActive(false);
  if (FForm) FForm->RemoveFreeNotification(this);
  FForm = form;
  if (FForm) FForm->FreeNotification(this);
  if (wasActive) SetActive(true);
}

void TMenuPainter::SetActive(bool active) {
  if (active == FActive) return;
  FActive = active;
  if (FForm) StyleComponents(FForm, active);
  RedrawMenuBar();
}

void TMenuPainter::SetFont(HFONT font, TColor color) {
  FRenderer.SetFont(font, color);
  RedrawMenuBar();
}

void TMenuPainter::SetMenuBarColor(TColor c) {
  FRenderer.SetColor(&PainterColors::MenuBarColor, c);
  RedrawMenuBar();
}

void TMenuPainter::SetUseSystemColors(bool on) {
  FRenderer.SetUseSystemColors(on);
  RedrawMenuBar();
}

void TMenuPainter::SetStyledContainers(TStyledContainers set) {
  if (set == FStyledContainers) return;
  if (!FActive || !FForm) {
    FStyledContainers = set;
    return;
  }
  StyleComponents(FForm, false);
  FStyledContainers = set;
  StyleComponents(FForm, true);
}

void TMenuPainter::SetStyledControls(TStyledControls set) {
  if (set == FStyledControls) return;
  if (!FActive || !FForm) {
    FStyledControls = set;
    return;
  }
  StyleComponents(FForm, false);
  FStyledControls = set;
  StyleComponents(FForm, true);
}

void TMenuPainter::RedrawMenuBar() {
  if (auto* window = dynamic_cast<gui::TWinControl*>(FForm); window && window->HandleAllocated()) {
    ::DrawMenuBar(window->Handle());
  }
}

void TMenuPainter::StyleComponents(gui::TComponent* container, bool enable) {
  if (!container) return;
  // A copy: styling never creates components, but a handler might.
  std::vector<gui::TComponent*> owned;
  for (std::size_t i = 0; i < container->ComponentCount(); ++i)
    owned.push_back(container->Components(i));
  for (gui::TComponent* component : owned) StyleComponent(component, enable);
}

void TMenuPainter::StyleComponent(gui::TComponent* component, bool enable) {
  if (!component || component == this || component->Tag() == kKeepOwnDrawingTag) return;
  if (auto* item = dynamic_cast<gui::TMenuItem*>(component)) {
    const gui::TPopupMenu* menu = item->Menu();
    if (Has(FStyledControls, xcMainMenu) && !(menu && menu->Tag() == kKeepOwnDrawingTag)) {
      HookItem(item, enable);
    }
  } else if (auto* menu = dynamic_cast<gui::TPopupMenu*>(component)) {
    if (Has(FStyledControls, xcPopupMenu)) HookMenu(menu, enable);
  } else if (dynamic_cast<gui::TForm*>(component) && !OwnsPainter(*component)) {
    // A form owned by the container is walked into, unless it has a painter of its own.
    StyleComponents(component, enable);
  }
}

void TMenuPainter::HookMenu(gui::TPopupMenu* menu, bool enable) {
  gui::TMenuItem* root = menu->Items();
  if (!root || root->Count() == 0) return;  // a menu without items keeps its flag
  menu->SetOwnerDraw(enable);
  // Every item at every depth below the top-level ones.
  std::vector<gui::TMenuItem*> pending;
  for (std::size_t i = 0; i < root->Count(); ++i) pending.push_back(root->Items(i));
  while (!pending.empty()) {
    gui::TMenuItem* item = pending.back();
    pending.pop_back();
    HookItem(item, enable);
    for (std::size_t i = 0; i < item->Count(); ++i) pending.push_back(item->Items(i));
  }
}

void TMenuPainter::HookItem(gui::TMenuItem* item, bool enable) {
  if (item->Tag() == kKeepOwnDrawingTag) return;
  if (enable) {
    if (!item->OnDrawItem || FOverrideOwnerDraw) item->OnDrawItem = PainterDraw{this};
    if (!item->OnMeasureItem || FOverrideOwnerDraw) item->OnMeasureItem = PainterMeasure{this};
    return;
  }
  // Only the painter's own handlers are taken away.
  if (const auto* draw = item->OnDrawItem.target<PainterDraw>(); draw && draw->painter == this) {
    item->OnDrawItem = nullptr;
  }
  if (const auto* measure = item->OnMeasureItem.target<PainterMeasure>();
      measure && measure->painter == this) {
    item->OnMeasureItem = nullptr;
  }
}

bool TMenuPainter::DrawsItem(const gui::TMenuItem& item) const {
  const auto* draw = item.OnDrawItem.target<PainterDraw>();
  const auto* measure = item.OnMeasureItem.target<PainterMeasure>();
  return draw && draw->painter == this && measure && measure->painter == this;
}

MenuItemInfo TMenuPainter::DescribeItem(const gui::TMenuItem& item) {
  MenuItemInfo info;
  info.caption = item.Caption();
  info.shortcutText = gui::ShortCutToText(item.ShortCut());
  info.enabled = item.Enabled();
  info.checked = item.Checked();
  info.radioItem = item.RadioItem();
  info.isDefault = item.Default();
  info.hasSubItems = item.Count() > 0;
  info.imageIndex = item.ImageIndex();
  return info;
}

namespace {
HIMAGELIST ImagesOf(const gui::TMenuItem& item) {
  const gui::TPopupMenu* menu = item.Menu();
  return menu && menu->Images() ? menu->Images()->Handle() : nullptr;
}
}  // namespace

void TMenuPainter::MeasureMenuItem(gui::TComponent* sender, gui::TCanvas& canvas, int& width,
                                   int& height) {
  if (!FActive) return;
  const auto* item = dynamic_cast<const gui::TMenuItem*>(sender);
  if (!item) return;
  FRenderer.Measure(canvas.Handle(), DescribeItem(*item), ImagesOf(*item), width, height);
}

void TMenuPainter::DrawMenuItem(gui::TComponent* sender, gui::TCanvas& canvas, const RECT& rect,
                                bool selected) {
  if (!FActive) return;
  try {
    const auto* item = dynamic_cast<const gui::TMenuItem*>(sender);
    if (!item) return;
    FRenderer.Draw(canvas.Handle(), rect, DescribeItem(*item), selected ? ODS_SELECTED : 0,
                   ImagesOf(*item));
  } catch (...) {
    // The item stays as far as it got.
  }
}

void TMenuPainter::StylePendingComponents() {
  std::vector<gui::TComponent*> pending;
  pending.swap(FPending);
  for (gui::TComponent* component : pending) {
    component->RemoveFreeNotification(this);
    if (FActive && FAutoDetect) StyleComponent(component, true);
  }
}

void TMenuPainter::Notification(gui::TComponent* component, gui::TOperation operation) {
  gui::TComponent::Notification(component, operation);
  if (operation == gui::TOperation::Remove) {
    Erase(FPending, component);
    if (component == FForm) {
      FForm = nullptr;
      FActive = false;
    }
  } else if (FActive && FAutoDetect && component != this && component->Owner() == FForm) {
    // It is still being made; it is styled once it is complete.
    FPending.push_back(component);
    component->FreeNotification(this);
    WakeApplication();
  }
  if (theManager) theManager->PainterNotice(component, operation);
}

// ---- TMenuPainterManager ------------------------------------------------------

TMenuPainterManager::TMenuPainterManager() : TComponent(gui::Application()) {
  theManager = this;
  if (gui::TApplication* app = gui::Application()) {
    FHookId = app->HookMainWindow([this](gui::TMessage&) {
      StyleQueuedForms();
      return false;
    });
  }
}

TMenuPainterManager::~TMenuPainterManager() {
  if (gui::TApplication* app = gui::Application(); app && FHookId) app->UnhookMainWindow(FHookId);
  if (theManager == this) theManager = nullptr;
}

void TMenuPainterManager::RegisterPainter(TMenuPainter* painter) {
  if (!painter || Contains(FPainters, painter)) return;
  FPainters.push_back(painter);
  if (gui::TComponent* form = painter->Form(); form && !Contains(FStyled, form)) {
    FStyled.push_back(form);
    form->FreeNotification(this);
  }
  if (!FCurrent && painter->Active() && !painter->DisableSubclassing()) {
    FCurrent = painter;
    QueueScreenForms();
  }
}

void TMenuPainterManager::UnregisterPainter(TMenuPainter* painter) {
  if (!Contains(FPainters, painter)) return;
  if (painter == FCurrent) {
    TMenuPainter* successor = nullptr;
    for (TMenuPainter* p : FPainters) {
      if (p != painter && p->Active() && !p->DisableSubclassing()) {
        successor = p;
        break;
      }
    }
    const std::vector<gui::TComponent*> styled = FStyled;
    for (gui::TComponent* form : styled) {
      if (form == painter->Form()) continue;
      // The leaving painter's handlers must not outlive it on other forms.
      painter->StyleComponents(form, false);
      if (successor && form != successor->Form()) successor->StyleComponents(form, true);
    }
    FCurrent = successor;
    if (!successor) {
      FStyled.clear();
      FQueued.clear();
    }
  }
  Erase(FPainters, painter);
}

void TMenuPainterManager::QueueScreenForms() {
  gui::TApplication* app = gui::Application();
  if (!app) return;
  for (std::size_t i = 0; i < app->ComponentCount(); ++i) {
    gui::TComponent* c = app->Components(i);
    if (dynamic_cast<gui::TForm*>(c) && !Contains(FStyled, c) && c->Tag() != kKeepOwnDrawingTag &&
        !OwnsPainter(*c)) {
      Queue(c);
    }
  }
}

void TMenuPainterManager::Queue(gui::TComponent* form) {
  if (Contains(FQueued, form)) return;
  FQueued.push_back(form);
  form->FreeNotification(this);
  WakeApplication();
}

void TMenuPainterManager::StyleQueuedForms() {
  for (TMenuPainter* painter : std::vector<TMenuPainter*>(FPainters)) {
    if (Contains(FPainters, painter)) painter->StylePendingComponents();
  }
  if (FQueued.empty()) return;
  std::vector<gui::TComponent*> queued;
  queued.swap(FQueued);
  if (!FCurrent) return;
  for (gui::TComponent* form : queued) {
    if (!dynamic_cast<gui::TForm*>(form) || Contains(FStyled, form) ||
        form->Tag() == kKeepOwnDrawingTag || OwnsPainter(*form)) {
      continue;
    }
    FStyled.push_back(form);
    try {
      FCurrent->StyleComponents(form, true);
    } catch (...) {
      // A form that cannot be styled keeps its own drawing.
    }
  }
}

void TMenuPainterManager::FormGone(gui::TComponent* form) {
  Erase(FStyled, form);
  Erase(FQueued, form);
  if (FCurrent == form) FCurrent = nullptr;
  Erase(FPainters, form);
}

void TMenuPainterManager::PainterNotice(gui::TComponent* component, gui::TOperation operation) {
  if (operation == gui::TOperation::Remove) {
    FormGone(component);
  } else if (FCurrent && component->Owner() == gui::Application()) {
    Queue(component);
  }
}

void TMenuPainterManager::Notification(gui::TComponent* component, gui::TOperation operation) {
  gui::TComponent::Notification(component, operation);
  PainterNotice(component, operation);
}

void ApplyProgramMenuStyle(TMenuPainter& painter) {
  painter.SetDimLevel(30);
  painter.SetGrayLevel(10);
  painter.SetColor(clBtnFace);
  painter.SetIconBackColor(clBtnFace);
  painter.SetMenuBarColor(clBtnFace);
  painter.SetSelectColor(clHighlight);
  painter.SetSelectBorderColor(clHighlight);
  painter.SetSelectFontColor(clMenuText);
  painter.SetDisabledColor(clInactiveCaptionText);
  painter.SetSeparatorColor(clBtnFace);
  painter.SetCheckedColor(clHighlight);
  painter.SetDrawSelect(true);
  painter.SetUseSystemColors(true);
  painter.SetOverrideOwnerDraw(true);
  painter.SetStyledControls(SetOf({xcMainMenu, xcPopupMenu, xcToolbar}));
  painter.SetStyledContainers(SetOf({xccToolbar, xccControlbar}));
  painter.SetFlatMenu(false);
  painter.SetAutoDetect(true);
  painter.SetDisableSubclassing(false);
}

}  // namespace quell::ui
