// TMenuPainter draws the menus of one form itself, in a flat style: it makes
// the form's pop-up menus owner-drawn and gives each item its measure and
// draw handlers. TMenuPainterManager is the one program-wide object that keeps
// track of all painters and can spread one painter's style to other forms.
//
// Only menus are restyled: toolbars, control bars, menu bars, gradients,
// flat menu frames and ordinary controls are left as they are (the settings
// for them are kept, so that a form can set them, but they draw nothing).
#pragma once

#include <cstdint>
#include <vector>

#include "gui/core/Component.h"
#include "gui/Graphics.h"
#include "MenuItemDraw.h"
#include "gui/Menus.h"

namespace quell::ui {

// Which kinds of container and control a painter restyles, as bit sets.
enum TStyledContainer : int {
  xccForm,
  xccFrame,
  xccToolbar,
  xccCoolbar,
  xccControlbar,
  xccPanel,
  xccScrollBox,
  xccGroupBox,
  xccTabSheet,
  xccPageScroller
};
enum TStyledControl : int {
  xcMainMenu,
  xcPopupMenu,
  xcToolbar,
  xcControlbar,
  xcCombo,
  xcListBox,
  xcEdit,
  xcMaskEdit,
  xcMemo,
  xcRichEdit,
  xcMiscEdit,
  xcCheckBox,
  xcRadioButton,
  xcButton,
  xcBitBtn,
  xcSpeedButton,
  xcUpDown,
  xcPanel,
  xcGroupBox,
  xcTreeView,
  xcListView,
  xcProgressBar,
  xcHotKey
};
using TStyledContainers = std::uint32_t;
using TStyledControls = std::uint32_t;
constexpr std::uint32_t SetOf(std::initializer_list<int> members) {
  std::uint32_t set = 0;
  for (int m : members) set |= 1u << m;
  return set;
}
inline constexpr TStyledContainers kAllStyledContainers = 0x3FFu;
inline constexpr TStyledControls kAllStyledControls = 0x7FFFFFu;

// A component with this Tag (or a menu with it) keeps its own drawing.
inline constexpr int kKeepOwnDrawingTag = 999;

class TMenuPainter : public gui::TComponent {
 public:
  // `owner` is the form whose menus the painter draws.
  explicit TMenuPainter(gui::TComponent* owner);
  ~TMenuPainter() override;

  gui::TComponent* Form() const { return FForm; }
  // Moves the style to another form (nothing when it is the painter's already).
  void BindToForm(gui::TComponent* form);

  bool Active() const { return FActive; }
  void SetActive(bool active);

  int DimLevel() const { return FRenderer.Options().dimLevel; }
  void SetDimLevel(int percent) { FRenderer.Options().dimLevel = percent; }
  int GrayLevel() const { return FRenderer.Options().grayLevel; }
  void SetGrayLevel(int level) { FRenderer.Options().grayLevel = level; }
  int IconWidth() const { return FRenderer.Options().iconWidth; }
  void SetIconWidth(int width) { FRenderer.Options().iconWidth = width; }

  HFONT Font() const { return FRenderer.Font(); }
  // A copy of `font` in `color` (the colour of the captions).
  void SetFont(HFONT font, TColor color);

  TColor Color() const { return FRenderer.Colors().Color; }
  void SetColor(TColor c) { FRenderer.SetColor(&PainterColors::Color, c); }
  TColor IconBackColor() const { return FRenderer.Colors().IconBackColor; }
  void SetIconBackColor(TColor c) { FRenderer.SetColor(&PainterColors::IconBackColor, c); }
  TColor MenuBarColor() const { return FRenderer.Colors().MenuBarColor; }
  void SetMenuBarColor(TColor c);
  TColor SelectColor() const { return FRenderer.Colors().SelectColor; }
  void SetSelectColor(TColor c) { FRenderer.SetColor(&PainterColors::SelectColor, c); }
  TColor SelectBorderColor() const { return FRenderer.Colors().SelectBorderColor; }
  void SetSelectBorderColor(TColor c) { FRenderer.SetColor(&PainterColors::SelectBorderColor, c); }
  TColor SelectFontColor() const { return FRenderer.Colors().SelectFontColor; }
  void SetSelectFontColor(TColor c) { FRenderer.SetColor(&PainterColors::SelectFontColor, c); }
  TColor DisabledColor() const { return FRenderer.Colors().DisabledColor; }
  void SetDisabledColor(TColor c) { FRenderer.SetColor(&PainterColors::DisabledColor, c); }
  TColor SeparatorColor() const { return FRenderer.Colors().SeparatorColor; }
  void SetSeparatorColor(TColor c) { FRenderer.SetColor(&PainterColors::SeparatorColor, c); }
  TColor CheckedColor() const { return FRenderer.Colors().CheckedColor; }
  void SetCheckedColor(TColor c) { FRenderer.SetColor(&PainterColors::CheckedColor, c); }

