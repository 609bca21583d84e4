#include "UnlockPassword.h"

#include "HookDll/HookProtocol.h"
#include "HookDll/VirtualKeys.h"

namespace quell::rules {

namespace {

constexpr bool IsAsciiLetterOrDigit(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Overwrites a buffer that held typed keys; the volatile access keeps the
// compiler from dropping stores to memory about to be freed.
void Wipe(char* data, std::size_t size) {
  volatile char* p = data;
  for (std::size_t i = 0; i < size; ++i) p[i] = 0;
}

}  // namespace

TPasswordProblem CheckPassword(std::string_view password) {
  for (char c : password) {
    if (!IsAsciiLetterOrDigit(c)) return TPasswordProblem::NotLetterOrDigit;
  }
  if (password.size() < static_cast<std::size_t>(PasswordMinLength))
    return TPasswordProblem::TooShort;
  if (password.size() > static_cast<std::size_t>(PasswordMaxLength))
    return TPasswordProblem::TooLong;
  return TPasswordProblem::None;
}

TPasswordProblem CheckNewPassword(std::string_view first, std::string_view second) {
  const TPasswordProblem problem = CheckPassword(first);
  if (problem != TPasswordProblem::None) return problem;
  return first == second ? TPasswordProblem::None : TPasswordProblem::Mismatch;
}

std::string_view PasswordProblemText(TPasswordProblem problem) {
  switch (problem) {
    case TPasswordProblem::None: return "";
    case TPasswordProblem::TooShort: return "The password must have at least 4 characters.";
    case TPasswordProblem::TooLong: return "The password may have at most 32 characters.";
    case TPasswordProblem::NotLetterOrDigit:
      return "The password may hold letters (A-Z) and digits (0-9) only.";
    case TPasswordProblem::Mismatch: return "The two passwords are not the same.";
  }
  return "";
}

std::string NormalizePassword(std::string_view password) {
  std::string text(password);
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

char PasswordKeyOf(std::uint32_t shortcutCode) {
  if ((shortcutCode & (kShortcutCtrl | kShortcutAlt)) != 0) return PasswordKeyOther;
  const std::uint32_t vk = shortcutCode & 0xFF;
  if ((shortcutCode & ~(0xFFu | kShortcutShift)) != 0) return PasswordKeyOther;
  if (vk >= 'A' && vk <= 'Z') return static_cast<char>(vk);
  if (vk >= '0' && vk <= '9') return static_cast<char>(vk);
  using namespace quell::hook;
  if (vk >= kVkNumpad0 && vk <= kVkNumpad9) {
    return static_cast<char>('0' + (vk - kVkNumpad0));  // the keypad's
  }
  switch (vk) {
    case 0:  // no key code (another hook's report)
    case kVkShift:
    case kVkControl:
    case kVkMenu:
    case kVkLShift:
    case kVkRShift:
    case kVkLControl:
    case kVkRControl:
    case kVkLMenu:
    case kVkRMenu:
    case kVkCapital: return PasswordKeyIgnored;
    default: return PasswordKeyOther;
  }
}

bool ConstantTimeEqual(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) {
  if (a.size() != b.size()) return false;
  unsigned difference = 0;
  for (std::size_t i = 0; i < a.size(); ++i) difference |= static_cast<unsigned>(a[i] ^ b[i]);
  return difference == 0;
}

std::optional<std::string> MakeStoredPassword(std::string_view password, TPasswordHasher& hasher,
                                              std::uint32_t iterations) {
  if (CheckPassword(password) != TPasswordProblem::None) return std::nullopt;
  settings::TStoredPassword stored;
  stored.Iterations = iterations;
  stored.Length = static_cast<int>(password.size());
  if (!hasher.Random(stored.Salt)) return std::nullopt;
  std::string normalized = NormalizePassword(password);
  const bool derived = hasher.Derive(normalized, stored.Salt, iterations, stored.Hash);
  Wipe(normalized.data(), normalized.size());
  if (!derived) return std::nullopt;
  return stored.Format();
}

bool VerifyPassword(std::string_view password, const settings::TStoredPassword& stored,
                    TPasswordHasher& hasher) {
  if (password.size() != static_cast<std::size_t>(stored.Length)) return false;
  std::array<std::uint8_t, settings::TStoredPassword::HashSize> key{};
  std::string normalized = NormalizePassword(password);
  const bool derived = hasher.Derive(normalized, stored.Salt, stored.Iterations, key);
  Wipe(normalized.data(), normalized.size());
  return derived && ConstantTimeEqual(key, stored.Hash);
}

void TPasswordMatcher::SetPassword(std::string_view storedForm) {
  FStored = settings::TStoredPassword::Parse(storedForm);
  Clear();
}

void TPasswordMatcher::Clear() {
  Wipe(FKeys.data(), FKeys.size());
  FCount = 0;
}

bool TPasswordMatcher::Feed(std::uint32_t shortcutCode) {
  const char key = PasswordKeyOf(shortcutCode);
  if (key == PasswordKeyIgnored) return false;
  if (key == PasswordKeyOther) {
    // Nothing typed before this key can be the end of the password.
    Clear();
    return false;
  }
  if (FCount == PasswordMaxLength) {
    for (int i = 1; i < FCount; ++i)
      FKeys[static_cast<std::size_t>(i - 1)] = FKeys[static_cast<std::size_t>(i)];
    --FCount;
  }
  FKeys[static_cast<std::size_t>(FCount++)] = key;
  // Only the last Length keys can be the password: one derivation per key.
  if (!FStored || FCount < FStored->Length) return false;
  const std::string_view tail(FKeys.data() + (FCount - FStored->Length),
                              static_cast<std::size_t>(FStored->Length));
  return VerifyPassword(tail, *FStored, FHasher);
}

}  // namespace quell::rules
