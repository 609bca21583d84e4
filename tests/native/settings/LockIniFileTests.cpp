// The settings record and the settings file: defaults, Load, Save, the
// bytes on disk, and what happens when the file cannot be read or written.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <string>
#include <utility>
#include <vector>

#include "tests/common/FirstSaveBytes.h"
#include "settings/Properties.h"
#include "TestFiles.h"

namespace quell::settings {
namespace {

using test::ReadBytes;
using test::TScratchDir;
using test::WriteBytes;
using ::testing::ElementsAre;
namespace fs = std::filesystem;

const std::string FirstSaveBytes = quell::testdata::FirstSaveBytes;

const std::vector<std::int32_t> DefaultSlots = {0, 1, 1, 1, 1, 0, 0, 0, 0, 0, 2, 3, 0, 0, 0};

std::vector<std::int32_t> Slots(const TLockSettings& s) {
  std::vector<std::int32_t> v;
  for (int i = 1; i <= SettingSlotCount; ++i) v.push_back(s.Values[i]);
  return v;
}

struct TReportedError {
  std::string Text;
  std::string Caption;
};

// A settings file in a scratch folder, with the save errors it reported.
class LockIniFileTest : public ::testing::Test {
 protected:
  fs::path ExePath() const { return Dir / "Quellane.exe"; }
  fs::path IniPath() const { return Dir / "Quellane.ini"; }

  std::unique_ptr<TLockIniFile> Open() { return OpenAt(ExePath()); }
  std::unique_ptr<TLockIniFile> OpenAt(const fs::path& exe) {
    auto ini = std::make_unique<TLockIniFile>(exe.string());
    ini->OnSaveError = [this](const std::string& text, const std::string& caption) {
      Errors.push_back({text, caption});
    };
    return ini;
  }
  std::unique_ptr<TLockIniFile> Loaded(const std::string& content) {
    WriteBytes(IniPath(), content);
    auto ini = Open();
    ini->Load();
    return ini;
  }
  void ExpectOneSaveError(const fs::path& iniPath) {
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0].Text, "Could not save configuration file:\r\n" + iniPath.string());
    EXPECT_EQ(Errors[0].Caption, "Quellane Error");
  }

  TScratchDir Dir;
  std::vector<TReportedError> Errors;
};

// --- the record ---

TEST(LockSettings, StartsWithTheDefaultsAndNoSection) {
  const TLockSettings s;
  EXPECT_EQ(Slots(s), DefaultSlots);
  EXPECT_EQ(s.Section, "");
}

TEST(LockSettings, FlagsReadAnyNonZeroAsTrueAndStoreOneOrZero) {
  TLockSettings s;
  s.Values[SLOT_CHECK_MINI] = -1;
  EXPECT_TRUE(s.GetBool(SLOT_CHECK_MINI));
  s.Values[SLOT_CHECK_MINI] = 0;
  EXPECT_FALSE(s.GetBool(SLOT_CHECK_MINI));
  s.SetBool(SLOT_DO_BEEP, true);
  EXPECT_EQ(s.Values[SLOT_DO_BEEP], 1);
  s.SetBool(SLOT_LOCK_KEYBOARD, false);
  EXPECT_EQ(s.Values[SLOT_LOCK_KEYBOARD], 0);
  EXPECT_THROW(s.Values[0], std::out_of_range);
  EXPECT_THROW(s.Values[16], std::out_of_range);
}

TEST(SettingsFilePath, ReplacesTheLastExtensionOfTheFileName) {
  EXPECT_EQ(SettingsFilePathFor("C:\\Program Files\\Quellane\\Quellane.exe"),
            "C:\\Program Files\\Quellane\\Quellane.ini");
  EXPECT_EQ(SettingsFilePathFor("/opt/q/quell.tar.exe"), "/opt/q/quell.tar.ini");
  EXPECT_EQ(SettingsFilePathFor("C:\\dir.v2\\Quellane"), "C:\\dir.v2\\Quellane.ini");
  EXPECT_EQ(SettingsFilePathFor("/dir.v2/Quellane"), "/dir.v2/Quellane.ini");
  EXPECT_EQ(SettingsFilePathFor("Quellane"), "Quellane.ini");
  EXPECT_EQ(SettingsFilePathFor("C:Quellane.EXE"), "C:Quellane.ini");
}

// --- loading ---

