// The real program used many times over: the options dialog opened and
// closed 200 times, 1,000 notices and 200 tray menus leave the program's
// memory and its GDI and USER objects where they were. The figures are
// printed; the bounds are generous (these are no timed tests).
#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <functional>

#include "HookDll/HookProtocol.h"
#include "ProgramSession.h"

namespace quell::wintest {
namespace {

constexpr UINT kTrayCallback = WM_USER + 1;

struct Usage {
  DWORD gdi = 0, user = 0;
  SIZE_T privateBytes = 0;
  long residentKb = 0;
};

class LeakEndToEnd : public ProgramSession {
 protected:
  void SetUp() override {
    ProgramSession::SetUp();
    // The tray icon's click comes one double-click time after the press.
    savedDoubleClick = GetDoubleClickTime();
    SetDoubleClickTime(100);
    program.WriteSettings(kUsableSettings);
    ASSERT_TRUE(program.Start());
    PumpFor(1500);
    const auto trays = WindowsOf(program.ProcessId(), "TTrayUtilWindow", nullptr, false);
    ASSERT_EQ(trays.size(), 1u);
    tray = trays.front();
  }
  void TearDown() override {
    SetDoubleClickTime(savedDoubleClick);
    ProgramSession::TearDown();
  }
  Usage Measure() {
    PumpFor(500);
    Usage u;
    // Wine answers no per-process GDI or USER counts (0) and may not know
    // another process's private bytes: the resident memory through /proc
    // shows a leak there.
    u.gdi = GetGuiResources(program.Process(), GR_GDIOBJECTS);
    u.user = GetGuiResources(program.Process(), GR_USEROBJECTS);
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(program.Process(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                             sizeof memory))
      u.privateBytes = memory.PrivateUsage;
    u.residentKb = UnixResidentKb(program.Folder() + "Quellane.exe");
    return u;
  }
  // Runs `cycle` `count` times after a warm-up and checks the growth.
  void ExpectFlat(const char* what, int count, long boundKb, const std::function<void()>& cycle) {
    for (int i = 0; i < 5; ++i) cycle();  // every lazy resource exists now
    const Usage before = Measure();
    for (int i = 0; i < count; ++i) {
      cycle();
      if (HasFatalFailure()) return;
    }
    const Usage after = Measure();
    char line[320];
    std::snprintf(
        line, sizeof line,
        "%d x %s: GDI objects %lu -> %lu, USER objects %lu -> %lu, private bytes %lu kB -> "
        "%lu kB, resident memory %ld kB -> %ld kB\n",
        count, what, before.gdi, after.gdi, before.user, after.user,
        static_cast<unsigned long>(before.privateBytes / 1024),
        static_cast<unsigned long>(after.privateBytes / 1024), before.residentKb, after.residentKb);
    std::fputs(line, stdout);
    // Kept with the screenshots too: a passing test's output is not shown.
    if (const char* folder = std::getenv("QUELL_ARTIFACTS")) {
      const std::string path = std::string("Z:") + folder + "/leak-figures.txt";
      if (std::FILE* f = std::fopen(path.c_str(), "a")) {
        std::fputs(line, f);
        std::fclose(f);
      }
    }
    EXPECT_TRUE(program.Alive());
    EXPECT_LE(after.gdi, before.gdi + 10);
    EXPECT_LE(after.user, before.user + 10);
    if (before.privateBytes && after.privateBytes) {
      EXPECT_LE(after.privateBytes / 1024, before.privateBytes / 1024 + boundKb);
    }
    ASSERT_GT(before.residentKb, 0) << "no measure of the program's memory";
    EXPECT_LE(after.residentKb, before.residentKb + boundKb);
  }
  void TrayClick(UINT down, UINT up) {
    PostMessageA(tray, kTrayCallback, 1, down);
    PostMessageA(tray, kTrayCallback, 1, up);
  }
  HWND OpenMenuWindow() {
    const HWND menu = FindWindowA("#32768", nullptr);
    return menu && IsWindowVisible(menu) ? menu : nullptr;
  }

  UINT savedDoubleClick = 500;
  HWND tray = nullptr;
};

TEST_F(LeakEndToEnd, TheOptionsDialogOpenedAndClosed200TimesLeavesNothing) {
  ExpectFlat("options dialog", 200, 4096, [&] {
    TrayClick(WM_LBUTTONDOWN, WM_LBUTTONUP);
    HWND dialog = nullptr;
    ASSERT_TRUE(PumpUntil(
        [&] {
          const auto found = WindowsOf(program.ProcessId(), "TQuellForm", kDialogCaption);
          dialog = found.empty() ? nullptr : found.front();
          return dialog != nullptr;
        },
        5000));
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitForDialogGone());
  });
}

TEST_F(LeakEndToEnd, AThousandNoticesLeaveNothing) {
  const HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  ExpectFlat("notice", 1000, 1024, [&] {
    DWORD_PTR reply = 0;
    SendMessageTimeoutA(main, WM_USER, 0, LN_INPUT_BLOCKED, SMTO_ABORTIFHUNG, 5000, &reply);
  });
  EXPECT_EQ(program.Notice().rfind("Computer is Locked:", 0), 0u) << program.Notice();
}

TEST_F(LeakEndToEnd, TwoHundredTrayMenusLeaveNothing) {
  ExpectFlat("tray menu", 200, 2048, [&] {
    TrayClick(WM_RBUTTONDOWN, WM_RBUTTONUP);
    HWND menu = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (menu = OpenMenuWindow()) != nullptr; }, 5000));
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    if (!PumpUntil([&] { return OpenMenuWindow() == nullptr; }, 1000)) XDoTool("key Escape");
    ASSERT_TRUE(PumpUntil([&] { return OpenMenuWindow() == nullptr; }, 3000));
  });
}

}  // namespace
}  // namespace quell::wintest
