#include "controller/InputShield.h"

#include <gtest/gtest.h>

#include <optional>

namespace quell::app {
namespace {

TEST(InputShield, OnlyAKnownHigherIntegrityLevelOutranksOurHooks) {
  const struct {
    std::optional<std::uint32_t> foreground, ours;
    bool outranks;
  } cases[] = {
      {kIntegrityHigh, kIntegrityMedium, true},     // an administrator's console
      {kIntegrityMedium, kIntegrityLow, true},      // we run sandboxed
      {kIntegrityMedium, kIntegrityMedium, false},  // an ordinary window
      {kIntegrityLow, kIntegrityMedium, false},     // a sandboxed browser
      {std::nullopt, kIntegrityMedium, false},      // its process could not be opened
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.foreground.value_or(0) << " " << c.ours.value_or(0));
    EXPECT_EQ(OutranksUs(c.foreground, c.ours), c.outranks);
  }
}

}  // namespace
}  // namespace quell::app
