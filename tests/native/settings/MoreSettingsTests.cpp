// The section of the password, cleaning lock, longest lock and start with
// Windows: written only when needed, so that older files and the default
// file keep their bytes, and bad values load as the defaults.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/common/FirstSaveBytes.h"
#include "settings/MoreSettings.h"
#include "settings/Properties.h"
#include "TestFiles.h"

namespace quell::settings {
namespace {

using test::ReadBytes;
using test::TScratchDir;
using test::WriteBytes;
namespace fs = std::filesystem;

const std::string GoodPassword =
    "pbkdf2-sha256$100000$8$00112233445566778899aabbccddeeff$"
    "000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f";

class MoreSettingsFile : public ::testing::Test {
 protected:
  fs::path Exe() const { return Dir / "Quellane.exe"; }
  fs::path Ini() const { return Dir / "Quellane.ini"; }
  std::unique_ptr<TLockIniFile> Loaded(const std::string& content) {
    WriteBytes(Ini(), content);
    auto ini = std::make_unique<TLockIniFile>(Exe().string());
    ini->OnSaveError = [this](const std::string&, const std::string&) { ++Errors; };
    ini->Load();
    return ini;
  }
  TScratchDir Dir;
  int Errors = 0;
};

// --- the stored password ---

TEST(StoredPassword, ParsesItsOwnFormAndWritesItBack) {
  const auto stored = TStoredPassword::Parse(GoodPassword);
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->Iterations, 100000u);
  EXPECT_EQ(stored->Length, 8);
  EXPECT_EQ(stored->Salt[0], 0x00);
  EXPECT_EQ(stored->Salt[15], 0xff);
  EXPECT_EQ(stored->Hash[31], 0x1f);
  EXPECT_EQ(stored->Format(), GoodPassword);
  // Upper-case digits are read, and written back in lower case.
  std::string upper = GoodPassword;
  upper.replace(upper.find("aabbccddeeff"), 12, "AABBCCDDEEFF");
  ASSERT_TRUE(TStoredPassword::Parse(upper));
  EXPECT_EQ(TStoredPassword::Parse(upper)->Format(), GoodPassword);
}

TEST(StoredPassword, RefusesEveryDamagedForm) {
  const std::string salt = "00112233445566778899aabbccddeeff";
  const std::string hash = "000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f";
  for (const std::string& bad : std::vector<std::string>{
           std::string(), std::string("plain-password"),
           "pbkdf2-sha1$100000$8$" + salt + "$" + hash,              // another scheme
           "pbkdf2-sha256$99999$8$" + salt + "$" + hash,             // too few iterations
           "pbkdf2-sha256$10000001$8$" + salt + "$" + hash,          // too many
           "pbkdf2-sha256$4294967296$8$" + salt + "$" + hash,        // past 32 bits
           "pbkdf2-sha256$0100000$8$" + salt + "$" + hash,           // leading zero
           "pbkdf2-sha256$+100000$8$" + salt + "$" + hash,           // sign
           "pbkdf2-sha256$100000$3$" + salt + "$" + hash,            // too short a password
           "pbkdf2-sha256$100000$33$" + salt + "$" + hash,           // too long
           "pbkdf2-sha256$100000$$" + salt + "$" + hash,             // no length
           "pbkdf2-sha256$100000$8$" + salt.substr(2) + "$" + hash,  // short salt
           "pbkdf2-sha256$100000$8$" + salt + "$" + hash + "00",     // long hash
           "pbkdf2-sha256$100000$8$" + salt + "$" + hash.substr(0, 63) + "g",  // not hex
           "pbkdf2-sha256$100000$8$" + salt + "$" + hash + "$",                // a field too many
           "pbkdf2-sha256$100000$" + salt + "$" + hash,                        // a field too few
       }) {
    EXPECT_FALSE(TStoredPassword::Parse(bad)) << bad;
  }
}

// --- the section in the file ---

TEST_F(MoreSettingsFile, AFileOfTheOriginalSettingsIsWrittenByteForByteAsBefore) {
  const std::string original = quell::testdata::FirstSaveBytes;
  auto ini = Loaded(original);
  EXPECT_TRUE(ini->More.IsDefault());
  ini->Save();
  EXPECT_EQ(ReadBytes(Ini()), original);

  // No file at all: the first save is the sample file, with no new section.
  fs::remove(Ini());
  auto fresh = std::make_unique<TLockIniFile>(Exe().string());
  fresh->Load();
  fresh->Save();
  EXPECT_EQ(ReadBytes(Ini()), original);
}

TEST_F(MoreSettingsFile, OnlyTheValuesThatDifferAreWrittenAndTheyLoadBack) {
  auto ini = Loaded(quell::testdata::FirstSaveBytes);
  ini->More.CleaningSeconds = 45;
  ini->More.StartWithWindows = true;
  ini->Save();
  EXPECT_EQ(ReadBytes(Ini()), std::string(quell::testdata::FirstSaveBytes) +
                                  "[Config.More]\r\nCLEANING_SECONDS=45\r\n"
                                  "START_WITH_WINDOWS=1\r\n\r\n");

  ini->More.CleaningSeconds = TMoreSettings::CleaningSecondsDefault;
  ini->More.LongestLockMinutes = 90;
  ini->More.Password = GoodPassword;
  ini->Save();
  auto again = Loaded(ReadBytes(Ini()));
  EXPECT_EQ(again->More.CleaningSeconds, 30);
  EXPECT_EQ(again->More.LongestLockMinutes, 90);
  EXPECT_EQ(again->More.LongestLockLimitSeconds(), 90 * 60);
  EXPECT_TRUE(again->More.StartWithWindows);
  EXPECT_EQ(again->More.Password, GoodPassword);
  EXPECT_FALSE(again->More.PasswordDamaged);
  // A value back at its default leaves no line behind.
  EXPECT_EQ(ReadBytes(Ini()).find("CLEANING_SECONDS"), std::string::npos);
}

TEST_F(MoreSettingsFile, EverythingBackAtItsDefaultRemovesTheSectionAgain) {
  auto ini = Loaded(std::string(quell::testdata::FirstSaveBytes) +
                    "[Config.More]\r\nCLEANING_SECONDS=60\r\nPASSWORD=" + GoodPassword + "\r\n");
  EXPECT_FALSE(ini->More.IsDefault());
  ini->More = TMoreSettings{};
  ini->Save();
  EXPECT_EQ(ReadBytes(Ini()), quell::testdata::FirstSaveBytes);
  EXPECT_EQ(Errors, 0);
}

TEST_F(MoreSettingsFile, BadValuesLoadAsTheDefaults) {
  auto ini = Loaded(
      "[Config.More]\r\n"
      "CLEANING_SECONDS=4\r\n"
      "LONGEST_LOCK_MINUTES=1441\r\n"
      "LONGEST_LOCK_SECONDS=-5\r\n"
      "START_WITH_WINDOWS=yes\r\n"
      "PASSWORD=pbkdf2-sha256$100000$8$00$00\r\n");
  const TMoreSettings& m = ini->More;
  EXPECT_EQ(m.CleaningSeconds, 30);
  EXPECT_EQ(m.LongestLockMinutes, 0);
  EXPECT_EQ(m.LongestLockSeconds, 0);
  EXPECT_EQ(m.LongestLockLimitSeconds(), 0);
  EXPECT_FALSE(m.StartWithWindows);
  EXPECT_EQ(m.Password, "");
  EXPECT_TRUE(m.PasswordDamaged);
  EXPECT_TRUE(m.IsDefault());
  // The damaged line is not kept: the next save has no section at all.
  ini->Save();
  EXPECT_EQ(ReadBytes(Ini()).find("Config.More"), std::string::npos);

  EXPECT_EQ(Loaded("[Config.More]\r\nCLEANING_SECONDS=601\r\n")->More.CleaningSeconds, 30);
  EXPECT_EQ(Loaded("[Config.More]\r\nCLEANING_SECONDS=five\r\n")->More.CleaningSeconds, 30);
  EXPECT_EQ(Loaded("[Config.More]\r\nCLEANING_SECONDS=5\r\n")->More.CleaningSeconds, 5);
  EXPECT_EQ(Loaded("[Config.More]\r\nCLEANING_SECONDS=600\r\n")->More.CleaningSeconds, 600);
  EXPECT_EQ(Loaded("[Config.More]\r\nLONGEST_LOCK_MINUTES=0\r\n")->More.LongestLockMinutes, 0);
  EXPECT_EQ(Loaded("[Config.More]\r\nLONGEST_LOCK_MINUTES=1\r\n")->More.LongestLockMinutes, 1);
  EXPECT_EQ(Loaded("[Config.More]\r\nLONGEST_LOCK_MINUTES=1440\r\n")->More.LongestLockMinutes,
            1440);
  EXPECT_FALSE(Loaded("[Config.More]\r\nPASSWORD=\r\n")->More.PasswordDamaged);
}

// The switches of the section, each off by default.
TEST_F(MoreSettingsFile, EachSwitchIsWrittenOnlyWhileOnAndAloneMakesTheSection) {
  const struct {
    const char* key;
    bool TMoreSettings::*flag;
  } switches[] = {{"DARKEN_WHILE_CLEANING", &TMoreSettings::DarkenWhileCleaning},
                  {"MEDIA_KEYS_THROUGH", &TMoreSettings::MediaKeysThrough},
                  {"PAW_GUARD", &TMoreSettings::PawGuard}};
  for (const auto& sw : switches) {
    SCOPED_TRACE(sw.key);
    auto ini = Loaded(quell::testdata::FirstSaveBytes);
    ini->More.*sw.flag = true;
    EXPECT_FALSE(ini->More.IsDefault());
    ini->Save();
    EXPECT_EQ(ReadBytes(Ini()), std::string(quell::testdata::FirstSaveBytes) + "[Config.More]\r\n" +
                                    sw.key + "=1\r\n\r\n");
    EXPECT_TRUE(Loaded(ReadBytes(Ini()))->More.*sw.flag);
    ini->More.*sw.flag = false;
    ini->Save();
    EXPECT_EQ(ReadBytes(Ini()), quell::testdata::FirstSaveBytes) << "off is the default: no line";
    const struct {
      const char* value;
      bool on;
    } cases[] = {{"1", true}, {"-3", true}, {"0", false}, {"yes", false}, {"", false}};
    for (const auto& c : cases) {
      SCOPED_TRACE(c.value);
      EXPECT_EQ(
          Loaded(std::string("[Config.More]\r\n") + sw.key + "=" + c.value + "\r\n")->More.*sw.flag,
          c.on);
    }
  }
}

TEST_F(MoreSettingsFile, TheSecondsFormOfTheLongestLockWinsOverTheMinutes) {
  auto ini = Loaded("[Config.More]\r\nLONGEST_LOCK_MINUTES=2\r\nLONGEST_LOCK_SECONDS=7\r\n");
  EXPECT_EQ(ini->More.LongestLockLimitSeconds(), 7);
}

TEST_F(MoreSettingsFile, OtherSectionsAndTheSlotsAreUntouched) {
  auto ini = Loaded("[Other]\r\nA=1\r\n\r\n[Config.Lock All]\r\nDO_BEEP=1\r\n");
  ini->More.CleaningSeconds = 10;
  ini->Save();
  auto again = Loaded(ReadBytes(Ini()));
  EXPECT_TRUE(again->Settings->GetBool(SLOT_DO_BEEP));
  EXPECT_EQ(again->ReadInt("Other", "A", 0), 1);
  EXPECT_EQ(again->More.CleaningSeconds, 10);
}

}  // namespace
}  // namespace quell::settings
