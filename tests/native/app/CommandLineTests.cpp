#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

#include "controller/CommandLine.h"
#include "controller/LibrarySearch.h"

namespace quell::app {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(CommandLine, LockSwitchInEveryAllowedSpelling) {
  for (const char* arg : {"/L", "/l", "-L", "-l"}) {
    EXPECT_THAT(ParseSwitches({arg}), ElementsAre(TSwitch::Lock)) << arg;
  }
  EXPECT_THAT(ParseSwitches({"-U", "/u"}), ElementsAre(TSwitch::Unlock, TSwitch::Unlock));
  EXPECT_THAT(ParseSwitches({"/?", "-h", "/H"}),
              ElementsAre(TSwitch::Help, TSwitch::Help, TSwitch::Help));
  EXPECT_THAT(ParseSwitches({"/C", "-c", "/S", "-s"}),
              ElementsAre(TSwitch::CleanLock, TSwitch::CleanLock, TSwitch::State, TSwitch::State));
  EXPECT_TRUE(AsksState(ParseSwitches({"x", "/L", "-s"})));
  EXPECT_FALSE(AsksState(ParseSwitches({"/L", "/U", "/C", "/?", "/state", "S"})));
}

TEST(CommandLine, EverythingElseIsIgnored) {
  EXPECT_THAT(ParseSwitches({"/lock", "L", "//", "/", "", "/x", "--", "\\L", "/L ", " /L", "/Ü",
                             "/clean", "/st", "C", "+S"}),
              IsEmpty());
}

TEST(CommandLine, SwitchesKeepTheirOrder) {
  EXPECT_THAT(ParseSwitches({"/L", "junk", "/U", "/L"}),
              ElementsAre(TSwitch::Lock, TSwitch::Unlock, TSwitch::Lock));
}

TEST(CommandLine, IsSwitchNeedsExactlyTwoCharactersWithASwitchSign) {
  EXPECT_TRUE(IsSwitch("/z"));
  EXPECT_TRUE(IsSwitch("--"));
  EXPECT_FALSE(IsSwitch("/"));
  EXPECT_FALSE(IsSwitch("+L"));
  EXPECT_FALSE(IsSwitch("/LL"));
}

TEST(CommandLine, HelpTextNamesTheExecutableAndEverySwitch) {
  EXPECT_EQ(
      CommandLineHelpText(FileNameOf("C:\\Program Files\\Quellane\\Quellane.exe")),
      "Quellane.exe [/L|/U|/C|/S]\r\n   /L     Lock Computer\r\n   /U     UnLock Computer \r\n"
      "   /C     Lock for Cleaning\r\n"
      "   /S     Exit code: 0 unlocked, 1 locked, 2 not running\r\n");
  EXPECT_EQ(FileNameOf("plain.exe"), "plain.exe");
  EXPECT_EQ(FileNameOf("a/b\\c.exe"), "c.exe");
}

class LibrarySearchTest : public ::testing::Test {
 protected:
  std::set<std::string> files;
  TLibraryFolders folders{"C:\\app\\", {"C:\\windows\\system32", "C:\\windows"}, ""};
  std::string Choose() {
    return ChooseHookLibraryPath(folders, [&](const std::string& p) { return files.count(p) > 0; });
  }
};

TEST_F(LibrarySearchTest, BesideTheExecutableThenHookDllObjThenSystemFoldersThenPath) {
  folders.pathVariable = "C:\\tools;D:\\bin\\";
  files = {"C:\\app\\quellhook.dll",
           "C:\\app\\HookDll\\obj\\quellhook.dll",
           "C:\\windows\\system32\\quellhook.dll",
           "C:\\windows\\quellhook.dll",
           "C:\\tools\\quellhook.dll",
           "D:\\bin\\quellhook.dll"};
  for (const char* expected : {"C:\\app\\quellhook.dll", "C:\\app\\HookDll\\obj\\quellhook.dll",
                               "C:\\windows\\system32\\quellhook.dll", "C:\\windows\\quellhook.dll",
                               "C:\\tools\\quellhook.dll", "D:\\bin\\quellhook.dll"}) {
    EXPECT_EQ(Choose(), expected);
    files.erase(expected);
  }
  EXPECT_EQ(Choose(), "") << "found nowhere";
}

TEST_F(LibrarySearchTest, RelativePathEntriesWhichStandForTheCurrentFolderAreSkipped) {
  folders.pathVariable = ".;;bin;\"C:\\quoted dir\";\\\\server\\share;..\\up";
  files = {".\\quellhook.dll", "quellhook.dll", "bin\\quellhook.dll", "..\\up\\quellhook.dll"};
  EXPECT_EQ(Choose(), "");
  files.insert("\\\\server\\share\\quellhook.dll");
  EXPECT_EQ(Choose(), "\\\\server\\share\\quellhook.dll");
  files.insert("C:\\quoted dir\\quellhook.dll");
  EXPECT_EQ(Choose(), "C:\\quoted dir\\quellhook.dll");
}

TEST(LibrarySearch, Messages) {
  EXPECT_EQ(LibraryNotFoundMessage(), "Dll:quellhook.dll not found");
  EXPECT_EQ(ExportNotFoundMessage("StartLog"), "quellhook.dll.StartLog DLL function not found");
}

TEST(LibraryClaim, OneFileOneNameInAnyCaseOrSlashAndEachFileItsOwn) {
  const TLibraryClaimNames names = LibraryClaimNames("C:\\Tools\\Quellane\\quellhook.dll");
  EXPECT_THAT(names.machine,
              ::testing::MatchesRegex("Global\\\\Quellane\\.Library\\.[0-9a-f]{16}"));
  EXPECT_EQ(names.session, "Local\\" + names.machine.substr(7) + ".Session")
      << "two names: under Wine both namespaces are one";
  const struct {
    const char* path;
    bool same;
  } cases[] = {
      {"c:\\tools\\quellane\\QUELLHOOK.DLL", true},   {"C:/Tools/Quellane/quellhook.dll", true},
      {"C:\\Tools\\Quellane2\\quellhook.dll", false}, {"D:\\Tools\\Quellane\\quellhook.dll", false},
      {"C:\\Tools\\Quellane\\quellhook.dl", false},   {"", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LibraryClaimNames(c.path).machine == names.machine, c.same) << c.path;
  }
}

TEST(LibraryClaim, OnlyAMachineClaimOfAnotherSessionKeepsTheLibraryAway) {
  // machine claimed, session claimed -> served for another session
  EXPECT_FALSE(ServesAnotherSession(false, false)) << "nobody serves it";
  EXPECT_TRUE(ServesAnotherSession(true, false)) << "another session's program serves it";
  EXPECT_FALSE(ServesAnotherSession(true, true)) << "this session's program serves it";
  EXPECT_FALSE(ServesAnotherSession(false, true)) << "this session's, on its way out";
}

}  // namespace
}  // namespace quell::app
