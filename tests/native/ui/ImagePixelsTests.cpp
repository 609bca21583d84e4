// Item images as pixels: recovering an image and its transparency from two
// renderings or from a transparent corner colour, the lifted image with its
// shadow, the dimmed and grayed images, blending and clipping.
#include <gtest/gtest.h>

#include <vector>

#include "ui/MenuImagePixels.h"

namespace quell::ui {
namespace {

constexpr ColorRef Rgb(int r, int g, int b) {
  return static_cast<ColorRef>(r) | (static_cast<ColorRef>(g) << 8) |
         (static_cast<ColorRef>(b) << 16);
}

constexpr ColorRef kBack = Rgb(250, 250, 248);
constexpr ColorRef kRed = Rgb(200, 40, 30);
constexpr ColorRef kSelect = Rgb(189, 207, 236);

struct Surface {
  int width, height;
  std::vector<DibPixel> pixels;
  Surface(int w, int h)
      : width(w), height(h), pixels(static_cast<size_t>(w) * h, DibOf(kBack, 0)) {}
  PixelSurface View() { return {pixels.data(), width, height}; }
  ColorRef At(int x, int y) const { return ColorOfDib(pixels[static_cast<size_t>(y) * width + x]); }
};

// A 6 x 6 image whose middle 4 x 4 is solid red; the rest is transparent.
PixelImage RedSquare() {
  PixelImage image{6, 6, std::vector<DibPixel>(36, 0)};
  for (int y = 1; y <= 4; ++y)
    for (int x = 1; x <= 4; ++x) image.pixels[static_cast<size_t>(y) * 6 + x] = DibOf(kRed);
  return image;
}

TEST(DibPixels, ConvertBetweenColorRefAndDibOrder) {
  EXPECT_EQ(DibOf(Rgb(1, 2, 3)), 0xFF010203u);
  EXPECT_EQ(DibOf(Rgb(1, 2, 3), 0x40), 0x40010203u);
  EXPECT_EQ(ColorOfDib(0x12010203u), Rgb(1, 2, 3));
}

TEST(ImageFromRenderings, OpaqueTransparentAndHalfCovered) {
  const std::vector<DibPixel> black{DibOf(kRed, 0), 0x00000000u, DibOf(Rgb(64, 0, 32), 0)};
  const std::vector<DibPixel> white{DibOf(kRed, 0), 0x00FFFFFFu, DibOf(Rgb(191, 127, 159), 0)};
  const PixelImage image = ImageFromRenderings(black, white, 3, 1);
  EXPECT_EQ(image.pixels[0], DibOf(kRed));
  EXPECT_EQ(AlphaOf(image.pixels[1]), 0u);
  EXPECT_EQ(AlphaOf(image.pixels[2]), 128u);
  EXPECT_EQ(ColorOfDib(image.pixels[2]), Rgb(128, 0, 64));
  EXPECT_THROW(ImageFromRenderings(black, white, 2, 2), std::invalid_argument);
}

TEST(ImageWithTransparentCorner, BottomLeftPixelNamesTheTransparentColour) {
  const DibPixel key = DibOf(Rgb(255, 0, 255), 0);
  // 2 x 2: top row red and key, bottom row key and blue.
  const std::vector<DibPixel> pixels{DibOf(kRed, 0), key, key, DibOf(Rgb(0, 0, 255), 0)};
  const PixelImage image = ImageWithTransparentCorner(pixels, 2, 2);
  EXPECT_EQ(image.pixels[0], DibOf(kRed));
  EXPECT_EQ(AlphaOf(image.pixels[1]), 0u);
  EXPECT_EQ(AlphaOf(image.pixels[2]), 0u);
  EXPECT_EQ(image.pixels[3], DibOf(Rgb(0, 0, 255)));
  EXPECT_TRUE(ImageWithTransparentCorner({}, 0, 0).pixels.empty());
}

TEST(PlaceImage, LiftedImageWithItsShadowTwoPixelsRightAndBelow) {
  Surface s(20, 20);
  PixelImage image = RedSquare();
  ImageDrawing drawing;
  drawing.effect = ImageEffect::Lifted;
  drawing.selectFill = kSelect;
  PlaceImage(s.View(), image, {5, 5}, drawing);
  const ColorRef shadow = Darken(kSelect, 50);
  // The red square rests at 6..9; lifted it covers 5..8, its shadow 7..10.
  EXPECT_EQ(s.At(5, 5), kRed);
  EXPECT_EQ(s.At(8, 8), kRed);
  EXPECT_EQ(s.At(9, 9), shadow);
  EXPECT_EQ(s.At(10, 10), shadow);
  EXPECT_EQ(s.At(10, 7), shadow);
  EXPECT_EQ(s.At(11, 10), kBack);
  EXPECT_EQ(s.At(4, 4), kBack);
  EXPECT_EQ(s.At(9, 6), kBack);  // right of the lifted image, above the shadow
}

TEST(PlaceImage, DimmedAndGrayedStayInPlace) {
  for (auto [effect, expected] :
       {std::pair{ImageEffect::Dimmed, Rgb(216, 104, 98)},
        std::pair{ImageEffect::Grayed, Rgb(162, 162, 162)}, std::pair{ImageEffect::Plain, kRed}}) {
    Surface s(12, 12);
    PixelImage image = RedSquare();
    ImageDrawing drawing;
    drawing.effect = effect;
    PlaceImage(s.View(), image, {2, 2}, drawing);
    EXPECT_EQ(s.At(3, 3), expected);
    EXPECT_EQ(s.At(6, 6), expected);
    EXPECT_EQ(s.At(2, 2), kBack);  // transparent pixels leave the background
    EXPECT_EQ(s.At(7, 7), kBack);
  }
}

TEST(Composite, BlendsByAlphaAndClipsAtEveryEdge) {
  Surface s(4, 4);
  PixelImage half{1, 1, {DibOf(Rgb(0, 0, 0), 128)}};
  Composite(s.View(), half, {1, 1});
  EXPECT_EQ(s.At(1, 1), Rgb(125, 125, 124));  // 250 * 127 / 255 rounded
  PixelImage big = RedSquare();
  for (Point at : {Point{-3, -3}, Point{2, -4}, Point{-5, 2}, Point{3, 3}, Point{40, 40}}) {
    Composite(s.View(), big, at);
    PaintSilhouette(s.View(), big, at, kSelect);
  }
  EXPECT_EQ(s.At(0, 0), kSelect);  // from {-3, -3}: the square reaches (1, 1) of the surface
  EXPECT_EQ(s.At(3, 3), kBack);    // from {3, 3}: only the transparent border lands here
}

TEST(TransformColors, RunsOfEqualPixelsAreTransformedOnce) {
  PixelImage image{8, 1, {}};
  image.pixels = {DibOf(kRed), DibOf(kRed),  DibOf(kRed),  0,
                  DibOf(kRed), DibOf(kBack), DibOf(kBack), DibOf(kRed)};
  int calls = 0;
  TransformColors(image, [&](ColorRef c) {
    ++calls;
    return Lighten(c, 50);
  });
  EXPECT_EQ(calls, 3);  // red (the transparent pixel breaks no run), background, red
  EXPECT_EQ(image.pixels[0], DibOf(Lighten(kRed, 50)));
  EXPECT_EQ(image.pixels[3], 0u);
  EXPECT_EQ(image.pixels[5], DibOf(Lighten(kBack, 50)));
  EXPECT_EQ(image.pixels[7], DibOf(Lighten(kRed, 50)));
}

}  // namespace
}  // namespace quell::ui
