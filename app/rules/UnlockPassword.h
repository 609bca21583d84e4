// The unlock password without windows: what a password may be, how the keys
// typed on the locked keyboard are matched against it, and its stored form.
// The hashing itself is the system's (PBKDF2-HMAC-SHA256), reached through
// TPasswordHasher so that these rules are tested on any host.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "settings/MoreSettings.h"

namespace quell::rules {

inline constexpr int PasswordMinLength = settings::TStoredPassword::MinLength;
inline constexpr int PasswordMaxLength = settings::TStoredPassword::MaxLength;
inline constexpr std::uint32_t PasswordIterations = settings::TStoredPassword::MinIterations;

enum class TPasswordProblem { None, TooShort, TooLong, NotLetterOrDigit, Mismatch };

// Letters and digits only, PasswordMinLength to PasswordMaxLength of them.
TPasswordProblem CheckPassword(std::string_view password);
// Both entries must be the same password, and a valid one.
TPasswordProblem CheckNewPassword(std::string_view first, std::string_view second);
// What the user is told about a problem ("" for None).
std::string_view PasswordProblemText(TPasswordProblem problem);

// The password as it is hashed: letters in upper case, as the keys that
// type them are named, so that case never matters.
std::string NormalizePassword(std::string_view password);

// What a key of the locked keyboard is to the password, from its shortcut
// code (key code in the low byte, modifier bits above): a letter or digit
// (Shift allowed; upper case), nothing at all (modifiers, Caps Lock, and a
// blocked input with no key code), or another key, which ends any match.
inline constexpr char PasswordKeyIgnored = 0;
inline constexpr char PasswordKeyOther = 1;
char PasswordKeyOf(std::uint32_t shortcutCode);

// The system's PBKDF2-HMAC-SHA256 and random numbers.
class TPasswordHasher {
 public:
  virtual ~TPasswordHasher() = default;
  // Fills `key` with PBKDF2-HMAC-SHA256(password, salt, iterations); false
  // when the system refused.
  virtual bool Derive(std::string_view password, std::span<const std::uint8_t> salt,
                      std::uint32_t iterations, std::span<std::uint8_t> key) = 0;
  // Fills `bytes` from the system's random number generator.
  virtual bool Random(std::span<std::uint8_t> bytes) = 0;
};

// Compares without an early exit, so that the time taken does not tell how
// much of a guess was right.
bool ConstantTimeEqual(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b);

// The stored form of a valid password with a new random salt; nothing when
// the password is not valid or the system refused.
std::optional<std::string> MakeStoredPassword(std::string_view password, TPasswordHasher& hasher,
                                              std::uint32_t iterations = PasswordIterations);
// Whether `password` is the one stored (case does not matter).
bool VerifyPassword(std::string_view password, const settings::TStoredPassword& stored,
                    TPasswordHasher& hasher);

// The keys typed on the locked keyboard, matched against the password as
// they come: the last PasswordMaxLength letters and digits are kept in
// memory only (never written anywhere) and forgotten on Clear.
class TPasswordMatcher {
 public:
  explicit TPasswordMatcher(TPasswordHasher& hasher) : FHasher(hasher) {}
  ~TPasswordMatcher() { Clear(); }
  TPasswordMatcher(const TPasswordMatcher&) = delete;
  TPasswordMatcher& operator=(const TPasswordMatcher&) = delete;

  // The stored form to match, or none (empty or not a stored form).
  void SetPassword(std::string_view storedForm);
  bool HasPassword() const { return FStored.has_value(); }

  // One blocked key; true when the keys typed so far end with the password.
  bool Feed(std::uint32_t shortcutCode);
  // Forgets every key.
  void Clear();
  // How many keys are remembered (for tests).
  int Count() const { return FCount; }

 private:
  TPasswordHasher& FHasher;
  std::optional<settings::TStoredPassword> FStored;
  std::array<char, PasswordMaxLength> FKeys{};  // oldest first
  int FCount = 0;
};

}  // namespace quell::rules
