// Measuring an item: the 22/16/4 figures of a 13-pixel font, the "WWW"
// reserve before a shortcut, the "&" correction, the sub-menu extra, wide
// and tall images, and proposals that are only ever raised.
#include <gtest/gtest.h>

#include <string>

#include "ui/MenuPainterCore.h"

namespace quell::ui {
namespace {

// Every character 7 pixels wide except "W" (11) and "&" (5); one height.
class FixedMetrics final : public TextMetrics {
 public:
  explicit FixedMetrics(int height = 13) : height_(height) {}
  int TextWidth(std::string_view text) const override {
    int w = 0;
    for (char c : text) w += c == 'W' ? 11 : c == '&' ? 5 : 7;
    return w;
  }
  int TextHeight(std::string_view) const override { return height_; }

 private:
  int height_;
};

struct Size {
  int width = 0, height = 0;
};

Size Measure(const MeasureRequest& item, const TextMetrics& metrics = FixedMetrics(),
             Size proposed = {}) {
  MeasureItem(item, metrics, kDefaultIconWidth, proposed.width, proposed.height);
  return proposed;
}

MeasureRequest Item(std::string_view caption, bool image = false) {
  MeasureRequest r;
  r.caption = caption;
  r.hasImage = image;
  r.imageWidth = image ? 16 : 0;
  r.imageHeight = image ? 16 : 0;
  return r;
}

TEST(MeasureItem, FiguresForAThirteenPixelFont) {
  EXPECT_EQ(Measure(Item("Options ...", true)).height, 22);
  EXPECT_EQ(Measure(Item("Home")).height, 16);
  EXPECT_EQ(Measure(Item("-")).height, 4);
  EXPECT_EQ(Measure(Item("-", true)).height, 4);  // a separator ignores any image
  // Text + 5, plus the icon column, which every pop-up item reserves.
  EXPECT_EQ(Measure(Item("Options ...", true)).width, 11 * 7 + 5 + 24);
  EXPECT_EQ(Measure(Item("Home")).width, 4 * 7 + 5 + 24);
  EXPECT_EQ(Measure(Item("-")).width, 5 + 24);
}

TEST(MeasureItem, TextHeightPlusAQuarterRoundedHalfToEven) {
  EXPECT_EQ(Measure(Item("x"), FixedMetrics(10)).height, 12);  // 2.5 -> 2
  EXPECT_EQ(Measure(Item("x"), FixedMetrics(14)).height, 18);  // 3.5 -> 4
  EXPECT_EQ(Measure(Item("x"), FixedMetrics(18)).height, 22);  // 4.5 -> 4
  EXPECT_EQ(Measure(Item("x"), FixedMetrics(16)).height, 20);
  // A large font outgrows the image's 16 + 6.
  EXPECT_EQ(Measure(Item("x", true), FixedMetrics(24)).height, 30);
}

TEST(MeasureItem, ShortcutAddsItsTextAndTheWwwReserve) {
  MeasureRequest lock = Item("Lock Computer", true);
  const int plain = Measure(lock).width;
  lock.shortcutText = "Ctrl+Alt+L";
  EXPECT_EQ(Measure(lock).width, plain + 10 * 7 + 3 * 11);
  lock.shortcutText = "   ";  // nothing after trimming: no shortcut
  EXPECT_EQ(Measure(lock).width, plain);
}

TEST(MeasureItem, AmpersandIsNotCounted) {
  // "E&xit" is measured with the "&" and corrected by its width.
  EXPECT_EQ(Measure(Item("E&xit")).width, Measure(Item("Exit")).width);
  // "&&" shows one "&": one is taken off.
  EXPECT_EQ(Measure(Item("A&&B")).width, (7 + 5 + 5 + 7) + 5 - 5 + 24);
}

TEST(MeasureItem, SubMenuExtraOnlyOffTheMenuBar) {
  MeasureRequest help = Item("Help");
  const int plain = Measure(help).width;
  help.hasSubItems = true;
  EXPECT_EQ(Measure(help).width, plain + 6);
  help.menuBarItem = true;
  // A menu-bar item reserves neither the sub-menu extra nor the icon column.
  EXPECT_EQ(Measure(help).width, 4 * 7 + 5);
}

TEST(MeasureItem, ImagesWiderOrTallerThanTheColumn) {
  MeasureRequest wide = Item("Go", true);
  wide.imageWidth = 32;
  wide.imageHeight = 20;
  const Size s = Measure(wide);
  EXPECT_EQ(s.width, 2 * 7 + 5 + 32);
  EXPECT_EQ(s.height, 26);
  // On the menu bar an image counts at its own width.
  MeasureRequest bar = Item("Go", true);
  bar.menuBarItem = true;
  EXPECT_EQ(Measure(bar).width, 2 * 7 + 5 + 16);
}

TEST(MeasureItem, ProposedSizesAreOnlyRaised) {
  const Size big = Measure(Item("Home"), FixedMetrics(), {500, 40});
  EXPECT_EQ(big.width, 500);
  EXPECT_EQ(big.height, 40);
  const Size mixed = Measure(Item("Home"), FixedMetrics(), {10, 40});
  EXPECT_EQ(mixed.width, 57);
  EXPECT_EQ(mixed.height, 40);
  const Size separator = Measure(Item("-"), FixedMetrics(), {0, 2});
  EXPECT_EQ(separator.height, 4);
}

}  // namespace
}  // namespace quell::ui
