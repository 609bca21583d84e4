// TTrayIcon under Wine with a recording seam in place of Shell_NotifyIconA:
// what the shell is told and when, and how its callbacks become events.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "gui/Form.h"
#include "GuiTestSupport.h"
#include "gui/ImageList.h"
#include "gui/Menus.h"
#include "tests/win/support/ProgramImages.h"
#include "ui/TrayIcon.h"
#include "tests/win/support/WinTestSupport.h"
#include "res/resource.h"

namespace quell::ui {
namespace {

using gui::Create;
using gui::CreateOwned;
using gui::TComponent;
using gui::TMouseButton;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using wintest::PumpFor;
using wintest::PumpUntil;

// The first record layout, and the one with balloons, as the shell knows them
// (88 and 488 bytes in a 32-bit program).
constexpr DWORD kSmallRecord = NOTIFYICONDATAA_V1_SIZE;
constexpr DWORD kBalloonRecord = NOTIFYICONDATAA_V2_SIZE;
#ifndef _WIN64
static_assert(kSmallRecord == 88 && kBalloonRecord == 488);
#else
static_assert(kSmallRecord == 104 && kBalloonRecord == 504);
#endif

struct ShellCall {
  DWORD command;
  NOTIFYICONDATAA data;
};
std::vector<ShellCall> shellCalls;
DWORD fakeShellVersion = 0x00060000;
int versionReads = 0;

BOOL WINAPI RecordNotifyIcon(DWORD command, PNOTIFYICONDATAA data) {
  ShellCall call{command, {}};
  std::memcpy(&call.data, data, sizeof call.data);
  shellCalls.push_back(call);
  return TRUE;
}
DWORD FakeShellVersion() {
  ++versionReads;
  return fakeShellVersion;
}

// A shell that records every call and tells the version of the test's
// choosing.
class RecordingShell final : public TTrayShell {
 public:
  BOOL NotifyIcon(DWORD command, PNOTIFYICONDATAA data) override {
    return RecordNotifyIcon(command, data);
  }

 protected:
  DWORD ReadVersion() override { return FakeShellVersion(); }
};

std::vector<DWORD> Commands() {
  std::vector<DWORD> commands;
  for (const auto& c : shellCalls) commands.push_back(c.command);
  return commands;
}

class TrayTest : public gui::test::AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    fakeShellVersion = 0x00060000;
    versionReads = 0;
    shellCalls.clear();
    images = gui::test::ProgramImages(app.get());
  }
  void TearDown() override {
    TComponent::Free(tray);
    AppTest::TearDown();
  }
  TTrayIcon& MakeTray() {
    tray = Create<TTrayIcon>(app.get(), &shell);
    return *tray;
  }
  LRESULT Callback(UINT lParam) { return SendMessageA(tray->TrayWindow(), WM_TRAYICON, 1, lParam); }
  std::vector<std::uint32_t> Image(int index) {
    gui::TIcon icon;
    images->GetIcon(index, icon);
    return gui::test::IconPixels(icon.Handle());
  }
  void UseImage(int index) { images->GetIcon(index, tray->Icon()); }

  gui::TImageList* images = nullptr;
  RecordingShell shell;  // outlives the icon: declared before it
  TTrayIcon* tray = nullptr;
};

// ------------------------------------------------------- window and defaults

LRESULT CALLBACK ForeignProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  static int calls = 0;
  ++calls;
  if (msg == WM_USER + 99) return calls;
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

TEST_F(TrayTest, TheHiddenWindowIsAToolPopupOfItsOwnClassAndNothingIsAddedYet) {
  MakeTray();
  char name[64] = {};
  GetClassNameA(tray->TrayWindow(), name, sizeof name);
  EXPECT_STREQ(name, "TTrayUtilWindow");
  EXPECT_FALSE(IsWindowVisible(tray->TrayWindow()));
  EXPECT_NE(GetWindowLongA(tray->TrayWindow(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(tray->TrayWindow(), GWL_STYLE)) & WS_POPUP,
            static_cast<DWORD>(WS_POPUP));
  WNDCLASSA wc{};
  ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), "TTrayUtilWindow", &wc));
  EXPECT_EQ(wc.lpfnWndProc, DefWindowProcA) << "the class itself keeps the default procedure";
  EXPECT_THAT(shellCalls, IsEmpty());
  EXPECT_FALSE(tray->Active());
  EXPECT_EQ(tray->Visibility(), 0x0007);
  EXPECT_EQ(tray->Delay(), 100u);
  EXPECT_EQ(tray->IconIndex(), 0);
  EXPECT_FALSE(tray->Snap());
  EXPECT_FALSE(tray->Animated());
  EXPECT_GE(ReadShell32Version(), 0x00050000u) << "Wine's shell32 knows balloons";
}

