#include "MenuItemDraw.h"

#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "gui/DisplayDpi.h"
#include "MenuImagePixels.h"

namespace quell::ui {

namespace {

RECT ToRECT(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

class DcTextMetrics final : public TextMetrics {
 public:
  explicit DcTextMetrics(HDC dc) : FDc(dc) {}
  int TextWidth(std::string_view text) const override { return Extent(text).cx; }
  int TextHeight(std::string_view text) const override { return Extent(text).cy; }

 private:
  SIZE Extent(std::string_view text) const {
    SIZE size{};
    GetTextExtentPoint32A(FDc, text.data(), static_cast<int>(text.size()), &size);
    if (text.empty()) {
      // An empty string has no extent on some systems; its height is the font's.
      TEXTMETRICA tm{};
      GetTextMetricsA(FDc, &tm);
      size.cy = tm.tmHeight;
    }
    return size;
  }
  HDC FDc;
};

// The picture of the item: its own bitmap, else its entry in the list.
struct ImageSource {
  HBITMAP bitmap = nullptr;
  HIMAGELIST list = nullptr;
  int index = -1;
  int width = 0;
  int height = 0;

  explicit operator bool() const { return width > 0 && height > 0; }
};

ImageSource FindImage(const MenuItemInfo& item, HIMAGELIST images) {
  ImageSource source;
  if (item.bitmap) {
    BITMAP info{};
    if (GetObjectA(item.bitmap, sizeof info, &info) == sizeof info) {
      source.bitmap = item.bitmap;
      source.width = info.bmWidth;
      source.height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    }
    return source;
  }
  if (images && item.imageIndex >= 0 && item.imageIndex < ImageList_GetImageCount(images)) {
    source.list = images;
    source.index = item.imageIndex;
    ImageList_GetIconSize(images, &source.width, &source.height);
  }
  return source;
}

std::vector<DibPixel> Pixels(const gui::DibCanvas& canvas) {
  GdiFlush();
  const auto* bits = canvas.pixels();
  return std::vector<DibPixel>(bits, bits + static_cast<size_t>(canvas.width()) * canvas.height());
}

std::optional<PixelImage> LoadImage(HDC dc, const ImageSource& source) {
  if (!source) return std::nullopt;
  const int w = source.width, h = source.height;
  if (source.bitmap) {
    std::vector<DibPixel> pixels(static_cast<size_t>(w) * h);
    BITMAPINFO info = gui::TopDownRgb32Info(w, h);
    if (GetDIBits(dc, source.bitmap, 0, static_cast<UINT>(h), pixels.data(), &info,
                  DIB_RGB_COLORS) != h) {
      return std::nullopt;
    }
    return ImageWithTransparentCorner(pixels, w, h);
  }
  gui::DibCanvas onBlack(dc, w, h), onWhite(dc, w, h);
  if (!onBlack.valid() || !onWhite.valid()) return std::nullopt;
  std::memset(onBlack.pixels(), 0x00, static_cast<size_t>(w) * h * sizeof(DibPixel));
  std::memset(onWhite.pixels(), 0xFF, static_cast<size_t>(w) * h * sizeof(DibPixel));
  for (const gui::DibCanvas* canvas : {&onBlack, &onWhite}) {
    ImageList_DrawEx(source.list, source.index, canvas->dc(), 0, 0, w, h, CLR_NONE, CLR_NONE,
                     ILD_TRANSPARENT);
  }
  return ImageFromRenderings(Pixels(onBlack), Pixels(onWhite), w, h);
}

void Fill(HDC dc, const Rect& r, ColorRef color) {
  base::BrushHandle brush(CreateSolidBrush(color));
  const RECT rc = ToRECT(r);
  FillRect(dc, &rc, brush.get());
}

void Frame(HDC dc, const Rect& r, ColorRef color) {
  base::BrushHandle brush(CreateSolidBrush(color));
  const RECT rc = ToRECT(r);
  FrameRect(dc, &rc, brush.get());
}

enum class Shape { Box, RoundBox, Circle };

void DrawShape(HDC dc, const Rect& r, Shape shape, ColorRef outline, ColorRef fill) {
  base::PenHandle pen(CreatePen(PS_SOLID, 1, outline));
  base::BrushHandle brush(CreateSolidBrush(fill));
  base::Selection usePen(dc, pen.get()), useBrush(dc, brush.get());
  switch (shape) {
    case Shape::Box: Rectangle(dc, r.left, r.top, r.right, r.bottom); break;
    case Shape::RoundBox: RoundRect(dc, r.left, r.top, r.right, r.bottom, 6, 6); break;
    case Shape::Circle: Ellipse(dc, r.left, r.top, r.right, r.bottom); break;
  }
}

void Line(HDC dc, ColorRef color, std::initializer_list<POINT> points) {
  base::PenHandle pen(CreatePen(PS_SOLID, 1, color));
  base::Selection usePen(dc, pen.get());
  const POINT* p = points.begin();
  MoveToEx(dc, p->x, p->y, nullptr);
  for (++p; p != points.end(); ++p) LineTo(dc, p->x, p->y);
}

// A tick rising from the lower left of a 10 x 10 box to past its upper right.
void DrawTick(HDC dc, const Rect& box, ColorRef color) {
  const int l = box.left, t = box.top;
  Line(dc, color, {{l + 2, t + 4}, {l + 4, t + 6}});
  Line(dc, color, {{l + 2, t + 5}, {l + 4, t + 7}});
  Line(dc, color, {{l + 4, t + 6}, {l + 10, t + 0}});
  Line(dc, color, {{l + 4, t + 7}, {l + 11, t + 0}});
  Line(dc, color, {{l + 4, t + 8}, {l + 11, t + 1}});
}

struct ItemState {
  bool selected, enabled, checked, isDefault;
};

void DrawMarks(HDC dc, const ItemLayout& layout, const MenuItemInfo& item, const ItemState& s,
               bool hasImage, const MenuPalette& palette) {
  const ColorRef fill = s.selected ? palette.checkFillSelected : palette.checkFillNormal;
  const ColorRef outline = s.enabled ? palette.selectBorder : palette.disabledText;
  const Rect& area = layout.checkArea;
  if (hasImage) {
    DrawShape(dc, area, item.radioItem ? Shape::RoundBox : Shape::Box, outline, fill);
  } else if (item.radioItem) {
    DrawShape(dc, area, Shape::Circle, outline, fill);
    DrawShape(dc, {area.left + 2, area.top + 2, area.right - 2, area.bottom - 2}, Shape::Circle,
              outline, outline);
  } else {
    DrawShape(dc, area, Shape::Box, s.enabled ? palette.checkFrame : palette.disabledText, fill);
    DrawTick(dc, area, s.enabled ? palette.tick : palette.disabledText);
  }
}

void DrawTextIn(HDC dc, std::string text, Rect r, UINT format, ColorRef color) {
  SetTextColor(dc, color);
  RECT rc = ToRECT(r);
  DrawTextExA(dc, text.data(), static_cast<int>(text.size()), &rc, format, nullptr);
}

void DrawCaption(HDC dc, const ItemLayout& layout, const MenuItemInfo& item, const ItemState& s,
                 const MenuPalette& palette) {
  const DcTextMetrics metrics(dc);
  const Rect caption = CaptionRect(layout, metrics.TextHeight("W"));
  ColorRef color = palette.fontColor;
  if (s.selected) color = palette.selectText;
  if (!s.enabled) color = palette.disabledText;
  UINT format = DT_EXPANDTABS;
  if (item.rightToLeft) format |= DT_RIGHT | DT_RTLREADING;
  SetBkMode(dc, TRANSPARENT);
  const std::string text = " " + item.caption;
  if (s.isDefault && s.enabled) {
    for (const TextPass& pass : kDefaultItemPasses) {
      const Rect at{caption.left + pass.dx, caption.top + pass.dy, caption.right + pass.dx,
                    caption.bottom + pass.dy};
      const COLORREF under = GetPixel(dc, at.left, at.top);
      const ColorRef base = under == CLR_INVALID ? palette.menuBack : under;
      DrawTextIn(dc, text, at, format, Darken(base, pass.darken));
    }
  }
  DrawTextIn(dc, text, caption, format, color);

  if (!item.shortcutText.empty()) {
    const UINT shortcutFormat = DT_EXPANDTABS | (item.rightToLeft ? DT_RTLREADING : DT_RIGHT);
    DrawTextIn(dc, item.shortcutText + " ", ShortcutRect(caption, item.rightToLeft), shortcutFormat,
               color);
  }
}

}  // namespace

base::FontHandle CreateMenuFont() {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  BOOL ok = SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
#if WINVER >= 0x0600
  if (!ok) {
    // Systems before Vista know the record without its last field.
    metrics.cbSize = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
    ok = SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
  }
#endif
  if (ok) return base::FontHandle(CreateFontIndirectA(&metrics.lfMenuFont));
  LOGFONTA fallback{};
  GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof fallback, &fallback);
  return base::FontHandle(CreateFontIndirectA(&fallback));
}

MenuPalette PaletteFor(HDC dc, const PainterColors& colors, bool* highColor, bool highContrast) {
  const bool high = IsHighColor(GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES));
  if (highColor) *highColor = high;
  if (highContrast) return HighContrastPalette(TheSystemColors());
  return ComputePalette(colors, high, TheSystemColors());
}

