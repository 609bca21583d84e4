// The per-process records the keyboard filter keeps: modifiers seen held,
// and the outcome of each key's pending key-down.
#include <gtest/gtest.h>

#include "SharedHookState.h"

namespace quell::hook {
namespace {

using M = ModifierMemory;

TEST(ModifierMemory, LeftAndRightKeysOfAModifierAreTrackedApart) {
  M m;
  m.Note(0xA2, true, 100);  // left Ctrl
  m.Note(0xA3, true, 100);  // right Ctrl
  m.Note(0xA2, false, 110);
  EXPECT_TRUE(m.IsHeld(M::Ctrl, 120)) << "right Ctrl still down";
  m.Note(0xA3, false, 130);
  EXPECT_FALSE(m.IsHeld(M::Ctrl, 140));
  EXPECT_FALSE(m.IsHeld(M::Shift, 140));
}

TEST(ModifierMemory, GenericCodesCountAsTheLeftKey) {
  M m;
  m.Note(0x10, true, 0);
  EXPECT_TRUE(m.IsHeld(M::Shift, 1));
  m.Note(0xA0, false, 2);
  EXPECT_FALSE(m.IsHeld(M::Shift, 3));
  m.Note(0x12, true, 0);
  EXPECT_TRUE(m.IsHeld(M::Alt, 1));
  EXPECT_FALSE(m.IsHeld(M::Ctrl, 1));
}

TEST(ModifierMemory, ForgetsAfterTheLimitAndRepeatsRefreshIt) {
  M m;
  m.Note(0xA4, true, 1000);
  EXPECT_TRUE(m.IsHeld(M::Alt, 1000 + M::kForgetAfterMs - 1));
  EXPECT_FALSE(m.IsHeld(M::Alt, 1000 + M::kForgetAfterMs));
  m.Note(0xA4, true, 1000 + M::kForgetAfterMs);  // auto-repeat
  EXPECT_TRUE(m.IsHeld(M::Alt, 1000 + M::kForgetAfterMs + 10));
}

TEST(ModifierMemory, TickCounterWrapIsHandled) {
  M m;
  m.Note(0xA0, true, 0xFFFFFFF0u);
  EXPECT_TRUE(m.IsHeld(M::Shift, 0x10));
  EXPECT_FALSE(m.IsHeld(M::Shift, M::kForgetAfterMs));
}

TEST(ModifierMemory, OrdinaryKeysAreIgnored) {
  M m;
  for (std::uint32_t vk = 0; vk < 256; ++vk) {
    if ((vk >= 0x10 && vk <= 0x12) || (vk >= 0xA0 && vk <= 0xA5)) continue;
    m.Note(vk, true, 5);
  }
  EXPECT_FALSE(m.IsHeld(M::Shift, 6));
  EXPECT_FALSE(m.IsHeld(M::Ctrl, 6));
  EXPECT_FALSE(m.IsHeld(M::Alt, 6));
}

TEST(KeyOutcomes, ReleaseFollowsThePressAndIsForgottenAfterwards) {
  KeyOutcomes k;
  using O = KeyOutcomes::Outcome;
  EXPECT_EQ(k.TakeForRelease(0x41), O::Unknown);
  k.NoteDown(0x41, false);
  k.NoteDown(0x42, true);
  EXPECT_EQ(k.TakeForRelease(0x41), O::Passed);
  EXPECT_EQ(k.TakeForRelease(0x41), O::Unknown);
  EXPECT_EQ(k.TakeForRelease(0x42), O::Swallowed);
}

TEST(KeyOutcomes, APassedPressWinsOverSwallowedRepeatsAndViceVersa) {
  KeyOutcomes k;
  using O = KeyOutcomes::Outcome;
  k.NoteDown(0xFF, false);
  k.NoteDown(0xFF, true);
  EXPECT_EQ(k.TakeForRelease(0xFF), O::Passed);
  k.NoteDown(0x00, true);
  k.NoteDown(0x00, false);  // a repeat reached the programs after an unlock
  EXPECT_EQ(k.TakeForRelease(0x00), O::Passed);
  k.NoteDown(0x13F, true);  // only the low byte is a key
  EXPECT_EQ(k.TakeForRelease(0x3F), O::Swallowed);
}

}  // namespace
}  // namespace quell::hook