TEST_F(TrayTest, AClassLeftRegisteredWithAForeignProcedureIsReplaced) {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  UnregisterClassA("TTrayUtilWindow", instance);
  WNDCLASSA foreign{};
  foreign.lpfnWndProc = ForeignProc;
  foreign.hInstance = instance;
  foreign.lpszClassName = "TTrayUtilWindow";
  ASSERT_TRUE(RegisterClassA(&foreign));
  MakeTray();
  WNDCLASSA wc{};
  ASSERT_TRUE(GetClassInfoA(instance, "TTrayUtilWindow", &wc));
  EXPECT_EQ(wc.lpfnWndProc, DefWindowProcA);
  int doubleClicks = 0;
  tray->OnDblClick = [&](TComponent*, TMouseButton, gui::TShiftState, int, int) { ++doubleClicks; };
  Callback(WM_LBUTTONDBLCLK);
  EXPECT_EQ(doubleClicks, 1) << "the callbacks reach the component";
}

// ------------------------------------------------------- entry updates

TEST_F(TrayTest, ActivatingAddsTheEntryAndSetsTheShellVersionOnce) {
  MakeTray();
  tray->SetActive(true);
  ASSERT_THAT(Commands(), ElementsAre(NIM_ADD, NIM_SETVERSION));
  const NOTIFYICONDATAA& add = shellCalls[0].data;
  EXPECT_EQ(add.cbSize, kBalloonRecord);
  EXPECT_EQ(add.hWnd, tray->TrayWindow());
  EXPECT_EQ(add.uID, 1u);
  EXPECT_EQ(add.uCallbackMessage, 0x401u);
  EXPECT_EQ(add.uFlags, 0x17u);
  EXPECT_EQ(add.hIcon, nullptr) << "no image resolved yet";
  EXPECT_STREQ(add.szTip, "");
  EXPECT_EQ(shellCalls[1].data.uVersion, static_cast<UINT>(NOTIFYICON_VERSION));

  shellCalls.clear();
  tray->SetActive(true);
  EXPECT_THAT(shellCalls, IsEmpty()) << "the value it has: nothing sent";

  UseImage(3);  // the main form's first image: unlocked
  ASSERT_THAT(Commands(), ElementsAre(NIM_MODIFY));
  EXPECT_EQ(gui::test::IconPixels(shellCalls[0].data.hIcon), Image(3));
  shellCalls.clear();
  tray->SetActive(false);
  ASSERT_THAT(Commands(), ElementsAre(NIM_DELETE));
  EXPECT_EQ(shellCalls[0].data.uID, 1u);
}

TEST_F(TrayTest, ThePictureComesFromTheListInRangeElseTheIconElseTheApplicationIcon) {
  MakeTray();
  tray->SetActive(true);
  UseImage(2);
  shellCalls.clear();
  tray->SetIconIndex(1);
  ASSERT_THAT(Commands(), ElementsAre(NIM_MODIFY));
  EXPECT_EQ(gui::test::IconPixels(shellCalls[0].data.hIcon), Image(2)) << "no list yet: the icon";
  shellCalls.clear();
  tray->SetIcons(images);
  ASSERT_THAT(Commands(), ElementsAre(NIM_MODIFY));
  EXPECT_EQ(shellCalls[0].data.uFlags, 0x07u);
  EXPECT_EQ(gui::test::IconPixels(shellCalls[0].data.hIcon), Image(1));
  shellCalls.clear();
  tray->SetIconIndex(4);
  ASSERT_THAT(Commands(), ElementsAre(NIM_MODIFY));
  EXPECT_EQ(gui::test::IconPixels(shellCalls[0].data.hIcon), Image(2)) << "out of range: Icon";
  shellCalls.clear();
  tray->Icon().Clear();
  ASSERT_THAT(Commands(), ElementsAre(NIM_MODIFY));
  EXPECT_EQ(gui::test::IconPixels(shellCalls[0].data.hIcon),
            gui::test::IconPixels(app->Icon().Handle()))
      << "no Icon: the application's";
  shellCalls.clear();
  TComponent::Free(images);
  images = nullptr;
  EXPECT_EQ(tray->Icons(), nullptr) << "a list that goes is forgotten";
}