TEST_F(LockIniFileTest, NoFileGivesTheDefaultsAndAFirstSaveWritesTheSample) {
  auto ini = Open();
  EXPECT_TRUE(ini->IsNew);
  EXPECT_EQ(ini->FilePath(), IniPath().string());
  ini->Load();
  EXPECT_TRUE(ini->IsNew);
  EXPECT_EQ(Slots(*ini->Settings), DefaultSlots);
  EXPECT_FALSE(fs::exists(IniPath()));  // nothing is written before Save

  ini->Save();
  EXPECT_TRUE(Errors.empty());
  EXPECT_FALSE(ini->IsNew);
  EXPECT_EQ(ReadBytes(IniPath()), FirstSaveBytes);
  EXPECT_THAT(Dir.Entries(), ElementsAre("Quellane.ini"));  // no temporary file left
}

TEST_F(LockIniFileTest, ASectionWithLinesButNoKnownKeysIsNotNewAndKeepsTheDefaults) {
  auto ini = Loaded("[Config.Lock All]\r\nSOMETHING_ELSE=5\r\n");
  EXPECT_FALSE(ini->IsNew);
  EXPECT_EQ(Slots(*ini->Settings), DefaultSlots);
}

TEST_F(LockIniFileTest, AnEmptyOrMissingSectionIsNew) {
  EXPECT_TRUE(Loaded("[Config.Lock All]\r\n; a comment\r\n")->IsNew);
  EXPECT_TRUE(Loaded("[Other]\r\nDO_BEEP=1\r\n")->IsNew);
}

TEST_F(LockIniFileTest, ReadsSectionAndKeysWithoutRegardToCaseOrBlanks) {
  auto ini = Loaded("[config.lock all]\r\ndO_bEeP = 1\r\n  EDIT_IDLE\t=\t5  \r\n");
  EXPECT_TRUE(ini->Settings->GetBool(SLOT_DO_BEEP));
  EXPECT_EQ(ini->Settings->Values[SLOT_EDIT_IDLE], 5);  // no clamping on load
}

TEST_F(LockIniFileTest, ReadsHexadecimalShortcutsAndKeepsTheDefaultForGarbage) {
  EXPECT_EQ(Loaded("[Config.Lock All]\nKEY_LOCK=0x404C\n")->Settings->Values[SLOT_KEY_LOCK], 16460);
  EXPECT_EQ(Loaded("[Config.Lock All]\nKEY_LOCK=$404C\n")->Settings->Values[SLOT_KEY_LOCK], 16460);
  EXPECT_EQ(Loaded("[Config.Lock All]\nKEY_LOCK=abc\n")->Settings->Values[SLOT_KEY_LOCK], 0);
  EXPECT_EQ(
      Loaded("[Config.Lock All]\nLOKED_IMAGE=2147483648\n")->Settings->Values[SLOT_LOCKED_IMAGE],
      2);
  EXPECT_EQ(
      Loaded("[Config.Lock All]\nUNLOKED_IMAGE=$FFFFFFFF\n")->Settings->Values[SLOT_UNLOCKED_IMAGE],
      -1);
}

TEST_F(LockIniFileTest, ReadsACrOnlyFile) {
  auto ini = Loaded("[Config.Lock All]\rDO_BEEP=1\rKEY_UNLOCK=49228\rCHECK_IDLE=1\r");
  EXPECT_EQ(ini->Settings->Values[SLOT_DO_BEEP], 1);
  EXPECT_EQ(ini->Settings->Values[SLOT_KEY_UNLOCK], 49228);
  EXPECT_EQ(ini->Settings->Values[SLOT_CHECK_IDLE], 1);
}

// --- saving what was loaded ---

TEST_F(LockIniFileTest, ARepeatedKeyIsReadAndReplacedAtItsSecondLine) {
  auto ini = Loaded("[Config.Lock All]\r\nDO_BEEP=5\r\ndo_beep=1\r\n");
  EXPECT_EQ(ini->Settings->Values[SLOT_DO_BEEP], 1);
  ini->Settings->Values[SLOT_DO_BEEP] = 0;
  ini->Save();
  EXPECT_EQ(ReadBytes(IniPath()), "[Config.Lock All]\r\nDO_BEEP=5\r\n" + FirstSaveBytes.substr(19));
}

