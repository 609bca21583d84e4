// The real program for someone who uses a screen reader or high contrast:
// with a high-contrast scheme in the system's colours (Wine cannot turn the
// mode on, so QUELL_TEST_HIGH_CONTRAST stands for it), the tray menu and the
// notice are drawn in the scheme's colours, and each notice that comes up
// raises the system's alert event on its window, whose text is the notice.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "ProgramSession.h"

namespace quell::wintest {
namespace {

// A scheme like the system's "High Contrast Black", set for the session and
// put back as it was.
class HighContrastScheme {
 public:
  HighContrastScheme() {
    for (std::size_t i = 0; i < kIndices.size(); ++i) saved_[i] = GetSysColor(kIndices[i]);
    SetSysColors(static_cast<int>(kIndices.size()), kIndices.data(), kScheme.data());
    SetEnvironmentVariableW(L"QUELL_TEST_HIGH_CONTRAST", L"1");  // the program inherits it
  }
  ~HighContrastScheme() {
    SetEnvironmentVariableW(L"QUELL_TEST_HIGH_CONTRAST", nullptr);
    SetSysColors(static_cast<int>(kIndices.size()), kIndices.data(), saved_.data());
  }
  HighContrastScheme(const HighContrastScheme&) = delete;
  HighContrastScheme& operator=(const HighContrastScheme&) = delete;

  static constexpr std::array<int, 11> kIndices{
      COLOR_WINDOW,        COLOR_WINDOWTEXT, COLOR_MENU,        COLOR_MENUTEXT,
      COLOR_HIGHLIGHT,     COLOR_GRAYTEXT,   COLOR_BTNFACE,     COLOR_BTNTEXT,
      COLOR_HIGHLIGHTTEXT, COLOR_BTNSHADOW,  COLOR_BTNHIGHLIGHT};
  static constexpr COLORREF kBlack = RGB(0, 0, 0), kWhite = RGB(255, 255, 255),
                            kCyan = RGB(26, 235, 255), kGreen = RGB(63, 242, 63);
  static constexpr std::array<COLORREF, 11> kScheme{
      kBlack, kWhite, kBlack, kWhite, kCyan, kGreen, kBlack, kWhite, kBlack, RGB(128, 128, 128),
      kWhite};

 private:
  std::array<COLORREF, 11> saved_{};
};

// The alerts raised for windows of the program (known once it has started;
// the events come in while the start is awaited): the window and its text.
std::vector<std::pair<HWND, std::string>> alerts;
DWORD alertingProcess = 0;
void CALLBACK RecordAlert(HWINEVENTHOOK, DWORD, HWND window, LONG, LONG, DWORD, DWORD) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (alertingProcess && process != alertingProcess) return;
  char text[300] = {};
  GetWindowTextA(window, text, sizeof text);
  alerts.emplace_back(window, text);
}

COLORREF ScreenPixel(POINT at) {
  HDC screen = GetDC(nullptr);
  const COLORREF c = GetPixel(screen, at.x, at.y);
  ReleaseDC(nullptr, screen);
  return c;
}

class AccessibilityEndToEnd : public ProgramSession {};

TEST_F(AccessibilityEndToEnd, HighContrastMenuAndNoticesAndTheAlertAScreenReaderReadsOut) {
  using S = HighContrastScheme;
  const HighContrastScheme scheme;
  alerts.clear();
  const HWINEVENTHOOK hook = SetWinEventHook(EVENT_SYSTEM_ALERT, EVENT_SYSTEM_ALERT, nullptr,
                                             RecordAlert, 0, 0, WINEVENT_OUTOFCONTEXT);
  ASSERT_NE(hook, nullptr);
  program.WriteSettings(kUsableSettings);
  alertingProcess = 0;
  ASSERT_TRUE(program.Start());
  alertingProcess = program.ProcessId();
  std::erase_if(alerts, [](const auto& alert) {
    DWORD process = 0;
    GetWindowThreadProcessId(alert.first, &process);
    return process != alertingProcess;
  });
  // The start's notices are read out (the last says the program runs); a
  // click closes it.
  const std::string running = "Quellane: Program is running";
  ASSERT_TRUE(PumpUntil([&] { return !alerts.empty() && alerts.back().second == running; }, 5000))
      << "no alert; " << alerts.size() << " others";
  PumpFor(300);  // an event queued for the same notice, read out with the same text
  const HWND notice = alerts.back().first;
  alerts = {alerts.back()};
  ClickOn(notice);
  ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(notice); }, 3000));

  // The tray menu, "Lock Computer" under the pointer.
  XMoveTo(TrayIconCentre());
  XDoTool("click 3");
  RECT first{};
  ASSERT_TRUE(PumpUntil([&] { return OpenMenuEdgeItemRect(false, &first); }, 6000));
  const int height = first.bottom - first.top;
  XMoveTo({(first.left + first.right) / 2, (first.top + first.bottom) / 2});
  PumpFor(600);
  Screenshot("high-contrast-tray-menu");
  EXPECT_EQ(ScreenPixel({first.right - 4, first.top + 3}), S::kCyan) << "the selection";
  EXPECT_EQ(ScreenPixel({first.right - 4, first.top + height + 3}), S::kBlack)
      << "Lock for Cleaning";
  EXPECT_EQ(ScreenPixel({first.left + 1, first.top + height + 3}), S::kBlack) << "no icon column";
  int greyText = 0;  // the disabled Unlock, third
  for (int y = first.top + 2 * height; y < first.top + 3 * height; ++y)
    for (int x = first.left + 30; x < first.left + 90; ++x)
      greyText += ScreenPixel({x, y}) == S::kGreen ? 1 : 0;
  EXPECT_GT(greyText, 5) << "Unlock in the gray-text colour";
  ClickAt({300, 200});  // outside: the menu closes, choosing nothing
  PumpFor(500);

  // Locked by the hot key: the notice comes up and is read out; so is the
  // next one, at the unlock.
  XDoTool("key ctrl+alt+l");
  ASSERT_TRUE(WaitLocked(true));
  ASSERT_TRUE(PumpUntil([&] { return alerts.size() >= 2; }, 3000)) << "no alert";
  POINT o{0, 0};  // the client area's corner; the parts sit 5 pixels in
  ClientToScreen(notice, &o);
  RECT client{};
  GetClientRect(notice, &client);
  PumpFor(300);
  Screenshot("high-contrast-notice");
  EXPECT_EQ(ScreenPixel({o.x + 105, o.y + 38}), S::kBlack) << "the window colour";
  EXPECT_EQ(ScreenPixel({o.x + client.right - 22, o.y + 7}), S::kWhite) << "the glyph's square";
  XDoTool("key ctrl+alt+u");
  ASSERT_TRUE(WaitLocked(false));
  PumpUntil([&] { return alerts.size() >= 3; }, 3000);
  UnhookWinEvent(hook);
  using Alerts = std::vector<std::pair<HWND, std::string>>;
  EXPECT_EQ(alerts, (Alerts{{notice, running},
                            {notice, "Computer is Locked: Enter Hot Key or password to Unlock"},
                            {notice, "Computer is UnLocked: You may continue to work."}}));
}

}  // namespace
}  // namespace quell::wintest
