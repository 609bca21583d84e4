#include "Properties.h"

#include "AtomicFile.h"

namespace quell::settings {

TLockSettings::TLockSettings() {
  Values[SLOT_LOCK_KEYBOARD] = 1;
  Values[SLOT_LOCK_MOUSE_BTN] = 1;
  Values[SLOT_LOCK_MOUSE_MOVE] = 1;
  Values[SLOT_LOCK_MOUSE_WHEEL] = 1;
  Values[SLOT_LOCKED_IMAGE] = 2;
  Values[SLOT_UNLOCKED_IMAGE] = 3;
}

void TLockSettings::ReadFrom(const TCustomIniFile& ini) {
  // The reserved slots are looked up under the empty key, so a line "=n" in
  // the section sets both of them.
  for (int i = 1; i <= SettingSlotCount; ++i)
    Values[i] = ini.ReadInt(Section, SettingKeys[static_cast<std::size_t>(i - 1)], Values[i]);
}

void TLockSettings::WriteTo(TCustomIniFile& ini) const {
  for (int i = 1; i <= SettingSlotCount; ++i) {
    const std::string_view key = SettingKeys[static_cast<std::size_t>(i - 1)];
    if (!key.empty()) ini.WriteInt(Section, key, Values[i]);
  }
}

std::string SettingsFilePathFor(std::string_view exePath) {
  // Both separators count, and a drive colon, so that a Windows path is
  // handled the same way on every host.
  const std::size_t nameStart = [&] {
    const std::size_t sep = exePath.find_last_of("\\/:");
    return sep == std::string_view::npos ? 0 : sep + 1;
  }();
  const std::size_t dot = exePath.rfind('.');
  std::string path(exePath.substr(
      0, (dot != std::string_view::npos && dot >= nameStart) ? dot : exePath.size()));
  path += ".ini";
  return path;
}

TLockIniFile::TLockIniFile(std::string_view exePath)
    : TMemIniFile(SettingsFilePathFor(exePath)), Settings(std::make_unique<TLockSettings>()) {
  Settings->Section = LockSettingsSection;
}

TLockIniFile::TLockIniFile(std::string_view exePath, TUnread)
    : TMemIniFile(SettingsFilePathFor(exePath), false),
      Unread(true),
      Settings(std::make_unique<TLockSettings>()) {
  Settings->Section = LockSettingsSection;
}

TLockIniFile::~TLockIniFile() = default;

void TLockIniFile::Load() {
  IsNew = !Unread && SectionKeys(Settings->Section).empty();
  Settings->ReadFrom(*this);
  More.ReadFrom(*this);
}

void TLockIniFile::Save() {
  try {
    if (Unread) throw TFileWriteError("not read, so not written over: " + FilePath());
    Settings->WriteTo(*this);
    More.WriteTo(*this);
    WriteBack();
    IsNew = false;
    return;
  } catch (const std::exception&) {
    // Reported below, outside the handler, so that the callback runs with no
    // exception in flight.
  }
  if (OnSaveError)
    OnSaveError(std::string(SaveErrorText) + FilePath(), std::string(SaveErrorCaption));
}

}  // namespace quell::settings