TEST_F(TrayTest, TheTipIsTheShortHintCutTo127AndChangesShowAtTheNextMouseMove) {
  MakeTray();
  tray->SetHint("Quellane|Keyboard and mouse are free");
  tray->SetActive(true);
  EXPECT_STREQ(shellCalls.at(0).data.szTip, "Quellane");
  shellCalls.clear();
  const std::string longHint(200, 'h');
  tray->SetHint(longHint);
  EXPECT_THAT(shellCalls, IsEmpty()) << "stored only";
  int moves = 0;
  tray->OnMouseMove = [&](TComponent*, gui::TShiftState, int, int) { ++moves; };
  Callback(WM_MOUSEMOVE);
  ASSERT_THAT(Commands(), ElementsAre(NIM_MODIFY));
  EXPECT_EQ(shellCalls[0].data.uFlags, 0x07u);
  EXPECT_EQ(std::string(shellCalls[0].data.szTip), std::string(127, 'h'));
  Callback(WM_MOUSEMOVE);
  EXPECT_EQ(shellCalls.size(), 1u) << "the same hint is not sent again";
  EXPECT_EQ(moves, 2);
  tray->SetHint("two\r\nlines");
  EXPECT_EQ(tray->Hint(), "two\r\nlines") << "a new shell shows line breaks";
}

TEST_F(TrayTest, AnOldShellGetsTheSmallRecordNoVersionAndNoBalloons) {
  fakeShellVersion = 0x00040000;
  MakeTray();
  tray->SetHint(
      "two\r\nlines and a tip much longer than the sixty-three characters of the old record");
  EXPECT_EQ(tray->Hint().substr(0, 15), "two - lines and");
  tray->SetActive(true);
  ASSERT_THAT(Commands(), ElementsAre(NIM_ADD));
  EXPECT_EQ(shellCalls[0].data.cbSize, kSmallRecord);
  EXPECT_EQ(std::strlen(shellCalls[0].data.szTip), 63u) << "terminated inside the small record";
  shellCalls.clear();
  int shows = 0;
  tray->OnBalloonShow = [&](TComponent*) { ++shows; };
  tray->ShowBalloon("Title", "Text");
  EXPECT_THAT(shellCalls, IsEmpty());
  EXPECT_EQ(shows, 0);
}

TEST_F(TrayTest, AnUnreadableShellVersionIsReadAgainNextTime) {
  fakeShellVersion = 0;
  EXPECT_EQ(shell.Version(), 0u);
  EXPECT_EQ(shell.Version(), 0u);
  EXPECT_EQ(versionReads, 2);
  fakeShellVersion = 0x00060001;
  EXPECT_EQ(shell.Version(), 0x00060001u);
  EXPECT_EQ(shell.Version(), 0x00060001u);
  EXPECT_EQ(versionReads, 3) << "kept once it is known";
}

TEST_F(TrayTest, ARestartedTaskbarGetsTheEntryBackWithItsCurrentPicture) {
  MakeTray();
  tray->SetActive(true);
  UseImage(2);
  shellCalls.clear();
  EXPECT_EQ(SendMessageA(tray->TrayWindow(), tray->TaskbarCreatedMessage(), 0, 0), 0);
  ASSERT_THAT(Commands(), ElementsAre(NIM_ADD, NIM_SETVERSION));
  EXPECT_EQ(shellCalls[0].data.hIcon, tray->ShownIcon().Handle());
  EXPECT_EQ(gui::test::IconPixels(shellCalls[0].data.hIcon), Image(2));
  tray->SetActive(false);
  shellCalls.clear();
  SendMessageA(tray->TrayWindow(), tray->TaskbarCreatedMessage(), 0, 0);
  EXPECT_THAT(shellCalls, IsEmpty()) << "inactive: nothing to bring back";
}