void MeasureMenuItem(HDC dc, const MenuItemInfo& item, HIMAGELIST images,
                     const MenuDrawOptions& options, int& width, int& height) {
  base::Selection useFont(dc, options.font);
  const ImageSource image = FindImage(item, images);
  MeasureRequest request;
  request.caption = item.caption;
  request.shortcutText = item.shortcutText;
  request.hasSubItems = item.hasSubItems;
  request.menuBarItem = item.menuBarItem;
  request.hasImage = static_cast<bool>(image);
  request.imageWidth = image.width;
  request.imageHeight = image.height;
  MeasureItem(request, DcTextMetrics(dc), options.iconWidth, width, height);
}

bool DrawMenuItem(HDC dc, const RECT& rect, const MenuItemInfo& item, UINT state, HIMAGELIST images,
                  const MenuPalette& palette, const MenuDrawOptions& options) noexcept {
  try {
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return true;
    gui::DibCanvas canvas(dc, width + kComposeMargin, height);
    if (!canvas.valid()) return false;
    const HDC mem = canvas.dc();
    base::Selection useFont(
        mem, options.font ? static_cast<HGDIOBJ>(options.font) : GetCurrentObject(dc, OBJ_FONT));

    const ItemState s{
        (state & ODS_SELECTED) != 0, item.enabled && !(state & (ODS_DISABLED | ODS_GRAYED)),
        item.checked || (state & ODS_CHECKED) != 0, item.isDefault || (state & ODS_DEFAULT) != 0};
    const bool separator = IsSeparatorCaption(item.caption);
    const ImageSource source = separator ? ImageSource{} : FindImage(item, images);
    std::optional<PixelImage> image = LoadImage(mem, source);

    LayoutRequest request;
    request.itemWidth = width;
    request.itemHeight = height;
    request.iconWidth = options.iconWidth;
    request.hasImage = image.has_value();
    request.imageWidth = image ? image->width : 0;
    request.imageHeight = image ? image->height : 0;
    request.rightToLeft = item.rightToLeft;
    const ItemLayout layout = LayoutItem(request);

    Fill(mem, {0, 0, canvas.width(), canvas.height()}, palette.menuBack);
    Fill(mem, layout.iconColumn, palette.iconColumn);
    if (ShowsSelection(s.selected, s.enabled, separator, options.drawSelect)) {
      const Rect box = SelectionRect(layout, options.flatMenu);
      Fill(mem, box, palette.selectFill);
      Frame(mem, box, palette.selectBorder);
    }
    if (s.checked && !separator) DrawMarks(mem, layout, item, s, image.has_value(), palette);
    if (image) {
      GdiFlush();
      ImageDrawing drawing;
      drawing.effect = ChooseImageEffect(s.selected, s.enabled, s.checked, options.highColor);
      drawing.dimLevel = options.dimLevel;
      drawing.grayLevel = options.grayLevel;
      drawing.selectFill = palette.selectFill;
      const PixelSurface surface{canvas.pixels(), canvas.width(), canvas.height()};
      PlaceImage(surface, *image, layout.image, drawing);
    }
    if (separator) {
      const SeparatorLine line = SeparatorLineOf(layout);
      Line(mem, palette.separator, {{line.left, line.y}, {line.right, line.y}});
    } else {
      DrawCaption(mem, layout, item, s, palette);
    }
    GdiFlush();
    return BitBlt(dc, rect.left, rect.top, width, height, mem, kComposeMargin, 0, SRCCOPY) != 0;
  } catch (...) {
    return false;
  }
}