TEST_F(LockIniFileTest, KeepsForeignSectionsAndLinesAndDropsComments) {
  auto ini = Loaded(
      "; written by hand\r\n"
      "[Window]\r\nLeft = 10\r\nnote without equals\r\n"
      "[Config.Lock All]\r\n;old\r\nCHECK_MINI=-1\r\nmystery line\r\n=7\r\n"
      "[Tail]\r\n");
  EXPECT_EQ(ini->Settings->Values[SLOT_CHECK_MINI], -1);
  EXPECT_TRUE(ini->Settings->GetBool(SLOT_CHECK_MINI));
  EXPECT_EQ(ini->Settings->Values[SLOT_RESERVED_9], 7);
  EXPECT_EQ(ini->Settings->Values[SLOT_RESERVED_10], 7);
  ini->Save();
  EXPECT_EQ(ReadBytes(IniPath()),
            "[Window]\r\nLeft=10\r\nnote without equals\r\n\r\n"
            "[Config.Lock All]\r\nCHECK_MINI=-1\r\nmystery line\r\n=7\r\n"
            "DO_BEEP=0\r\nLOCK_KEYBOARD=1\r\nLOCK_MOUSE_BTN=1\r\nLOCK_MOUSE_MOVE=1\r\n"
            "LOCK_MOUSE_WHEEL=1\r\nKEY_LOCK=0\r\nKEY_UNLOCK=0\r\nSCREEN_SAVER_OFF=0\r\n"
            "LOKED_IMAGE=2\r\nUNLOKED_IMAGE=3\r\nCHECK_IDLE=0\r\nEDIT_IDLE=0\r\n\r\n"
            "[Tail]\r\n\r\n");
}

TEST_F(LockIniFileTest, SavesChangedValuesThatTheNextStartReads) {
  auto ini = Open();
  ini->Load();
  ini->Settings->Values[SLOT_KEY_UNLOCK] = 49228;
  ini->Settings->Values[SLOT_EDIT_IDLE] = 3600;
  ini->Settings->SetBool(SLOT_LOCK_MOUSE_MOVE, false);
  ini->Save();
  auto next = Open();
  next->Load();
  EXPECT_FALSE(next->IsNew);
  EXPECT_EQ(next->Settings->Values[SLOT_KEY_UNLOCK], 49228);
  EXPECT_EQ(next->Settings->Values[SLOT_EDIT_IDLE], 3600);
  EXPECT_EQ(next->Settings->Values[SLOT_LOCK_MOUSE_MOVE], 0);
}

