// For generated settings files: load, save and load again give the same
// slots, and a second save writes the same bytes as the first.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "settings/Properties.h"
#include "TestFiles.h"

namespace quell::settings {
namespace {

using test::ReadBytes;
using test::TScratchDir;
using test::WriteBytes;

// Builds messy but plausible settings files: every kind of line the reader
// knows, in random order, with random case, blanks, control characters and
// line ends.
class TIniGenerator {
 public:
  explicit TIniGenerator(unsigned seed) : FRng(seed) {}

  std::string File() {
    std::string text;
    FEndingStyle = Pick(0, 3);
    const int lines = Pick(0, 40);
    for (int i = 0; i < lines; ++i) text += Line() + LineEnd();
    if (Pick(0, 3) == 0) text += Line();  // no line end after the last line
    return text;
  }

 private:
  int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(FRng); }
  template <typename T>
  const T& OneOf(const std::vector<T>& items) {
    return items[static_cast<std::size_t>(Pick(0, static_cast<int>(items.size()) - 1))];
  }

  // One style per file, or a mix of all three.
  std::string LineEnd() {
    static const std::vector<std::string> ends = {"\r", "\n", "\r\n"};
    return FEndingStyle == 0 ? OneOf(ends) : ends[static_cast<std::size_t>(FEndingStyle - 1)];
  }
  std::string Padding() { return OneOf<std::string>({"", "", " ", "  ", "\t", " \x01", "\x1f"}); }

  std::string RandomCase(std::string s) {
    for (char& c : s) {
      if (Pick(0, 1) == 0) continue;
      if (c >= 'a' && c <= 'z')
        c = static_cast<char>(c - 'a' + 'A');
      else if (c >= 'A' && c <= 'Z')
        c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
  }

  std::string Key() {
    if (Pick(0, 9) < 7)
      return RandomCase(std::string(SettingKeys[static_cast<std::size_t>(Pick(0, 14))]));
    return OneOf<std::string>({"", "FOREIGN", "Left", "A B"});
  }

  std::string Value() {
    static const std::vector<std::string> pool = {
        "0",           "1",         "-1",     "2147483647", "2147483648", "-2147483648",
        "-2147483649", "$FFFFFFFF", "0x404C", "$404C",      "x1f",        "X7FFFFFFF",
        "0x",          "$",         "abc",    "",           "+5",         "007",
        "$000000001",  "1 2",       "=3",     "-$5",        "0X80000000", "49228"};
    if (Pick(0, 4) == 0) return std::to_string(static_cast<std::int32_t>(FRng()));
    return OneOf(pool);
  }

  std::string Line() {
    switch (Pick(0, 9)) {
      case 0:
      case 1: {
        const std::string name = OneOf<std::string>({"Config.Lock All", "Other", "", "x y"});
        return Padding() + "[" + Padding() + RandomCase(name) + Padding() + "]" + Padding();
      }
      case 2: return Padding() + ";" + Key() + "=" + Value();
      case 3: return Padding();
      case 4:
        return Padding() + OneOf<std::string>({"stray text", "[unclosed", "x]", "\xe9t\xe9"}) +
               Padding();
      case 5: {
        std::string junk;  // any bytes at all, line ends included
        for (int n = Pick(1, 12); n > 0; --n) junk += static_cast<char>(Pick(0, 255));
        return junk;
      }
      default: return Padding() + Key() + Padding() + "=" + Padding() + Value() + Padding();
    }
  }

  std::mt19937 FRng;
  int FEndingStyle = 0;
};

std::vector<std::int32_t> Slots(const TLockSettings& s) {
  std::vector<std::int32_t> v;
  for (int i = 1; i <= SettingSlotCount; ++i) v.push_back(s.Values[i]);
  return v;
}

TEST(SettingsRoundTrip, SaveThenLoadKeepsTheSlotsAndASecondSaveTheBytes) {
  TScratchDir dir;
  const auto exe = dir / "Quellane.exe";
  const auto path = dir / "Quellane.ini";
  int failures = 0;
  for (unsigned seed = 1; seed <= 400 && failures < 3; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    const std::string original = TIniGenerator(seed).File();
    WriteBytes(path, original);

    std::vector<std::string> errors;
    const auto onError = [&errors](const std::string& text, const std::string&) {
      errors.push_back(text);
    };

    TLockIniFile first(exe.string());
    first.OnSaveError = onError;
    first.Load();
    const auto loaded = Slots(*first.Settings);
    first.Save();
    const std::string saved = ReadBytes(path);

    TLockIniFile second(exe.string());
    second.OnSaveError = onError;
    second.Load();
    second.Save();

    EXPECT_TRUE(errors.empty());
    EXPECT_FALSE(second.IsNew);
    EXPECT_EQ(Slots(*second.Settings), loaded);
    EXPECT_EQ(ReadBytes(path), saved);
    if (::testing::Test::HasFailure()) ++failures;
  }
}

// What the generator makes must reach the interesting paths, or the round
// trip above proves little.
TEST(SettingsRoundTrip, GeneratedFilesCoverTheCasesThatMatter) {
  int withSection = 0, newFiles = 0, changedSlots = 0, crOnly = 0;
  for (unsigned seed = 1; seed <= 400; ++seed) {
    const std::string text = TIniGenerator(seed).File();
    TMemIniFile ini("");
    ini.LoadFromText(text);
    TLockSettings s;
    s.Section = LockSettingsSection;
    const auto defaults = Slots(s);
    s.ReadFrom(ini);
    withSection += !ini.SectionKeys(LockSettingsSection).empty();
    newFiles += ini.SectionKeys(LockSettingsSection).empty();
    changedSlots += Slots(s) != defaults;
    crOnly += text.find('\n') == std::string::npos && text.find('\r') != std::string::npos;
  }
  EXPECT_GT(withSection, 100);
  EXPECT_GT(newFiles, 20);
  EXPECT_GT(changedSlots, 100);
  EXPECT_GT(crOnly, 0);
}

}  // namespace
}  // namespace quell::settings
