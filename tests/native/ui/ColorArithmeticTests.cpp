// Colour values and their arithmetic: exact results, rounding a half to the
// even neighbour, clamping, and system colours resolved before arithmetic.
#include <gtest/gtest.h>

#include "ui/MenuPainterCore.h"

namespace quell::ui {
namespace {

constexpr ColorRef Rgb(int r, int g, int b) {
  return static_cast<ColorRef>(r) | (static_cast<ColorRef>(g) << 8) |
         (static_cast<ColorRef>(b) << 16);
}

class TableColors final : public SystemColors {
 public:
  ColorRef SysColor(int index) const override {
    switch (index) {
      case 15: return Rgb(236, 233, 216);
      case 16: return Rgb(172, 168, 153);
      default: return 0xAA000000u | static_cast<ColorRef>(index);  // junk in the high byte
    }
  }
};

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfEven(1, 2), 0);
  EXPECT_EQ(RoundHalfEven(3, 2), 2);
  EXPECT_EQ(RoundHalfEven(5, 2), 2);
  EXPECT_EQ(RoundHalfEven(7, 2), 4);
  EXPECT_EQ(RoundHalfEven(2550, 100), 26);  // 25.5
  EXPECT_EQ(RoundHalfEven(7650, 100), 76);  // 76.5
  EXPECT_EQ(RoundHalfEven(151, 100), 2);    // 1.51: not a half
  EXPECT_EQ(RoundHalfEven(149, 100), 1);
  EXPECT_EQ(RoundHalfEven(-1, 2), 0);
  EXPECT_EQ(RoundHalfEven(-3, 2), -2);
  EXPECT_EQ(RoundHalfEven(-7, 4), -2);  // -1.75
  EXPECT_EQ(RoundHalfEven(3, -2), -2);
}

TEST(Lighten, ExactValuesWithHalvesRoundedToEven) {
  // 255 * 30 / 100 = 76.5 -> 76; rounding a half up would give 77.
  EXPECT_EQ(Lighten(Rgb(0, 0, 0), 30), Rgb(76, 76, 76));
  EXPECT_EQ(Lighten(Rgb(0, 0, 0), 10), Rgb(26, 26, 26));  // 25.5 -> 26
  // 0.5 -> 0, 1.25 -> 1, 1.5 -> 2
  EXPECT_EQ(Lighten(Rgb(253, 250, 249), 25), Rgb(253, 251, 251));
  EXPECT_EQ(Lighten(Rgb(236, 233, 216), 86), Rgb(252, 252, 250));
  EXPECT_EQ(Lighten(Rgb(49, 106, 197), 68), Rgb(189, 207, 236));
}

TEST(Lighten, PercentIsCappedAndTheHighByteIgnored) {
  const ColorRef c = Rgb(10, 120, 240);
  EXPECT_EQ(Lighten(c, 0), c);
  EXPECT_EQ(Lighten(c, 100), clWhite);
  EXPECT_EQ(Lighten(c, 255), clWhite);
  EXPECT_EQ(Lighten(c, -40), c);
  EXPECT_EQ(Lighten(0x80000000u | c, 50), Lighten(c, 50));
  EXPECT_EQ(Lighten(clWhite, 50), clWhite);
}

TEST(Darken, GreenKeepsTwoMoreAndEveryChannelIsClamped) {
  EXPECT_EQ(Darken(Rgb(100, 100, 100), 30), Rgb(70, 72, 70));
  EXPECT_EQ(Darken(Rgb(10, 100, 250), 50), Rgb(0, 52, 200));
  EXPECT_EQ(Darken(Rgb(255, 254, 255), 0), Rgb(255, 255, 255));
  EXPECT_EQ(Darken(Rgb(0, 0, 0), 60), Rgb(0, 0, 0));
  EXPECT_EQ(Darken(Rgb(250, 250, 250), -20), Rgb(255, 255, 255));
  EXPECT_EQ(Darken(Rgb(189, 207, 236), 50), Rgb(139, 159, 186));
}

TEST(GrayOf, AverageWithIntegerDivisionPlusNCappedAt240) {
  EXPECT_EQ(GrayOf(Rgb(30, 60, 90), 10), Rgb(70, 70, 70));
  EXPECT_EQ(GrayOf(Rgb(1, 1, 2), 0), Rgb(1, 1, 1));  // 4 / 3 = 1
  EXPECT_EQ(GrayOf(Rgb(200, 40, 30), 10), Rgb(100, 100, 100));
  EXPECT_EQ(GrayOf(Rgb(230, 230, 230), 10), Rgb(240, 240, 240));
  EXPECT_EQ(GrayOf(clWhite, 10), Rgb(240, 240, 240));
  EXPECT_EQ(GrayOf(Rgb(5, 5, 5), -20), Rgb(0, 0, 0));
}

TEST(ReadableTextColor, FontColourOnlyOnALightBackground) {
  const ColorRef font = Rgb(1, 2, 3);
  EXPECT_EQ(ReadableTextColor(Rgb(200, 100, 200), font), font);  // (R+B)/2 = 200
  EXPECT_EQ(ReadableTextColor(Rgb(0, 201, 0), font), font);      // G > 200
  // Exactly on both limits: not light enough.
  const ColorRef edge = Rgb(150, 200, 151);  // (150+151)/2 = 150
  EXPECT_EQ(ReadableTextColor(edge, font), Lighten(edge, 90));
  EXPECT_EQ(ReadableTextColor(Rgb(0, 0, 0), font), Rgb(230, 230, 230));  // 229.5 -> 230
}

TEST(ResolveColor, SystemReferencesLookedUpOthersMasked) {
  const TableColors table;
  EXPECT_EQ(ResolveColor(clBtnFace, table), Rgb(236, 233, 216));
  EXPECT_EQ(ResolveColor(clBtnShadow, table), Rgb(172, 168, 153));
  EXPECT_EQ(ResolveColor(clHighlight, table), 13u);  // the table's high byte is dropped
  EXPECT_EQ(ResolveColor(Rgb(1, 2, 3), table), Rgb(1, 2, 3));
  EXPECT_EQ(ResolveColor(0x02000000u | Rgb(1, 2, 3), table), Rgb(1, 2, 3));
}

TEST(MakeColor, ChannelsAreClamped) {
  EXPECT_EQ(MakeColor(-5, 300, 128), Rgb(0, 255, 128));
  EXPECT_EQ(RedOf(Rgb(1, 2, 3)), 1);
  EXPECT_EQ(GreenOf(Rgb(1, 2, 3)), 2);
  EXPECT_EQ(BlueOf(Rgb(1, 2, 3)), 3);
}

}  // namespace
}  // namespace quell::ui
