// Replacing the settings file on Windows: the new bytes take the old file's
// place and the file keeps its attributes; a new file is created whole.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "settings/AtomicFile.h"
#include "tests/win/support/WinTestSupport.h"

namespace quell::wintest {
namespace {

using settings::WriteFileAtomically;

class AtomicSave : public ::testing::Test {
 protected:
  std::string folder;
  std::string path;

  void SetUp() override {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    folder = std::string(temp) + "quell-save-" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    path = folder + "Quellane.ini";
  }
  void TearDown() override {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
    RemoveDirectoryA(folder.c_str());
  }
  std::string Read() const {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  // The names in the folder besides "." and "..".
  int Entries() const {
    WIN32_FIND_DATAA entry{};
    const HANDLE find = FindFirstFileA((folder + "*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return 0;
    int count = 0;
    do {
      const std::string name = entry.cFileName;
      count += name != "." && name != "..";
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return count;
  }
};

TEST_F(AtomicSave, AReplacedFileKeepsItsHiddenAndSystemAttributes) {
  std::ofstream(path, std::ios::binary) << "[Config.Lock All]\r\nDO_BEEP=0\r\n";
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
  const DWORD before = GetFileAttributesA(path.c_str());
  ASSERT_NE(before & FILE_ATTRIBUTE_HIDDEN, 0u) << "this file system keeps no attributes";
  WriteFileAtomically(path, "[Config.Lock All]\r\nDO_BEEP=1\r\n");
  EXPECT_EQ(Read(), "[Config.Lock All]\r\nDO_BEEP=1\r\n");
  const DWORD after = GetFileAttributesA(path.c_str());
  EXPECT_NE(after & FILE_ATTRIBUTE_HIDDEN, 0u) << std::hex << after;
  EXPECT_NE(after & FILE_ATTRIBUTE_SYSTEM, 0u) << std::hex << after;
  EXPECT_EQ(Entries(), 1) << "no temporary file is left";
}

TEST_F(AtomicSave, ANewFileIsCreatedWholeAndAReadOnlyOneIsRefusedUnchanged) {
  WriteFileAtomically(path, "first");
  EXPECT_EQ(Read(), "first");
  for (int i = 0; i < 20; ++i) WriteFileAtomically(path, "round " + std::to_string(i));
  EXPECT_EQ(Read(), "round 19");
  EXPECT_EQ(Entries(), 1);
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_THROW(WriteFileAtomically(path, "lost"), settings::TFileWriteError);
  EXPECT_EQ(Read(), "round 19");
  EXPECT_EQ(Entries(), 1);
}

}  // namespace
}  // namespace quell::wintest
