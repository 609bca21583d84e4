// The real program and library copied into a folder named in Cyrillic and
// Greek letters, on a system whose ANSI code page (1252) spells neither:
// it binds its library from there, locks and unlocks by hot key, saves its
// settings and its Run value next to itself and reads them back, and its
// message boxes show the folder's name as it is.
#include <gtest/gtest.h>

#include <string>

#include "base/WideText.h"
#include "tests/win/support/ProgramWindows.h"
#include "tests/win/support/QuellaneProcess.h"
#include "tests/win/support/WinTestSupport.h"

namespace quell::wintest {
namespace {

using base::WideFromUtf8;

const char* const kFolderName =
    "\xD0\xA2\xD0\xB5\xD1\x81\xD1\x82 "
    "\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1";  // Тест Ωμέγα
const wchar_t* const kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::wstring RunEntry() {
  wchar_t data[1024] = {};
  DWORD size = sizeof data;
  if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, L"Quellane", RRF_RT_REG_SZ, nullptr, data, &size) !=
      ERROR_SUCCESS)
    return L"(none)";
  return data;
}

void DeleteRunEntry() { RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Quellane"); }

class WideFolderEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(XRun("xdotool getmouselocation"), 0)
        << "no X relay: this tier needs the Wine session";
    DeleteRunEntry();
  }
  void TearDown() override {
    if (program.Alive() && program.Hook().GetIsLocked()) program.Hook().SetProperties(0, 0);
    if (program.Alive()) {
      EXPECT_TRUE(program.Close());
    }
    DeleteRunEntry();
  }
  HWND Dialog() const {
    const auto found = WindowsOf(program.ProcessId(), "TQuellForm", "Quellane 1.03");
    return found.empty() ? nullptr : found.front();
  }
  // The texts of the program's message boxes, which none of the steps expects.
  std::string Boxes() const {
    std::string texts;
    for (HWND box : WindowsOf(program.ProcessId(), "#32770"))
      texts += QuellaneProcess::MessageBoxText(box) + "\n";
    return texts;
  }
  // Ctrl+Alt+L locks and Ctrl+Alt+U unlocks, typed through the X server.
  void LockAndUnlockByHotKey() {
    target.Activate();
    XDoTool("key ctrl+alt+l");
    EXPECT_TRUE(PumpUntil([&] { return program.Hook().GetIsLocked() == 1; }, 3000));
    XDoTool("key ctrl+alt+u");
    EXPECT_TRUE(PumpUntil([&] { return program.Hook().GetIsLocked() == 0; }, 3000));
  }

  QuellaneProcess program{"quellhook.dll", kFolderName};
  RecordingWindow target{"typing target"};
};

TEST_F(WideFolderEndToEnd, AFolderTheCodePageCannotSpellBindsLocksSavesAndReadsBack) {
  ASSERT_EQ(GetACP(), 1252u) << "the prefix's code page must be one without these letters";
  const std::wstring folder = WideFromUtf8(program.Folder());
  BOOL unspelt = FALSE;
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, folder.c_str(), -1, nullptr, 0, nullptr,
                      &unspelt);
  ASSERT_TRUE(unspelt) << "the folder's name fits the code page: nothing would be tested";
  ASSERT_NE(GetFileAttributesW((folder + L"Quellane.exe").c_str()), INVALID_FILE_ATTRIBUTES);

  // The first start: no settings file was found, so the options open; the
  // library bound from the folder names the program's main window.
  ASSERT_TRUE(program.Start("", 3000)) << Boxes();
  ASSERT_TRUE(PumpUntil([&] { return Dialog() != nullptr; }, 10000)) << Boxes();
  EXPECT_EQ(Boxes(), "");
  EXPECT_EQ(program.Hook().NotifyWindow(), program.MainWindow());
  PumpFor(500);
  HWND dialog = Dialog();
  HWND unlockBox = ChildOf(dialog, "msctls_hotkey32", "");
  ASSERT_NE(unlockBox, nullptr);
  HWND lockBox = GetWindow(unlockBox, GW_HWNDNEXT);
  while (lockBox && ClassOf(lockBox) != "msctls_hotkey32")
    lockBox = GetWindow(lockBox, GW_HWNDNEXT);
  ASSERT_NE(lockBox, nullptr);
  ClickOn(unlockBox);
  PressKeys("ctrl+alt+u");
  ClickOn(lockBox);
  PressKeys("ctrl+alt+l");
  // Start with Windows, on the third page.
  HWND tabs = ChildOf(dialog, "SysTabControl32", "");
  HWND startWithWindows = ChildOf(dialog, "Button", "Start with Windows");
  ASSERT_TRUE(tabs && startWithWindows);
  RECT r;
  GetWindowRect(tabs, &r);
  for (int x : {130, 120, 140, 110, 150}) {
    ClickAt({r.left + x, r.top + 10});
    if (PumpUntil([&] { return IsWindowVisible(startWithWindows) != FALSE; }, 1000)) break;
  }
  ClickOn(startWithWindows);
  PumpFor(200);
  ClickOn(ChildOf(dialog, "Button", "Save"));
  ASSERT_TRUE(PumpUntil([&] { return Dialog() == nullptr; }, 10000));

  // Saved next to the program, and the Run value names it in its own letters.
  ASSERT_TRUE(PumpUntil([&] { return !program.ReadSettings().empty(); }, 5000)) << Boxes();
  const std::string saved = program.ReadSettings();
  EXPECT_NE(saved.find("\r\nKEY_LOCK=49228\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("\r\nKEY_UNLOCK=49237\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("\r\nSTART_WITH_WINDOWS=1\r\n"), std::string::npos) << saved;
  const std::wstring runEntry = L"\"" + folder + L"Quellane.exe\"";
  EXPECT_EQ(RunEntry(), runEntry);
  LockAndUnlockByHotKey();
  EXPECT_EQ(Boxes(), "");
  ASSERT_TRUE(program.Close());

  // The next start reads them back: no first-run options, the hot keys
  // work, and the Run value taken away meanwhile is written again.
  DeleteRunEntry();
  ASSERT_TRUE(program.Start());
  EXPECT_TRUE(PumpUntil([&] { return RunEntry() == runEntry; }, 5000));
  PumpFor(1500);
  EXPECT_EQ(Dialog(), nullptr) << "the saved settings were not read";
  EXPECT_EQ(Boxes(), "");
  LockAndUnlockByHotKey();
  ASSERT_TRUE(program.Close());

  // A settings file held open by another program: the box names its path
  // in the folder's own letters.
  const HANDLE held = CreateFileW(WideFromUtf8(program.SettingsPath()).c_str(), GENERIC_READ, 0,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  program.Start("", 1000);
  HWND box = nullptr;
  EXPECT_TRUE(PumpUntil(
      [&] { return (box = program.MessageBoxWindow("Quellane Error")) != nullptr; }, 10000));
  CloseHandle(held);
  if (box) {
    EXPECT_EQ(QuellaneProcess::MessageBoxText(box), "Cannot open file " + program.SettingsPath());
    QuellaneProcess::PressOk(box);
    EXPECT_TRUE(PumpUntil([&] { return program.MainWindow() != nullptr; }, 5000));
  }
}

}  // namespace
}  // namespace quell::wintest
