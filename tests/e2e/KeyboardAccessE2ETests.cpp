// The options dialog of the real program with key presses only, through the
// X server: Tab goes round every control of the page, the tab strip and the
// three buttons, as the dialog manager follows them; the arrows on the strip,
// Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+PgDn and Ctrl+PgUp turn the pages; the
// settings are changed and saved without the mouse.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "ProgramSession.h"

namespace quell::wintest {
namespace {

class KeyboardAccessEndToEnd : public ProgramSession {
 protected:
  // What has the focus: a button's caption, "strip", "hotkey@<top>" or the
  // class of anything else.
  std::string Focused() {
    const HWND focus = FocusOfThreadOf(dialog);
    if (!focus) return "nothing";
    const std::string cls = ClassOf(focus);
    if (lstrcmpiA(cls.c_str(), "Button") == 0) return TextOf(focus);
    if (cls == WC_TABCONTROLA) return "strip";
    if (cls == HOTKEY_CLASSA) {
      RECT r;
      GetWindowRect(focus, &r);
      MapWindowPoints(nullptr, GetParent(focus), reinterpret_cast<POINT*>(&r), 2);
      return "hotkey@" + std::to_string(r.top);
    }
    return cls;
  }
  // The foci that Tab (or Shift+Tab) visits, starting after the current one,
  // until it comes back to where it started (at most `limit` presses).
  std::vector<std::string> TabRound(const std::string& key, int limit = 16) {
    const std::string start = Focused();
    std::vector<std::string> seen;
    for (int i = 0; i < limit; ++i) {
      PressKeys(key);
      seen.push_back(Focused());
      if (seen.back() == start) break;
    }
    return seen;
  }
  LRESULT Page() { return SendMessageA(ChildOf(dialog, WC_TABCONTROLA, ""), TCM_GETCURSEL, 0, 0); }

