// The cleaning lock's countdown and the longest lock, on a fake clock.
#include <gtest/gtest.h>

#include <vector>

#include "rules/TimedLock.h"

namespace quell::rules {
namespace {

constexpr std::uint64_t Start = 5'000'000;

TEST(CleaningLock, CountsDownWholeSecondsOncePerSecondAndUnlocksAtZero) {
  TTimedLock lock;
  lock.Begin(Start, 5, 0);
  EXPECT_TRUE(lock.Running());
  EXPECT_TRUE(lock.Cleaning());
  EXPECT_EQ(lock.CleaningSecondsLeft(Start), 5);
  std::vector<int> shown;
  std::uint64_t now = Start;
  bool unlocked = false;
  // Ticks every quarter second: each number is shown once, falling.
  for (; now <= Start + 6000 && !unlocked; now += 250) {
    const auto step = lock.Tick(now);
    unlocked = step.unlock;
    if (step.countdownShown) shown.push_back(step.secondsLeft);
  }
  EXPECT_TRUE(unlocked);
  EXPECT_EQ(now - 250, Start + 5000);  // exactly at the end, not before
  EXPECT_EQ(shown, (std::vector<int>{4, 3, 2, 1}));
  EXPECT_EQ(lock.CleaningSecondsLeft(Start + 4001), 1);
  EXPECT_EQ(lock.CleaningSecondsLeft(Start + 5000), 0);
}

TEST(CleaningLock, ALateTickStillUnlocksAndAnEndedLockDoesNothing) {
  TTimedLock lock;
  lock.Begin(Start, 30, 0);
  EXPECT_FALSE(lock.Tick(Start + 29'999).unlock);
  EXPECT_TRUE(lock.Tick(Start + 90'000).unlock);
  lock.End();
  EXPECT_FALSE(lock.Running());
  EXPECT_FALSE(lock.Tick(Start + 100'000).unlock);
  EXPECT_EQ(lock.CleaningSecondsLeft(Start), 0);
}

TEST(LongestLock, EndsAnyLockAfterItsLimitWithoutACountdown) {
  TTimedLock lock;
  lock.Begin(Start, 0, 60);
  EXPECT_FALSE(lock.Cleaning());
  for (std::uint64_t now = Start; now < Start + 60'000; now += 1000) {
    const auto step = lock.Tick(now);
    EXPECT_FALSE(step.unlock);
    EXPECT_FALSE(step.countdownShown);
  }
  EXPECT_TRUE(lock.Tick(Start + 60'000).unlock);
}

TEST(LongestLock, NoLimitMeansTheLockStays) {
  TTimedLock lock;
  lock.Begin(Start, 0, 0);
  EXPECT_TRUE(lock.Running());
  EXPECT_FALSE(lock.Tick(Start + 1000ull * 60 * 60 * 24 * 365).unlock);
}

TEST(LongestLock, TheEarlierOfTheTwoLimitsEndsACleaningLock) {
  TTimedLock shorter;
  shorter.Begin(Start, 600, 60);
  EXPECT_FALSE(shorter.Tick(Start + 59'999).unlock);
  EXPECT_TRUE(shorter.Tick(Start + 60'000).unlock);
  TTimedLock longer;
  longer.Begin(Start, 10, 60);
  EXPECT_TRUE(longer.Tick(Start + 10'000).unlock);
}

TEST(LongestLock, ANewBeginForgetsTheLastLock) {
  TTimedLock lock;
  lock.Begin(Start, 5, 0);
  lock.Begin(Start + 10'000, 0, 0);
  EXPECT_FALSE(lock.Cleaning());
  EXPECT_FALSE(lock.Tick(Start + 20'000).unlock);
}

}  // namespace
}  // namespace quell::rules
