// What each write of the tray icon's record sends, and when a failed add is
// tried again.
#include <gtest/gtest.h>

#include <vector>

#include "ui/TrayIconLogic.h"

namespace quell::ui {
namespace {

TEST(TrayWriteFlagsTest, OnlyAnAddAndABalloonCarryTheBalloonFields) {
  EXPECT_EQ(TrayWriteFlags(TrayWrite::Add), 0x17u);
  EXPECT_EQ(TrayWriteFlags(TrayWrite::Balloon), 0x17u);
  // A new picture or tip must not send a balloon shown before once more.
  EXPECT_EQ(TrayWriteFlags(TrayWrite::Icon), 0x07u);
  EXPECT_EQ(TrayWriteFlags(TrayWrite::Tip), 0x07u);
}

TEST(TrayAddRetryTest, TheDelayDoublesFromHalfASecondUpToEightSeconds) {
  TrayAddRetry retry;
  EXPECT_EQ(retry.Failures(), 0);
  std::vector<unsigned> delays;
  for (int i = 0; i < 8; ++i) delays.push_back(retry.Failed());
  EXPECT_EQ(delays, (std::vector<unsigned>{500, 1000, 2000, 4000, 8000, 8000, 8000, 8000}));
  EXPECT_EQ(retry.Failures(), 8);
}

TEST(TrayAddRetryTest, ASuccessStartsTheDelaysAgainAndManyFailuresNeverOverflow) {
  TrayAddRetry retry;
  for (int i = 0; i < 100000; ++i) EXPECT_LE(retry.Failed(), TrayAddRetry::kLongestDelayMs);
  EXPECT_EQ(retry.Failed(), TrayAddRetry::kLongestDelayMs);
  retry.Reset();
  EXPECT_EQ(retry.Failures(), 0);
  EXPECT_EQ(retry.Failed(), TrayAddRetry::kFirstDelayMs);
}

}  // namespace
}  // namespace quell::ui