TEST_F(TrayTest, TheEndOfTheSessionDeletesTheEntryWhileActiveStillReadsTrue) {
  MakeTray();
  tray->SetActive(true);
  shellCalls.clear();
  EXPECT_EQ(SendMessageA(tray->TrayWindow(), WM_QUERYENDSESSION, 0, 0), 1);
  SendMessageA(tray->TrayWindow(), WM_ENDSESSION, FALSE, 0);
  EXPECT_THAT(shellCalls, IsEmpty()) << "a cancelled shutdown leaves the icon";
  SendMessageA(tray->TrayWindow(), WM_ENDSESSION, TRUE, 0);
  ASSERT_THAT(Commands(), ElementsAre(NIM_DELETE));
  EXPECT_TRUE(tray->Active());
  shellCalls.clear();
  tray->SetActive(false);
  tray->SetActive(true);
  EXPECT_THAT(Commands(), ElementsAre(NIM_DELETE, NIM_ADD, NIM_SETVERSION)) << "added again";
}

TEST_F(TrayTest, DestroyingTheComponentDeletesTheEntryAndItsWindow) {
  MakeTray();
  tray->SetActive(true);
  const HWND window = tray->TrayWindow();
  shellCalls.clear();
  TComponent::Free(tray);
  tray = nullptr;
  EXPECT_THAT(Commands(), ElementsAre(NIM_DELETE));
  EXPECT_FALSE(IsWindow(window));
}

// ------------------------------------------------------- callbacks and clicks

class TrayEventsTest : public TrayTest {
 protected:
  void SetUp() override {
    TrayTest::SetUp();
    MakeTray();
    const auto name = [](TMouseButton b) {
      return b == TMouseButton::Left ? "left" : b == TMouseButton::Right ? "right" : "middle";
    };
    const auto record = [this, name](const char* what) {
      return
          [this, name, what](TComponent* sender, TMouseButton b, gui::TShiftState, int x, int y) {
            EXPECT_EQ(sender, tray);
            events.push_back(std::string(what) + " " + name(b) + " " + std::to_string(x) + "," +
                             std::to_string(y));
          };
    };
    tray->OnMouseDown = record("down");
    tray->OnMouseUp = record("up");
    tray->OnDblClick = record("dblclick");
    tray->OnClick = record("click");
    tray->OnMouseMove = [this](TComponent*, gui::TShiftState, int, int) {
      events.push_back("move");
    };
    tray->OnBalloonShow = [this](TComponent*) { events.push_back("balloon show"); };
    tray->OnBalloonHide = [this](TComponent*) { events.push_back("balloon hide"); };
    tray->OnBalloonClick = [this](TComponent*) { events.push_back("balloon click"); };
    tray->SetActive(true);
    shellCalls.clear();
  }
  std::vector<std::string> events;
};

TEST_F(TrayEventsTest, EachCallbackMessageReachesItsEvent) {
  SetCursorPos(123, 77);
  struct Row {
    UINT lParam;
    LRESULT result;
  };
  const Row rows[] = {{0x200, 0}, {0x201, 0}, {0x202, 0}, {0x204, 0}, {0x205, 0}, {0x207, 0},
                      {0x208, 0}, {0x203, 0}, {0x206, 0}, {0x209, 0}, {0x401, 0}, {0x403, 1},
                      {0x405, 1}, {0x400, 0}, {0x402, 0}, {0x7B, 0}};
  for (const Row& r : rows) EXPECT_EQ(Callback(r.lParam), r.result) << std::hex << r.lParam;
  EXPECT_THAT(events,
              ElementsAre("move", "down left 123,77", "up left 123,77", "down right 123,77",
                          "up right 123,77", "down middle 123,77", "up middle 123,77",
                          "dblclick left 123,77", "dblclick right 123,77", "dblclick middle 123,77",
                          "up right 123,77", "balloon hide", "balloon click", "balloon show"));
  ASSERT_FALSE(shellCalls.empty()) << "a balloon click closes the balloon";
  EXPECT_STREQ(shellCalls.back().data.szInfo, "");
  events.clear();
  PumpFor(GetDoubleClickTime() + 200);
  EXPECT_THAT(events, IsEmpty()) << "the double clicks dropped the pending click";
}

TEST_F(TrayEventsTest, AClickArrivesOneDoubleClickTimeAfterThePressAtThePressPosition) {
  SetCursorPos(150, 100);
  const ULONGLONG pressed = GetTickCount64();
  Callback(WM_LBUTTONDOWN);
  Callback(WM_LBUTTONUP);
  SetCursorPos(400, 300);
  ASSERT_TRUE(PumpUntil([&] { return events.size() == 3; }, 3000));
  const ULONGLONG delay = GetTickCount64() - pressed;
  EXPECT_GE(delay + 30, GetDoubleClickTime());
  EXPECT_EQ(events[2], "click left 150,100");
}

