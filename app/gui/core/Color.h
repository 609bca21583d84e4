// Colours, for the component layer and every painter above it. A colour
// property (TColor) is 0x00BBGGRR, or clSystemColor plus a system colour
// index; a resolved colour (ColorRef) is 0x00BBGGRR with an empty high byte.
// Every colour is resolved (ResolveColor) before it is drawn or computed with.
#pragma once

#include <cstdint>

namespace quell::gui {

using TColor = std::uint32_t;
using ColorRef = std::uint32_t;

inline constexpr TColor clSystemColor = 0x80000000u;
inline constexpr TColor clInactiveCaption = 0x80000003u;
inline constexpr TColor clMenu = 0x80000004u;
inline constexpr TColor clWindow = 0x80000005u;
inline constexpr TColor clMenuText = 0x80000007u;
inline constexpr TColor clWindowText = 0x80000008u;
inline constexpr TColor clHighlight = 0x8000000Du;
inline constexpr TColor clHighlightText = 0x8000000Eu;
inline constexpr TColor clBtnFace = 0x8000000Fu;
inline constexpr TColor clBtnShadow = 0x80000010u;
inline constexpr TColor clGrayText = 0x80000011u;
inline constexpr TColor clInactiveCaptionText = 0x80000013u;
inline constexpr ColorRef clWhite = 0xFFFFFFu;
inline constexpr ColorRef clBlack = 0x000000u;
inline constexpr ColorRef clSilver = 0xC0C0C0u;

constexpr int RedOf(ColorRef c) { return static_cast<int>(c & 0xFFu); }
constexpr int GreenOf(ColorRef c) { return static_cast<int>((c >> 8) & 0xFFu); }
constexpr int BlueOf(ColorRef c) { return static_cast<int>((c >> 16) & 0xFFu); }
// Channels outside 0..255 are clamped.
ColorRef MakeColor(int red, int green, int blue);

// Where system colours come from: GetSysColor on Windows, a table in tests.
class SystemColors {
 public:
  virtual ColorRef SysColor(int index) const = 0;

 protected:
  ~SystemColors() = default;
};

// The one resolver: a system colour from `system`, any other colour as it is
// (its high byte dropped).
ColorRef ResolveColor(TColor color, const SystemColors& system);

}  // namespace quell::gui
