// DrawMenuItem on a real device context: every item is drawn into a 32-bit
// memory bitmap prefilled with a sentinel colour and read back pixel by
// pixel. The palette is fixed here, so that every colour found can be told
// apart; the font is the system's menu font.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>

#include "ui/MenuItemDraw.h"

namespace quell::ui {
namespace {

constexpr ColorRef Rgb(int r, int g, int b) { return RGB(r, g, b); }

constexpr ColorRef kSentinel = Rgb(1, 2, 3);
constexpr ColorRef kRed = Rgb(200, 40, 30);

MenuPalette TestPalette() {
  MenuPalette p;
  p.menuBack = Rgb(250, 250, 248);
  p.iconColumn = Rgb(230, 228, 220);
  p.selectFill = Rgb(190, 210, 240);
  p.selectBorder = Rgb(40, 100, 200);
  p.selectText = Rgb(0, 0, 64);
  p.menuBarFill = Rgb(236, 233, 216);
  p.disabledText = Rgb(150, 150, 150);
  p.separator = Rgb(180, 180, 170);
  p.checkFrame = Rgb(40, 100, 201);
  p.checkFillNormal = Rgb(214, 225, 243);
  p.checkFillSelected = Rgb(152, 180, 226);
  p.fontColor = Rgb(0, 0, 0);
  return p;
}

// A 16 x 16 image list with one image: a red 8 x 8 square at (4, 4), the
// rest transparent.
class RedSquareList {
 public:
  RedSquareList() : list_(ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 1, 1)) {
    HDC screen = GetDC(nullptr);
    base::BitmapHandle bitmap(CreateCompatibleBitmap(screen, 16, 16));
    {
      base::MemoryDc dc(CreateCompatibleDC(screen));
      base::Selection use(dc.get(), bitmap.get());
      base::BrushHandle magenta(CreateSolidBrush(Rgb(255, 0, 255))), red(CreateSolidBrush(kRed));
      const RECT all{0, 0, 16, 16}, square{4, 4, 12, 12};
      FillRect(dc.get(), &all, magenta.get());
      FillRect(dc.get(), &square, red.get());
    }
    ReleaseDC(nullptr, screen);
    ImageList_AddMasked(list_, bitmap.get(), Rgb(255, 0, 255));
  }
  ~RedSquareList() { ImageList_Destroy(list_); }
  RedSquareList(const RedSquareList&) = delete;
  RedSquareList& operator=(const RedSquareList&) = delete;
  HIMAGELIST get() const { return list_; }

 private:
  HIMAGELIST list_;
};

// The "menu": a 200 x 60 bitmap in the sentinel colour.
class Target {
 public:
  Target() : screen_(), canvas_(screen_.get(), kWidth, kHeight) {
    std::fill_n(canvas_.pixels(), kWidth * kHeight, 0x00010203u);  // kSentinel as a DIB pixel
  }
  HDC dc() const { return canvas_.dc(); }
  ColorRef At(int x, int y) const {
    GdiFlush();
    const std::uint32_t p = canvas_.pixels()[y * kWidth + x];
    return Rgb((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  // Every pixel outside `r` still has the sentinel colour.
  bool UntouchedOutside(const RECT& r) const {
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        const bool inside = x >= r.left && x < r.right && y >= r.top && y < r.bottom;
        if (!inside && At(x, y) != kSentinel) return false;
      }
    return true;
  }
  bool AllSentinel() const { return UntouchedOutside({0, 0, 0, 0}); }
  // Pixels of `r` for which `test` holds.
  int Count(const RECT& r, const std::function<bool(ColorRef)>& test) const {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += test(At(x, y)) ? 1 : 0;
    return n;
  }
  // The darkest pixel of `r` (smallest channel sum).
  ColorRef Darkest(const RECT& r) const {
    ColorRef best = RGB(255, 255, 255);
    auto sum = [](ColorRef c) { return GetRValue(c) + GetGValue(c) + GetBValue(c); };
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x)
        if (sum(At(x, y)) < sum(best)) best = At(x, y);
    return best;
  }
  static constexpr int kWidth = 200, kHeight = 60;

 private:
  base::ScreenDc screen_;
  gui::DibCanvas canvas_;
};

class MenuItemDrawTest : public ::testing::Test {
 protected:
  base::FontHandle font = CreateMenuFont();
  MenuPalette palette = TestPalette();
  MenuDrawOptions options;
  RedSquareList images;
  Target target;
  // A 22-pixel item as the menu would hand it over, 20 pixels in.
  RECT item{20, 10, 180, 32};