// The messages this thread takes from its queue, while a test watches them.
std::vector<std::pair<HWND, UINT>>* postedMessages = nullptr;
LRESULT CALLBACK WatchPostedMessages(int code, WPARAM removal, LPARAM message) {
  const auto* msg = reinterpret_cast<const MSG*>(message);
  if (code == HC_ACTION && removal == PM_REMOVE && postedMessages) {
    postedMessages->push_back({msg->hwnd, msg->message});
  }
  return CallNextHookEx(nullptr, code, removal, message);
}

TEST_F(TrayEventsTest, ARightClickShowsTheMenuAtThePressWithTheTrayWindowInFrontAndWmNullAfter) {
  auto* menu = Create<gui::TPopupMenu>(app.get());
  auto* item = Create<gui::TMenuItem>(app.get());
  item->SetCaption("Options ...");
  menu->Items()->Add(item);
  tray->SetPopupMenu(menu);
  HWND foregroundAtPopup = nullptr;
  menu->OnPopup = [&](TComponent*) { foregroundAtPopup = GetForegroundWindow(); };
  // WM_NULL is posted to the tray window after the menu: watch the queue.
  std::vector<std::pair<HWND, UINT>> seen;
  postedMessages = &seen;
  HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, WatchPostedMessages, nullptr, GetCurrentThreadId());
  RECT menuRect{};
  auto closer = CreateOwned<gui::TTimer>();
  closer->SetInterval(100);
  closer->OnTimer = [&](TComponent*) {
    const HWND w = FindWindowA("#32768", nullptr);
    if (!w || !IsWindowVisible(w)) return;
    closer->SetEnabled(false);
    GetWindowRect(w, &menuRect);
    seen.clear();
    PostMessageA(w, WM_KEYDOWN, VK_ESCAPE, 0);
  };
  SetCursorPos(200, 120);
  Callback(WM_RBUTTONDOWN);
  Callback(WM_RBUTTONUP);
  SetCursorPos(500, 400);
  ASSERT_TRUE(PumpUntil([&] { return menuRect.right > 0; }, 3000)) << "the menu opened";
  PumpFor(100);
  UnhookWindowsHookEx(hook);
  postedMessages = nullptr;
  EXPECT_EQ(menuRect.left, 200);
  EXPECT_EQ(menuRect.top, 120);
  EXPECT_EQ(foregroundAtPopup, tray->TrayWindow());
  EXPECT_THAT(seen,
              ::testing::Contains(std::make_pair(tray->TrayWindow(), static_cast<UINT>(WM_NULL))));
  EXPECT_THAT(events, ElementsAre("down right 200,120", "up right 200,120", "click right 200,120"));
}

TEST_F(TrayEventsTest, ARightDoubleClickFiresOnDblClickAndShowsNoMenu) {
  auto* menu = Create<gui::TPopupMenu>(app.get());
  int popups = 0;
  menu->OnPopup = [&](TComponent*) { ++popups; };
  tray->SetPopupMenu(menu);
  SetCursorPos(60, 60);
  Callback(WM_RBUTTONDOWN);
  Callback(WM_RBUTTONUP);
  Callback(WM_RBUTTONDBLCLK);
  Callback(WM_RBUTTONUP);
  PumpFor(GetDoubleClickTime() + 200);
  EXPECT_EQ(popups, 0);
  EXPECT_THAT(events, ElementsAre("down right 60,60", "up right 60,60", "dblclick right 60,60",
                                  "up right 60,60"));
  TComponent::Free(menu);
  EXPECT_EQ(tray->PopupMenu(), nullptr) << "a menu that goes is forgotten";
}

TEST_F(TrayEventsTest, AnExceptionFromAnEventIsReportedWithTheTrayAsSenderButNotFromBalloons) {
  tray->OnDblClick = [](TComponent*, TMouseButton, gui::TShiftState, int, int) {
    throw std::runtime_error("lock failed");
  };
  tray->OnBalloonClick = [](TComponent*) { throw std::runtime_error("ignored"); };
  Callback(WM_LBUTTONDBLCLK);
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_EQ(reported[0].sender, tray);
  EXPECT_EQ(reported[0].what, "lock failed");
  EXPECT_EQ(Callback(0x405), 1);
  EXPECT_EQ(reported.size(), 1u) << "balloon handlers fail silently";
  EXPECT_THAT(events, ::testing::Contains("balloon show")) << "and the balloon is still closed";
}

