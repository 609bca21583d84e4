// The working palette: with system colours it follows the system whatever
// the colour properties say; a display of 15 bits or fewer gets the plain
// palette with a white menu and selection; without system colours the
// properties are used, dimmed where asked.
#include <gtest/gtest.h>

#include "ui/MenuPainterCore.h"

namespace quell::ui {
namespace {

constexpr ColorRef Rgb(int r, int g, int b) {
  return static_cast<ColorRef>(r) | (static_cast<ColorRef>(g) << 8) |
         (static_cast<ColorRef>(b) << 16);
}

constexpr ColorRef kFace = Rgb(236, 233, 216);
constexpr ColorRef kShadow = Rgb(172, 168, 153);
constexpr ColorRef kHighlight = Rgb(49, 106, 197);
constexpr ColorRef kMenuText = Rgb(0, 0, 1);
constexpr ColorRef kInactiveCaption = Rgb(122, 150, 223);

class XpColors final : public SystemColors {
 public:
  ColorRef SysColor(int index) const override {
    switch (index) {
      case 3: return kInactiveCaption;
      case 7: return kMenuText;
      case 13: return kHighlight;
      case 15: return kFace;
      case 16: return kShadow;
      default: return Rgb(9, 9, 9);
    }
  }
};

TEST(Palette, SystemColoursOnAHighColourDisplay) {
  const MenuPalette p = ComputePalette(PainterColors{}, true, XpColors{});
  EXPECT_EQ(p.menuBack, Rgb(252, 252, 250));
  EXPECT_EQ(p.iconColumn, Rgb(239, 237, 222));
  EXPECT_EQ(p.selectFill, Rgb(189, 207, 236));
  EXPECT_EQ(p.selectBorder, kHighlight);
  EXPECT_EQ(p.selectText, kMenuText);
  EXPECT_EQ(p.menuBarFill, kFace);
  EXPECT_EQ(p.disabledText, Rgb(180, 177, 163));
  EXPECT_EQ(p.separator, Rgb(193, 190, 179));
  EXPECT_EQ(p.checkFrame, kHighlight);
  EXPECT_EQ(p.checkFillNormal, Rgb(214, 225, 243));
  EXPECT_EQ(p.checkFillSelected, Rgb(152, 180, 226));
  EXPECT_EQ(p.fontColor, kMenuText);
  // The icon column is darker than the menu, the selection tinted.
  EXPECT_LT(GreenOf(p.iconColumn), GreenOf(p.menuBack));
  EXPECT_NE(p.selectFill, p.menuBack);
}

TEST(Palette, FifteenBitDisplayGetsThePlainPalette) {
  for (int bits : {1, 4, 8, 15}) {
    ASSERT_FALSE(IsHighColor(bits)) << bits;
    const MenuPalette p = ComputePalette(PainterColors{}, IsHighColor(bits), XpColors{});
    EXPECT_EQ(p.menuBack, clWhite);
    EXPECT_EQ(p.selectFill, clWhite);
    EXPECT_EQ(p.iconColumn, kFace);
    EXPECT_EQ(p.selectBorder, kHighlight);
    EXPECT_EQ(p.disabledText, kShadow);
    EXPECT_EQ(p.separator, kShadow);
    EXPECT_EQ(p.checkFillNormal, clWhite);
    EXPECT_EQ(p.checkFillSelected, clWhite);
    EXPECT_EQ(p.menuBarFill, kFace);
  }
  EXPECT_TRUE(IsHighColor(16));
  EXPECT_TRUE(IsHighColor(32));
}

TEST(Palette, WithSystemColoursTheColourPropertiesHaveNoEffect) {
  PainterColors changed;
  changed.Color = Rgb(255, 0, 0);
  changed.IconBackColor = Rgb(0, 255, 0);
  changed.SelectColor = Rgb(0, 0, 255);
  changed.SelectBorderColor = Rgb(1, 1, 1);
  changed.SelectFontColor = Rgb(2, 2, 2);
  changed.DisabledColor = clInactiveCaptionText;
  changed.SeparatorColor = Rgb(3, 3, 3);
  changed.CheckedColor = Rgb(4, 4, 4);
  changed.MenuBarColor = Rgb(5, 5, 5);
  changed.UseDimColor = true;
  for (bool high : {true, false}) {
    EXPECT_EQ(ComputePalette(changed, high, XpColors{}),
              ComputePalette(PainterColors{}, high, XpColors{}));
  }
  // The selected text follows the font, not SelectFontColor.
  changed.FontColor = Rgb(7, 8, 9);
  EXPECT_EQ(ComputePalette(changed, true, XpColors{}).selectText, Rgb(7, 8, 9));
}

TEST(Palette, OwnColoursWhenSystemColoursAreOff) {
  PainterColors c;
  c.UseSystemColors = false;
  c.Color = Rgb(250, 250, 250);
  c.IconBackColor = Rgb(200, 200, 200);
  c.SelectColor = Rgb(0, 0, 0);
  c.SelectBorderColor = Rgb(10, 20, 30);
  c.SelectFontColor = Rgb(40, 50, 60);
  c.DisabledColor = clInactiveCaption;  // resolved
  c.SeparatorColor = Rgb(70, 80, 90);
  c.CheckedColor = Rgb(11, 12, 13);
  c.MenuBarColor = clBtnFace;

  MenuPalette p = ComputePalette(c, true, XpColors{});
  EXPECT_EQ(p.menuBack, Rgb(250, 250, 250));
  EXPECT_EQ(p.iconColumn, Rgb(200, 200, 200));
  EXPECT_EQ(p.selectFill, Rgb(0, 0, 0));
  EXPECT_EQ(p.selectBorder, Rgb(10, 20, 30));
  EXPECT_EQ(p.selectText, Rgb(40, 50, 60));
  EXPECT_EQ(p.disabledText, kInactiveCaption);
  EXPECT_EQ(p.separator, Rgb(70, 80, 90));
  EXPECT_EQ(p.checkFrame, Rgb(11, 12, 13));
  EXPECT_EQ(p.menuBarFill, kFace);
  EXPECT_EQ(p.checkFillNormal, Rgb(0, 0, 0));
  EXPECT_EQ(p.checkFillSelected, Rgb(0, 0, 0));

  c.UseDimColor = true;
  p = ComputePalette(c, true, XpColors{});
  EXPECT_EQ(p.selectFill, Rgb(173, 173, 173));         // 255 * 0.68 = 173.4
  EXPECT_EQ(p.checkFillNormal, Rgb(204, 204, 204));    // 204
  EXPECT_EQ(p.checkFillSelected, Rgb(128, 128, 128));  // 127.5 -> 128

  p = ComputePalette(c, false, XpColors{});
  EXPECT_EQ(p.selectFill, Rgb(0, 0, 0));
  EXPECT_EQ(p.checkFillNormal, clWhite);
  EXPECT_EQ(p.checkFillSelected, clSilver);
}

// Each system colour index answers a colour of its own, so that every
// entry of a palette names the index it came from.
class IndexColors final : public SystemColors {
 public:
  ColorRef SysColor(int index) const override { return Rgb(index, 100, 200); }
};

TEST(Palette, HighContrastDrawsEveryStateInTheSystemsMenuColours) {
  constexpr int kMenu = 4, kMenuTextIndex = 7, kHighlightIndex = 13, kHighlightTextIndex = 14,
                kGrayText = 17;
  const MenuPalette p = HighContrastPalette(IndexColors{});
  const struct {
    const char* what;
    ColorRef MenuPalette::*entry;
    int index;
  } table[] = {
      {"background", &MenuPalette::menuBack, kMenu},
      {"icon column", &MenuPalette::iconColumn, kMenu},
      {"menu bar", &MenuPalette::menuBarFill, kMenu},
      {"text", &MenuPalette::fontColor, kMenuTextIndex},
      {"selection", &MenuPalette::selectFill, kHighlightIndex},
      {"selection frame", &MenuPalette::selectBorder, kHighlightIndex},
      {"selected text", &MenuPalette::selectText, kHighlightTextIndex},
      {"disabled text", &MenuPalette::disabledText, kGrayText},
      {"separator", &MenuPalette::separator, kMenuTextIndex},
      {"check frame", &MenuPalette::checkFrame, kMenuTextIndex},
      {"check mark", &MenuPalette::tick, kMenuTextIndex},
      {"check box", &MenuPalette::checkFillNormal, kMenu},
      {"check box, selected", &MenuPalette::checkFillSelected, kMenu},
  };
  for (const auto& row : table) EXPECT_EQ(p.*row.entry, Rgb(row.index, 100, 200)) << row.what;
  // Off high contrast the check mark stays black, as it always was.
  PainterColors own;
  own.UseSystemColors = false;
  EXPECT_EQ(ComputePalette(PainterColors{}, true, IndexColors{}).tick, clBlack);
  EXPECT_EQ(ComputePalette(own, false, IndexColors{}).tick, clBlack);
}

}  // namespace
}  // namespace quell::ui
