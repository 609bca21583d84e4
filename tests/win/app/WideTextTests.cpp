// The UTF-8 and UTF-16 conversions at the program's wide calls: letters of
// any script and beyond the 16-bit plane go both ways unchanged; what is no
// valid UTF-8 or UTF-16 becomes U+FFFD instead of vanishing or passing as
// another character.
#include <gtest/gtest.h>

#include <string>

#include "base/WideText.h"

namespace quell::base {
namespace {

TEST(WideText, ConvertsEveryScriptBothWaysAndReplacesWhatIsMalformed) {
  using namespace std::string_literals;
  struct Case {
    std::string utf8;
    std::wstring wide;
    bool roundTrip;  // the UTF-8 comes back from the wide text as it was
  };
  const Case cases[] = {
      {"", L"", true},
      {"C:\\Quellane\\Quellane.ini", L"C:\\Quellane\\Quellane.ini", true},
      {"\xD0\xA2\xD0\xB5\xD1\x81\xD1\x82", L"\u0422\u0435\u0441\u0442", true},  // Тест
      {"\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1", L"\u03A9\u03BC\u03AD\u03B3\u03B1", true},
      {"a\xF0\x9F\x94\x92z", L"a\xD83D\xDD12z", true},  // U+1F512, a surrogate pair
      {"a\0b"s, L"a\0b"s, true},                        // the length counts, not a zero
      {"\xFF", L"\uFFFD", false},
      {"ab\xD0", L"ab\uFFFD", false},  // cut off in the middle of a letter
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.utf8));
    const std::wstring wide = WideFromUtf8(c.utf8);
    EXPECT_EQ(wide, c.wide);
    EXPECT_EQ(Utf8FromWide(wide) == c.utf8, c.roundTrip);
  }
  // An overlong '/' must not turn into a folder separator.
  const std::wstring overlong = WideFromUtf8(
      "a\xC0\xAF"
      "b");
  EXPECT_EQ(overlong.find(L'/'), std::wstring::npos);
  EXPECT_NE(overlong.find(L'\uFFFD'), std::wstring::npos);
  // A lone surrogate has no UTF-8 form.
  EXPECT_EQ(Utf8FromWide(L"x\xD800y"), "x\xEF\xBF\xBDy");
}

}  // namespace
}  // namespace quell::base
