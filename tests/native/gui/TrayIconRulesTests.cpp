// The tray icon's text, picture and callback rules.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ui/TrayIconLogic.h"

namespace quell::ui {
namespace {

constexpr std::uint32_t kShell4 = 0x00040047, kShell5 = 0x00050000, kShell6 = 0x00060000;

TEST(TrayTipTest, OnlyTheTextBeforeTheFirstBarIsTheTip) {
  EXPECT_EQ(ShortHint("Locked|Keyboard and mouse are locked|x"), "Locked");
  EXPECT_EQ(ShortHint("no bar"), "no bar");
  EXPECT_EQ(ShortHint("|long only"), "");
  EXPECT_EQ(ShortHint(""), "");
}

TEST(TrayTipTest, TheTipIsCutTo127CharactersAndAlwaysTerminated) {
  char tip[128];
  std::memset(tip, 'x', sizeof tip);
  CopyCut(tip, sizeof tip, std::string(200, 'a'));
  EXPECT_EQ(std::strlen(tip), kTipChars);
  CopyCut(tip, sizeof tip, std::string(127, 'b'));
  EXPECT_EQ(std::string(tip), std::string(127, 'b'));
  CopyCut(tip, sizeof tip, "");
  EXPECT_EQ(tip[0], '\0');
  char title[64];
  CopyCut(title, sizeof title, std::string(100, 't'));
  EXPECT_EQ(std::strlen(title), kBalloonTitleChars);
}

TEST(TrayTipTest, LineBreaksStayOnANewShellAndBecomeDashesOnAnOldOne) {
  EXPECT_EQ(StoredHint("Quellane\r\nunlocked", kShell5), "Quellane\r\nunlocked");
  EXPECT_EQ(StoredHint("Quellane\r\nunlocked", kShell4), "Quellane - unlocked");
  EXPECT_EQ(StoredHint("a\r\n\r\nb", kShell4), "a -  - b");
  EXPECT_EQ(StoredHint("lone\nfeed\rreturn\r", kShell4), "lone\nfeed\rreturn\r")
      << "only CR LF pairs are replaced";
  EXPECT_EQ(StoredHint("x\r\ny", 0), "x - y") << "an unreadable version counts as old";
}

TEST(TrayTipTest, BalloonsNeedShellFive) {
  EXPECT_FALSE(ShellSupportsBalloons(0));
  EXPECT_FALSE(ShellSupportsBalloons(0x0004FFFF));
  EXPECT_TRUE(ShellSupportsBalloons(kShell5));
  EXPECT_TRUE(ShellSupportsBalloons(kShell6));
}

TEST(TrayIconChoiceTest, AnImageListEntryInRangeWinsElseTheIconElseTheApplicationIcon) {
  using S = ShownIconSource;
  EXPECT_EQ(ChooseShownIcon(true, 4, 0, false), S::ImageListEntry);
  EXPECT_EQ(ChooseShownIcon(true, 4, 3, true), S::ImageListEntry);
  EXPECT_EQ(ChooseShownIcon(true, 4, 4, false), S::OwnIcon) << "index at the count";
  EXPECT_EQ(ChooseShownIcon(true, 4, -1, false), S::OwnIcon);
  EXPECT_EQ(ChooseShownIcon(true, 4, 4, true), S::ApplicationIcon);
  EXPECT_EQ(ChooseShownIcon(true, 0, 0, true), S::ApplicationIcon) << "an empty list";
  EXPECT_EQ(ChooseShownIcon(false, 4, 0, false), S::OwnIcon) << "no list set";
}

TEST(TrayCallbackTest, EachCallbackOfTheTableRaisesItsEvent) {
  struct Row {
    std::uint32_t lParam;
    TrayCallback kind;
    TMouseButton button;
  };
  using C = TrayCallback;
  using B = TMouseButton;
  const Row rows[] = {{0x200, C::MouseMove, B::Left},      {0x201, C::MouseDown, B::Left},
                      {0x204, C::MouseDown, B::Right},     {0x207, C::MouseDown, B::Middle},
                      {0x202, C::MouseUp, B::Left},        {0x205, C::MouseUp, B::Right},
                      {0x208, C::MouseUp, B::Middle},      {0x203, C::DoubleClick, B::Left},
                      {0x206, C::DoubleClick, B::Right},   {0x209, C::DoubleClick, B::Middle},
                      {0x401, C::MouseUp, B::Right},       {0x403, C::BalloonHide, B::Left},
                      {0x404, C::BalloonTimeout, B::Left}, {0x405, C::BalloonClick, B::Left}};
  for (const Row& r : rows) {
    const TrayCallbackAction a = ClassifyTrayCallback(r.lParam);
    EXPECT_EQ(a.kind, r.kind) << std::hex << r.lParam;
    if (r.kind == C::MouseDown || r.kind == C::MouseUp || r.kind == C::DoubleClick) {
      EXPECT_EQ(a.button, r.button) << std::hex << r.lParam;
    }
  }
  for (std::uint32_t ignored : {0x400u, 0x402u, 0x7Bu, 0x20Au, 0u}) {
    EXPECT_EQ(ClassifyTrayCallback(ignored).kind, C::Ignored) << std::hex << ignored;
  }
}

TEST(TrayBalloonTest, KindsMapToShellFlagsAndTimeoutsCountWholeSeconds) {
  EXPECT_EQ(BalloonInfoFlags(0), 0u);
  EXPECT_EQ(BalloonInfoFlags(1), 3u);
  EXPECT_EQ(BalloonInfoFlags(2), 1u);
  EXPECT_EQ(BalloonInfoFlags(3), 2u);
  EXPECT_EQ(BalloonInfoFlags(7), 0u);
  EXPECT_FALSE(BalloonOutlived(5999, 5)) << "5 whole seconds do not exceed 5";
  EXPECT_TRUE(BalloonOutlived(6000, 5));
  EXPECT_TRUE(BalloonOutlived(10, -1));
}

TEST(TrayAnimationTest, FramesWrapAndANegativeIndexStartsAtZero) {
  EXPECT_EQ(NextAnimationFrame(-3, 4), 0);
  EXPECT_EQ(NextAnimationFrame(0, 4), 1);
  EXPECT_EQ(NextAnimationFrame(3, 4), 0);
  EXPECT_EQ(NextAnimationFrame(9, 4), 2) << "an index beyond the list wraps too";
}

}  // namespace
}  // namespace quell::ui
