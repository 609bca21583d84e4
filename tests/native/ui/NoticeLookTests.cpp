// The notice for people who do not see it as drawn: its colours with high
// contrast on and off, and which showings a screen reader is told of.
#include <gtest/gtest.h>

#include "ui/NoticeLook.h"
#include "ui/PopupPlacement.h"

namespace quell::ui {
namespace {

constexpr ColorRef kWindow = 0x000000u, kWindowText = 0xFFFFFFu, kOther = 0x123456u;

class Scheme final : public gui::SystemColors {
 public:
  ColorRef SysColor(int index) const override {
    return index == 5 ? kWindow : index == 8 ? kWindowText : kOther;
  }
};

TEST(NoticeLook, ColoursOfEachPartWithHighContrastOffAndOn) {
  const NoticeColors off = NoticeColorsFor(false, Scheme{});
  const NoticeColors on = NoticeColorsFor(true, Scheme{});
  EXPECT_EQ(off, (NoticeColors{kPopupBackground, kWindowText, kCloseGlyphRed, kCloseGlyphWhite}));
  EXPECT_EQ(on, (NoticeColors{kWindow, kWindowText, kWindowText, kWindow}));
  // The close glyph's pixels: as designed when off; in the scheme when on,
  // its transparent corners kept.
  for (int i = 0; i < kCloseGlyphSize * kCloseGlyphSize; ++i) {
    const ColorRef pixel = CloseGlyphPixel(i % kCloseGlyphSize, i / kCloseGlyphSize);
    EXPECT_EQ(GlyphPixelIn(pixel, off), pixel);
    const ColorRef expected = pixel == kCloseGlyphRed     ? kWindowText
                              : pixel == kCloseGlyphWhite ? kWindow
                                                          : kCloseGlyphTransparent;
    EXPECT_EQ(GlyphPixelIn(pixel, on), expected) << i;
  }
}

TEST(NoticeLook, ANoticeIsReadOutWhenItComesUpOrChangesItsTitle) {
  struct Case {
    bool shown;
    const char* shownTitle;
    const char* title;
    bool announced;
  };
  for (const Case& c : {
           Case{false, "", "Computer is Locked", true},
           Case{false, "Computer is Locked", "Computer is Locked", true},  // shown again
           Case{true, "Computer is Locked", "Computer is UnLocked", true},
           Case{true, "Computer is Locked", "Computer is Locked", false},  // the countdown
       }) {
    EXPECT_EQ(AnnouncesNotice(c.shown, c.shownTitle, c.title), c.announced)
        << c.shown << " " << c.shownTitle << " -> " << c.title;
  }
}

}  // namespace
}  // namespace quell::ui
