#include "controller/InputShield.h"

#include <gtest/gtest.h>

#include <optional>

namespace quell::app {
namespace {

TEST(InputShield, OnlyALockOfTheButtonsHasOneAndOnlyADarkenedCleaningIsBlack) {
  using L = TShieldLook;
  const struct {
    bool locked, buttons, cleaning, darken;
    std::optional<TShieldLook> shield;
  } cases[] = {
      {false, false, false, false, std::nullopt}, {false, true, true, true, std::nullopt},
      {true, false, false, false, std::nullopt},  {true, false, true, true, std::nullopt},
      {true, true, false, false, L::Clear},       {true, true, false, true, L::Clear},
      {true, true, true, false, L::Clear},        {true, true, true, true, L::Black},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.locked << c.buttons << c.cleaning << c.darken);
    EXPECT_EQ(ShieldFor(c.locked, c.buttons, c.cleaning, c.darken), c.shield);
  }
}

TEST(InputShield, OnlyAKnownHigherIntegrityLevelOutranksOurHooks) {
  constexpr std::uint32_t kMediumPlus = 0x2100;
  const struct {
    std::optional<std::uint32_t> foreground, ours;
    bool outranks;
  } cases[] = {
      {kIntegrityHigh, kIntegrityMedium, true},     // an administrator's console
      {kIntegritySystem, kIntegrityMedium, true},   // an installer's service window
      {kMediumPlus, kIntegrityMedium, true},        // levels between the named ones count
      {kIntegrityMedium, kIntegrityLow, true},      // we run sandboxed
      {kIntegrityMedium, kIntegrityMedium, false},  // an ordinary window
      {kIntegrityHigh, kIntegrityHigh, false},      // we are elevated too
      {kIntegrityLow, kIntegrityMedium, false},     // a sandboxed browser
      {std::nullopt, kIntegrityMedium, false},      // its process could not be opened
      {kIntegrityHigh, std::nullopt, false},        // our own level unknown
      {std::nullopt, std::nullopt, false},          // no levels at all (Wine)
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.foreground.value_or(0) << " " << c.ours.value_or(0));
    EXPECT_EQ(OutranksUs(c.foreground, c.ours), c.outranks);
  }
}

}  // namespace
}  // namespace quell::app