  bool DrawSelect() const { return FRenderer.Options().drawSelect; }
  void SetDrawSelect(bool on) { FRenderer.Options().drawSelect = on; }
  bool UseSystemColors() const { return FRenderer.Colors().UseSystemColors; }
  void SetUseSystemColors(bool on);
  bool UseDimColor() const { return FRenderer.Colors().UseDimColor; }
  void SetUseDimColor(bool on) { FRenderer.SetUseDimColor(on); }
  bool OverrideOwnerDraw() const { return FOverrideOwnerDraw; }
  // Takes effect at the next activation.
  void SetOverrideOwnerDraw(bool on) { FOverrideOwnerDraw = on; }
  bool Gradient() const { return FGradient; }
  void SetGradient(bool on) { FGradient = on; }
  bool FlatMenu() const { return FRenderer.Options().flatMenu; }
  void SetFlatMenu(bool on) { FRenderer.Options().flatMenu = on; }
  bool AutoDetect() const { return FAutoDetect; }
  void SetAutoDetect(bool on) { FAutoDetect = on; }
  bool DrawMenuBar() const { return FDrawMenuBar; }
  void SetDrawMenuBar(bool on) { FDrawMenuBar = on; }
  bool DisableSubclassing() const { return FDisableSubclassing; }
  void SetDisableSubclassing(bool on) { FDisableSubclassing = on; }
  TStyledContainers StyledContainers() const { return FStyledContainers; }
  void SetStyledContainers(TStyledContainers set);
  TStyledControls StyledControls() const { return FStyledControls; }
  void SetStyledControls(TStyledControls set);

  // Styles (enable) or unstyles everything `container` owns.
  void StyleComponents(gui::TComponent* container, bool enable);
  void StyleComponent(gui::TComponent* component, bool enable);

  // The handlers the painter gives menu items; both do nothing while the
  // painter is inactive, and drawing swallows every failure.
  void MeasureMenuItem(gui::TComponent* sender, gui::TCanvas& canvas, int& width, int& height);
  void DrawMenuItem(gui::TComponent* sender, gui::TCanvas& canvas, const RECT& rect, bool selected);

  // Styles the components inserted into the form since the last call (made
  // while active with AutoDetect); the application window's next message
  // does this, once they are complete.
  void StylePendingComponents();

  // Whether `item`'s handlers are this painter's.
  bool DrawsItem(const gui::TMenuItem& item) const;

  const MenuRenderer& Renderer() const { return FRenderer; }
  // What drawing knows of a menu item.
  static MenuItemInfo DescribeItem(const gui::TMenuItem& item);

 protected:
  void Notification(gui::TComponent* component, gui::TOperation operation) override;

 private:
  void HookItem(gui::TMenuItem* item, bool enable);
  void HookMenu(gui::TPopupMenu* menu, bool enable);
  void RedrawMenuBar();

  gui::TComponent* FForm;
  MenuRenderer FRenderer;
  std::vector<gui::TComponent*> FPending;
  bool FActive = false;
  bool FOverrideOwnerDraw = false;
  bool FGradient = false;
  bool FAutoDetect = false;
  bool FDrawMenuBar = false;
  bool FDisableSubclassing = false;
  TStyledContainers FStyledContainers = kAllStyledContainers;
  TStyledControls FStyledControls = kAllStyledControls;
};

class TMenuPainterManager : public gui::TComponent {
 public:
  TMenuPainterManager();
  ~TMenuPainterManager() override;

  void RegisterPainter(TMenuPainter* painter);
  void UnregisterPainter(TMenuPainter* painter);

  TMenuPainter* CurrentPainter() const { return FCurrent; }
  const std::vector<TMenuPainter*>& Painters() const { return FPainters; }
  const std::vector<gui::TComponent*>& StyledForms() const { return FStyled; }
  const std::vector<gui::TComponent*>& QueuedForms() const { return FQueued; }

  // Insertion and removal notices that painters pass on.
  void PainterNotice(gui::TComponent* component, gui::TOperation operation);
  // Styles the queued forms (the application window's next message does this).
  void StyleQueuedForms();

 protected:
  void Notification(gui::TComponent* component, gui::TOperation operation) override;

 private:
  void QueueScreenForms();
  void Queue(gui::TComponent* form);
  void FormGone(gui::TComponent* form);

  std::vector<TMenuPainter*> FPainters;
  std::vector<gui::TComponent*> FStyled;
  std::vector<gui::TComponent*> FQueued;
  TMenuPainter* FCurrent = nullptr;
  int FHookId = 0;
};

// The program-wide manager, made with the first painter and freed with the
// last; null while there is none.
TMenuPainterManager* MenuPainterManager();

// The program's flat menu style: dim and gray levels, button-face colours,
// a highlighted selection with a border, system colours, and the styled
// control kinds. Binding, registering and activating stay with the caller.
void ApplyProgramMenuStyle(TMenuPainter& painter);

}  // namespace quell::ui
