// The settings beyond the fifteen slots: the unlock password, the cleaning
// lock (and whether it darkens the screens), the longest lock, start with
// Windows, the media keys through a lock and the paw guard. They live in a section of
// their own that is written only while one of them differs from its default,
// so that a file of the fifteen slots alone is written as it always was.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "MemIniFile.h"

namespace quell::settings {

inline constexpr std::string_view MoreSettingsSection = "Config.More";

// The unlock password as stored: never the password itself, only a salted
// PBKDF2-HMAC-SHA256 of it, as "pbkdf2-sha256$<iterations>$<length>$<salt
// hex>$<hash hex>". The length is that of the password: the locked keyboard
// is matched by deriving the hash of the last <length> keys typed, one
// derivation per key rather than one per possible length.
struct TStoredPassword {
  static constexpr std::string_view Scheme = "pbkdf2-sha256";
  static constexpr std::uint32_t MinIterations = 100000;
  // A damaged file must not make a key press cost minutes.
  static constexpr std::uint32_t MaxIterations = 10000000;
  static constexpr int MinLength = 4;
  static constexpr int MaxLength = 32;
  static constexpr std::size_t SaltSize = 16;
  static constexpr std::size_t HashSize = 32;

  std::uint32_t Iterations = MinIterations;
  int Length = 0;
  std::array<std::uint8_t, SaltSize> Salt{};
  std::array<std::uint8_t, HashSize> Hash{};

  // Nothing when the text is not a complete, well-formed stored form.
  static std::optional<TStoredPassword> Parse(std::string_view text);
  std::string Format() const;
};

struct TMoreSettings {
  static constexpr int CleaningSecondsDefault = 30;
  static constexpr int CleaningSecondsMin = 5;
  static constexpr int CleaningSecondsMax = 600;
  static constexpr int LongestLockMinutesMin = 1;
  static constexpr int LongestLockMinutesMax = 1440;
  // The seconds form exists for tests; the options dialog never sets it.
  static constexpr int LongestLockSecondsMax = LongestLockMinutesMax * 60;

  int CleaningSeconds = CleaningSecondsDefault;
  int LongestLockMinutes = 0;  // 0: no longest lock
  int LongestLockSeconds = 0;  // when not 0, takes the place of the minutes
  bool StartWithWindows = false;
  // A cleaning lock covers every monitor in black while it runs.
  bool DarkenWhileCleaning = false;
  // A keyboard lock (not a cleaning lock) lets the media and volume keys
  // through.
  bool MediaKeysThrough = false;
  // Unlocked, keys pressed as no typist does lock the computer.
  bool PawGuard = false;
  std::string Password;  // the stored form; empty: no password
  // The file held a password entry that is not a stored form: it loads as
  // no password, and the program tells the user once.
  bool PasswordDamaged = false;

  bool IsDefault() const;
  // The longest lock in seconds, 0 for none.
  int LongestLockLimitSeconds() const;

  // Values out of range, not numbers or damaged load as their defaults.
  void ReadFrom(const TCustomIniFile& ini);
  // The section holds exactly the values that differ from their defaults;
  // without any, there is no section.
  void WriteTo(TCustomIniFile& ini) const;
};

}  // namespace quell::settings