  void SetUp() override {
    ASSERT_TRUE(font);
    options.font = font.get();
    ASSERT_TRUE(target.AllSentinel());
  }
  bool Draw(const MenuItemInfo& info, UINT state, const RECT& r) {
    return DrawMenuItem(target.dc(), r, info, state, images.get(), palette, options);
  }
  bool Draw(const MenuItemInfo& info, UINT state) { return Draw(info, state, item); }
  static MenuItemInfo Item(const char* caption, int image = -1) {
    MenuItemInfo info;
    info.caption = caption;
    info.imageIndex = image;
    return info;
  }
  // The text area right of the icon column, in target coordinates.
  RECT TextArea() const { return {item.left + 24, item.top, item.right, item.bottom}; }
};

TEST_F(MenuItemDrawTest, SeparatorLineRowAndStart) {
  const RECT r{20, 10, 180, 14};  // separators are 4 pixels high
  ASSERT_TRUE(Draw(Item("-"), 0, r));
  const int y = 10 + 2;
  const int start = 20 + 24 + 7;  // 7 pixels into the text area
  EXPECT_EQ(target.At(start, y), palette.separator);
  EXPECT_EQ(target.At(start - 1, y), palette.menuBack);
  EXPECT_EQ(target.At(r.right - 1, y), palette.separator);
  for (int row : {10, 11, 13}) EXPECT_EQ(target.At(100, row), palette.menuBack) << row;
  EXPECT_EQ(target.At(30, y), palette.iconColumn);
  EXPECT_TRUE(target.UntouchedOutside(r));
}

TEST_F(MenuItemDrawTest, SelectionBoxHasASolidBorderAndATintedFill) {
  ASSERT_TRUE(Draw(Item("Options ...", 0), ODS_SELECTED));
  for (int x : {20, 60, 179}) EXPECT_EQ(target.At(x, 11), palette.selectBorder) << x;  // top edge
  for (int x : {20, 60, 179}) EXPECT_EQ(target.At(x, 31), palette.selectBorder) << x;  // bottom
  for (int y : {12, 20, 30}) {
    EXPECT_EQ(target.At(20, y), palette.selectBorder) << y;
    EXPECT_EQ(target.At(179, y), palette.selectBorder) << y;
  }
  EXPECT_EQ(target.At(170, 20), palette.selectFill);
  EXPECT_EQ(target.At(21, 12), palette.selectFill);  // the box covers the icon column
  EXPECT_EQ(target.At(100, 10), palette.menuBack);   // the top row stays unselected
  // The text of a selected item is in the selected text colour.
  EXPECT_EQ(target.Darkest(TextArea()), palette.selectText);
  EXPECT_TRUE(target.UntouchedOutside(item));
}

TEST_F(MenuItemDrawTest, UnselectedItemShowsMenuBackgroundAndIconColumn) {
  ASSERT_TRUE(Draw(Item("Options ...", 0), 0));
  EXPECT_EQ(target.At(21, 11), palette.iconColumn);
  EXPECT_EQ(target.At(43, 31), palette.iconColumn);
  EXPECT_EQ(target.At(44, 11), palette.menuBack);
  EXPECT_EQ(target.At(179, 31), palette.menuBack);
  EXPECT_EQ(target.Darkest(TextArea()), palette.fontColor);
  EXPECT_EQ(target.Count(item, [&](ColorRef c) { return c == palette.selectBorder; }), 0);
  EXPECT_TRUE(target.UntouchedOutside(item));
}

TEST_F(MenuItemDrawTest, DisabledItemIsNeverHighlightedAndUsesTheDisabledColour) {
  for (UINT state : {UINT{ODS_SELECTED | ODS_DISABLED}, UINT{ODS_SELECTED | ODS_GRAYED}}) {
    Target fresh;
    ASSERT_TRUE(
        DrawMenuItem(fresh.dc(), item, Item("Unlock", 0), state, images.get(), palette, options));
    auto highlight = [&](ColorRef c) {
      return c == palette.selectFill || c == palette.selectBorder;
    };
    EXPECT_EQ(fresh.Count(item, highlight), 0);
    EXPECT_EQ(fresh.At(21, 11), palette.iconColumn);
    EXPECT_EQ(fresh.At(170, 20), palette.menuBack);
    EXPECT_EQ(fresh.Darkest(TextArea()), palette.disabledText);
    // The image is gray: no pixel keeps any red tint.
    EXPECT_EQ(fresh.Count(item, [](ColorRef c) { return GetRValue(c) > GetGValue(c) + 8; }), 0);
  }
  // The item's own flag disables it as well.
  MenuItemInfo info = Item("Unlock", 0);
  info.enabled = false;
  ASSERT_TRUE(Draw(info, ODS_SELECTED));
  EXPECT_EQ(target.At(170, 20), palette.menuBack);
  EXPECT_EQ(target.Darkest(TextArea()), palette.disabledText);
}

TEST_F(MenuItemDrawTest, SelectedImageIsLiftedWithAShadowTwoPixelsRightAndBelow) {
  ASSERT_TRUE(Draw(Item("Lock Computer", 0), ODS_SELECTED));
  // At rest the image's top-left is 3 pixels into the column and 3 down,
  // (23, 13); its red square starts 4 further in. Lifted: one up and left.
  const int left = 23 - 1 + 4, top = 13 - 1 + 4;
  const ColorRef shadow = Darken(palette.selectFill, 50);
  EXPECT_EQ(target.At(left, top), kRed);
  EXPECT_EQ(target.At(left + 7, top + 7), kRed);
  EXPECT_NE(target.At(left - 1, top), kRed);
  EXPECT_EQ(target.At(left + 9, top + 9), shadow);  // the shadow's bottom-right corner
  EXPECT_EQ(target.At(left + 8, top + 2), shadow);
  EXPECT_EQ(target.At(left + 2, top + 8), shadow);
  EXPECT_EQ(target.At(left + 8, top + 1), palette.selectFill);  // above the shadow
  EXPECT_EQ(target.At(left + 10, top + 9), palette.selectFill);
  EXPECT_EQ(target.At(left + 9, top + 10), palette.selectFill);
}

TEST_F(MenuItemDrawTest, RestingImageIsDimmedInPlaceAndDisabledImageGrayed) {
  ASSERT_TRUE(Draw(Item("Lock Computer", 0), 0));
  const int left = 23 + 4, top = 13 + 4;
  EXPECT_EQ(target.At(left, top), Lighten(kRed, options.dimLevel));
  EXPECT_EQ(target.At(left + 7, top + 7), Lighten(kRed, options.dimLevel));
  EXPECT_EQ(target.At(left - 1, top - 1), palette.iconColumn);
  EXPECT_EQ(target.At(left + 8, top + 8), palette.iconColumn);  // no shadow at rest

  Target gray;
  MenuItemInfo info = Item("Lock Computer", 0);
  info.enabled = false;
  ASSERT_TRUE(DrawMenuItem(gray.dc(), item, info, 0, images.get(), palette, options));
  EXPECT_EQ(gray.At(left, top), Lighten(GrayOf(kRed, options.grayLevel), 40));

  // On a low-colour display the resting image keeps its colours.
  Target plain;
  options.highColor = false;
  ASSERT_TRUE(
      DrawMenuItem(plain.dc(), item, Item("Lock Computer", 0), 0, images.get(), palette, options));
  EXPECT_EQ(plain.At(left, top), kRed);
}

TEST_F(MenuItemDrawTest, CheckedItemsGetTheirMarks) {
  MenuItemInfo check = Item("Beep");
  check.checked = true;
  ASSERT_TRUE(Draw(check, 0));
  // A 10 x 10 box centred in the column: (20 + 7, 10 + 6) to (37, 26).
  EXPECT_EQ(target.At(27, 16), palette.checkFrame);
  EXPECT_EQ(target.At(36, 25), palette.checkFrame);
  EXPECT_GT(target.Count({27, 16, 39, 26}, [](ColorRef c) { return c == RGB(0, 0, 0); }), 8);

  Target radio;
  MenuItemInfo dot = Item("Beep");
  dot.checked = true;
  dot.radioItem = true;
  ASSERT_TRUE(DrawMenuItem(radio.dc(), item, dot, ODS_SELECTED, images.get(), palette, options));
  EXPECT_EQ(radio.At(32, 21), palette.selectBorder);  // the solid dot in the middle
  EXPECT_EQ(radio.Count({27, 16, 37, 26}, [](ColorRef c) { return c == RGB(0, 0, 0); }), 0);

  // With an image, a frame around it and no dimming of the image.
  Target framed;
  MenuItemInfo image = Item("Lock Computer", 0);
  image.checked = true;
  ASSERT_TRUE(DrawMenuItem(framed.dc(), item, image, 0, images.get(), palette, options));
  EXPECT_EQ(framed.At(21, 12), palette.selectBorder);  // the check area's corner: (1, 2) in
  EXPECT_EQ(framed.At(22, 13), palette.checkFillNormal);
  EXPECT_EQ(framed.At(27, 17), kRed);
}

TEST_F(MenuItemDrawTest, ShortcutIsRightAlignedTenPixelsIn) {
  MenuItemInfo lock = Item("Lock Computer", 0);
  lock.shortcutText = "Ctrl+Alt+L";
  ASSERT_TRUE(Draw(lock, 0));
  auto ink = [&](ColorRef c) { return c != palette.menuBack; };
  int rightmost = -1;
  for (int x = item.right - 1; x >= item.left + 24 && rightmost < 0; --x) {
    if (target.Count({x, item.top, x + 1, item.bottom}, ink) > 0) rightmost = x;
  }
  // The text ends at the edge 10 pixels in, less the trailing space.
  EXPECT_LT(rightmost, item.right - 10);
  EXPECT_GT(rightmost, item.right - 10 - 8);
}

TEST_F(MenuItemDrawTest, DefaultItemIsDrawnHeavier) {
  ASSERT_TRUE(Draw(Item("Options ..."), 0));
  auto dark = [](ColorRef c) { return GetRValue(c) + GetGValue(c) + GetBValue(c) < 600; };
  const int normal = target.Count(TextArea(), dark);
  Target heavy;
  ASSERT_TRUE(DrawMenuItem(heavy.dc(), item, Item("Options ..."), ODS_DEFAULT, images.get(),
                           palette, options));
  EXPECT_GT(heavy.Count(TextArea(), dark), normal + normal / 4);
  EXPECT_TRUE(heavy.UntouchedOutside(item));
}

TEST_F(MenuItemDrawTest, ItemsThatCannotBeComposedLeaveTheMenuAlone) {
  EXPECT_TRUE(Draw(Item("Empty"), 0, {50, 20, 50, 40}));
  EXPECT_FALSE(Draw(Item("Huge"), 0, {0, 0, 200000, 200000}));
  EXPECT_TRUE(target.AllSentinel());
  // A broken bitmap handle is drawn as an item without an image.
  MenuItemInfo broken = Item("Options ...");
  broken.bitmap = reinterpret_cast<HBITMAP>(static_cast<INT_PTR>(0x7777));
  EXPECT_TRUE(Draw(broken, 0));
  EXPECT_EQ(target.At(30, 20), palette.iconColumn);
}

TEST_F(MenuItemDrawTest, ItemBitmapIsTransparentInItsCornerColour) {
  HDC screen = GetDC(nullptr);
  base::BitmapHandle bitmap(CreateCompatibleBitmap(screen, 16, 16));
  {
    base::MemoryDc dc(CreateCompatibleDC(screen));
    base::Selection use(dc.get(), bitmap.get());
    base::BrushHandle key(CreateSolidBrush(Rgb(0, 128, 128))), red(CreateSolidBrush(kRed));
    const RECT all{0, 0, 16, 16}, square{4, 4, 12, 12};
    FillRect(dc.get(), &all, key.get());
    FillRect(dc.get(), &square, red.get());
  }
  ReleaseDC(nullptr, screen);
  MenuItemInfo info = Item("Lock Computer");
  info.bitmap = bitmap.get();
  options.highColor = false;  // keep the colours as they are
  ASSERT_TRUE(Draw(info, 0));
  EXPECT_EQ(target.At(27, 17), kRed);
  EXPECT_EQ(target.At(24, 14), palette.iconColumn);  // the key colour is not drawn
}

TEST(MenuItemMeasure, FiguresWithTheSystemMenuFont) {
  const base::FontHandle font = CreateMenuFont();
  base::ScreenDc screen;
  base::MemoryDc dc(CreateCompatibleDC(screen.get()));
  MenuDrawOptions options;
  options.font = font.get();
  RedSquareList images;
  SIZE w{};
  {
    base::Selection use(dc.get(), font.get());
    GetTextExtentPoint32A(dc.get(), "W", 1, &w);
  }
  auto measure = [&](const MenuItemInfo& info) {
    int width = 0, height = 0;
    MeasureMenuItem(dc.get(), info, images.get(), options, width, height);
    return SIZE{width, height};
  };
  MenuItemInfo withImage;
  withImage.caption = "Options ...";
  withImage.imageIndex = 0;
  MenuItemInfo plain;
  plain.caption = "Home";
  MenuItemInfo separator;
  separator.caption = "-";
  const int th = static_cast<int>(w.cy);
  const int textOnly = th + RoundHalfEven(th, 4);
  EXPECT_EQ(measure(separator).cy, 4);
  EXPECT_EQ(measure(plain).cy, textOnly);
  EXPECT_EQ(measure(withImage).cy, std::max(textOnly, 22));
  if (th == 13) {
    EXPECT_EQ(measure(plain).cy, 16);
    EXPECT_EQ(measure(withImage).cy, 22);
  }
  MenuItemInfo help = plain;
  help.hasSubItems = true;
  EXPECT_EQ(measure(help).cx, measure(plain).cx + 6);
  MenuItemInfo lock = withImage;
  lock.shortcutText = "Ctrl+Alt+L";
  EXPECT_GT(measure(lock).cx, measure(withImage).cx + 3 * w.cx);
  std::printf("menu font text height %d\n", th);
}

TEST(MenuRenderer, AColourChangeTakesEffectAtTheNextItemPainted) {
  MenuRenderer renderer;
  EXPECT_FALSE(renderer.PaletteDirty());  // computed once at construction
  EXPECT_TRUE(renderer.HighColor());
  Target target;
  const RECT item{20, 10, 180, 32};
  MenuItemInfo info;
  info.caption = "Options ...";
  ASSERT_TRUE(renderer.Draw(target.dc(), item, info, ODS_SELECTED, nullptr));
  const ColorRef systemBorder = GetSysColor(COLOR_HIGHLIGHT);
  EXPECT_EQ(target.At(20, 11), systemBorder);

  renderer.SetUseSystemColors(false);
  renderer.SetColor(&PainterColors::SelectBorderColor, RGB(255, 0, 0));
  renderer.SetColor(&PainterColors::SelectColor, RGB(255, 255, 0));
  EXPECT_TRUE(renderer.PaletteDirty());
  EXPECT_EQ(renderer.Palette().selectBorder, systemBorder);  // not before
  ASSERT_TRUE(renderer.Draw(target.dc(), item, info, ODS_SELECTED, nullptr));
  EXPECT_FALSE(renderer.PaletteDirty());
  EXPECT_EQ(target.At(20, 11), RGB(255, 0, 0));
  EXPECT_EQ(target.At(170, 20), RGB(255, 255, 0));

  // The font's colour is the caption colour.
  renderer.SetFont(renderer.Font(), RGB(0, 128, 0));
  ASSERT_TRUE(renderer.Draw(target.dc(), item, info, 0, nullptr));
  EXPECT_EQ(target.Darkest({44, 10, 180, 32}), RGB(0, 128, 0));
}

TEST(MenuPalette, RealDeviceIsHighColour) {
  base::ScreenDc screen;
  base::MemoryDc dc(CreateCompatibleDC(screen.get()));
  bool high = false;
  const MenuPalette p = PaletteFor(dc.get(), PainterColors{}, &high);
  EXPECT_TRUE(high);
  EXPECT_EQ(p.menuBack, Lighten(GetSysColor(COLOR_BTNFACE), 86));
  EXPECT_EQ(p.selectBorder, GetSysColor(COLOR_HIGHLIGHT));
}

}  // namespace
}  // namespace quell::ui