  HWND dialog = nullptr;
};

TEST_F(KeyboardAccessEndToEnd, TabGoesRoundThePageTheStripAndTheButtonsAsTheDialogManagerDoes) {
  dialog = StartWithDialog();
  ASSERT_NE(dialog, nullptr);
  ASSERT_EQ(Focused(), "hotkey@28") << "the unlock box has the focus first";
  using V = std::vector<std::string>;
  EXPECT_EQ(TabRound("Tab"), (V{"hotkey@79", "Save", "Cancel", "Lock Now", "strip", "hotkey@28"}));
  EXPECT_EQ(TabRound("shift+Tab"),
            (V{"strip", "Lock Now", "Cancel", "Save", "hotkey@79", "hotkey@28"}));
  Screenshot("options-keyboard-general");

  // The strip: the arrows turn the pages and the focus stays on it.
  PressKeys("shift+Tab");
  ASSERT_EQ(Focused(), "strip");
  PressKeys("Right");
  EXPECT_EQ(Page(), 1);
  EXPECT_TRUE(IsWindowVisible(ChildOf(dialog, "Button", "Lock Keyboard")));
  EXPECT_EQ(Focused(), "strip");
  EXPECT_EQ(TabRound("Tab"),
            (V{"Lock Keyboard", "Lock Mouse Bottons", "Lock Mose wheel", "Lock Mouse movements",
               "Disable screen saver", "Beep on locked keys", "On resume,lock", "Edit",
               "Minimize Windows when lock", "Save", "Cancel", "Lock Now", "strip"}));
  Screenshot("options-keyboard-options");
  PressKeys("Left");
  EXPECT_EQ(Page(), 0);
  EXPECT_EQ(Focused(), "strip");
}

TEST_F(KeyboardAccessEndToEnd, CtrlTabAndCtrlPageKeysTurnThePagesFromAnywhereInTheDialog) {
  dialog = StartWithDialog();
  ASSERT_NE(dialog, nullptr);
  ASSERT_EQ(Focused(), "hotkey@28");
  // From a control of the page, the focus goes to the first one of the next.
  PressKeys("ctrl+Tab");
  EXPECT_EQ(Page(), 1);
  EXPECT_EQ(Focused(), "Lock Keyboard");
  PressKeys("ctrl+Tab");
  EXPECT_EQ(Page(), 2);
  EXPECT_TRUE(IsWindowVisible(ChildOf(dialog, "Button", "Set...")));
  EXPECT_EQ(GetParent(FocusOfThreadOf(dialog)), GetParent(ChildOf(dialog, "Button", "Set...")))
      << "the focus is on the More page, not " << Focused();
  PressKeys("ctrl+Tab");
  EXPECT_EQ(Page(), 0) << "round from the last page to the first";
  EXPECT_EQ(Focused(), "hotkey@28");
  PressKeys("ctrl+shift+Tab");
  EXPECT_EQ(Page(), 2) << "round from the first page to the last";
  PressKeys("ctrl+Prior");
  EXPECT_EQ(Page(), 1);
  PressKeys("ctrl+Prior");
  EXPECT_EQ(Page(), 0);
  PressKeys("Tab");  // the lock box
  PressKeys("Tab");  // Save: a button keeps the focus while the pages turn
  ASSERT_EQ(Focused(), "Save");
  PressKeys("ctrl+Next");
  EXPECT_EQ(Page(), 1);
  EXPECT_EQ(Focused(), "Save");
  PressKeys("ctrl+Next");
  EXPECT_EQ(Page(), 2);
  PressKeys("ctrl+Next");
  EXPECT_EQ(Page(), 0);
  EXPECT_EQ(Focused(), "Save");

  // In a hot-key box Ctrl+PgDn is a key to set, not a page to turn.
  PressKeys("shift+Tab");
  PressKeys("shift+Tab");
  ASSERT_EQ(Focused(), "hotkey@28");
  PressKeys("ctrl+Next");
  EXPECT_EQ(Page(), 0);
  EXPECT_EQ(LOBYTE(SendMessageA(FocusOfThreadOf(dialog), HKM_GETHOTKEY, 0, 0)), VK_NEXT);
}

TEST_F(KeyboardAccessEndToEnd, TheSettingsAreChangedAndSavedWithoutTheMouse) {
  dialog = StartWithDialog();
  ASSERT_NE(dialog, nullptr);
  ASSERT_EQ(Focused(), "hotkey@28");
  PressKeys("ctrl+alt+u");
  EXPECT_EQ(SendMessageA(FocusOfThreadOf(dialog), HKM_GETHOTKEY, 0, 0),
            MAKEWORD('U', HOTKEYF_CONTROL | HOTKEYF_ALT));
  PressKeys("Tab");
  ASSERT_EQ(Focused(), "hotkey@79");
  PressKeys("ctrl+alt+l");
  EXPECT_EQ(SendMessageA(FocusOfThreadOf(dialog), HKM_GETHOTKEY, 0, 0),
            MAKEWORD('L', HOTKEYF_CONTROL | HOTKEYF_ALT));
  // The second page: the mouse buttons free, the beep on.
  PressKeys("ctrl+Tab");
  ASSERT_EQ(Focused(), "Lock Keyboard");
  PressKeys("Tab");
  ASSERT_EQ(Focused(), "Lock Mouse Bottons");
  PressKeys("space");
  for (int i = 0; i < 4; ++i) PressKeys("Tab");
  ASSERT_EQ(Focused(), "Beep on locked keys");
  PressKeys("space");
  // On to Save, and Enter... Space presses it.
  while (Focused() != "Save" && Focused() != "strip") PressKeys("Tab");
  ASSERT_EQ(Focused(), "Save");
  PressKeys("space");
  ASSERT_TRUE(WaitForDialogGone());
  ASSERT_TRUE(PumpUntil(
      [&] { return program.ReadSettings().find("CHECK_MINI") != std::string::npos; }, 10000));
  const std::string saved = program.ReadSettings();
  EXPECT_NE(saved.find("\r\nKEY_UNLOCK=49237\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("\r\nKEY_LOCK=49228\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("\r\nLOCK_MOUSE_BTN=0\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("\r\nDO_BEEP=1\r\n"), std::string::npos) << saved;
}

}  // namespace
}  // namespace quell::wintest
