// The system's PBKDF2-HMAC-SHA256 (bcrypt.dll) behind the unlock password:
// published vectors, and the stored form made and checked with it.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "system/PasswordWatcher.h"
#include "system/SystemPasswordHasher.h"
#include "tests/win/support/WinTestSupport.h"

namespace quell::app {
namespace {

std::string Hex(std::span<const std::uint8_t> bytes) {
  std::string text;
  char digits[3];
  for (std::uint8_t b : bytes) {
    std::snprintf(digits, sizeof digits, "%02x", b);
    text += digits;
  }
  return text;
}

std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

// RFC 7914, section 11: the PBKDF2-HMAC-SHA256 test vectors.
TEST(SystemPasswordHasher, GivesThePublishedPbkdf2Sha256Vectors) {
  TSystemPasswordHasher hasher;
  std::vector<std::uint8_t> key(64);
  ASSERT_TRUE(hasher.Derive("passwd", Bytes("salt"), 1, key));
  EXPECT_EQ(Hex(key),
            "55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc"
            "49ca9cccf179b645991664b39d77ef317c71b845b1e30bd509112041d3a19783");
  ASSERT_TRUE(hasher.Derive("Password", Bytes("NaCl"), 80000, key));
  EXPECT_EQ(Hex(key),
            "4ddcd8f60b98be21830cee5ef22701f9641a4418d04c0414aeff08876b34ab56"
            "a1d425a1225833549adb841b51c9b3176a272bdebba1d078478f62b397f33c8d");
}

TEST(SystemPasswordHasher, AStoredFormOfKnownParametersVerifiesItsPassword) {
  // PBKDF2-HMAC-SHA256("OPEN1234", 00 01 .. 0f, 100000 iterations, 32 bytes),
  // as any other implementation computes it.
  const auto stored = settings::TStoredPassword::Parse(
      "pbkdf2-sha256$100000$8$000102030405060708090a0b0c0d0e0f$"
      "44c90415266c76c57a38d381ae0b753bd69031acaa3f1258b31fbb720f2ec218");
  ASSERT_TRUE(stored);
  TSystemPasswordHasher hasher;
  EXPECT_TRUE(rules::VerifyPassword("open1234", *stored, hasher));
  EXPECT_TRUE(rules::VerifyPassword("OPEN1234", *stored, hasher));
  EXPECT_FALSE(rules::VerifyPassword("open1235", *stored, hasher));
}

TEST(SystemPasswordHasher, MakesStoredFormsWithFreshSaltsThatVerify) {
  TSystemPasswordHasher hasher;
  const auto first = rules::MakeStoredPassword("Clean42", hasher);
  const auto second = rules::MakeStoredPassword("Clean42", hasher);
  ASSERT_TRUE(first && second);
  EXPECT_NE(*first, *second);  // random salts
  const auto stored = settings::TStoredPassword::Parse(*first);
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->Iterations, 100000u);
  EXPECT_TRUE(rules::VerifyPassword("clean42", *stored, hasher));
  EXPECT_FALSE(rules::VerifyPassword("clean43", *stored, hasher));

  // What a key typed on the locked keyboard costs (one derivation).
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  rules::VerifyPassword("clean42", *stored, hasher);
  QueryPerformanceCounter(&end);
  std::printf("one derivation at 100000 iterations: %.1f ms\n",
              1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                  static_cast<double>(frequency.QuadPart));
}

// The watcher thread: keys in, a match posted back with the generation of
// the keys that made it.
class PasswordWatcherTest : public ::testing::Test {
 protected:
  // The matches posted so far (their generations), waiting up to `ms`.
  std::vector<WPARAM> Matches(DWORD ms) {
    wintest::PumpUntil(
        [&] {
          for (const wintest::Received& r : window.Take(WM_USER)) posted.push_back(r.wParam);
          return !posted.empty();
        },
        ms);
    return posted;
  }
  void Type(const std::string& keys) {
    for (char c : keys) watcher.Feed(static_cast<std::uint8_t>(c));
  }
  wintest::RecordingWindow window{"password watcher", false};
  TPasswordWatcher watcher{window.Handle(), WM_USER};
  TSystemPasswordHasher hasher;
  std::vector<WPARAM> posted;
};

TEST_F(PasswordWatcherTest, PostsAMatchOfTheCurrentKeysOnly) {
  watcher.SetPassword(*rules::MakeStoredPassword("ab12", hasher));
  ASSERT_TRUE(watcher.HasPassword());
  Type("QAB13");
  EXPECT_TRUE(Matches(2500).empty()) << "a wrong password matched";
  Type("AB12");
  const std::vector<WPARAM> matched = Matches(10000);
  ASSERT_EQ(matched.size(), 1u);
  EXPECT_TRUE(watcher.IsCurrent(matched[0]));
  watcher.Clear();
  EXPECT_FALSE(watcher.IsCurrent(matched[0])) << "a match from before Clear still counts";
}

TEST_F(PasswordWatcherTest, ClearForgetsTheKeysTypedBefore) {
  watcher.SetPassword(*rules::MakeStoredPassword("ab12", hasher));
  Type("AB1");
  watcher.Clear();
  Type("2");
  EXPECT_TRUE(Matches(2500).empty());
  // A match still being derived when Clear comes is not current.
  Type("AB12");
  watcher.Clear();
  for (WPARAM generation : Matches(5000)) EXPECT_FALSE(watcher.IsCurrent(generation));
}

TEST_F(PasswordWatcherTest, WithoutAPasswordKeysAreNotEvenSent) {
  watcher.SetPassword("");
  EXPECT_FALSE(watcher.HasPassword());
  watcher.SetPassword("pbkdf2-sha256$1$2$3$4");
  EXPECT_FALSE(watcher.HasPassword());
  Type("AB12");
  EXPECT_TRUE(Matches(1000).empty());
}

}  // namespace
}  // namespace quell::app