TEST_F(LockIniFileTest, KeepsThePermissionsOfTheFileItReplaces) {
  WriteBytes(IniPath(), "[Config.Lock All]\r\n");
  fs::permissions(IniPath(),
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  auto ini = Open();
  ini->Load();
  ini->Save();
  EXPECT_TRUE(Errors.empty());
  EXPECT_EQ(fs::status(IniPath()).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(LockIniFileTest, WritesThroughASymbolicLink) {
  fs::create_directory(Dir / "real");
  WriteBytes(Dir / "real" / "q.ini", "[Config.Lock All]\r\nDO_BEEP=1\r\n");
  fs::create_symlink(Dir / "real" / "q.ini", IniPath());
  auto ini = Open();
  ini->Load();
  EXPECT_EQ(ini->Settings->Values[SLOT_DO_BEEP], 1);
  ini->Save();
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(IniPath())));
  EXPECT_EQ(ReadBytes(Dir / "real" / "q.ini").substr(0, 30), "[Config.Lock All]\r\nDO_BEEP=1\r\n");
  EXPECT_THAT(Dir.Entries(), ::testing::UnorderedElementsAre("Quellane.ini", "real"));
}

// --- reading errors ---

TEST_F(LockIniFileTest, AFolderWhereTheFileShouldBeCannotBeOpened) {
  fs::create_directory(IniPath());
  try {
    Open();
    FAIL() << "constructed from a folder";
  } catch (const TIniFileOpenError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot open file " + IniPath().string());
    EXPECT_EQ(e.Path(), IniPath().string());
  }
}

TEST_F(LockIniFileTest, AfterAReadErrorTheDefaultsAreNoFirstRunAndTheFileIsNeverSavedOver) {
  const std::string bytes =
      "[Config.Lock All]\r\nDO_BEEP=1\r\nKEY_UNLOCK=49237\r\n[Mine]\r\nx=1\r\n";
  WriteBytes(IniPath(), bytes);
  TLockIniFile ini(ExePath().string(), TLockIniFile::TUnread{});
  std::vector<std::pair<std::string, std::string>> errors;
  ini.OnSaveError = [&](const std::string& text, const std::string& caption) {
    errors.emplace_back(text, caption);
  };
  ini.Load();
  EXPECT_FALSE(ini.IsNew) << "a file that could not be read is not a first run";
  EXPECT_EQ(ini.Settings->Values, TLockSettings().Values);
  ini.Settings->Values[SLOT_KEY_LOCK] = 49228;
  for (int save = 0; save < 2; ++save) {
    ini.Save();
    EXPECT_EQ(ReadBytes(IniPath()), bytes) << "the unread values and sections are kept";
  }
  ASSERT_EQ(errors.size(), 2u) << "each save says that it could not save";
  EXPECT_EQ(errors[0].first, "Could not save configuration file:\r\n" + IniPath().string());
  EXPECT_EQ(errors[0].second, "Quellane Error");
  EXPECT_THAT(Dir.Entries(), ::testing::UnorderedElementsAre("Quellane.ini"))
      << "no temporary file";
}

TEST_F(LockIniFileTest, AFileWithoutReadPermissionCannotBeOpened) {
  WriteBytes(IniPath(), "[Config.Lock All]\r\n");
  fs::permissions(IniPath(), fs::perms::none);
  if (std::ifstream(IniPath()).is_open())
    GTEST_SKIP() << "this user reads files regardless of their permissions";
  EXPECT_THROW(Open(), TIniFileOpenError);
}

// --- saving errors: the old bytes survive, no temporary file is left ---

// Sets or clears the immutable attribute, which stops even root from
// writing, renaming over or adding to the file or folder. False when the
// file system or the process's privileges do not allow it.
bool SetImmutable(const fs::path& path, bool on) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
  if (fd < 0) return false;
  int flags = 0;
  bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  if (ok) {
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
  }
  ::close(fd);
  return ok;
}

bool CanCreateIn(const fs::path& dir) {
  const fs::path probe = dir / "probe";
  const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
  if (fd < 0) return false;
  ::close(fd);
  fs::remove(probe);
  return true;
}

// Makes a folder refuse new entries for as long as it lives: by its
// permissions where they bind this user, else by the immutable attribute.
class TUnwritableFolder {
 public:
  explicit TUnwritableFolder(fs::path dir) : FDir(std::move(dir)) {
    fs::permissions(FDir, fs::perms::owner_read | fs::perms::owner_exec);
    if (!CanCreateIn(FDir)) return;
    FImmutable = SetImmutable(FDir, true);
  }
  ~TUnwritableFolder() {
    if (FImmutable) SetImmutable(FDir, false);
    fs::permissions(FDir, fs::perms::owner_all);
  }
  bool Holds() const { return !CanCreateIn(FDir); }

 private:
  fs::path FDir;
  bool FImmutable = false;
};

const std::string OldBytes = "[Config.Lock All]\r\nDO_BEEP=1\r\n; keep me\r\n";

TEST_F(LockIniFileTest, SaveIntoAReadOnlyFolderFailsAndLeavesTheOldFile) {
  WriteBytes(IniPath(), OldBytes);
  auto ini = Open();
  ini->Load();
  ini->Settings->Values[SLOT_DO_BEEP] = 0;
  {
    TUnwritableFolder guard(Dir.Path());
    if (!guard.Holds()) GTEST_SKIP() << "no way to make a folder read-only here";
    ini->Save();
  }
  ExpectOneSaveError(IniPath());
  EXPECT_FALSE(ini->IsNew);  // unchanged by the failed save
  EXPECT_EQ(ReadBytes(IniPath()), OldBytes);
  EXPECT_THAT(Dir.Entries(), ElementsAre("Quellane.ini"));
  EXPECT_EQ(ini->Settings->Values[SLOT_DO_BEEP], 0);  // the record keeps its values

  ini->Save();  // the next save tries again
  EXPECT_EQ(Errors.size(), 1u);
  EXPECT_EQ(ReadBytes(IniPath()).substr(0, 30), "[Config.Lock All]\r\nDO_BEEP=0\r\n");
}

