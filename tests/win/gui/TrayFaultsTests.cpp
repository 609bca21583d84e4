// TTrayIcon under Wine with a shell seam that can refuse: a failed add is
// tried again until the notification area takes it, a balloon shown once is
// never sent again by a change of the picture, a disabled icon window takes
// no clicks, and making the icon shows nothing.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "gui/Form.h"
#include "GuiTestSupport.h"
#include "gui/ImageList.h"
#include "ui/TrayIcon.h"
#include "tests/win/support/WinTestSupport.h"
#include "res/resource.h"

namespace quell::ui {
namespace {

using gui::Create;
using gui::TComponent;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using wintest::PumpFor;
using wintest::PumpUntil;

struct Sent {
  DWORD command;
  NOTIFYICONDATAA data;
  bool taken;
};
std::vector<Sent> sent;
bool shellReady = true;         // adds and modifies succeed
bool iconThereAlready = false;  // an add fails, a modify succeeds

BOOL WINAPI Shell(DWORD command, PNOTIFYICONDATAA data) {
  bool taken = shellReady;
  if (iconThereAlready) taken = command != NIM_ADD;
  Sent s{command, {}, taken};
  std::memcpy(&s.data, data, sizeof s.data);
  sent.push_back(s);
  return taken ? TRUE : FALSE;
}
DWORD Shell6() { return 0x00060000; }

std::vector<DWORD> Commands() {
  std::vector<DWORD> commands;
  for (const Sent& s : sent) commands.push_back(s.command);
  return commands;
}
int Adds() {
  int n = 0;
  for (const Sent& s : sent) n += s.command == NIM_ADD;
  return n;
}

// The refusing shell of one test.
class RefusingShell final : public TTrayShell {
 public:
  RefusingShell() {
    sent.clear();
    shellReady = true;
    iconThereAlready = false;
  }
  BOOL NotifyIcon(DWORD command, PNOTIFYICONDATAA data) override { return Shell(command, data); }

 protected:
  DWORD ReadVersion() override { return Shell6(); }
};

class TrayFaults : public gui::test::AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    seam = std::make_unique<RefusingShell>();
    pictures = Create<gui::TImageList>(app.get());
    for (int id : {IDI_LOCKED, IDI_UNLOCKED})
      pictures->AddIconResource(app->Instance(), MAKEINTRESOURCEA(id));
  }
  void TearDown() override {
    TComponent::Free(tray);
    seam.reset();
    AppTest::TearDown();
  }
  TTrayIcon& MakeTray() {
    tray = Create<TTrayIcon>(app.get(), seam.get());
    return *tray;
  }
  // The picture of a lock state, as the program gives it to the icon.
  void ShowState(bool locked) { pictures->GetIcon(locked ? 0 : 1, tray->Icon()); }
  LRESULT Callback(UINT lParam) { return SendMessageA(tray->TrayWindow(), WM_TRAYICON, 1, lParam); }

  std::unique_ptr<RefusingShell> seam;
  gui::TImageList* pictures = nullptr;
  TTrayIcon* tray = nullptr;
};

TEST_F(TrayFaults, AnAddTheShellRefusesIsTriedAgainUntilItIsTaken) {
  shellReady = false;
  MakeTray();
  tray->SetActive(true);
  ShowState(false);
  // Refused: the modify that follows tells the icon is not there either.
  ASSERT_GE(sent.size(), 2u);
  EXPECT_EQ(sent[0].command, static_cast<DWORD>(NIM_ADD));
  EXPECT_EQ(sent[1].command, static_cast<DWORD>(NIM_MODIFY));
  const std::vector<DWORD> commands = Commands();
  EXPECT_EQ(std::count(commands.begin(), commands.end(), static_cast<DWORD>(NIM_SETVERSION)), 0);
  ASSERT_TRUE(PumpUntil([] { return Adds() >= 2; }, 2000)) << "tried again after half a second";
  shellReady = true;
  ASSERT_TRUE(
      PumpUntil([] { return !sent.empty() && sent.back().command == NIM_SETVERSION; }, 4000))
      << "the notification area came up";
  const Sent& add = sent[sent.size() - 2];
  EXPECT_EQ(add.command, static_cast<DWORD>(NIM_ADD));
  EXPECT_TRUE(add.taken);
  EXPECT_EQ(add.data.uFlags, 0x17u);
  EXPECT_EQ(add.data.hWnd, tray->TrayWindow());
  EXPECT_EQ(add.data.hIcon, tray->ShownIcon().Handle()) << "with the picture it has now";
  const std::size_t count = sent.size();
  PumpFor(2500);
  EXPECT_EQ(sent.size(), count) << "no more tries once it is there";
}

