// libFuzzer target over the settings reader and the integer grammar: any
// bytes must load without a crash, a hang or a sanitizer report, and what
// the settings write back must read back the same.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "settings/Properties.h"

using namespace quell::settings;

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  if (const auto value = ParseIniInt(text)) {
    // A value the grammar accepts, written as the writer writes it, reads back as itself.
    Check(ParseIniInt(std::to_string(*value)) == value);
  }

  TMemIniFile ini("");
  ini.LoadFromText(text);
  TLockSettings loaded;
  loaded.Section = LockSettingsSection;
  loaded.ReadFrom(ini);
  (void)ini.SectionKeys(LockSettingsSection);

  loaded.WriteTo(ini);
  const std::string saved = ini.ToText();

  TMemIniFile again("");
  again.LoadFromText(saved);
  TLockSettings reread;
  reread.Section = LockSettingsSection;
  reread.ReadFrom(again);
  Check(reread.Values == loaded.Values);
  reread.WriteTo(again);
  Check(again.ToText() == saved);
  return 0;
}
