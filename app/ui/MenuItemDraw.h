// Owner-drawn menu items in the flat style: measuring and drawing one item
// on a device context. Each item is composed in an off-screen bitmap and
// copied to the menu in one BitBlt, so it never flickers through its
// background and nothing outside the item's rectangle is touched.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "gui/Graphics.h"
#include "MenuPainterCore.h"

namespace quell::ui {

// What measuring and drawing need to know of one menu item.
struct MenuItemInfo {
  std::string caption;       // "-" for a separator; "&" marks the access key
  std::string shortcutText;  // shown right-aligned; empty for none
  bool enabled = true;
  bool checked = false;
  bool radioItem = false;
  bool isDefault = false;
  bool hasSubItems = false;
  bool menuBarItem = false;
  bool rightToLeft = false;
  int imageIndex = -1;       // into the image list given with the item
  HBITMAP bitmap = nullptr;  // the item's own picture; wins over the list
};

// The painter's settings that are not colours.
struct MenuDrawOptions {
  int iconWidth = kDefaultIconWidth;
  int dimLevel = 30;
  int grayLevel = 10;
  bool drawSelect = true;
  bool flatMenu = false;
  bool highColor = true;
  HFONT font = nullptr;  // null: the device context's font
};

using gui::TheSystemColors;

// A copy of the font the system draws menus with.
base::FontHandle CreateMenuFont();

// Raises `width` and `height` to what the item needs on `dc`.
void MeasureMenuItem(HDC dc, const MenuItemInfo& item, HIMAGELIST images,
                     const MenuDrawOptions& options, int& width, int& height);

// Draws the item into `rect` of `dc`. `state` takes the ODS_ flags of an
// owner-draw request: ODS_SELECTED; ODS_DISABLED or ODS_GRAYED (as does
// item.enabled false); ODS_CHECKED (as does item.checked); ODS_DEFAULT.
// Any failure is swallowed, leaving `dc` as far as drawing got (an item that
// fails before its copy leaves `dc` untouched); returns false then.
bool DrawMenuItem(HDC dc, const RECT& rect, const MenuItemInfo& item, UINT state, HIMAGELIST images,
                  const MenuPalette& palette, const MenuDrawOptions& options) noexcept;

// The working palette for drawing on `dc` (its colour depth decides
// HighColor); the system's high-contrast one while `highContrast`.
MenuPalette PaletteFor(HDC dc, const PainterColors& colors, bool* highColor = nullptr,
                       bool highContrast = false);

// A painter's drawing state: its colour properties, its other settings, its
// font and the working palette. Every change that affects the palette marks
// it dirty; it is recomputed for the next item drawn, on that item's
// off-screen canvas, and not before. High contrast is looked up at each item
// drawn: while it is on (or as it goes off) the palette is recomputed every
// time, since the scheme's colours may change under it.
class MenuRenderer {
 public:
  MenuRenderer();  // a copy of the system menu font; the defaults of PainterColors

  const PainterColors& Colors() const { return FColors; }
  // Sets one colour property, e.g. SetColor(&PainterColors::SelectColor, c).
  void SetColor(TColor PainterColors::*property, TColor value);
  void SetUseSystemColors(bool use);
  void SetUseDimColor(bool use);

  HFONT Font() const { return FFont.get(); }
  // Takes a copy of `font`'s description; the colour is the font's colour.
  void SetFont(HFONT font, TColor color);

  // Settings other than colours; the palette's HighColor is kept by the renderer.
  MenuDrawOptions& Options() { return FOptions; }
  const MenuDrawOptions& Options() const { return FOptions; }

  bool PaletteDirty() const { return FDirty; }
  const MenuPalette& Palette() const { return FPalette; }
  bool HighColor() const { return FOptions.highColor; }
  bool HighContrast() const { return FHighContrast; }
  void RecomputePalette(HDC canvas, bool highContrast = false);

  void Measure(HDC dc, const MenuItemInfo& item, HIMAGELIST images, int& width, int& height) const;
  // Recomputes a dirty palette, then draws; never throws.
  bool Draw(HDC dc, const RECT& rect, const MenuItemInfo& item, UINT state,
            HIMAGELIST images) noexcept;

 private:
  PainterColors FColors;
  MenuDrawOptions FOptions;
  base::FontHandle FFont;
  MenuPalette FPalette;
  bool FDirty = true;
  bool FHighContrast = false;  // of the palette
};

}  // namespace quell::ui
