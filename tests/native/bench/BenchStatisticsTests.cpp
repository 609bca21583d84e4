// The benchmark's figures: a wrong quartile or confidence interval would
// make noise look like a change, or a change like noise.
#include <gtest/gtest.h>

#include <numeric>

#include "bench/win/BenchStatistics.h"

namespace quell::bench {
namespace {

std::vector<double> OneTo(int n) {
  std::vector<double> values(static_cast<std::size_t>(n));
  std::iota(values.begin(), values.end(), 1.0);
  return values;
}

TEST(BenchStatisticsTest, QuartilesInterpolateBetweenNeighbours) {
  const Spread odd = SpreadOf({5, 1, 3});
  EXPECT_DOUBLE_EQ(odd.median, 3);
  EXPECT_DOUBLE_EQ(odd.q1, 2);
  EXPECT_DOUBLE_EQ(odd.q3, 4);
  EXPECT_DOUBLE_EQ(odd.min, 1);
  EXPECT_DOUBLE_EQ(odd.max, 5);
  const Spread even = SpreadOf({4, 1, 2, 3});
  EXPECT_DOUBLE_EQ(even.median, 2.5);
  EXPECT_DOUBLE_EQ(even.q1, 1.75);
  EXPECT_DOUBLE_EQ(even.q3, 3.25);
  EXPECT_DOUBLE_EQ(Median({7}), 7);
  EXPECT_DOUBLE_EQ(Median({9, 1}), 5);
}

// Ranks n/2 -+ 0.98 sqrt(n), rounded, of the sorted values: 14th and 27th
// of 40; with few values the interval widens to the extremes.
TEST(BenchStatisticsTest, MedianIntervalTakesTheOrderStatisticsAroundTheMiddle) {
  std::vector<double> values = OneTo(40);
  std::reverse(values.begin(), values.end());
  const Spread forty = SpreadOf(values);
  EXPECT_DOUBLE_EQ(forty.medianLow, 14);
  EXPECT_DOUBLE_EQ(forty.medianHigh, 27);
  const Spread hundred = SpreadOf(OneTo(100));
  EXPECT_DOUBLE_EQ(hundred.medianLow, 40);
  EXPECT_DOUBLE_EQ(hundred.medianHigh, 61);
  const Spread three = SpreadOf(OneTo(3));
  EXPECT_DOUBLE_EQ(three.medianLow, 1);
  EXPECT_DOUBLE_EQ(three.medianHigh, 3);
  const Spread one = SpreadOf({2.5});
  EXPECT_DOUBLE_EQ(one.medianLow, 2.5);
  EXPECT_DOUBLE_EQ(one.medianHigh, 2.5);
}

TEST(BenchStatisticsTest, NoValuesGiveZerosRatherThanACrash) {
  const Spread none = SpreadOf({});
  EXPECT_EQ(none.median, 0);
  EXPECT_EQ(none.medianHigh, 0);
}

TEST(BenchStatisticsTest, FormatsMedianQuartilesExtremesAndInterval) {
  const Spread s = SpreadOf({1, 2, 3, 4, 5});
  EXPECT_EQ(Format(s, 1, false), "3.0 [2.0-4.0] (1.0-5.0)");
  EXPECT_EQ(Format(s, 3, true), "3.000 [2.000-4.000] (1.000-5.000) 95%: 1.000-5.000");
}

}  // namespace
}  // namespace quell::bench