TEST_F(LockIniFileTest, AFirstSaveIntoAReadOnlyFolderStaysNew) {
  auto ini = Open();
  ini->Load();
  {
    TUnwritableFolder guard(Dir.Path());
    if (!guard.Holds()) GTEST_SKIP() << "no way to make a folder read-only here";
    ini->Save();
  }
  ExpectOneSaveError(IniPath());
  EXPECT_TRUE(ini->IsNew);
  EXPECT_TRUE(Dir.Entries().empty());
}

TEST_F(LockIniFileTest, SaveOverAReadOnlyFileFailsAndLeavesItsBytes) {
  WriteBytes(IniPath(), OldBytes);
  fs::permissions(IniPath(),
                  fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  auto ini = Open();
  ini->Load();
  ini->Save();
  ExpectOneSaveError(IniPath());
  EXPECT_FALSE(ini->IsNew);
  EXPECT_EQ(ReadBytes(IniPath()), OldBytes);
  EXPECT_THAT(Dir.Entries(), ElementsAre("Quellane.ini"));
}

TEST_F(LockIniFileTest, AReplaceThatTheFileSystemRefusesLeavesTheOldBytes) {
  // The file's own permissions allow writing; the kernel refuses the rename
  // over it, after the temporary file has been written in full.
  WriteBytes(IniPath(), OldBytes);
  if (!SetImmutable(IniPath(), true)) GTEST_SKIP() << "immutable files are not available here";
  auto ini = Open();
  ini->Load();
  ini->Save();
  SetImmutable(IniPath(), false);
  ExpectOneSaveError(IniPath());
  EXPECT_EQ(ReadBytes(IniPath()), OldBytes);
  EXPECT_THAT(Dir.Entries(), ElementsAre("Quellane.ini"));
}

// Lets this process write files of at most `bytes` bytes while it lives:
// a write past that fails as on a full disk.
class TFileSizeLimit {
 public:
  explicit TFileSizeLimit(rlim_t bytes) {
    FOldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &FOld);
    rlimit limit = FOld;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~TFileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &FOld);
    std::signal(SIGXFSZ, FOldHandler);
  }

 private:
  rlimit FOld{};
  void (*FOldHandler)(int) = nullptr;
};

TEST_F(LockIniFileTest, AWriteThatStopsHalfWayLeavesTheOldBytes) {
  WriteBytes(IniPath(), OldBytes);
  auto ini = Open();
  ini->Load();
  {
    TFileSizeLimit limit(100);  // the new content is more than twice that
    ini->Save();
  }
  ExpectOneSaveError(IniPath());
  EXPECT_EQ(ReadBytes(IniPath()), OldBytes);
  EXPECT_THAT(Dir.Entries(), ElementsAre("Quellane.ini"));
}

TEST_F(LockIniFileTest, SaveUnderAPathWhoseFolderIsAFileFails) {
  WriteBytes(Dir / "plain", "not a folder");
  auto ini = OpenAt(Dir / "plain" / "Quellane.exe");
  ini->Load();
  EXPECT_TRUE(ini->IsNew);
  ini->Save();
  ExpectOneSaveError(Dir / "plain" / "Quellane.ini");
  EXPECT_TRUE(ini->IsNew);
  EXPECT_EQ(ReadBytes(Dir / "plain"), "not a folder");
  EXPECT_THAT(Dir.Entries(), ElementsAre("plain"));
}

TEST_F(LockIniFileTest, SaveOverAFolderFailsAndLeavesIt) {
  auto ini = Open();
  ini->Load();
  fs::create_directory(IniPath());
  WriteBytes(IniPath() / "inside", "x");
  ini->Save();
  ExpectOneSaveError(IniPath());
  EXPECT_TRUE(fs::is_directory(IniPath()));
  EXPECT_EQ(ReadBytes(IniPath() / "inside"), "x");
  EXPECT_THAT(Dir.Entries(), ElementsAre("Quellane.ini"));
}

TEST_F(LockIniFileTest, AFailedSaveWithoutAHandlerStillReturnsNormally) {
  WriteBytes(IniPath(), OldBytes);
  fs::permissions(IniPath(), fs::perms::owner_read);
  TLockIniFile ini(ExePath().string());
  ini.Load();
  EXPECT_NO_THROW(ini.Save());
  EXPECT_FALSE(ini.IsNew);
  EXPECT_EQ(ReadBytes(IniPath()), OldBytes);
}

}  // namespace
}  // namespace quell::settings
