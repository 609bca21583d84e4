// The figures of a benchmark run: medians, quartiles, extremes and the
// confidence interval of a median, over a handful of values.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace quell::bench {

inline double Quantile(const std::vector<double>& sorted, double q) {
  const double at = q * static_cast<double>(sorted.size() - 1);
  const auto below = static_cast<std::size_t>(at);
  if (below + 1 >= sorted.size()) return sorted.back();
  const double fraction = at - static_cast<double>(below);
  return sorted[below] + (sorted[below + 1] - sorted[below]) * fraction;
}

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return Quantile(values, 0.5);
}

struct Spread {
  double median, q1, q3, min, max;
  double medianLow, medianHigh;  // 95 % confidence interval of the median
};

inline Spread SpreadOf(std::vector<double> values) {
  if (values.empty()) return {};
  std::sort(values.begin(), values.end());
  // Distribution-free: the order statistics n/2 -+ 0.98 sqrt(n) bound the
  // median with 95 % confidence.
  const double n = static_cast<double>(values.size());
  const double half = 0.98 * std::sqrt(n);
  const auto rank = [&](double r) {
    return values[static_cast<std::size_t>(std::clamp(std::lround(r), 1L, std::lround(n)) - 1)];
  };
  return {Quantile(values, 0.5), Quantile(values, 0.25), Quantile(values, 0.75), values.front(),
          values.back(),         rank(n / 2 - half),     rank(n / 2 + 1 + half)};
}

inline std::string Format(const Spread& s, int decimals, bool withInterval) {
  char buffer[128];
  int length =
      std::snprintf(buffer, sizeof buffer, "%.*f [%.*f-%.*f] (%.*f-%.*f)", decimals, s.median,
                    decimals, s.q1, decimals, s.q3, decimals, s.min, decimals, s.max);
  if (withInterval && length > 0 && static_cast<std::size_t>(length) < sizeof buffer) {
    std::snprintf(buffer + length, sizeof buffer - static_cast<std::size_t>(length),
                  " 95%%: %.*f-%.*f", decimals, s.medianLow, decimals, s.medianHigh);
  }
  return buffer;
}

}  // namespace quell::bench
