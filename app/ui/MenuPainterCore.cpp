#include "MenuPainterCore.h"

#include <algorithm>
#include <string>

namespace quell::ui {

namespace {

int LightenChannel(int x, int percent) {
  return x + RoundHalfEven(static_cast<long long>(255 - x) * percent, 100);
}

}  // namespace

int RoundHalfEven(long long numerator, long long denominator) {
  if (denominator < 0) {
    numerator = -numerator;
    denominator = -denominator;
  }
  // Floor division, then decide on the remainder (0 <= r < d).
  long long q = numerator / denominator;
  long long r = numerator % denominator;
  if (r < 0) {
    r += denominator;
    --q;
  }
  const long long twice = 2 * r;
  if (twice > denominator || (twice == denominator && (q % 2 != 0))) ++q;
  return static_cast<int>(q);
}

ColorRef Lighten(ColorRef c, int percent) {
  const int p = std::clamp(percent, 0, 100);
  return MakeColor(LightenChannel(RedOf(c), p), LightenChannel(GreenOf(c), p),
                   LightenChannel(BlueOf(c), p));
}

ColorRef Darken(ColorRef c, int n) {
  return MakeColor(RedOf(c) - n, GreenOf(c) - n + 2, BlueOf(c) - n);
}

ColorRef GrayOf(ColorRef c, int n) {
  const int g = std::clamp((RedOf(c) + GreenOf(c) + BlueOf(c)) / 3 + n, 0, 240);
  return MakeColor(g, g, g);
}

ColorRef ReadableTextColor(ColorRef background, ColorRef fontColor) {
  const int r = RedOf(background), g = GreenOf(background), b = BlueOf(background);
  if ((r + b) / 2 > 150 || g > 200) return fontColor & 0xFFFFFFu;
  return Lighten(background, 90);
}

MenuPalette ComputePalette(const PainterColors& colors, bool highColor,
                           const SystemColors& system) {
  auto resolve = [&](TColor c) { return ResolveColor(c, system); };
  MenuPalette p;
  p.fontColor = resolve(colors.FontColor);
  if (colors.UseSystemColors) {
    const ColorRef face = resolve(clBtnFace);
    const ColorRef shadow = resolve(clBtnShadow);
    const ColorRef highlight = resolve(clHighlight);
    p.menuBack = highColor ? Lighten(face, 86) : clWhite;
    p.iconColumn = highColor ? Lighten(face, 16) : face;
    p.selectFill = highColor ? Lighten(highlight, 68) : clWhite;
    p.selectBorder = highlight;
    p.selectText = p.fontColor;
    p.menuBarFill = face;
    p.disabledText = highColor ? Lighten(shadow, 10) : shadow;
    p.separator = highColor ? Lighten(shadow, 25) : shadow;
    p.checkFrame = highlight;
    p.checkFillNormal = highColor ? Lighten(highlight, 80) : clWhite;
    p.checkFillSelected = highColor ? Lighten(highlight, 50) : clWhite;
    return p;
  }
  const ColorRef select = resolve(colors.SelectColor);
  const bool dim = colors.UseDimColor && highColor;
  p.menuBack = resolve(colors.Color);
  p.iconColumn = resolve(colors.IconBackColor);
  p.selectFill = dim ? Lighten(select, 68) : select;
  p.selectBorder = resolve(colors.SelectBorderColor);
  p.selectText = resolve(colors.SelectFontColor);
  p.menuBarFill = resolve(colors.MenuBarColor);
  p.disabledText = resolve(colors.DisabledColor);
  p.checkFrame = resolve(colors.CheckedColor);
  p.separator = resolve(colors.SeparatorColor);
  if (!colors.UseDimColor) {
    p.checkFillNormal = p.checkFillSelected = select;
  } else if (highColor) {
    p.checkFillNormal = Lighten(select, 80);
    p.checkFillSelected = Lighten(select, 50);
  } else {
    p.checkFillNormal = clWhite;
    p.checkFillSelected = clSilver;
  }
  return p;
}

MenuPalette HighContrastPalette(const SystemColors& system) {
  const ColorRef menu = ResolveColor(clMenu, system);
  const ColorRef text = ResolveColor(clMenuText, system);
  const ColorRef highlight = ResolveColor(clHighlight, system);
  MenuPalette p;
  p.menuBack = p.iconColumn = p.menuBarFill = menu;
  p.selectFill = p.selectBorder = highlight;
  p.selectText = ResolveColor(clHighlightText, system);
  p.disabledText = ResolveColor(clGrayText, system);
  // Marks and lines in the text's colour, check boxes filled with the
  // menu's, so that each shows on whatever the scheme is.
  p.separator = p.checkFrame = p.fontColor = p.tick = text;
  p.checkFillNormal = p.checkFillSelected = menu;
  return p;
}

void MeasureItem(const MeasureRequest& item, const TextMetrics& metrics, int iconWidth, int& width,
                 int& height) {
  const bool separator = IsSeparatorCaption(item.caption);
  const std::string_view caption = separator ? std::string_view{} : item.caption;

  std::string text(caption);
  const auto first = item.shortcutText.find_first_not_of(" \t");
  if (first != std::string_view::npos) {
    text += item.shortcutText;
    text += kShortcutGap;
  }

  int w = metrics.TextWidth(text) + 5;
  // "&" marks the access key and is not shown; the text was measured with it.
  if (caption.find('&') != std::string_view::npos) w -= metrics.TextWidth("&");
  if (!item.menuBarItem && item.hasSubItems) w += kSubMenuExtra;

  int imageWidth = item.hasImage ? item.imageWidth : 0;
  const int imageHeight = item.hasImage ? item.imageHeight : 0;
  if (!item.menuBarItem) imageWidth = std::max(imageWidth, iconWidth);

  width = std::max(width, w + imageWidth);
  if (separator) {
    height = std::max(height, kSeparatorHeight);
    return;
  }
  const int th = metrics.TextHeight(text);
  const int h = std::max(th + RoundHalfEven(th, 4), imageHeight + 6);
  height = std::max(height, h);
}

ItemLayout LayoutItem(const LayoutRequest& r) {
  ItemLayout l;
  const int m = kComposeMargin;
  l.item = {m, 0, r.itemWidth + m, r.itemHeight + 1};
  const bool wide = r.hasImage && r.imageWidth > r.iconWidth;

  if (r.rightToLeft) {
    l.iconColumn = {l.item.right - r.iconWidth, l.item.top, l.item.right, l.item.bottom};
  } else {
    l.iconColumn = {l.item.left, l.item.top, l.item.left + r.iconWidth, l.item.bottom};
  }
  const Rect& col = l.iconColumn;

  if (r.hasImage) {
    l.checkArea = {col.left + 1, col.top + 2, col.right - 3, col.bottom - 2};
    if (wide) {
      // Around the image, which starts 2 pixels into the column.
      if (r.rightToLeft) {
        l.checkArea.right = col.right - 1;
        l.checkArea.left = l.checkArea.right - r.imageWidth - 2;
      } else {
        l.checkArea.right = l.checkArea.left + r.imageWidth + 2;
      }
    }
  } else {
    const int x = col.left + (col.Width() - 10) / 2;
    const int y = col.top + (col.Height() - 10) / 2;
    l.checkArea = {x, y, x + 10, y + 10};
  }

  if (r.rightToLeft) {
    const int end = wide ? col.right - r.imageWidth - 4 : col.left;
    l.textArea = {l.item.left, l.item.top, end, l.item.bottom};
  } else {
    const int start = wide ? col.left + r.imageWidth + 4 : col.right;
    l.textArea = {start, l.item.top, l.item.right, l.item.bottom};
  }

  const int top = col.top + 3;
  if (r.imageWidth < r.iconWidth) {
    l.image = {col.left + (r.iconWidth - r.imageWidth) / 2 - 1, top};
  } else if (r.rightToLeft) {
    l.image = {col.right - r.imageWidth - 2, top};
  } else {
    l.image = {col.left + 2, top};
  }
  return l;
}

Rect SelectionRect(const ItemLayout& layout, bool flatMenu) {
  return {layout.item.left, 1, layout.item.right - (flatMenu ? 1 : 0), layout.item.bottom - 1};
}

SeparatorLine SeparatorLineOf(const ItemLayout& layout) {
  const Rect& t = layout.textArea;
  return {t.top + RoundHalfEven(t.Height(), 2), t.left + kSeparatorIndent, t.right};
}

Rect CaptionRect(const ItemLayout& layout, int heightOfW) {
  Rect r = layout.textArea;
  r.top += (r.Height() - heightOfW) / 2;
  r.left += 3;
  return r;
}

Rect ShortcutRect(const Rect& captionRect, bool rightToLeft) {
  Rect r = captionRect;
  if (rightToLeft) {
    r.left += kShortcutIndent;
  } else {
    r.right -= kShortcutIndent;
  }
  return r;
}

ImageEffect ChooseImageEffect(bool selected, bool enabled, bool checked, bool highColor) {
  if (!enabled) return ImageEffect::Grayed;
  if (checked) return ImageEffect::Plain;
  if (selected) return ImageEffect::Lifted;
  return highColor ? ImageEffect::Dimmed : ImageEffect::Plain;
}

ColorRef DimmedPixel(ColorRef c, int dimLevel) { return Lighten(c, dimLevel); }

ColorRef GrayedPixel(ColorRef c, int grayLevel) {
  return Lighten(GrayOf(c, grayLevel), kDisabledFade);
}

}  // namespace quell::ui
