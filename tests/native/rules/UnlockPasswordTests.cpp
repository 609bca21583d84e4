// The unlock password's rules: what a password may be, its stored form made
// and checked through a hasher, and the rolling match of the keys typed on
// the locked keyboard.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HookDll/HookProtocol.h"
#include "rules/UnlockPassword.h"

namespace quell::rules {
namespace {

// A stand-in for the system's PBKDF2: deterministic in password, salt and
// iterations, and counting its calls. Its random numbers count up.
class TFakeHasher : public TPasswordHasher {
 public:
  bool Derive(std::string_view password, std::span<const std::uint8_t> salt,
              std::uint32_t iterations, std::span<std::uint8_t> key) override {
    ++Derivations;
    Seen.emplace_back(password);
    if (FailDerive) return false;
    std::uint64_t h = 1469598103934665603ull ^ iterations;
    auto mix = [&h](std::uint8_t b) { h = (h ^ b) * 1099511628211ull; };
    for (std::uint8_t b : salt) mix(b);
    for (char c : password) mix(static_cast<std::uint8_t>(c));
    for (std::uint8_t& b : key) {
      mix(0x5a);
      b = static_cast<std::uint8_t>(h >> 24);
    }
    return true;
  }
  bool Random(std::span<std::uint8_t> bytes) override {
    if (FailRandom) return false;
    for (std::uint8_t& b : bytes) b = Next++;
    return true;
  }
  int Derivations = 0;
  std::vector<std::string> Seen;
  bool FailDerive = false;
  bool FailRandom = false;
  std::uint8_t Next = 1;
};

std::uint32_t Key(char c) { return static_cast<std::uint32_t>(c >= 'a' && c <= 'z' ? c - 32 : c); }

// Feeds each character as the key that types it; true when any key matched.
bool Type(TPasswordMatcher& m, std::string_view keys) {
  bool matched = false;
  for (char c : keys) matched = m.Feed(Key(c)) || matched;
  return matched;
}

// --- what a password may be ---

TEST(PasswordRules, LengthFourToThirtyTwoLettersAndDigits) {
  EXPECT_EQ(CheckPassword("abc"), TPasswordProblem::TooShort);
  EXPECT_EQ(CheckPassword(""), TPasswordProblem::TooShort);
  EXPECT_EQ(CheckPassword("abcd"), TPasswordProblem::None);
  EXPECT_EQ(CheckPassword("Az09"), TPasswordProblem::None);
  EXPECT_EQ(CheckPassword(std::string(32, 'x')), TPasswordProblem::None);
  EXPECT_EQ(CheckPassword(std::string(33, 'x')), TPasswordProblem::TooLong);
  for (const char* bad : {"abc d", "abcd!", "ab-cd", "\xe4\x62\x63\x64", "abc\tdef", "abcd_"})
    EXPECT_EQ(CheckPassword(bad), TPasswordProblem::NotLetterOrDigit) << bad;
  EXPECT_EQ(CheckNewPassword("secret1", "secret1"), TPasswordProblem::None);
  EXPECT_EQ(CheckNewPassword("secret1", "Secret1"), TPasswordProblem::Mismatch);
  EXPECT_EQ(CheckNewPassword("sec", "sec"), TPasswordProblem::TooShort);
  for (auto p : {TPasswordProblem::TooShort, TPasswordProblem::TooLong,
                 TPasswordProblem::NotLetterOrDigit, TPasswordProblem::Mismatch})
    EXPECT_FALSE(PasswordProblemText(p).empty());
  EXPECT_TRUE(PasswordProblemText(TPasswordProblem::None).empty());
}

TEST(PasswordRules, KeysAreReadWithoutRegardToShiftButCtrlAndAltMakeOtherKeys) {
  EXPECT_EQ(PasswordKeyOf('A'), 'A');
  EXPECT_EQ(PasswordKeyOf('A' | kShortcutShift), 'A');
  EXPECT_EQ(PasswordKeyOf('7'), '7');
  EXPECT_EQ(PasswordKeyOf(0x67), '7');  // the keypad's 7
  EXPECT_EQ(PasswordKeyOf('A' | kShortcutCtrl), PasswordKeyOther);
  EXPECT_EQ(PasswordKeyOf('A' | kShortcutAlt), PasswordKeyOther);
  EXPECT_EQ(PasswordKeyOf(0x20), PasswordKeyOther);   // space
  EXPECT_EQ(PasswordKeyOf(0x0D), PasswordKeyOther);   // Enter
  EXPECT_EQ(PasswordKeyOf(0x141), PasswordKeyOther);  // a code with a foreign bit
  for (std::uint32_t modifier : {0x10u, 0x11u, 0x12u, 0xA0u, 0xA1u, 0xA2u, 0xA3u, 0xA4u, 0xA5u,
                                 0x14u, 0u, 0xA0u | kShortcutShift})
    EXPECT_EQ(PasswordKeyOf(modifier), PasswordKeyIgnored) << modifier;
  EXPECT_EQ(NormalizePassword("aBc9z"), "ABC9Z");
}

// --- the stored form ---

TEST(PasswordStoredForm, MakeAndVerifyRoundTripWithoutRegardToCase) {
  TFakeHasher hasher;
  const auto text = MakeStoredPassword("Secret42", hasher);
  ASSERT_TRUE(text);
  const auto stored = settings::TStoredPassword::Parse(*text);
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->Iterations, 100000u);
  EXPECT_EQ(stored->Length, 8);
  EXPECT_EQ(stored->Salt[0], 1);  // from the system's random numbers
  EXPECT_EQ(stored->Salt[15], 16);
  EXPECT_EQ(hasher.Seen.back(), "SECRET42");  // hashed in one case
  EXPECT_TRUE(VerifyPassword("secret42", *stored, hasher));
  EXPECT_TRUE(VerifyPassword("SECRET42", *stored, hasher));
  EXPECT_FALSE(VerifyPassword("secret43", *stored, hasher));
  EXPECT_FALSE(VerifyPassword("secret4", *stored, hasher));
  // Two stored forms of one password differ by their salt.
  EXPECT_NE(*MakeStoredPassword("Secret42", hasher), *text);
}

TEST(PasswordStoredForm, NothingIsStoredForABadPasswordOrWhenTheSystemRefuses) {
  TFakeHasher hasher;
  EXPECT_FALSE(MakeStoredPassword("abc", hasher));
  EXPECT_FALSE(MakeStoredPassword("abc def", hasher));
  EXPECT_EQ(hasher.Derivations, 0);
  hasher.FailRandom = true;
  EXPECT_FALSE(MakeStoredPassword("abcd", hasher));
  hasher.FailRandom = false;
  const auto stored = settings::TStoredPassword::Parse(*MakeStoredPassword("abcd", hasher));
  hasher.FailDerive = true;
  EXPECT_FALSE(MakeStoredPassword("abcd", hasher));
  EXPECT_FALSE(VerifyPassword("abcd", *stored, hasher));  // a refusal never unlocks
}

TEST(PasswordStoredForm, ConstantTimeEqualComparesEveryByteAndTheSizes) {
  const std::vector<std::uint8_t> a{1, 2, 3, 4}, b{1, 2, 3, 4}, c{1, 2, 3, 5}, d{0, 2, 3, 4};
  const std::vector<std::uint8_t> shorter{1, 2, 3};
  EXPECT_TRUE(ConstantTimeEqual(a, b));
  EXPECT_FALSE(ConstantTimeEqual(a, c));
  EXPECT_FALSE(ConstantTimeEqual(a, d));
  EXPECT_FALSE(ConstantTimeEqual(a, shorter));
  EXPECT_TRUE(ConstantTimeEqual({}, {}));
}

// --- the rolling match ---

class PasswordMatch : public ::testing::Test {
 protected:
  void Use(std::string_view password) {
    Matcher.SetPassword(*MakeStoredPassword(password, Hasher));
    Hasher.Derivations = 0;
  }
  TFakeHasher Hasher;
  TPasswordMatcher Matcher{Hasher};
};

TEST_F(PasswordMatch, ThePasswordTypedAloneOrAfterOtherKeysMatchesAtItsLastKey) {
  Use("open");
  EXPECT_FALSE(Type(Matcher, "ope"));
  EXPECT_TRUE(Matcher.Feed(Key('n')));
  Matcher.Clear();
  EXPECT_FALSE(Type(Matcher, "xqzzyope"));
  EXPECT_TRUE(Matcher.Feed(Key('n')));
  // Upper case, Shift held, Caps Lock: the same keys.
  Matcher.Clear();
  EXPECT_TRUE(Type(Matcher, "OPEN"));
  Matcher.Clear();
  Matcher.Feed(0xA0);
  Matcher.Feed('O' | kShortcutShift);
  Matcher.Feed(0x14);
  EXPECT_TRUE(Type(Matcher, "pen"));
}

TEST_F(PasswordMatch, RepeatedPrefixesAreNotLost) {
  // A match that starts over at the first mismatch would miss these.
  Use("aaab");
  EXPECT_TRUE(Type(Matcher, "aaaab"));
  Matcher.Clear();
  EXPECT_TRUE(Type(Matcher, "aaaaaaab"));
  Use("abab");
  EXPECT_TRUE(Type(Matcher, "ababab"));
  Matcher.Clear();
  EXPECT_TRUE(Type(Matcher, "abaabab"));
}

TEST_F(PasswordMatch, KeysThatOnlyAlmostMatchDoNot) {
  Use("pass1234");
  EXPECT_FALSE(Type(Matcher, "pass123"));
  EXPECT_FALSE(Matcher.Feed(Key('5')));
  Matcher.Clear();
  EXPECT_FALSE(Type(Matcher, "pas1234"));
  Matcher.Clear();
  EXPECT_FALSE(Type(Matcher, "ass1234"));
  Matcher.Clear();
  EXPECT_FALSE(Type(Matcher, "pass1243"));
  // Another key in the middle breaks the match; the password typed after it counts.
  Matcher.Clear();
  EXPECT_FALSE(Type(Matcher, "pass 1234"));
  Matcher.Clear();
  EXPECT_FALSE(Matcher.Feed('P' | kShortcutCtrl));
  EXPECT_FALSE(Type(Matcher, "ass1234"));
  EXPECT_TRUE(Type(Matcher, "pass1234"));
}

TEST_F(PasswordMatch, TheMemoryIsBoundedToTheLongestPasswordAndCleared) {
  Use(std::string(32, 'z'));
  EXPECT_FALSE(Type(Matcher, std::string(31, 'z')));
  EXPECT_EQ(Matcher.Count(), 31);
  EXPECT_TRUE(Type(Matcher, std::string(200, 'q') + std::string(32, 'z')));
  EXPECT_EQ(Matcher.Count(), 32);
  Matcher.Clear();
  EXPECT_EQ(Matcher.Count(), 0);
  EXPECT_FALSE(Type(Matcher, std::string(31, 'z')));
}

TEST_F(PasswordMatch, OneDerivationPerLetterOnceThereAreEnoughKeys) {
  Use("wxyz9");
  Type(Matcher, "abcd");
  EXPECT_EQ(Hasher.Derivations, 0);
  Type(Matcher, "efg");
  EXPECT_EQ(Hasher.Derivations, 3);
  Matcher.Feed(0x10);  // a modifier costs nothing
  Matcher.Feed(0x20);  // nor does another key
  EXPECT_EQ(Hasher.Derivations, 3);
  EXPECT_EQ(Hasher.Seen.back(), "CDEFG");
}

TEST_F(PasswordMatch, WithoutAPasswordOrWithADamagedOneNothingMatches) {
  EXPECT_FALSE(Matcher.HasPassword());
  EXPECT_FALSE(Type(Matcher, "anything at all"));
  Matcher.SetPassword("pbkdf2-sha256$100000$4$zz$zz");
  EXPECT_FALSE(Matcher.HasPassword());
  EXPECT_FALSE(Type(Matcher, "open"));
  EXPECT_EQ(Hasher.Derivations, 0);
}

}  // namespace
}  // namespace quell::rules
