// The program's start-up takes nothing from the user: a window that has the
// focus before the program starts keeps it, and no taskbar button appears,
// not even for a moment.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "ProgramSession.h"

namespace quell::wintest {
namespace {

// Top-level windows of the watched process that were shown, as the system
// reports them (out of context, so from any process).
std::vector<HWND> shownWindows;
DWORD watchedProcess = 0;

void CALLBACK WindowShown(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG, DWORD, DWORD) {
  if (object != OBJID_WINDOW || !window || GetAncestor(window, GA_ROOT) != window) return;
  shownWindows.push_back(window);
}

class StartupFocusEndToEnd : public ProgramSession {};

TEST_F(StartupFocusEndToEnd, TheUsersWindowKeepsTheFocusAndNoTaskbarButtonAppears) {
  program.WriteSettings(kUsableSettings);
  const int buttonsAlone = TaskbarButtonCount();
  RecordingWindow witness{"witness of the focus"};
  ASSERT_TRUE(witness.Activate());
  // The user's window has a button: the count sees one.
  ASSERT_TRUE(PumpUntil([&] { return TaskbarButtonCount() > buttonsAlone; }, 3000));
  PumpFor(300);
  ASSERT_EQ(GetForegroundWindow(), witness.Handle());
  witness.Clear();
  const int buttons = TaskbarButtonCount();
  shownWindows.clear();
  const HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_SHOW, EVENT_OBJECT_SHOW, nullptr,
                                             WindowShown, 0, 0, WINEVENT_OUTOFCONTEXT);

  ASSERT_TRUE(program.Start());
  watchedProcess = program.ProcessId();
  int mostButtons = buttons;
  bool focusKept = true;
  PumpUntil(
      [&] {
        mostButtons = std::max(mostButtons, TaskbarButtonCount());
        focusKept &= GetForegroundWindow() == witness.Handle();
        return program.Notice().rfind("Quellane:", 0) == 0;
      },
      10000);
  for (int i = 0; i < 50; ++i) {
    PumpFor(20);
    mostButtons = std::max(mostButtons, TaskbarButtonCount());
    focusKept &= GetForegroundWindow() == witness.Handle();
  }
  if (hook) UnhookWinEvent(hook);

  EXPECT_EQ(program.Notice(), "Quellane: Program is running");
  EXPECT_TRUE(focusKept) << "the foreground left the user's window";
  for (const Received& r : witness.Take(WM_ACTIVATE)) {
    EXPECT_NE(LOWORD(r.wParam), WA_INACTIVE) << "the user's window was deactivated";
  }
  EXPECT_TRUE(witness.Take(WM_KILLFOCUS).empty()) << "the user's window lost the focus";
  EXPECT_EQ(mostButtons, buttons) << "a taskbar button came up";
  // Where the system reports shown windows, none of the program's shown
  // windows may be one with a taskbar button (the notice is a tool window).
  int noticeShows = 0;
  for (HWND w : shownWindows) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid != watchedProcess || !IsWindow(w)) continue;
    const std::string cls = ClassOf(w);
    noticeShows += cls == "TFormPopup";
    EXPECT_NE(cls, "TQuellApplication") << "the application window was shown";
  }
  std::printf("window-show events of the program seen: %d notice(s)\n", noticeShows);
}

}  // namespace
}  // namespace quell::wintest
