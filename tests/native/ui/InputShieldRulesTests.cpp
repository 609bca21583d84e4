#include "ui/InputShieldRules.h"

#include <gtest/gtest.h>

namespace quell::ui {
namespace {

TEST(InputShieldRules, CoversTheVirtualScreenOrElseThePrimaryOne) {
  const Rect primary{0, 0, 1920, 1080};
  const struct {
    const char* name;
    Rect virtualScreen, covered;
  } cases[] = {
      {"one monitor", {0, 0, 1920, 1080}, {0, 0, 1920, 1080}},
      {"a second one on the left, taller", {-1280, -200, 1920, 1080}, {-1280, -200, 1920, 1080}},
      {"a second one above", {0, -1024, 1920, 1080}, {0, -1024, 1920, 1080}},
      {"no virtual screen (metrics of 0)", {0, 0, 0, 0}, primary},
      {"a width but no height", {-1280, 0, 1920, 0}, primary},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ShieldBounds(c.virtualScreen, primary), c.covered);
  }
}

}  // namespace
}  // namespace quell::ui
