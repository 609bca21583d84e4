#include "MoreSettings.h"

#include <algorithm>

#include "base/Text.h"

namespace quell::settings {

namespace {

constexpr std::string_view KeyCleaningSeconds = "CLEANING_SECONDS";
constexpr std::string_view KeyLongestLockMinutes = "LONGEST_LOCK_MINUTES";
constexpr std::string_view KeyLongestLockSeconds = "LONGEST_LOCK_SECONDS";
constexpr std::string_view KeyStartWithWindows = "START_WITH_WINDOWS";
constexpr std::string_view KeyPassword = "PASSWORD";
constexpr std::string_view KeyDarkenWhileCleaning = "DARKEN_WHILE_CLEANING";
constexpr std::string_view KeyMediaKeysThrough = "MEDIA_KEYS_THROUGH";
constexpr std::string_view KeyPawGuard = "PAW_GUARD";

bool ParseHexBytes(std::string_view text, std::uint8_t* out, std::size_t size) {
  if (text.size() != 2 * size) return false;
  for (std::size_t i = 0; i < size; ++i) {
    const int high = base::HexDigitValue(text[2 * i]);
    const int low = base::HexDigitValue(text[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    out[i] = static_cast<std::uint8_t>(high * 16 + low);
  }
  return true;
}

void AppendHex(std::string& text, const std::uint8_t* bytes, std::size_t size) {
  constexpr char digits[] = "0123456789abcdef";
  for (std::size_t i = 0; i < size; ++i) {
    text.push_back(digits[bytes[i] >> 4]);
    text.push_back(digits[bytes[i] & 15]);
  }
}

// Plain decimal digits only, no sign, no leading zero, within `maximum`.
std::optional<std::uint32_t> ParseCount(std::string_view text, std::uint32_t maximum) {
  if (text.empty() || text.size() > 10 || (text.size() > 1 && text[0] == '0')) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (value > maximum) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

// The next field up to '$' (or the end); the text is advanced past it.
std::string_view NextField(std::string_view& text) {
  const std::size_t end = text.find('$');
  const std::string_view field = text.substr(0, end);
  text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
  return field;
}

int InRangeOr(std::int32_t value, int minimum, int maximum, int fallback) {
  return value >= minimum && value <= maximum ? value : fallback;
}

}  // namespace

std::optional<TStoredPassword> TStoredPassword::Parse(std::string_view text) {
  if (std::count(text.begin(), text.end(), '$') != 4) return std::nullopt;
  if (NextField(text) != Scheme) return std::nullopt;
  TStoredPassword stored;
  const auto iterations = ParseCount(NextField(text), MaxIterations);
  if (!iterations || *iterations < MinIterations) return std::nullopt;
  stored.Iterations = *iterations;
  const auto length = ParseCount(NextField(text), MaxLength);
  if (!length || static_cast<int>(*length) < MinLength) return std::nullopt;
  stored.Length = static_cast<int>(*length);
  if (!ParseHexBytes(NextField(text), stored.Salt.data(), SaltSize)) return std::nullopt;
  if (!ParseHexBytes(NextField(text), stored.Hash.data(), HashSize)) return std::nullopt;
  return stored;
}

std::string TStoredPassword::Format() const {
  std::string text(Scheme);
  text.append(1, '$').append(std::to_string(Iterations));
  text.append(1, '$').append(std::to_string(Length));
  text.append(1, '$');
  AppendHex(text, Salt.data(), SaltSize);
  text.append(1, '$');
  AppendHex(text, Hash.data(), HashSize);
  return text;
}

bool TMoreSettings::IsDefault() const {
  return CleaningSeconds == CleaningSecondsDefault && LongestLockMinutes == 0 &&
         LongestLockSeconds == 0 && !StartWithWindows && !DarkenWhileCleaning &&
         !MediaKeysThrough && !PawGuard && Password.empty();
}

int TMoreSettings::LongestLockLimitSeconds() const {
  return LongestLockSeconds > 0 ? LongestLockSeconds : LongestLockMinutes * 60;
}

void TMoreSettings::ReadFrom(const TCustomIniFile& ini) {
  const std::string_view s = MoreSettingsSection;
  *this = TMoreSettings{};
  CleaningSeconds = InRangeOr(ini.ReadInt(s, KeyCleaningSeconds, CleaningSecondsDefault),
                              CleaningSecondsMin, CleaningSecondsMax, CleaningSecondsDefault);
  LongestLockMinutes = InRangeOr(ini.ReadInt(s, KeyLongestLockMinutes, 0), LongestLockMinutesMin,
                                 LongestLockMinutesMax, 0);
  LongestLockSeconds =
      InRangeOr(ini.ReadInt(s, KeyLongestLockSeconds, 0), 1, LongestLockSecondsMax, 0);
  StartWithWindows = ini.ReadInt(s, KeyStartWithWindows, 0) != 0;
  DarkenWhileCleaning = ini.ReadInt(s, KeyDarkenWhileCleaning, 0) != 0;
  MediaKeysThrough = ini.ReadInt(s, KeyMediaKeysThrough, 0) != 0;
  PawGuard = ini.ReadInt(s, KeyPawGuard, 0) != 0;
  const std::string password = ini.ReadString(s, KeyPassword, "");
  if (password.empty()) return;
  if (const auto stored = TStoredPassword::Parse(password)) {
    // Kept in the one form this program writes.
    Password = stored->Format();
  } else {
    PasswordDamaged = true;
  }
}

void TMoreSettings::WriteTo(TCustomIniFile& ini) const {
  const std::string_view s = MoreSettingsSection;
  // Written anew: a value back at its default leaves no line behind.
  ini.EraseSection(s);
  if (IsDefault()) return;
  if (CleaningSeconds != CleaningSecondsDefault)
    ini.WriteInt(s, KeyCleaningSeconds, CleaningSeconds);
  if (LongestLockMinutes != 0) ini.WriteInt(s, KeyLongestLockMinutes, LongestLockMinutes);
  if (LongestLockSeconds != 0) ini.WriteInt(s, KeyLongestLockSeconds, LongestLockSeconds);
  if (StartWithWindows) ini.WriteInt(s, KeyStartWithWindows, 1);
  if (DarkenWhileCleaning) ini.WriteInt(s, KeyDarkenWhileCleaning, 1);
  if (MediaKeysThrough) ini.WriteInt(s, KeyMediaKeysThrough, 1);
  if (PawGuard) ini.WriteInt(s, KeyPawGuard, 1);
  if (!Password.empty()) ini.WriteString(s, KeyPassword, Password);
}

}  // namespace quell::settings
