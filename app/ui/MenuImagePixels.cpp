#include "MenuImagePixels.h"

#include <algorithm>
#include <stdexcept>

namespace quell::ui {

namespace {

void CheckSize(const std::vector<DibPixel>& pixels, int width, int height) {
  if (width < 0 || height < 0 ||
      pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height)) {
    throw std::invalid_argument("image pixels do not match its size");
  }
}

std::uint32_t Channel(DibPixel p, int shift) { return (p >> shift) & 0xFFu; }

// Straight-alpha "source over" of one channel.
std::uint32_t Blend(std::uint32_t under, std::uint32_t over, std::uint32_t alpha) {
  return (over * alpha + under * (255 - alpha) + 127) / 255;
}

DibPixel BlendPixel(DibPixel under, DibPixel over) {
  const std::uint32_t a = AlphaOf(over);
  if (a == 255) return (under & 0xFF000000u) | (over & 0xFFFFFFu);
  if (a == 0) return under;
  return (under & 0xFF000000u) | (Blend(Channel(under, 16), Channel(over, 16), a) << 16) |
         (Blend(Channel(under, 8), Channel(over, 8), a) << 8) |
         Blend(Channel(under, 0), Channel(over, 0), a);
}

}  // namespace

PixelImage ImageFromRenderings(const std::vector<DibPixel>& onBlack,
                               const std::vector<DibPixel>& onWhite, int width, int height) {
  CheckSize(onBlack, width, height);
  CheckSize(onWhite, width, height);
  PixelImage image{width, height, std::vector<DibPixel>(onBlack.size())};
  for (size_t i = 0; i < onBlack.size(); ++i) {
    const DibPixel b = onBlack[i], w = onWhite[i];
    // Over black a pixel shows colour * alpha, over white that plus 255 - alpha.
    int gap = 0;
    for (int shift : {0, 8, 16}) {
      gap =
          std::max(gap, static_cast<int>(Channel(w, shift)) - static_cast<int>(Channel(b, shift)));
    }
    const std::uint32_t alpha = static_cast<std::uint32_t>(255 - std::clamp(gap, 0, 255));
    if (alpha == 0) {
      image.pixels[i] = 0;
      continue;
    }
    DibPixel out = alpha << 24;
    for (int shift : {0, 8, 16}) {
      const std::uint32_t c =
          std::min<std::uint32_t>(255, (Channel(b, shift) * 255 + alpha / 2) / alpha);
      out |= c << shift;
    }
    image.pixels[i] = out;
  }
  return image;
}

PixelImage ImageWithTransparentCorner(const std::vector<DibPixel>& pixels, int width, int height) {
  CheckSize(pixels, width, height);
  PixelImage image{width, height, std::vector<DibPixel>(pixels.size())};
  if (pixels.empty()) return image;
  const DibPixel key = pixels[static_cast<size_t>(height - 1) * width] & 0xFFFFFFu;
  for (size_t i = 0; i < pixels.size(); ++i) {
    const DibPixel rgb = pixels[i] & 0xFFFFFFu;
    image.pixels[i] = rgb == key ? 0 : (0xFF000000u | rgb);
  }
  return image;
}

void Composite(const PixelSurface& surface, const PixelImage& image, Point at) {
  for (int y = 0; y < image.height; ++y) {
    const int sy = at.y + y;
    if (sy < 0 || sy >= surface.height) continue;
    for (int x = 0; x < image.width; ++x) {
      const int sx = at.x + x;
      if (sx < 0 || sx >= surface.width) continue;
      DibPixel& d = surface.At(sx, sy);
      d = BlendPixel(d, image.At(x, y));
    }
  }
}

void PaintSilhouette(const PixelSurface& surface, const PixelImage& image, Point at,
                     ColorRef color) {
  const DibPixel solid = DibOf(color, 0) & 0xFFFFFFu;
  for (int y = 0; y < image.height; ++y) {
    const int sy = at.y + y;
    if (sy < 0 || sy >= surface.height) continue;
    for (int x = 0; x < image.width; ++x) {
      const int sx = at.x + x;
      if (sx < 0 || sx >= surface.width) continue;
      const std::uint32_t a = AlphaOf(image.At(x, y));
      if (a == 0) continue;
      DibPixel& d = surface.At(sx, sy);
      d = BlendPixel(d, solid | (a << 24));
    }
  }
}

void PlaceImage(const PixelSurface& surface, PixelImage& image, Point at,
                const ImageDrawing& drawing) {
  switch (drawing.effect) {
    case ImageEffect::Lifted:
      PaintSilhouette(surface, image, {at.x + kShadowOffset.x, at.y + kShadowOffset.y},
                      Darken(drawing.selectFill, kShadowDarken));
      Composite(surface, image, {at.x + kLiftOffset.x, at.y + kLiftOffset.y});
      return;
    case ImageEffect::Dimmed:
      TransformColors(image, [&](ColorRef c) { return DimmedPixel(c, drawing.dimLevel); });
      break;
    case ImageEffect::Grayed:
      TransformColors(image, [&](ColorRef c) { return GrayedPixel(c, drawing.grayLevel); });
      break;
    case ImageEffect::Plain: break;
  }
  Composite(surface, image, at);
}

}  // namespace quell::ui
