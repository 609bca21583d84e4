// The menu painter's rules that need no window: colour values and their
// arithmetic, the working palette, item measurement and the geometry of an
// owner-drawn item. The Win32 side (MenuRenderer) only feeds these with
// device facts and paints what they decide.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "UiBasics.h"

namespace quell::ui {

using gui::BlueOf;
using gui::clBlack;
using gui::clBtnFace;
using gui::clBtnShadow;
using gui::clGrayText;
using gui::clHighlight;
using gui::clHighlightText;
using gui::clInactiveCaption;
using gui::clInactiveCaptionText;
using gui::clMenu;
using gui::clMenuText;
using gui::clSilver;
using gui::clSystemColor;
using gui::clWhite;
using gui::GreenOf;
using gui::MakeColor;
using gui::RedOf;
using gui::ResolveColor;
using gui::SystemColors;

// numerator / denominator rounded to the nearest integer, a half to the even
// neighbour (0.5 -> 0, 2.5 -> 2, 3.5 -> 4). Any signs; denominator non-zero.
int RoundHalfEven(long long numerator, long long denominator);

// Each channel x becomes x + round((255 - x) * percent / 100), a half to
// even; percent is taken in 0..100. The high byte of `c` is ignored.
ColorRef Lighten(ColorRef c, int percent);
// R - n, G - n + 2, B - n, each clamped to 0..255.
ColorRef Darken(ColorRef c, int n);
// The gray (R + G + B) / 3 + n, at most 240 (and at least 0).
ColorRef GrayOf(ColorRef c, int n);
// `fontColor` on a light background, else a light tint of the background.
ColorRef ReadableTextColor(ColorRef background, ColorRef fontColor);

// The painter's colour properties and switches that the palette depends on.
struct PainterColors {
  TColor Color = clBtnFace;
  TColor IconBackColor = clBtnFace;
  TColor MenuBarColor = clBtnFace;
  TColor SelectColor = clHighlight;
  TColor SelectBorderColor = clHighlight;
  TColor SelectFontColor = clMenuText;
  TColor DisabledColor = clInactiveCaption;
  TColor SeparatorColor = clBtnFace;
  TColor CheckedColor = clHighlight;
  TColor FontColor = clMenuText;  // the colour of the painter's font
  bool UseDimColor = false;
  bool UseSystemColors = true;
};

// The colours an item is actually painted with, all resolved.
struct MenuPalette {
  ColorRef menuBack = 0;
  ColorRef iconColumn = 0;
  ColorRef selectFill = 0;
  ColorRef selectBorder = 0;
  ColorRef selectText = 0;
  ColorRef menuBarFill = 0;
  ColorRef disabledText = 0;
  ColorRef separator = 0;
  ColorRef checkFrame = 0;
  ColorRef checkFillNormal = 0;
  ColorRef checkFillSelected = 0;
  ColorRef fontColor = 0;
  ColorRef tick = clBlack;  // the check mark of an enabled item

  bool operator==(const MenuPalette&) const = default;
};

// A display of 15 bits per pixel or fewer gets the plain palette.
constexpr bool IsHighColor(int bitsPerPixel) { return bitsPerPixel > 15; }

MenuPalette ComputePalette(const PainterColors& colors, bool highColor, const SystemColors& system);

// With high contrast on, the menu is drawn in the system's menu colours
// whatever the painter's properties say: menu text on the menu colour, the
// selection in the highlight colours, disabled items in the gray-text colour.
MenuPalette HighContrastPalette(const SystemColors& system);

// ---- Measuring ------------------------------------------------------------

// Text extents in the painter's font.
class TextMetrics {
 public:
  virtual int TextWidth(std::string_view text) const = 0;
  virtual int TextHeight(std::string_view text) const = 0;

