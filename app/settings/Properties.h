// The program's settings: fifteen integer slots, and the ini file next to
// the executable that keeps them between runs.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "MemIniFile.h"
#include "MoreSettings.h"

namespace quell::settings {

// Slot numbers. They double as the hook library's property indexes, so they
// must never be renumbered. Slots 9 and 10 are reserved and have no key.
enum TSettingSlot : int {
  SLOT_DO_BEEP = 1,
  SLOT_LOCK_KEYBOARD = 2,
  SLOT_LOCK_MOUSE_BTN = 3,
  SLOT_LOCK_MOUSE_MOVE = 4,
  SLOT_LOCK_MOUSE_WHEEL = 5,
  SLOT_KEY_LOCK = 6,
  SLOT_KEY_UNLOCK = 7,
  SLOT_SCREEN_SAVER_OFF = 8,
  SLOT_RESERVED_9 = 9,
  SLOT_RESERVED_10 = 10,
  SLOT_LOCKED_IMAGE = 11,
  SLOT_UNLOCKED_IMAGE = 12,
  SLOT_CHECK_IDLE = 13,
  SLOT_EDIT_IDLE = 14,
  SLOT_CHECK_MINI = 15,
};

inline constexpr int SettingSlotCount = 15;

// The ini key of slot i is SettingKeys[i - 1]; the reserved slots have none.
inline constexpr std::array<std::string_view, SettingSlotCount> SettingKeys = {
    "DO_BEEP",
    "LOCK_KEYBOARD",
    "LOCK_MOUSE_BTN",
    "LOCK_MOUSE_MOVE",
    "LOCK_MOUSE_WHEEL",
    "KEY_LOCK",
    "KEY_UNLOCK",
    "SCREEN_SAVER_OFF",
    "",
    "",
    "LOKED_IMAGE",
    "UNLOKED_IMAGE",
    "CHECK_IDLE",
    "EDIT_IDLE",
    "CHECK_MINI",
};

inline constexpr std::string_view LockSettingsSection = "Config.Lock All";
inline constexpr std::string_view SaveErrorText = "Could not save configuration file:\r\n";
inline constexpr std::string_view SaveErrorCaption = "Quellane Error";

// Fifteen signed 32-bit slots, indexed 1..15 as the callers number them.
class TSettingValues {
 public:
  std::int32_t& operator[](int index) { return FSlots.at(Position(index)); }
  std::int32_t operator[](int index) const { return FSlots.at(Position(index)); }
  bool operator==(const TSettingValues&) const = default;

 private:
  // Out of range indexes land past the end and make at() throw.
  static std::size_t Position(int index) noexcept {
    return index >= 1 ? static_cast<std::size_t>(index - 1) : FSlotsSize;
  }
  static constexpr std::size_t FSlotsSize = SettingSlotCount;
  std::array<std::int32_t, FSlotsSize> FSlots{};
};

class TLockSettings {
 public:
  // Every slot at its default; Section empty until the owner sets it.
  TLockSettings();

  bool GetBool(int index) const { return Values[index] != 0; }
  void SetBool(int index, bool value) { Values[index] = value ? 1 : 0; }

  // Each slot from the ini file, its current value serving as the default.
  void ReadFrom(const TCustomIniFile& ini);
  // Every slot that has a key, in slot order.
  void WriteTo(TCustomIniFile& ini) const;

  TSettingValues Values;
  std::string Section;
};

// The settings file: exePath with its extension replaced by ".ini" (or
// ".ini" appended when the file name has none).
std::string SettingsFilePathFor(std::string_view exePath);

class TLockIniFile : public TMemIniFile {
 public:
  // Called with the text and the caption of the message that a failed Save
  // must show; the program shows it in a message box.
  using TSaveErrorHandler =
      std::function<void(const std::string& text, const std::string& caption)>;

  // Reads the settings file of the executable at exePath into memory.
  // Throws TIniFileOpenError ("Cannot open file <path>") when the file exists
  // but cannot be read. Does not load the settings: call Load once.
  explicit TLockIniFile(std::string_view exePath);
  // The same file, not read: every slot at its default. For going on after
  // the file could not be read. That is no first run (IsNew turns false at
  // Load), and the file is never written over: it holds settings that were
  // not seen, so every Save reports the save error and writes nothing.
  struct TUnread {};
  TLockIniFile(std::string_view exePath, TUnread);
  ~TLockIniFile() override;

  // Takes the settings from the in-memory file; IsNew tells whether the file
  // held none.
  virtual void Load();
  // Writes the settings to the file. Never throws: a failure leaves the file
  // on disk as it was and is reported through OnSaveError.
  virtual void Save();

  const std::string& FilePath() const noexcept { return FileName(); }

  bool IsNew = true;
  // The file exists but could not be read (made with TUnread).
  const bool Unread = false;
  std::unique_ptr<TLockSettings> Settings;
  // The settings of their own section (password, cleaning and longest lock,
  // start with Windows).
  TMoreSettings More;
  TSaveErrorHandler OnSaveError;
};

}  // namespace quell::settings