TEST_F(TrayFaults, ANewTaskbarAddsAtOnceAndDeactivatingStopsTheTries) {
  shellReady = false;
  MakeTray();
  tray->SetActive(true);
  shellReady = true;
  sent.clear();
  SendMessageA(tray->TrayWindow(), tray->TaskbarCreatedMessage(), 0, 0);
  EXPECT_THAT(Commands(), ElementsAre(NIM_ADD, NIM_SETVERSION));
  PumpFor(1200);
  EXPECT_THAT(Commands(), ElementsAre(NIM_ADD, NIM_SETVERSION)) << "the timer is off";

  shellReady = false;
  tray->SetActive(false);
  tray->SetActive(true);
  sent.clear();
  tray->SetActive(false);
  PumpFor(1500);
  EXPECT_THAT(Commands(), ElementsAre(NIM_DELETE)) << "nothing is tried for an inactive icon";
}

TEST_F(TrayFaults, AnAddRefusedForAnIconThatIsThereAlreadyIsNotRetried) {
  iconThereAlready = true;
  MakeTray();
  tray->SetActive(true);
  EXPECT_THAT(Commands(), ElementsAre(NIM_ADD, NIM_MODIFY, NIM_SETVERSION));
  PumpFor(1200);
  EXPECT_EQ(Adds(), 1);
}

TEST_F(TrayFaults, ABalloonShownOnceIsNeverSentAgainByALaterWrite) {
  MakeTray();
  tray->SetActive(true);
  ShowState(false);
  sent.clear();
  tray->ShowBalloon("Locked", "Keyboard and mouse are locked", 2, 20000);
  ASSERT_THAT(Commands(), ElementsAre(NIM_MODIFY));
  EXPECT_EQ(sent[0].data.uFlags, 0x17u);
  EXPECT_STREQ(sent[0].data.szInfo, "Keyboard and mouse are locked");
  EXPECT_STREQ(tray->IconData().szInfo, "") << "forgotten once shown";
  EXPECT_STREQ(tray->IconData().szInfoTitle, "");

  sent.clear();
  ShowState(true);  // the picture changes, as at every lock
  ASSERT_THAT(Commands(), ElementsAre(NIM_MODIFY));
  EXPECT_EQ(sent[0].data.uFlags, 0x07u) << "message, icon and tip only";
  EXPECT_STREQ(sent[0].data.szInfo, "");

  sent.clear();
  SendMessageA(tray->TrayWindow(), tray->TaskbarCreatedMessage(), 0, 0);
  ASSERT_THAT(Commands(), ElementsAre(NIM_ADD, NIM_SETVERSION));
  EXPECT_STREQ(sent[0].data.szInfo, "") << "a new taskbar shows no old balloon";
  EXPECT_STREQ(sent[0].data.szInfoTitle, "");
}

TEST_F(TrayFaults, ADisabledIconWindowTakesNoClicks) {
  MakeTray();
  std::vector<std::string> events;
  tray->OnClick = [&](TComponent*, gui::TMouseButton, gui::TShiftState, int, int) {
    events.push_back("click");
  };
  tray->OnDblClick = [&](TComponent*, gui::TMouseButton, gui::TShiftState, int, int) {
    events.push_back("dblclick");
  };
  tray->OnMouseDown = [&](TComponent*, gui::TMouseButton, gui::TShiftState, int, int) {
    events.push_back("down");
  };
  tray->SetActive(true);
  EnableWindow(tray->TrayWindow(), FALSE);
  Callback(WM_LBUTTONDOWN);
  Callback(WM_LBUTTONUP);
  Callback(WM_RBUTTONDOWN);
  Callback(WM_LBUTTONDBLCLK);
  PumpFor(GetDoubleClickTime() + 300);
  EXPECT_THAT(events, IsEmpty());

  // A press made before the window was disabled is dropped as well.
  EnableWindow(tray->TrayWindow(), TRUE);
  Callback(WM_LBUTTONDOWN);
  EnableWindow(tray->TrayWindow(), FALSE);
  PumpFor(GetDoubleClickTime() + 300);
  EXPECT_THAT(events, ElementsAre("down"));

  EnableWindow(tray->TrayWindow(), TRUE);
  events.clear();
  Callback(WM_LBUTTONDOWN);
  EXPECT_TRUE(PumpUntil([&] { return events.size() == 2; }, GetDoubleClickTime() + 1000));
  EXPECT_THAT(events, ElementsAre("down", "click")) << "enabled again, it works";
}

TEST_F(TrayFaults, MakingTheIconShowsAndActivatesNothing) {
  app->CreateForm<gui::TForm>();  // hidden, as the program's main form is
  const HWND before = GetForegroundWindow();
  MakeTray();
  EXPECT_FALSE(IsWindowVisible(app->Handle())) << "no taskbar button";
  EXPECT_EQ(GetForegroundWindow(), before);
  EXPECT_EQ(tray->Visibility(), 0x0007) << "the defaults are still the defaults";
  tray->SetActive(true);
  EXPECT_FALSE(IsWindowVisible(app->Handle()));
}

}  // namespace
}  // namespace quell::ui
