#include <gtest/gtest.h>

#include <limits>

#include "rules/IdleLock.h"
#include "rules/OptionsRules.h"

namespace quell::rules {
namespace {

TEST(HotKeyCodes, ControlValueToShortcutCode) {
  EXPECT_EQ(ShortcutFromHotKey(0x064C), 49228) << "Ctrl+Alt+L";
  EXPECT_EQ(ShortcutFromHotKey(0x0655), 49237) << "Ctrl+Alt+U";
  EXPECT_EQ(ShortcutFromHotKey(0x0141), 0x2041) << "Shift+A";
  EXPECT_EQ(ShortcutFromHotKey(0x0041), 0x41);
  EXPECT_EQ(ShortcutFromHotKey(0x0F2E), 0xE02E) << "the extended-key flag is dropped";
  EXPECT_EQ(ShortcutFromHotKey(0xF041), 0x41) << "unknown flags are dropped";
  EXPECT_EQ(ShortcutFromHotKey(0), 0);
}

TEST(HotKeyCodes, ShortcutCodeToControlValueIgnoresBits8To12) {
  EXPECT_EQ(HotKeyFromShortcut(0x0141), 0x0041) << "stored 0x0141 shows A alone";
  EXPECT_EQ(HotKeyFromShortcut(49228), 0x064C);
  EXPECT_EQ(HotKeyFromShortcut(0x1F41), 0x0041);
  EXPECT_EQ(HotKeyFromShortcut(0xFFFF), 0x07FF);
  EXPECT_EQ(HotKeyFromShortcut(0xFFFF0000u), 0) << "only the low 16 bits carry a hot key";
}

TEST(HotKeyCodes, EveryModifierCombinationRoundTrips) {
  for (unsigned modifiers = 0; modifiers < 8; ++modifiers) {
    for (unsigned vk = 1; vk < 256; ++vk) {
      const auto value = static_cast<std::uint16_t>(modifiers << 8 | vk);
      EXPECT_EQ(HotKeyFromShortcut(ShortcutFromHotKey(value)), value) << std::hex << value;
    }
  }
}

TEST(IdleBox, ValuesAreClampedIntoFifteenTo3600) {
  EXPECT_EQ(ClampIdle(0), 15);
  EXPECT_EQ(ClampIdle(-5), 15);
  EXPECT_EQ(ClampIdle(14), 15);
  EXPECT_EQ(ClampIdle(15), 15);
  EXPECT_EQ(ClampIdle(3600), 3600);
  EXPECT_EQ(ClampIdle(3601), 3600);
  EXPECT_EQ(ClampIdle(std::numeric_limits<std::int64_t>::max()), 3600);
}

TEST(IdleBox, TypedTextThatIsNotAWholeNumberReadsAsFifteen) {
  EXPECT_EQ(IdleFromText("30"), 30);
  EXPECT_EQ(IdleFromText(" 45 "), 45);
  EXPECT_EQ(IdleFromText("+60"), 60);
  EXPECT_EQ(IdleFromText("-60"), 15);
  EXPECT_EQ(IdleFromText("99999"), 3600);
  EXPECT_EQ(IdleFromText("99999999999999999999999"), 3600);
  EXPECT_EQ(IdleFromText("-99999999999999999999999"), 15);
  for (const char* bad : {"", " ", "abc", "12.5", "1,5", "3x", "-", "+", "++3", "0x20", "١٢"}) {
    EXPECT_EQ(IdleFromText(bad), 15) << bad;
  }
}

TEST(IdleBox, OnlyNumberCharactersAndControlKeysOtherThanEnterAreTyped) {
  for (char c : std::string("0123456789+-,")) EXPECT_TRUE(IsIdleCharAccepted(c, ',')) << c;
  EXPECT_FALSE(IsIdleCharAccepted('.', ','));
  EXPECT_TRUE(IsIdleCharAccepted('.', '.'));
  EXPECT_TRUE(IsIdleCharAccepted('\b', '.'));
  EXPECT_TRUE(IsIdleCharAccepted('\x16', '.')) << "Ctrl+V";
  EXPECT_FALSE(IsIdleCharAccepted('\r', '.')) << "Enter";
  for (char c : std::string("aZ /*=e ")) EXPECT_FALSE(IsIdleCharAccepted(c, '.')) << c;
}

TEST(HotKeySlot, OnlyTypeableSixteenBitShortcutsAreHotKeys) {
  EXPECT_EQ(HotKeyOfSlot(49228), 49228) << "Ctrl+Alt+L";
  EXPECT_EQ(HotKeyOfSlot(0x2041), 0x2041) << "Shift+A";
  EXPECT_EQ(HotKeyOfSlot(0x41), 0x41);
  EXPECT_EQ(HotKeyOfSlot(0x0141), 0x41) << "bits 8 to 12 carry nothing";
  EXPECT_EQ(HotKeyOfSlot(0x1F41 | 0xE000), 0xE041);
  EXPECT_EQ(HotKeyOfSlot(0), 0);
  EXPECT_EQ(HotKeyOfSlot(0xC000), 0) << "modifiers without a key";
  EXPECT_EQ(HotKeyOfSlot(0x0100), 0);
  EXPECT_EQ(HotKeyOfSlot(static_cast<std::int32_t>(0xFFFFC055u)), 0) << "$FFFFC055 loads negative";
  EXPECT_EQ(HotKeyOfSlot(0x1C055), 0) << "a bit above the low 16";
  EXPECT_EQ(HotKeyOfSlot(-1), 0);
  EXPECT_EQ(HotKeyOfSlot(INT32_MIN), 0);
  EXPECT_EQ(HotKeyOfSlot(0x7FFFFFFF), 0);
}

TEST(ConfigurationTest, AnUnlockHotKeyThatCannotBeTypedIsNone) {
  for (std::uint32_t unlock : {0u, 0xC000u, 0x2000u, 0xFFFFC055u, 0x1C055u, 0xFFFFFFFFu}) {
    EXPECT_FALSE(IsConfigurationLockable(true, true, false, unlock)) << std::hex << unlock;
    EXPECT_FALSE(IsConfigurationLockable(true, false, true, unlock)) << std::hex << unlock;
    EXPECT_TRUE(IsConfigurationLockable(false, true, true, unlock)) << std::hex << unlock;
  }
  EXPECT_TRUE(IsConfigurationLockable(true, true, true, 0xC055u));
  EXPECT_TRUE(IsConfigurationLockable(true, true, true, 0x55u)) << "a key alone is a hot key";
}

TEST(ConfigurationTest, TruthTable) {
  for (int bits = 0; bits < 16; ++bits) {
    const bool keyboard = bits & 1, buttons = bits & 2, move = bits & 4;
    const std::uint32_t unlock = (bits & 8) ? 0xC055 : 0;
    const bool trap = keyboard && (buttons || move) && unlock == 0;
    EXPECT_EQ(IsConfigurationLockable(keyboard, buttons, move, unlock), !trap) << bits;
  }
}

TEST(ImageIndex, ConfinedToTheImageList) {
  EXPECT_EQ(ClampImageIndex(9, 4), 3);
  EXPECT_EQ(ClampImageIndex(-2, 4), 0);
  EXPECT_EQ(ClampImageIndex(2, 4), 2);
  EXPECT_EQ(ClampImageIndex(4, 4), 3);
}

// The idle timer's decisions on a simulated clock: one Tick a second.
constexpr TIdleConditions kIdle{false, true};  // unlocked, bound
constexpr TIdleConditions kLocked{true, true};

TEST(IdleLock, LocksAfterTheLimitAndActivityRestartsTheCount) {
  TIdleLock idle;
  idle.IdleLimit = 30;
  idle.IdleLockEnabled = true;
  for (int tick = 1; tick < 29; ++tick) EXPECT_EQ(idle.Tick(kIdle), TIdleStep::Wait) << tick;
  idle.Activity();  // the mouse moves at tick 29
  for (int tick = 1; tick < 30; ++tick) EXPECT_EQ(idle.Tick(kIdle), TIdleStep::Wait) << tick;
  EXPECT_EQ(idle.Tick(kIdle), TIdleStep::Lock) << "30 ticks without input";
  EXPECT_EQ(idle.Tick(kIdle), TIdleStep::Lock) << "and every tick after it until input arrives";
}

TEST(IdleLock, ZeroLimitTriesAtTheFirstTickAfterEveryInputAndDisabledNever) {
  TIdleLock idle;
  idle.IdleLockEnabled = true;
  EXPECT_EQ(idle.Tick(kIdle), TIdleStep::Lock);
  idle.Activity();
  EXPECT_EQ(idle.Tick(kIdle), TIdleStep::Lock);
  idle.IdleLockEnabled = false;
  for (int tick = 0; tick < 100; ++tick) EXPECT_EQ(idle.Tick(kIdle), TIdleStep::Wait);
}

TEST(IdleLock, WhileLockedNothingIsDueAndAnUnlockStartsAFullPeriod) {
  TIdleLock idle;
  idle.IdleLimit = 5;
  idle.IdleLockEnabled = true;
  for (int tick = 1; tick < 5; ++tick) idle.Tick(kIdle);
  EXPECT_EQ(idle.Tick(kIdle), TIdleStep::Lock);
  // Locked for an hour with nobody at the computer: no minimise keys, no
  // lock action, whatever the limit.
  for (int tick = 0; tick < 3600; ++tick) ASSERT_EQ(idle.Tick(kLocked), TIdleStep::Wait) << tick;
  for (int tick = 1; tick < 5; ++tick) EXPECT_EQ(idle.Tick(kIdle), TIdleStep::Wait) << tick;
  EXPECT_EQ(idle.Tick(kIdle), TIdleStep::Lock) << "a whole idle period after the unlock";
}

TEST(IdleLock, WhileTheLibraryIsMissingNothingIsTried) {
  TIdleLock idle;
  idle.IdleLimit = 2;
  idle.IdleLockEnabled = true;
  const TIdleConditions unbound{false, false};
  for (int tick = 0; tick < 100; ++tick) ASSERT_EQ(idle.Tick(unbound), TIdleStep::Wait) << tick;
  EXPECT_EQ(idle.Tick(kIdle), TIdleStep::Lock) << "bound again, past the limit: due at once";
}

TEST(IdleLock, NoTickActsDuringAnAttemptAndAFailedAttemptStartsTheCountAgain) {
  TIdleLock idle;
  idle.IdleLimit = 3;
  idle.IdleLockEnabled = true;
  for (int tick = 1; tick < 3; ++tick) idle.Tick(kIdle);
  ASSERT_EQ(idle.Tick(kIdle), TIdleStep::Lock);
  idle.BeginAttempt();
  // The refused lock's dialog or the error box stays open for a minute.
  for (int tick = 0; tick < 60; ++tick) ASSERT_EQ(idle.Tick(kIdle), TIdleStep::Wait) << tick;
  EXPECT_TRUE(idle.Attempting());
  idle.EndAttempt(false);
  EXPECT_FALSE(idle.Attempting());
  EXPECT_EQ(idle.Tick(kIdle), TIdleStep::Wait) << "refused: the count starts again";
  EXPECT_EQ(idle.Tick(kIdle), TIdleStep::Wait);
  EXPECT_EQ(idle.Tick(kIdle), TIdleStep::Lock);
  idle.BeginAttempt();
  idle.EndAttempt(true);
  EXPECT_EQ(idle.Tick(kLocked), TIdleStep::Wait);
}

}  // namespace
}  // namespace quell::rules