MenuRenderer::MenuRenderer() : FFont(CreateMenuFont()) {
  FOptions.font = FFont.get();
  // The icon column is designed for 16-pixel images at 96 DPI.
  FOptions.iconWidth = gui::Scaled(kDefaultIconWidth);
  base::ScreenDc screen;
  RecomputePalette(screen.get());
}

void MenuRenderer::SetColor(TColor PainterColors::*property, TColor value) {
  FColors.*property = value;
  FDirty = true;
}

void MenuRenderer::SetUseSystemColors(bool use) {
  FColors.UseSystemColors = use;
  FDirty = true;
}

void MenuRenderer::SetUseDimColor(bool use) {
  FColors.UseDimColor = use;
  FDirty = true;
}

void MenuRenderer::SetFont(HFONT font, TColor color) {
  LOGFONTA description{};
  if (font && GetObjectA(font, sizeof description, &description) == sizeof description) {
    base::FontHandle copy(CreateFontIndirectA(&description));
    if (copy) {
      FFont = std::move(copy);
      FOptions.font = FFont.get();
    }
  }
  FColors.FontColor = color;
  FDirty = true;
}

void MenuRenderer::RecomputePalette(HDC canvas, bool highContrast) {
  bool high = true;
  FPalette = PaletteFor(canvas, FColors, &high, highContrast);
  FOptions.highColor = high;
  FHighContrast = highContrast;
  FDirty = false;
}

void MenuRenderer::Measure(HDC dc, const MenuItemInfo& item, HIMAGELIST images, int& width,
                           int& height) const {
  MeasureMenuItem(dc, item, images, FOptions, width, height);
}

bool MenuRenderer::Draw(HDC dc, const RECT& rect, const MenuItemInfo& item, UINT state,
                        HIMAGELIST images) noexcept {
  const bool highContrast = gui::HighContrastOn();
  if (FDirty || highContrast || FHighContrast) {
    // The off-screen canvas is compatible with `dc`: it has the same depth.
    base::MemoryDc canvas(CreateCompatibleDC(dc));
    if (canvas) RecomputePalette(canvas.get(), highContrast);
  }
  return DrawMenuItem(dc, rect, item, state, images, FPalette, FOptions);
}

}  // namespace quell::ui
