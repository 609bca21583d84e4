// Where the program finds quellhook.dll, what it reports when the library or
// an export is missing, and that a library serving another session's
// program is left alone: a probe that binds like the program is copied into
// a folder layout of the test's own making and run there.
#include <gtest/gtest.h>

#include <string>

#include "controller/LibrarySearch.h"
#include "tests/win/support/WinTestSupport.h"

namespace quell::wintest {
namespace {

class HookBindingTest : public ::testing::Test {
 protected:
  std::string root, exe, obj, path, cwd;

  void SetUp() override {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    root = std::string(temp) + "quell-binding-" + std::to_string(GetCurrentProcessId()) + "\\";
    exe = root + "exe\\";
    obj = exe + "HookDll\\obj\\";
    path = root + "path\\";
    cwd = root + "cwd\\";
    for (const std::string& dir : {root, exe, exe + "HookDll\\", obj, path, cwd}) {
      CreateDirectoryA(dir.c_str(), nullptr);
    }
    ASSERT_TRUE(CopyFileA((ProgramFolder() + "binding_probe.exe").c_str(),
                          (exe + "binding_probe.exe").c_str(), FALSE));
  }
  void TearDown() override {
    for (const std::string& dir : {exe, obj, path, cwd})
      DeleteFileA((dir + "quellhook.dll").c_str());
    DeleteFileA((exe + "binding_probe.exe").c_str());
    for (const std::string& dir : {obj, exe + "HookDll\\", exe, path, cwd, root}) {
      RemoveDirectoryA(dir.c_str());
    }
  }
  void Place(const std::string& folder, const char* variant = "full") {
    const std::string source = ProgramFolder() + "fake_quellhook_" + variant + ".dll";
    ASSERT_TRUE(CopyFileA(source.c_str(), (folder + "quellhook.dll").c_str(), FALSE)) << folder;
  }
  void Remove(const std::string& folder) { DeleteFileA((folder + "quellhook.dll").c_str()); }

  // Runs the probe from the layout with `cwd` current and `path` first on PATH.
  std::string Probe(const std::string& arguments = "") {
    char oldPath[32767] = {};
    GetEnvironmentVariableA("PATH", oldPath, sizeof oldPath);
    SetEnvironmentVariableA("PATH", (path + ";" + oldPath).c_str());
    char oldDir[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, oldDir);
    SetCurrentDirectoryA(cwd.c_str());
    std::string output;
    RunProcess("\"" + exe + "binding_probe.exe\" " + arguments, &output);
    SetCurrentDirectoryA(oldDir);
    SetEnvironmentVariableA("PATH", oldPath);
    while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) output.pop_back();
    return output;
  }
  static std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return s;
  }
};

TEST_F(HookBindingTest, SearchOrderBesideThenHookDllObjThenSystemButNeverTheCurrentFolder) {
  Place(exe);
  Place(obj);
  Place(path);
  Place(cwd);
  EXPECT_EQ(Lower(Probe()), Lower("loaded=" + exe + "quellhook.dll"));
  Remove(exe);
  EXPECT_EQ(Lower(Probe()), Lower("loaded=" + obj + "quellhook.dll"));
  Remove(obj);
  EXPECT_EQ(Lower(Probe()), Lower("loaded=" + path + "quellhook.dll")) << "the system search";
  Remove(path);
  EXPECT_EQ(Probe(), "error=Dll:quellhook.dll not found mapped=0")
      << "a library planted in the current folder must not be loaded";
}

TEST_F(HookBindingTest, LibraryWithoutStartLogIsRefusedAndUnloaded) {
  Place(exe, "nostartlog");
  EXPECT_EQ(Probe(), "error=quellhook.dll.StartLog DLL function not found mapped=0");
}

TEST_F(HookBindingTest, ALibraryServingAnotherSessionIsLeftAloneAndTheServingProgramClaimsIt) {
  Place(exe);
  const std::string loaded = Lower("loaded=" + exe + "quellhook.dll");
  const app::TLibraryClaimNames names = app::LibraryClaimNames(exe + "quellhook.dll");
  // Another session's program serves the file: the machine's claim exists,
  // this session's does not.
  const HANDLE otherSession = CreateMutexA(nullptr, FALSE, names.machine.c_str());
  ASSERT_NE(otherSession, nullptr);
  const std::string refused =
      "error=Quellane is already running for another user from this folder. mapped=0";
  EXPECT_EQ(Probe(), refused) << "a second instance";
  EXPECT_EQ(Probe("serve"), refused) << "a first instance";
  // This session's program serves it: a second instance talks to it.
  const HANDLE thisSession = CreateMutexA(nullptr, FALSE, names.session.c_str());
  EXPECT_EQ(Lower(Probe()), loaded);
  CloseHandle(thisSession);
  CloseHandle(otherSession);
  EXPECT_EQ(Lower(Probe("serve")), loaded + " claims=11") << "the serving program claims it";
  EXPECT_EQ(Lower(Probe("serve")), loaded + " claims=11") << "and lets go at its end";
}

}  // namespace
}  // namespace quell::wintest