TEST_F(TrayEventsTest, ABalloonCarriesItsTextsKindAndDelayAndClosesItself) {
  tray->ShowBalloon(std::string(80, 't'), std::string(300, 'x'), 1, 400);
  ASSERT_THAT(Commands(), ElementsAre(NIM_MODIFY));
  const NOTIFYICONDATAA& d = shellCalls[0].data;
  EXPECT_EQ(d.uFlags, 0x17u);
  EXPECT_EQ(std::strlen(d.szInfoTitle), 63u);
  EXPECT_EQ(std::strlen(d.szInfo), 255u);
  EXPECT_EQ(d.uTimeout, 400u);
  EXPECT_EQ(d.dwInfoFlags, static_cast<DWORD>(NIIF_ERROR));
  EXPECT_THAT(events, ElementsAre("balloon show"));
  ASSERT_TRUE(PumpUntil([&] { return shellCalls.size() == 2; }, 2000)) << "its timer closes it";
  EXPECT_STREQ(shellCalls[1].data.szInfo, "");
  PumpFor(600);
  EXPECT_EQ(shellCalls.size(), 2u) << "the balloon timer stops after firing";
}

TEST_F(TrayEventsTest, AnimationStepsThroughTheListUntilSwitchedOff) {
  tray->SetIcons(images);
  std::vector<int> frames;
  tray->OnAnimate = [&](TComponent*, int index) { frames.push_back(index); };
  tray->SetDelay(40);
  tray->SetAnimated(true);
  ASSERT_TRUE(PumpUntil([&] { return frames.size() >= 5; }, 3000));
  EXPECT_THAT(std::vector<int>(frames.begin(), frames.begin() + 5), ElementsAre(1, 2, 3, 0, 1));
  tray->SetAnimated(false);
  const std::size_t n = frames.size();
  PumpFor(200);
  EXPECT_EQ(frames.size(), n);
}

// ------------------------------------------------------- visibility

TEST_F(TrayTest, AutoHideIconAddsTheEntryOnlyWhileTheMainFormIsHidden) {
  auto* main = app->CreateForm<gui::TForm>();
  main->SetBounds(50, 50, 200, 100);
  MakeTray();
  main->Show();
  tray->SetVisibility(tray->Visibility() | tvAutoHideIcon);
  shellCalls.clear();
  tray->SetActive(true);
  EXPECT_THAT(Commands(), ElementsAre(NIM_SETVERSION)) << "the form is visible: no entry";
  shellCalls.clear();
  tray->ConcealApplication();
  EXPECT_THAT(Commands(), ElementsAre(NIM_ADD));
  EXPECT_FALSE(IsWindowVisible(app->Handle()));
  shellCalls.clear();
  tray->RevealApplication();
  EXPECT_THAT(Commands(), ElementsAre(NIM_DELETE));
  EXPECT_TRUE(IsWindowVisible(app->Handle()));
  EXPECT_TRUE(main->Visible());
}

TEST_F(TrayTest, MinimisingTheApplicationHidesItWhileActive) {
  app->CreateForm<gui::TForm>();  // hidden, as the program's main form is
  MakeTray();
  EXPECT_FALSE(IsWindowVisible(app->Handle())) << "making the icon shows nothing";
  tray->SetVisibility(tray->Visibility());  // shown: tvVisibleTaskBar
  EXPECT_TRUE(IsWindowVisible(app->Handle()));
  tray->SetActive(true);
  SendMessageA(app->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_FALSE(IsWindowVisible(app->Handle())) << "hidden by the hook";
  tray->SetVisibility(tray->Visibility());  // shown again
  EXPECT_TRUE(IsWindowVisible(app->Handle()));
  tray->SetActive(false);
  SendMessageA(app->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(IsWindowVisible(app->Handle())) << "inactive: no hook, only minimised";
  EXPECT_TRUE(IsIconic(app->Handle()));
  ShowWindow(app->Handle(), SW_HIDE);
}

}  // namespace
}  // namespace quell::ui
