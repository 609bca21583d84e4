// Item images as pixels: how an image is taken from its two renderings (on
// black and on white) or from a bitmap with a transparent colour, how it is
// dimmed, grayed and lifted with a shadow, and how it is laid onto the
// item's off-screen picture. No window or device is involved.
#pragma once

#include <cstdint>
#include <vector>

#include "MenuPainterCore.h"

namespace quell::ui {

// One pixel as a 32-bit top-down DIB holds it: 0xAARRGGBB.
using DibPixel = std::uint32_t;

constexpr ColorRef ColorOfDib(DibPixel p) {
  return ((p >> 16) & 0xFFu) | (p & 0xFF00u) | ((p & 0xFFu) << 16);
}
constexpr DibPixel DibOf(ColorRef c, std::uint32_t alpha = 255) {
  return (alpha << 24) | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
constexpr std::uint32_t AlphaOf(DibPixel p) { return p >> 24; }

// A picture with straight (not premultiplied) alpha; alpha 0 is transparent.
struct PixelImage {
  int width = 0;
  int height = 0;
  std::vector<DibPixel> pixels;  // row by row from the top

  DibPixel At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Pixels owned elsewhere (a DIB section), row by row from the top.
struct PixelSurface {
  DibPixel* pixels = nullptr;
  int width = 0;
  int height = 0;

  DibPixel& At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// The image from two renderings of it, one over black and one over white
// (same size, alpha bytes ignored): where they agree the image is opaque,
// where they differ it lets the background through.
PixelImage ImageFromRenderings(const std::vector<DibPixel>& onBlack,
                               const std::vector<DibPixel>& onWhite, int width, int height);

// A bitmap whose bottom-left pixel names its transparent colour.
PixelImage ImageWithTransparentCorner(const std::vector<DibPixel>& pixels, int width, int height);

// Replaces every visible pixel's colour by `transform(colour)`; a run of
// equal pixels is transformed once.
template <class Transform>
void TransformColors(PixelImage& image, Transform transform) {
  bool have = false;
  DibPixel lastIn = 0, lastOut = 0;
  for (DibPixel& p : image.pixels) {
    if (AlphaOf(p) == 0) continue;
    if (!have || p != lastIn) {
      lastIn = p;
      lastOut = DibOf(transform(ColorOfDib(p)), AlphaOf(p));
      have = true;
    }
    p = lastOut;
  }
}

// Lays `image` onto `surface` with its top-left corner at `at`, clipped.
void Composite(const PixelSurface& surface, const PixelImage& image, Point at);
// Paints the image's silhouette in `color` with its top-left corner at `at`.
void PaintSilhouette(const PixelSurface& surface, const PixelImage& image, Point at,
                     ColorRef color);

struct ImageDrawing {
  ImageEffect effect = ImageEffect::Plain;
  int dimLevel = 30;
  int grayLevel = 10;
  ColorRef selectFill = 0;  // the shadow of a lifted image is a darker copy
};

// Draws the item image at `at` (its resting place) with the effect: the
// lifted image one pixel up and left over its shadow two pixels further
// right and down; the dimmed and grayed ones in place. `image` is changed.
void PlaceImage(const PixelSurface& surface, PixelImage& image, Point at,
                const ImageDrawing& drawing);

}  // namespace quell::ui
