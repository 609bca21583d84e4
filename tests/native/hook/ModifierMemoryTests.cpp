// The per-process records the keyboard filter keeps: modifiers seen held,
// and the outcome of each key's pending key-down.
#include <gtest/gtest.h>

#include "HookDll/SharedHookState.h"

namespace quell::hook {
namespace {

using M = ModifierMemory;

TEST(ModifierMemory, LeftAndRightKeysOfAModifierAreTrackedApart) {
  M m;
  m.NoteSwallowedDown(0xA2);  // left Ctrl
  m.NoteSwallowedDown(0xA3);  // right Ctrl
  m.NoteUp(0xA2);
  EXPECT_TRUE(m.IsHeld(M::Ctrl)) << "right Ctrl still down";
  m.NoteUp(0xA3);
  EXPECT_FALSE(m.IsHeld(M::Ctrl));
  EXPECT_FALSE(m.IsHeld(M::Shift));
}

TEST(ModifierMemory, GenericCodesCountAsTheLeftKey) {
  M m;
  m.NoteSwallowedDown(0x10);
  EXPECT_TRUE(m.IsHeld(M::Shift));
  m.NoteUp(0xA0);
  EXPECT_FALSE(m.IsHeld(M::Shift));
  m.NoteSwallowedDown(0x12);
  EXPECT_TRUE(m.IsHeld(M::Alt));
  EXPECT_FALSE(m.IsHeld(M::Ctrl));
}

// No forgetting by time: a key held for minutes is held. A write of the
// lock flag, seen as a changed count, empties the memory.
TEST(ModifierMemory, HeldUntilItsKeyUpOrTheNextWriteOfTheLockFlag) {
  M m;
  m.Follow(0);
  m.NoteSwallowedDown(0xA4);
  m.NoteSwallowedDown(0xA1);
  m.Follow(0);
  EXPECT_TRUE(m.IsHeld(M::Alt)) << "no write of the flag since";
  EXPECT_TRUE(m.IsHeld(M::Shift));
  m.Follow(1);
  EXPECT_FALSE(m.IsHeld(M::Alt));
  EXPECT_FALSE(m.IsHeld(M::Shift));
  m.NoteSwallowedDown(0xA2);
  m.Follow(1);
  EXPECT_TRUE(m.IsHeld(M::Ctrl));
  m.Follow(0xFFFFFFFFu);  // any change counts, wrap included
  EXPECT_FALSE(m.IsHeld(M::Ctrl));
}

TEST(ModifierMemory, OrdinaryKeysAreIgnored) {
  M m;
  for (std::uint32_t vk = 0; vk < 256; ++vk) {
    if ((vk >= 0x10 && vk <= 0x12) || (vk >= 0xA0 && vk <= 0xA5)) continue;
    m.NoteSwallowedDown(vk);
  }
  EXPECT_FALSE(m.IsHeld(M::Shift));
  EXPECT_FALSE(m.IsHeld(M::Ctrl));
  EXPECT_FALSE(m.IsHeld(M::Alt));
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

TEST(KeyOutcomes, PeekingLeavesTheOutcomeForTheRemoval) {
  KeyOutcomes k;
  using O = KeyOutcomes::Outcome;
  k.NoteDown(0x41, false);
  k.NoteDown(0x42, true);
  EXPECT_EQ(k.Peek(0x41), O::Passed);
  EXPECT_EQ(k.Peek(0x41), O::Passed);
  EXPECT_EQ(k.Peek(0x42), O::Swallowed);
  EXPECT_EQ(k.TakeForRelease(0x41), O::Passed);
  EXPECT_EQ(k.TakeForRelease(0x42), O::Swallowed);
  EXPECT_EQ(k.Peek(0x41), O::Unknown);
}

}  // namespace
}  // namespace quell::hook