 protected:
  ~TextMetrics() = default;
};

inline constexpr int kSeparatorHeight = 4;
inline constexpr int kDefaultIconWidth = 24;
// The gap reserved before a shortcut: measured as if this were typed there.
inline constexpr std::string_view kShortcutGap = "WWW";
inline constexpr int kSubMenuExtra = 6;

constexpr bool IsSeparatorCaption(std::string_view caption) { return caption == "-"; }

struct MeasureRequest {
  std::string_view caption;
  std::string_view shortcutText;  // as the item shows it; may be empty
  bool hasSubItems = false;
  bool menuBarItem = false;
  bool hasImage = false;
  int imageWidth = 0;
  int imageHeight = 0;
};

// Raises `width` and `height` (the sizes proposed so far) to what the item
// needs; never lowers them.
void MeasureItem(const MeasureRequest& item, const TextMetrics& metrics, int iconWidth, int& width,
                 int& height);

// ---- Item geometry ----------------------------------------------------------

// An item is composed in a bitmap of (item width + 4) x item height whose
// x = 4 lies on the item's left edge; all rectangles are in that bitmap.
inline constexpr int kComposeMargin = 4;

struct ItemLayout {
  Rect item;        // (4, 0, width + 4, height + 1)
  Rect iconColumn;  // IconWidth wide, full height; at the right edge for right-to-left
  Rect checkArea;   // where check and radio marks go
  Rect textArea;
  Point image;  // top-left corner of the image, unselected
};

struct LayoutRequest {
  int itemWidth = 0;
  int itemHeight = 0;
  int iconWidth = kDefaultIconWidth;
  bool hasImage = false;
  int imageWidth = 0;
  int imageHeight = 0;
  bool rightToLeft = false;
};

ItemLayout LayoutItem(const LayoutRequest& request);

// Whether an item is drawn with the selection box: a selected, enabled item
// of a painter that draws the selection; never a separator, whatever state
// the system reports for it.
constexpr bool ShowsSelection(bool selected, bool enabled, bool separator, bool drawSelect) {
  return selected && enabled && !separator && drawSelect;
}

// The selection box (fill and frame); one pixel narrower with a flat menu.
Rect SelectionRect(const ItemLayout& layout, bool flatMenu);
// The row of a separator's line and where it starts and ends.
struct SeparatorLine {
  int y = 0, left = 0, right = 0;
};
SeparatorLine SeparatorLineOf(const ItemLayout& layout);
// The rectangle the caption is drawn in, given the height of "W".
Rect CaptionRect(const ItemLayout& layout, int heightOfW);
// The shortcut's rectangle: the caption's, with the right edge 10 pixels in
// (the left edge for right-to-left menus).
Rect ShortcutRect(const Rect& captionRect, bool rightToLeft);
inline constexpr int kShortcutIndent = 10;
inline constexpr int kSeparatorIndent = 7;

// ---- Image effects ----------------------------------------------------------

enum class ImageEffect {
  Plain,   // drawn as it is (checked items, low-colour displays)
  Lifted,  // selected: one pixel up and left, with a shadow below and right
  Dimmed,  // at rest: every pixel lightened by DimLevel percent
  Grayed,  // disabled: gray, then faded
};
ImageEffect ChooseImageEffect(bool selected, bool enabled, bool checked, bool highColor);

inline constexpr Point kLiftOffset{-1, -1};
inline constexpr Point kShadowOffset{1, 1};
inline constexpr int kShadowDarken = 50;
inline constexpr int kDisabledFade = 40;

ColorRef DimmedPixel(ColorRef c, int dimLevel);
ColorRef GrayedPixel(ColorRef c, int grayLevel);

// A default item's caption is first drawn four times, offset and in a
// darkened copy of the pixel found under each pass's top-left corner.
struct TextPass {
  int dx, dy, darken;
};
inline constexpr std::array<TextPass, 4> kDefaultItemPasses{
    {{1, 0, 30}, {1, 2, 30}, {0, 1, 40}, {1, 1, 60}}};

}  // namespace quell::ui
