// The lock controller on the host: a recording library that keeps the
// properties and refuses a lock with no way out as the real one does, a
// recording view and system calls with a clock of their own.
#include "controller/LockController.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "HookDll/HookProtocol.h"

namespace quell::app {
namespace {

using ::testing::Contains;
using ::testing::ElementsAreArray;
using ::testing::Not;

using TLog = std::vector<std::string>;

constexpr TWindowId kMainWindow = 100;
constexpr TWindowId kRunningWindow = 200;  // the first instance's, for a second one

class TRecordingLibrary : public TLockLibrary {
 public:
  TLog calls;
  std::int32_t properties[kStoredPropertyCount] = {};
  bool hooked = false;
  bool bound = false;
  bool bindFails = false;
  // The record's view of the hooks: set by SetShellHook, left as it is by a
  // drop (the system removes hooks, not their handles).
  std::optional<THookSight> sight;
  std::uint32_t tick = 0;  // the tick an installation marks as seen
  bool installFails = false;
  bool removeFails = false;

  bool Bind(std::string_view, TWindowId notifyWnd, std::string* error) override {
    calls.push_back("Bind");
    if (bindFails) {
      *error = "Dll:quellhook.dll not found";
      return false;
    }
    bound = true;
    if (notifyWnd) SetNotifyWnd(notifyWnd);
    return true;
  }
  void Unbind() override {
    calls.push_back("Unbind");
    bound = false;
  }
  bool Bound() const override { return bound; }
  int SetShellHook() override {
    calls.push_back("SetShellHook");
    if (hooked) return 1;
    if (installFails) return 0;
    hooked = true;
    static std::uint32_t handle = 0x100;
    sight = THookSight{handle, handle + 1, handle + 2, tick, tick};
    handle += 3;
    return 1;
  }
  int UnSetShellHook() override {
    calls.push_back("UnSetShellHook");
    const bool had = hooked;
    hooked = false;
    if (sight) sight = THookSight{0, 0, 0, sight->keyboardSeen, sight->mouseSeen};
    return had && removeFails ? 0 : 1;
  }
  std::optional<THookSight> HookSight() override { return bound ? sight : std::nullopt; }
  bool passMediaKeys = false;
  void SetPassMediaKeys(bool pass) override { passMediaKeys = pass; }
  TStoppedInput stopped;  // counted by "the hooks" while locked
  std::optional<TStoppedInput> TakeStoppedInput() override {
    if (!bound) return std::nullopt;
    return std::exchange(stopped, TStoppedInput{});
  }
  int SetNotifyWnd(TWindowId window) override {
    calls.push_back("SetNotifyWnd " + std::to_string(window));
    return 1;
  }
  int GetIsLocked() override { return properties[PROP_LOCKED] != 0 && hooked ? 1 : 0; }
  TWindowId recordWindow = kRunningWindow;  // the running copy's window, in the record
  TWindowId GetNotifyWnd() override { return recordWindow; }
  int SetProperties(int index, int value) override {
    calls.push_back("SetProperties " + std::to_string(index) + " " + std::to_string(value));
    if (index < 0 || index >= kStoredPropertyCount) return 0;
    const std::int32_t old = properties[index];
    properties[index] = value;
    const std::int32_t* p = properties;
    if (p[PROP_LOCKED] && p[PROP_LOCK_KEYBOARD] && p[PROP_KEY_UNLOCK] == 0 &&
        (p[PROP_LOCK_MOUSE_BTN] || p[PROP_LOCK_MOUSE_MOVE])) {
      properties[PROP_LOCKED] = 0;
      properties[index] = old;
      return 0;
    }
    return 1;
  }
  int StartLog(const char* path) override {
    calls.push_back(std::string("StartLog ") + (path ? path : "null"));
    return 1;
  }
};

class TRecordingView : public TControllerView {
 public:
  TLog shown;
  std::function<void()> duringOptions;  // what the user does in the dialog
  TLockController* controller = nullptr;

  TWindowId Window() override { return kMainWindow; }
  void ShowTray() override { shown.push_back("ShowTray"); }
  void SetTrayImage(int index) override { shown.push_back("Tray " + std::to_string(index)); }
  int ImageCount() override { return 4; }
  void ShowNotice(const std::string& title, const std::string& text, unsigned) override {
    shown.push_back("Notice " + title + ": " + text);
  }
  bool shieldFails = false;  // the shield's window cannot be made
  void ShowInputShield(TShieldLook look) override {
    if (shieldFails) throw std::runtime_error("CreateWindowEx failed");
    shown.push_back(look == TShieldLook::Black ? "Shield black" : "Shield clear");
  }
  void HideInputShield() override { shown.push_back("Shield off"); }
  void ShowBox(TControllerBox kind, const std::string& text, const std::string&) override {
    shown.push_back("Box " + std::to_string(static_cast<int>(kind)) + " " + text);
  }
  void SetActionEnabled(TControllerAction, bool) override {}
  void SetActionShortCut(TControllerAction action, int shortcut) override {
    shortcuts[action] = shortcut;
  }
  void SetActionImage(TControllerAction, int) override {}
  void SetTimer(TControllerTimer timer, bool enabled) override { timers[timer] = enabled; }
  void RunOptionsDialog() override {
    shown.push_back("Options");
    if (duringOptions) duringOptions();
    shown.push_back("Options closed");
  }
  // Bringing a window forward waits on other threads: messages sent
  // meanwhile are handled then.
  std::function<void()> whileComingForward;
  void BringProgramToFront() override {
    if (whileComingForward) std::exchange(whileComingForward, nullptr)();
  }
  void BringOptionsToFront() override { shown.push_back("Options to front"); }
  void SetTaskbarButton(bool on) override { shown.push_back(on ? "Taskbar on" : "Taskbar off"); }
  // Messages already waiting when the controller pumps.
  std::function<void()> pending;
  void ProcessMessages() override {
    if (pending) std::exchange(pending, nullptr)();
  }
  void MinimizeAllWindows() override { shown.push_back("MinimizeAll"); }
  // As the form does: its close runs the controller's FormClose.
  void CloseMainForm() override {
    shown.push_back("Close");
    controller->FormClose();
  }
  void PostCloseMainForm() override { shown.push_back("PostClose"); }

  std::map<TControllerAction, int> shortcuts;
  std::map<TControllerTimer, bool> timers;
};

class TMemoryRunEntry : public TRunEntryStore {
 public:
  std::optional<std::string> value;
  std::optional<std::string> Read() override { return value; }
  bool Write(const std::string& data) override {
    value = data;
    return true;
  }
  bool Remove() override {
    value.reset();
    return true;
  }
};

class TRecordingWatch : public TPasswordWatch {
 public:
  explicit TRecordingWatch(TLog& log) : FLog(log) {}
  void SetPassword(const std::string& stored) override { FPassword = stored; }
  bool HasPassword() const override { return !FPassword.empty(); }
  void Clear() override { ++FGeneration; }
  void Feed(std::uint32_t code) override { FLog.push_back("Feed " + std::to_string(code)); }
  bool IsCurrent(std::uintptr_t generation) const override { return generation == FGeneration; }
  std::uintptr_t Generation() const { return FGeneration; }

 private:
  TLog& FLog;
  std::string FPassword;
  std::uintptr_t FGeneration = 0;
};

class TRecordingPawWatch : public TPawWatch {
 public:
  explicit TRecordingPawWatch(TLog& log) : FLog(log) {}
  void Arm(bool armed) override { FLog.push_back(armed ? "Paws armed" : "Paws disarmed"); }

 private:
  TLog& FLog;
};

class TRecordingSystem : public TControllerSystem {
 public:
  TLog sent;
  std::uint64_t now = 1'000'000;
  std::string exePath;
  std::map<std::string, TWindowId> windows;
  TMemoryRunEntry runEntry;
  TRecordingWatch* watch = nullptr;
  bool elevatedInFront = false;

  std::uint64_t NowMs() override { return now; }
  std::string ExecutablePath() override { return exePath; }
  TWindowId FindWindowByTitle(const std::string& title) override {
    const auto found = windows.find(title);
    return found == windows.end() ? 0 : found->second;
  }
  void PostCloseWindow(TWindowId window) override {
    sent.push_back("Close " + std::to_string(window));
  }
  void PostNotify(TWindowId window, std::int32_t code) override {
    sent.push_back("Post " + std::to_string(window) + " " + std::to_string(code));
  }
  // What the running copy does with a request, before the send returns.
  std::function<void(std::int32_t)> runningCopy;
  void SendNotify(TWindowId window, std::int32_t code) override {
    sent.push_back("Send " + std::to_string(window) + " " + std::to_string(code));
    if (runningCopy) runningCopy(code);
  }
  TRunEntryStore& RunEntries() override { return runEntry; }
  TInputClock clock{5000, 4000};
  std::vector<TWindowId> sessionWatch;  // each WatchSession's window
  TInputClock InputClock() override { return clock; }
  void WatchSession(TWindowId window) override { sessionWatch.push_back(window); }
  std::unique_ptr<TPasswordWatch> StartPasswordWatch(TWindowId) override {
    auto made = std::make_unique<TRecordingWatch>(sent);
    watch = made.get();
    return made;
  }
  bool ForegroundIsElevated() override { return elevatedInFront; }
  std::unique_ptr<TPawWatch> StartPawWatch(TWindowId window) override {
    sent.push_back("Paw watch " + std::to_string(window));
    return std::make_unique<TRecordingPawWatch>(sent);
  }
};

// Every slot a value of its own, to see each arrive at its index.
const char* const kDistinctSettings =
    "[Config.Lock All]\r\nDO_BEEP=1\r\nLOCK_KEYBOARD=1\r\nLOCK_MOUSE_BTN=0\r\nLOCK_MOUSE_MOVE=1\r\n"
    "LOCK_MOUSE_WHEEL=0\r\nKEY_LOCK=49228\r\nKEY_UNLOCK=49237\r\nSCREEN_SAVER_OFF=1\r\n=9\r\n"
    "LOKED_IMAGE=1\r\nUNLOKED_IMAGE=0\r\nCHECK_IDLE=0\r\nEDIT_IDLE=77\r\nCHECK_MINI=0\r\n\r\n";
const std::vector<int> kDistinctValues = {1, 1, 0, 1, 0, 49228, 49237, 1, 9, 9, 1, 0, 0, 77, 0};

// Keyboard locked, the mouse free, Ctrl+Alt+L and Ctrl+Alt+U, the idle lock
// at 15 s; more lines may follow in the section.
const std::string kHotKeySettings =
    "[Config.Lock All]\r\nLOCK_KEYBOARD=1\r\nLOCK_MOUSE_BTN=0\r\nLOCK_MOUSE_MOVE=0\r\n"
    "KEY_LOCK=49228\r\nKEY_UNLOCK=49237\r\nCHECK_IDLE=1\r\nEDIT_IDLE=15\r\n";

// Keyboard and mouse locked with no unlock hot key: the library refuses.
const char* const kNoWayOutSettings =
    "[Config.Lock All]\r\nLOCK_KEYBOARD=1\r\nLOCK_MOUSE_BTN=1\r\nKEY_LOCK=49228\r\nKEY_UNLOCK=0\r\n"
    "\r\n";

TLog SettingsCalls(const std::vector<int>& values) {
  TLog calls;
  for (int i = 1; i <= 15; ++i)
    calls.push_back("SetProperties " + std::to_string(i) + " " + std::to_string(values[i - 1]));
  calls.push_back("SetShellHook");
  return calls;
}

TLog Concat(TLog a, const TLog& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

long CountOf(const TLog& log, const std::string& entry) {
  return std::count(log.begin(), log.end(), entry);
}

class LockControllerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder =
        std::filesystem::temp_directory_path() /
        ("lockcontroller-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    system.exePath = (folder / "Quellane.exe").string();
  }
  void TearDown() override {
    if (controller) controller->FormDestroy();
    std::filesystem::remove_all(folder);
  }

  void WriteSettings(const std::string& text) {
    std::ofstream(folder / "Quellane.ini", std::ios::binary) << text;
  }
  std::string ReadSettings() {
    std::ifstream in(folder / "Quellane.ini", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  // The program's start, as WinMain and the main form make it.
  TLockController& Start(bool firstInstance = true, const std::vector<std::string>& args = {}) {
    controller = std::make_unique<TLockController>(library, system, firstInstance);
    view.controller = controller.get();
    controller->Attach(&view);
    controller->FormCreate(args);
    return *controller;
  }
  // The program started anew, after the last one's end.
  TLockController& Restart(const std::string& settings) {
    if (controller) controller->FormDestroy();
    WriteSettings(settings);
    library = TRecordingLibrary{};
    view.shown.clear();
    return Start();
  }
  void ForgetCalls() {
    library.calls.clear();
    view.shown.clear();
    system.sent.clear();
  }

  std::filesystem::path folder;
  TRecordingLibrary library;
  TRecordingView view;
  TRecordingSystem system;
  std::unique_ptr<TLockController> controller;
};

TEST_F(LockControllerTest, StartUpRegistersTheWindowAndHandsOverSlotsOneToFifteen) {
  WriteSettings(kDistinctSettings);
  Start();
  EXPECT_THAT(library.calls, ElementsAreArray(Concat({"Bind", "SetNotifyWnd 100"},
                                                     SettingsCalls(kDistinctValues))))
      << "index 15 is passed too, and the library's refusal changes nothing";
  ASSERT_FALSE(view.shown.empty());
  EXPECT_EQ(view.shown.front(), "ShowTray");
  EXPECT_EQ(view.shown.back(), "Taskbar off") << "no taskbar button while running";
  EXPECT_THAT(system.sent, ElementsAreArray({"Post 100 -1"})) << "announces itself";
  EXPECT_EQ(view.shortcuts[TControllerAction::Lock], 49228);
  EXPECT_EQ(view.shortcuts[TControllerAction::Unlock], 49237);
}

TEST_F(LockControllerTest, ASecondInstanceHandsItsCommandLineOverAndNeverRegisters) {
  const struct {
    std::vector<std::string> args;
    const char* sent;
  } cases[] = {
      {{"/L"}, "Send 200 3"},
      {{"/U"}, "Send 200 4"},
      {{"-c"}, "Send 200 32"},
      {{}, "Post 200 -1"},  // a plain start shows the running copy
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sent);
    WriteSettings(kDistinctSettings);
    library = TRecordingLibrary();
    view.shown.clear();
    system.sent.clear();
    Start(false, c.args);
    EXPECT_THAT(system.sent, ElementsAreArray({c.sent}));
    EXPECT_THAT(library.calls, ElementsAreArray({"Bind"})) << "no notify window, no properties";
    EXPECT_THAT(view.shown, ElementsAreArray({"PostClose"})) << "no tray icon; it ends";
    controller->FormClose();
    EXPECT_EQ(library.calls.back(), "Unbind") << "a second instance never unhooks the first's";
    controller->FormDestroy();
    controller.reset();
  }
}

TEST_F(LockControllerTest, TheStateSwitchAnswersWithTheRunningCopysStateAndNoBox) {
  const struct {
    const char* name;
    std::vector<std::string> args;
    bool locked, bindFails;
    TWindowId notifyWnd;
    int exitCode;
    const char* sent;
  } cases[] = {
      {"unlocked", {"/S"}, false, false, kRunningWindow, 0, nullptr},
      {"locked", {"-s"}, true, false, kRunningWindow, 1, nullptr},
      {"no library to ask", {"/S"}, false, true, kRunningWindow, 3, nullptr},
      // The copy runs from another folder: this library's record is not its.
      {"no window in the record", {"/S"}, true, false, 0, 3, nullptr},
      {"after the lock before it", {"/L", "/S"}, false, false, kRunningWindow, 1, "Send 200 3"},
      {"the last state switch", {"/S", "/U", "/S"}, true, false, kRunningWindow, 0, "Send 200 4"},
  };
  WriteSettings(kDistinctSettings);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    library = TRecordingLibrary();
    library.bindFails = c.bindFails;
    library.recordWindow = c.notifyWnd;
    library.hooked = true;  // the running copy's hooks
    library.properties[PROP_LOCKED] = c.locked;
    view.shown.clear();
    system.sent.clear();
    // The recording library stands for the running copy's too.
    system.runningCopy = [&](std::int32_t code) {
      if (code == LN_LOCK_REQUEST || code == LN_UNLOCK_REQUEST)
        library.properties[PROP_LOCKED] = code == LN_LOCK_REQUEST;
    };
    Start(false, c.args);
    EXPECT_EQ(controller->ExitCode(), c.exitCode);
    EXPECT_THAT(system.sent, ElementsAreArray(c.sent ? TLog{c.sent} : TLog{}));
    EXPECT_THAT(view.shown, ElementsAreArray({"PostClose"})) << "no box for a script to wait on";
    controller->FormDestroy();
    controller.reset();
  }
  // A settings file that cannot be read is no reason for a box either.
  std::filesystem::remove(folder / "Quellane.ini");
  std::filesystem::create_directory(folder / "Quellane.ini");
  library = TRecordingLibrary();
  library.hooked = true;
  library.properties[PROP_LOCKED] = 1;
  view.shown.clear();
  Start(false, {"/S"});
  EXPECT_EQ(controller->ExitCode(), 1);
  EXPECT_THAT(view.shown, ElementsAreArray({"PostClose"}));
  controller->FormDestroy();

  system.runningCopy = nullptr;
  library = TRecordingLibrary();
  Start(true, {"/S"});
  EXPECT_EQ(controller->ExitCode(), 0) << "a resident copy ends with 0";
}

TEST_F(LockControllerTest, EachNotificationIsAnsweredAfterItsAction) {
  WriteSettings(kDistinctSettings);
  Start();
  const auto settings = SettingsCalls(kDistinctValues);
  const struct {
    std::int32_t code;
    std::optional<long> reply;
    TLog calls;
  } cases[] = {
      {LN_PING, 1, {}},
      {LN_LOCK_REQUEST, 3, Concat(settings, {"SetProperties 0 1"})},
      {LN_STATE_CHANGED, std::nullopt, {}},
      {LN_UNLOCK_REQUEST, 4, Concat(settings, {"SetProperties 0 0"})},
      {LN_ACTIVITY, std::nullopt, {}},
      {99, std::nullopt, {}},  // unknown codes are ignored
      // A second instance's /C: keyboard and mouse all locked; while
      // locked it changes nothing, as the menu's disabled entry would.
      {LN_CLEAN_LOCK_REQUEST, 32,
       Concat(SettingsCalls({1, 1, 1, 1, 1, 49228, 49237, 1, 9, 9, 1, 0, 0, 77, 0}),
              {"SetProperties 0 1"})},
      {LN_CLEAN_LOCK_REQUEST, 32, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    ForgetCalls();
    EXPECT_EQ(controller->WMHookNotify(c.code, 0), c.reply);
    EXPECT_THAT(library.calls, ElementsAreArray(c.calls));
  }
}

TEST_F(LockControllerTest, TheLockStateShowsInTheTrayAndTheNotice) {
  WriteSettings(kDistinctSettings);  // LOKED_IMAGE=1, UNLOKED_IMAGE=0
  Start();
  const struct {
    bool lock;
    TLog shown;
  } cases[] = {
      {true, {"Tray 1", "Notice Computer is Locked: Enter Hot Key or password to Unlock"}},
      {false, {"Tray 0", "Notice Computer is UnLocked: You may continue to work."}},
  };
  for (const auto& c : cases) {
    c.lock ? controller->acLockExecute() : controller->acUnlockExecute();
    ForgetCalls();
    controller->WMHookNotify(LN_STATE_CHANGED, 0);
    EXPECT_THAT(view.shown, ElementsAreArray(c.shown));
    EXPECT_EQ(view.timers[TControllerTimer::TimedLock], c.lock) << "the timed locks' clock";
  }
}

TEST_F(LockControllerTest, ARefusedLockOpensTheOptionsWithTheHotKeysOffThenRewritesTheState) {
  WriteSettings(kNoWayOutSettings);
  Start();
  ForgetCalls();
  TLog atDialog;
  view.duringOptions = [&] { atDialog = library.calls; };
  EXPECT_EQ(controller->WMHookNotify(LN_LOCK_REQUEST, 0), 3);

  ASSERT_THAT(view.shown, Contains("Options"));
  ASSERT_GE(atDialog.size(), 3u);
  ASSERT_LE(atDialog.size(), library.calls.size());
  EXPECT_EQ(atDialog.back(), "SetProperties 7 0") << "both hot keys off while the dialog is open";
  EXPECT_EQ(atDialog.end()[-2], "SetProperties 6 0");
  EXPECT_EQ(atDialog.end()[-3], "SetProperties 0 1") << "the refused lock came first";
  const TLog after(library.calls.begin() + static_cast<long>(atDialog.size()), library.calls.end());
  EXPECT_THAT(after, Contains("SetProperties 6 49228")) << "the hot keys are handed back";
  EXPECT_EQ(after.back(), "SetProperties 0 0") << "the lock state is written again";
  EXPECT_THAT(view.shown,
              ElementsAreArray({"Taskbar on", "Options", "Options closed", "Taskbar off"}));
  EXPECT_EQ(view.shortcuts[TControllerAction::Lock], 49228);
  const std::string saved = ReadSettings();
  EXPECT_NE(saved.find("KEY_LOCK=49228\r\n"), std::string::npos) << saved;
  EXPECT_FALSE(controller->OptionsOpen());
}

TEST_F(LockControllerTest, TheCleaningLockLocksEverythingAndGivesTheSettingsBack) {
  const struct {
    const char* name;
    const char* unlockKey;
    bool refused;
  } cases[] = {
      {"with an unlock hot key", "49237", false},
      {"with none: refused", "0", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteSettings(std::string("[Config.Lock All]\r\nLOCK_KEYBOARD=0\r\nLOCK_MOUSE_BTN=0\r\n"
                              "LOCK_MOUSE_MOVE=0\r\nLOCK_MOUSE_WHEEL=0\r\nKEY_UNLOCK=") +
                  c.unlockKey + "\r\n\r\n");
    library = TRecordingLibrary();
    Start();
    // The settings' own lock options, as the start handed them over.
    const TLog own(library.calls.begin() + 2, library.calls.end());
    ForgetCalls();
    controller->acCleanLockExecute();
    const TLog& calls = library.calls;
    for (int i = 2; i <= 5; ++i) {
      EXPECT_EQ(calls[static_cast<std::size_t>(i - 1)],
                "SetProperties " + std::to_string(i) + " 1");
    }
    EXPECT_EQ(calls[16], "SetProperties 0 1");
    if (c.refused) {
      EXPECT_THAT(view.shown, Contains("Options"));
      EXPECT_EQ(calls[18], "SetProperties 2 0") << "the settings' own options back at once";
      EXPECT_FALSE(view.timers[TControllerTimer::TimedLock]);
    } else {
      EXPECT_TRUE(view.timers[TControllerTimer::TimedLock]);
      controller->WMHookNotify(LN_STATE_CHANGED, 0);
      EXPECT_EQ(view.shown.back(), "Notice Computer is Locked: Cleaning: unlocks in 30 seconds");
      system.now += 29'000;
      controller->TimerTimedLockTimer();
      EXPECT_EQ(library.properties[PROP_LOCKED], 1) << "not yet";
      system.now += 2'000;
      ForgetCalls();
      controller->TimerTimedLockTimer();
      EXPECT_EQ(calls.back(), "SetProperties 0 0") << "unlocks by itself";
      EXPECT_EQ(calls[1], "SetProperties 2 1") << "the unlock itself still runs as cleaning";
      ForgetCalls();
      controller->WMHookNotify(LN_STATE_CHANGED, 0);
      EXPECT_THAT(calls, ElementsAreArray(own))
          << "the lock options of the settings again, for the next lock by hot key";
    }
    controller->FormDestroy();
    controller.reset();
  }
}

TEST_F(LockControllerTest, ExitAndTheEndOfTheSessionUnlockUnhookAndUnload) {
  const struct {
    const char* name;
    std::function<void(TLockController&)> end;
  } cases[] = {
      {"Exit", [](TLockController& c) { c.acExitExecute(); }},
      {"end of session", [](TLockController& c) { c.WMEndSession(true); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteSettings(kDistinctSettings);
    library = TRecordingLibrary();
    Start();
    controller->acLockExecute();
    ASSERT_TRUE(controller->IsLocked());
    ForgetCalls();
    c.end(*controller);
    EXPECT_THAT(library.calls, ElementsAreArray(Concat(SettingsCalls(kDistinctValues),
                                                       {"SetProperties 0 0", "UnSetShellHook",
                                                        "StartLog null", "Unbind"})));
    ForgetCalls();
    EXPECT_FALSE(controller->BindHookLibrary(true)) << "nothing binds after the close";
    controller->acLockExecute();
    controller->Timer1Timer();
    EXPECT_THAT(library.calls, ElementsAreArray(TLog{}));
    controller->FormDestroy();
    controller.reset();
  }
  ForgetCalls();
  WriteSettings(kDistinctSettings);
  Start();
  ForgetCalls();
  controller->WMEndSession(false);
  EXPECT_THAT(library.calls, ElementsAreArray(TLog{})) << "a session that goes on changes nothing";
}

TEST_F(LockControllerTest, ExitWhileTheOptionsAreOpenEndsWithoutBindingOrHookingAgain) {
  // No settings file: the first run opens the options by itself.
  Start();
  view.duringOptions = [&] { controller->acExitExecute(); };
  controller->WMHookNotify(LN_ACTIVATE, 0);
  ASSERT_THAT(view.shown, Contains("Options"));
  const auto unhook = std::find(library.calls.begin(), library.calls.end(), "UnSetShellHook");
  ASSERT_NE(unhook, library.calls.end()) << "Exit removed the hooks";
  const TLog after(unhook + 1, library.calls.end());
  EXPECT_THAT(after, ElementsAreArray({"StartLog null", "Unbind"}))
      << "nothing bound, hooked or set after the main form closed";
  EXPECT_NE(ReadSettings().find("[Config.Lock All]"), std::string::npos)
      << "the settings are still saved";
}

TEST_F(LockControllerTest, TheIdleLockLocksOnceAndARefusedAttemptWaitsForTheDialog) {
  WriteSettings(
      "[Config.Lock All]\r\nLOCK_KEYBOARD=1\r\nLOCK_MOUSE_BTN=1\r\nKEY_UNLOCK=0\r\nCHECK_IDLE=1\r\n"
      "EDIT_IDLE=3\r\nCHECK_MINI=1\r\n\r\n");
  Start();
  ForgetCalls();
  controller->Timer1Timer();
  controller->Timer1Timer();
  controller->WMHookNotify(LN_ACTIVITY, 0);  // input starts the count again
  controller->Timer1Timer();
  controller->Timer1Timer();
  EXPECT_EQ(CountOf(library.calls, "SetProperties 0 1"), 0);
  // Ticks queued before the dialog opens, and ticks of the dialog's loop.
  view.pending = [&] {
    for (int i = 0; i < 3; ++i) controller->Timer1Timer();
  };
  long ticksDuringDialog = 0;
  view.duringOptions = [&] {
    // The modal dialog's loop runs the timer; each tick finds the attempt.
    for (int i = 0; i < 20; ++i, ++ticksDuringDialog) controller->Timer1Timer();
  };
  controller->Timer1Timer();
  EXPECT_EQ(ticksDuringDialog, 20);
  EXPECT_EQ(CountOf(library.calls, "SetProperties 0 1"), 1) << "one attempt, refused";
  EXPECT_EQ(CountOf(view.shown, "Options"), 1) << "one dialog";
  EXPECT_EQ(view.shown.front(), "MinimizeAll") << "minimised first, as asked";
  EXPECT_EQ(controller->IdleLock.IdleCounter, 0) << "the refused attempt starts the count again";
}

TEST_F(LockControllerTest, TheTaskManagerCloserLooksWhileLocked) {
  WriteSettings(kDistinctSettings);
  Start();
  const struct {
    bool locked;
    const char* title;  // the window that exists, if any
    const char* closed;
    bool timerAfter;
  } cases[] = {
      {true, "Task Manager", "Close 7", false},
      {true, "Windows Task Manager", "Close 7", false},
      {true, nullptr, nullptr, true},  // not yet open: look again each second
      {false, "Task Manager", nullptr, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title ? c.title : "none");
    c.locked ? controller->acLockExecute() : controller->acUnlockExecute();
    system.windows.clear();
    if (c.title) system.windows[c.title] = 7;
    view.timers[TControllerTimer::TaskMgrHide] = !c.timerAfter;
    ForgetCalls();
    controller->WMHookNotify(LN_CTRL_ALT_DEL, 0);
    EXPECT_THAT(system.sent, ElementsAreArray(c.closed ? TLog{c.closed} : TLog{}));
    EXPECT_EQ(view.timers[TControllerTimer::TaskMgrHide], c.timerAfter);
  }
  // The timer's look finds the window that opened after the keys.
  controller->acLockExecute();
  system.windows.clear();
  controller->WMHookNotify(LN_CTRL_ALT_DEL, 0);
  ASSERT_TRUE(view.timers[TControllerTimer::TaskMgrHide]);
  ForgetCalls();
  system.windows["Task Manager"] = 8;
  controller->TimerTaskMgrHideTimer();
  EXPECT_THAT(system.sent, ElementsAreArray({"Close 8"}));
  EXPECT_FALSE(view.timers[TControllerTimer::TaskMgrHide]);
}

TEST_F(LockControllerTest, ThePasswordUnlocksOnlyTheLockItWasTypedIn) {
  WriteSettings(kDistinctSettings);
  Start();
  view.duringOptions = [&] { controller->LockIniFile->More.Password = "stored"; };
  controller->acOptionsExecute();
  ASSERT_NE(system.watch, nullptr) << "the first password starts the watcher";
  controller->WMHookNotify(LN_INPUT_BLOCKED, 0x41);
  EXPECT_THAT(system.sent, Not(Contains("Feed 65"))) << "unlocked: no key is watched";

  controller->acLockExecute();
  controller->WMHookNotify(LN_STATE_CHANGED, 0);
  controller->WMHookNotify(LN_INPUT_BLOCKED, 0x41);
  EXPECT_THAT(system.sent, Contains("Feed 65"));
  const std::uintptr_t typed = system.watch->Generation();
  controller->PasswordMatched(typed - 1);
  EXPECT_TRUE(controller->IsLocked()) << "keys of an earlier lock unlock nothing";
  controller->PasswordMatched(typed);
  EXPECT_FALSE(controller->IsLocked());
}

TEST_F(LockControllerTest, ALibraryThatCannotBeBoundIsReportedAndNothingIsSet) {
  WriteSettings(kDistinctSettings);
  library.bindFails = true;
  Start();
  EXPECT_THAT(view.shown, Contains("Box 0 Dll:quellhook.dll not found"));
  EXPECT_THAT(library.calls, Not(Contains("SetShellHook")));
  ForgetCalls();
  controller->acLockExecute();
  EXPECT_THAT(library.calls, ElementsAreArray({"Bind"})) << "tried again, and reported again";
  EXPECT_THAT(view.shown, ElementsAreArray({"Box 0 Dll:quellhook.dll not found"}));
}

TEST_F(LockControllerTest, ATrayPictureOutsideTheImagesIsTheStatesOwnPicture) {
  const struct {
    const char* images;
    std::string locked, unlocked;
  } cases[] = {
      {"LOKED_IMAGE=7\r\nUNLOKED_IMAGE=-1\r\n", "Tray 2", "Tray 3"},
      {"LOKED_IMAGE=4\r\nUNLOKED_IMAGE=4\r\n", "Tray 2", "Tray 3"},  // one past the last
      {"LOKED_IMAGE=3\r\nUNLOKED_IMAGE=2\r\n", "Tray 3", "Tray 2"},  // inside: as set
      {"LOKED_IMAGE=0\r\nUNLOKED_IMAGE=0\r\n", "Tray 0", "Tray 0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.images);
    Restart(kHotKeySettings + c.images + "\r\n");
    for (const bool lock : {true, false}) {
      lock ? controller->acLockExecute() : controller->acUnlockExecute();
      ForgetCalls();
      controller->WMHookNotify(LN_STATE_CHANGED, 0);
      ASSERT_FALSE(view.shown.empty());
      EXPECT_EQ(view.shown.front(), lock ? c.locked : c.unlocked);
    }
  }
}

TEST_F(LockControllerTest, RequestsWhileTheOptionsAreOpenBringThemForwardAndOpenNoSecond) {
  // A second instance's /L already waiting when the refused first one
  // opens the dialog, handled where the controller first lets messages in,
  // and a tray click while it is open.
  const struct {
    const char* where;
    bool comingForward;  // else in the pump
    TLog shown;
  } cases[] = {
      {"in the queue's pump",
       false,
       {"Taskbar on", "Options to front", "Options", "Options to front", "Options closed",
        "Taskbar off"}},
      {"while the program comes forward",
       true,
       {"Options to front", "Taskbar on", "Options", "Options to front", "Options closed",
        "Taskbar off"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.where);
    WriteSettings(kNoWayOutSettings);
    library = TRecordingLibrary{};
    Start();
    ForgetCalls();
    const auto secondRequest = [&] { EXPECT_EQ(controller->WMHookNotify(LN_LOCK_REQUEST, 0), 3); };
    (c.comingForward ? view.whileComingForward : view.pending) = secondRequest;
    view.duringOptions = [&] { controller->TrayIconClick(false); };
    EXPECT_EQ(controller->WMHookNotify(LN_LOCK_REQUEST, 0), 3);
    EXPECT_THAT(view.shown, ElementsAreArray(c.shown));
    EXPECT_FALSE(controller->OptionsOpen());
    controller->FormDestroy();
    controller.reset();
  }
}

TEST_F(LockControllerTest, WhileTheOptionsAreOpenNoLockHotKeyAndALockKeepsItsWayOut) {
  const struct {
    const char* during;
    bool lockedBefore;
    std::function<void(TLockController&)> act;
    bool locked;
    std::int32_t unlockKey;
  } cases[] = {
      {"nothing", false, [](TLockController&) {}, false, 0},
      {"/L", false, [](TLockController& c) { c.WMHookNotify(LN_LOCK_REQUEST, 0); }, true, 49237},
      {"/L, then /U", false,
       [](TLockController& c) {
         c.WMHookNotify(LN_LOCK_REQUEST, 0);
         c.WMHookNotify(LN_UNLOCK_REQUEST, 0);
       },
       false, 49237},
      {"Lock Now", false, [](TLockController& c) { c.acLockExecute(); }, true, 49237},
      {"a cleaning lock", false, [](TLockController& c) { c.acCleanLockExecute(); }, true, 49237},
      {"no input for the idle time", false,
       [](TLockController& c) {
         for (int tick = 0; tick < 15; ++tick) c.Timer1Timer();
       },
       true, 49237},
      {"nothing, opened while locked", true, [](TLockController&) {}, true, 49237},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.during);
    Restart(kHotKeySettings + "\r\n");
    if (c.lockedBefore) controller->acLockExecute();
    std::int32_t lockKey = -1, unlockKey = -1;
    bool locked = false;
    view.duringOptions = [&] {
      c.act(*controller);
      lockKey = library.properties[PROP_KEY_LOCK];
      unlockKey = library.properties[PROP_KEY_UNLOCK];
      locked = controller->IsLocked();
    };
    controller->acOptionsExecute();
    EXPECT_EQ(lockKey, 0) << "the lock hot key is held while the dialog is open";
    EXPECT_EQ(unlockKey, c.unlockKey);
    EXPECT_EQ(locked, c.locked);
    EXPECT_EQ(view.shortcuts[TControllerAction::Lock], 49228) << "handed back at the close";
    EXPECT_EQ(library.properties[PROP_KEY_LOCK], 49228);
    EXPECT_EQ(library.properties[PROP_KEY_UNLOCK], 49237);
    EXPECT_EQ(controller->IsLocked(), c.locked) << "the lock outlives the dialog";
  }
}

TEST_F(LockControllerTest, ADialogThatCannotBeMadeLeavesNoBracketBehind) {
  WriteSettings(kHotKeySettings + "\r\n");
  Start();
  ForgetCalls();
  view.duringOptions = [] { throw std::bad_alloc(); };
  EXPECT_THROW(controller->acOptionsExecute(), std::bad_alloc);
  EXPECT_FALSE(controller->OptionsOpen());
  EXPECT_EQ(view.shown.back(), "Taskbar off");
  EXPECT_EQ(library.properties[PROP_KEY_LOCK], 49228) << "the hot keys are handed back";
  EXPECT_EQ(view.shortcuts[TControllerAction::Unlock], 49237);
  view.duringOptions = nullptr;
  controller->acOptionsExecute();
  EXPECT_EQ(CountOf(view.shown, "Options closed"), 1) << "the options open again";
  for (int tick = 0; tick < 15; ++tick) controller->Timer1Timer();
  EXPECT_TRUE(controller->IsLocked()) << "the idle lock works again";
}

TEST_F(LockControllerTest, ASettingsFileThatBecameReadableIsTakenWhenTheOptionsOpen) {
  // A folder where the file should be cannot be read, as a file held open
  // by another program cannot.
  std::filesystem::create_directory(folder / "Quellane.ini");
  Start();
  ASSERT_THAT(view.shown, Contains(::testing::StartsWith("Box 1 Cannot open file ")));
  controller->acOptionsExecute();
  EXPECT_EQ(std::count_if(view.shown.begin(), view.shown.end(),
                          [](const std::string& s) { return s.rfind("Box 2 ", 0) == 0; }),
            1)
      << "still unreadable: the save is refused";
  std::filesystem::remove(folder / "Quellane.ini");
  const std::string mine = "[Mine]\r\nkeep=1\r\n";
  WriteSettings(kHotKeySettings + "EDIT_IDLE=77\r\n\r\n" + mine);
  int idleLimit = 0;
  view.duringOptions = [&] { idleLimit = controller->IdleLock.IdleLimit; };
  ForgetCalls();
  controller->acOptionsExecute();
  EXPECT_EQ(idleLimit, 77) << "the dialog shows the file's settings";
  EXPECT_THAT(view.shown, Not(Contains(::testing::StartsWith("Box "))));
  const std::string saved = ReadSettings();
  EXPECT_NE(saved.find("EDIT_IDLE=77\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find(mine), std::string::npos) << "saved over the file it read, keeping it";
  EXPECT_EQ(library.properties[PROP_KEY_LOCK], 49228);
}

// The system dropped the hooks behind the program's back: their handles
// stay in the record, but input goes on that they never see. Each step is
// one look of the watch, with the clock of input it finds.
TEST_F(LockControllerTest, HooksTheSystemDroppedAreInstalledAgainWhileTheLockHolds) {
  WriteSettings(kHotKeySettings);
  library.tick = 5000;
  Start();
  controller->acLockExecute();
  controller->WMHookNotify(LN_STATE_CHANGED, 0);
  ASSERT_TRUE(controller->IsLocked());
  const struct Step {
    const char* what;
    std::uint32_t seen;  // the hooks' last call; 0: as the record has it
    TInputClock clock;
    bool reinstalled;
  } steps[] = {
      {"no input since the hooks were made", 0, {6000, 4900}, false},
      {"input the hooks saw", 6500, {7000, 6500}, false},
      {"input counted a moment before the hook's call", 0, {8000, 7990}, false},
      {"...seen at the next look", 7995, {8250, 7995}, false},
      {"the hooks dropped: input unseen", 0, {9000, 8900}, false},
      {"...and still unseen at the next look", 0, {9250, 9200}, true},
      {"the new hooks see the input", 9600, {10000, 9600}, false},
  };
  int reinstalls = 0;
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    if (step.seen) library.sight->keyboardSeen = step.seen;
    system.clock = step.clock;
    library.tick = step.clock.now;
    ForgetCalls();
    controller->TimerHookLookTimer();
    if (step.reinstalled) {
      ++reinstalls;
      EXPECT_THAT(library.calls, ElementsAreArray({"UnSetShellHook", "SetShellHook"}));
      EXPECT_EQ(library.properties[PROP_LOCKED], 1) << "the lock flag stays";
      EXPECT_EQ(library.properties[PROP_KEY_UNLOCK], 49237) << "and so do the options";
      // Both calls posted LN_STATE_CHANGED: the lock is the same, so no
      // notice, and the tray keeps the padlock.
      controller->WMHookNotify(LN_STATE_CHANGED, 0);
      controller->WMHookNotify(LN_STATE_CHANGED, 0);
      EXPECT_THAT(view.shown, ElementsAreArray({"Tray 2", "Tray 2"}));
    } else {
      EXPECT_THAT(library.calls, Not(Contains("SetShellHook")));
    }
    EXPECT_EQ(controller->HookReinstalls(), reinstalls);
  }
  // A state change of its own after those is heard again.
  ForgetCalls();
  controller->acUnlockExecute();
  controller->WMHookNotify(LN_STATE_CHANGED, 0);
  EXPECT_THAT(view.shown, Contains("Notice Computer is UnLocked: You may continue to work."));
}

TEST_F(LockControllerTest, AHandleGoneOrHooksThatCannotComeBackAreTriedOnceASecondAndSaidOnce) {
  WriteSettings(kHotKeySettings);
  library.tick = 5000;
  Start();
  controller->acLockExecute();
  controller->WMHookNotify(LN_STATE_CHANGED, 0);
  library.sight->lowLevelMouseHook = 0;  // a handle gone from the record
  library.installFails = true;
  const std::string failure =
      "Notice Quellane: The keyboard and mouse hooks could not be installed again.";
  TLog shown;
  for (std::uint32_t now : {6000u, 6400u, 7000u, 8000u}) {
    system.clock = {now, 4000};
    ForgetCalls();
    controller->TimerHookLookTimer();
    const bool tried = CountOf(library.calls, "SetShellHook") == 1;
    EXPECT_EQ(tried, now != 6400) << "at most once a second, at " << now;
    shown.insert(shown.end(), view.shown.begin(), view.shown.end());
  }
  EXPECT_THAT(shown, ElementsAreArray({failure})) << "one notice, not one a second";
  EXPECT_EQ(library.properties[PROP_LOCKED], 1) << "locked as it was";
  EXPECT_EQ(controller->HookReinstalls(), 3);

  library.installFails = false;
  system.clock = {9000, 4000};
  ForgetCalls();
  controller->TimerHookLookTimer();
  EXPECT_TRUE(controller->IsLocked()) << "the lock holds again";
  library.sight->keyboardHook = 0;
  library.installFails = true;
  system.clock = {10000, 4000};
  ForgetCalls();
  controller->TimerHookLookTimer();
  EXPECT_THAT(view.shown, ElementsAreArray({failure})) << "a new failure after a success is said";
}

TEST_F(LockControllerTest, ResumeAndASessionBackInstallTheHooksAgainAndExitStopsTheWatch) {
  WriteSettings(kHotKeySettings);
  Start();
  EXPECT_THAT(system.sessionWatch, ElementsAreArray({kMainWindow}));
  system.clock = {20000, 4000};
  ForgetCalls();
  controller->HooksMayBeGone();
  EXPECT_THAT(library.calls, ElementsAreArray({"UnSetShellHook", "SetShellHook"}));
  system.clock = {20500, 4000};
  ForgetCalls();
  controller->HooksMayBeGone();
  EXPECT_THAT(library.calls, ElementsAreArray(TLog{})) << "at most once a second";
  system.clock = {21000, 4000};
  controller->HooksMayBeGone();
  EXPECT_EQ(controller->HookReinstalls(), 2);

  controller->acExitExecute();
  EXPECT_THAT(system.sessionWatch, ElementsAreArray({kMainWindow, TWindowId{0}}));
  ForgetCalls();
  controller->HooksMayBeGone();
  controller->TimerHookLookTimer();
  EXPECT_THAT(library.calls, ElementsAreArray(TLog{})) << "nothing hooks after Exit";

  controller->FormDestroy();
  library = TRecordingLibrary{};
  system.sessionWatch.clear();
  Start(false, {"/L"});
  controller->HooksMayBeGone();
  EXPECT_THAT(system.sessionWatch, ElementsAreArray(std::vector<TWindowId>{}))
      << "a second instance watches nothing";
  EXPECT_THAT(library.calls, Not(Contains("SetShellHook")));
}

// The entries of the view's log that begin with `kind`, in order.
TLog EntriesOf(const TLog& shown, const std::string& kind) {
  TLog entries;
  std::copy_if(shown.begin(), shown.end(), std::back_inserter(entries),
               [&](const std::string& s) { return s.rfind(kind, 0) == 0; });
  return entries;
}
TLog ShieldsOf(const TLog& shown) { return EntriesOf(shown, "Shield "); }

TEST_F(LockControllerTest, TheShieldCoversTheScreensWhileTheButtonsAreLockedUntilEveryUnlock) {
  // Ctrl+Alt+U unlocks; the mouse buttons as the case says.
  const auto settings = [](const char* buttons) {
    return std::string("[Config.Lock All]\r\nLOCK_KEYBOARD=1\r\nLOCK_MOUSE_BTN=") + buttons +
           "\r\nKEY_LOCK=49228\r\nKEY_UNLOCK=49237\r\n\r\n";
  };
  using TAct = std::function<void()>;
  const TAct lock = [this] { controller->acLockExecute(); };
  const TAct clean = [this] { controller->acCleanLockExecute(); };
  const TAct byMenu = [this] { controller->acUnlockExecute(); };
  const TAct byHotKey = [this] { library.properties[PROP_LOCKED] = 0; };
  const TAct bySecondCopy = [this] { controller->WMHookNotify(LN_UNLOCK_REQUEST, 0); };
  const TAct byPassword = [this] { controller->PasswordMatched(system.watch->Generation()); };
  const TAct byItself = [this] {
    system.now += 31'000;
    controller->TimerTimedLockTimer();
  };
  const struct {
    const char* name;
    const char* buttons;
    bool darken;
    TAct lock, unlock;
    const char* shield;  // while locked; nullptr for none
  } cases[] = {
      {"buttons free: none", "0", false, lock, byMenu, nullptr},
      {"buttons free, darkening on: none", "0", true, lock, byMenu, nullptr},
      {"buttons locked, by the menu", "1", false, lock, byMenu, "Shield clear"},
      {"by the hot key", "1", false, lock, byHotKey, "Shield clear"},
      {"darkening is for cleaning only", "1", true, lock, bySecondCopy, "Shield clear"},
      {"cleaning locks the buttons", "0", false, clean, byItself, "Shield clear"},
      {"cleaning, darkened, ends by itself", "0", true, clean, byItself, "Shield black"},
      {"by the hot key", "0", true, clean, byHotKey, "Shield black"},
      {"by /U", "1", true, clean, bySecondCopy, "Shield black"},
      {"by the password", "1", true, clean, byPassword, "Shield black"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Restart(settings(c.buttons));
    controller->LockIniFile->More.DarkenWhileCleaning = c.darken;
    controller->LockIniFile->More.Password = "stored";
    view.duringOptions = nullptr;
    controller->acOptionsExecute();  // starts the password watcher
    controller->LockIniFile->More.DarkenWhileCleaning = c.darken;
    ForgetCalls();
    c.lock();
    controller->WMHookNotify(LN_STATE_CHANGED, 0);
    ASSERT_TRUE(controller->IsLocked());
    EXPECT_THAT(ShieldsOf(view.shown), ElementsAreArray(c.shield ? TLog{c.shield} : TLog{}));
    if (c.shield) {
      const auto at = std::find(view.shown.begin(), view.shown.end(), c.shield);
      EXPECT_NE(std::find_if(at, view.shown.end(),
                             [](const std::string& s) { return s.rfind("Notice ", 0) == 0; }),
                view.shown.end())
          << "the notice comes after the shield, above it";
    }
    // A blocked click shows the notice again and leaves the shield alone.
    ForgetCalls();
    controller->WMHookNotify(LN_INPUT_BLOCKED, 0);
    EXPECT_THAT(ShieldsOf(view.shown), ElementsAreArray(TLog{}));
    c.unlock();
    controller->WMHookNotify(LN_STATE_CHANGED, 0);
    controller->TimerTimedLockTimer();
    ASSERT_FALSE(controller->IsLocked());
    EXPECT_THAT(ShieldsOf(view.shown), ElementsAreArray(c.shield ? TLog{"Shield off"} : TLog{}));
    // The next lock by hot key has the settings' own look again.
    ForgetCalls();
    lock();
    controller->WMHookNotify(LN_STATE_CHANGED, 0);
    EXPECT_THAT(ShieldsOf(view.shown),
                ElementsAreArray(c.buttons[0] == '1' ? TLog{"Shield clear"} : TLog{}));
    byMenu();
    controller->WMHookNotify(LN_STATE_CHANGED, 0);
  }
}

TEST_F(LockControllerTest, TheShieldGoesAtExitAndOneThatCannotBeMadeStopsNoLock) {
  WriteSettings(
      "[Config.Lock All]\r\nLOCK_KEYBOARD=1\r\nLOCK_MOUSE_BTN=1\r\nKEY_UNLOCK=49237\r\n\r\n");
  Start();
  controller->acLockExecute();
  controller->WMHookNotify(LN_STATE_CHANGED, 0);
  ForgetCalls();
  controller->acExitExecute();
  EXPECT_THAT(ShieldsOf(view.shown), ElementsAreArray({"Shield off"}))
      << "the unlock's notification is never handled after Exit";
  controller->FormDestroy();

  Restart("[Config.Lock All]\r\nLOCK_KEYBOARD=1\r\nLOCK_MOUSE_BTN=1\r\nKEY_UNLOCK=49237\r\n\r\n");
  view.shieldFails = true;
  for (const bool lock : {true, false, true}) {
    SCOPED_TRACE(lock);
    ForgetCalls();
    lock ? controller->acLockExecute() : controller->acUnlockExecute();
    controller->WMHookNotify(LN_STATE_CHANGED, 0);
    EXPECT_EQ(controller->IsLocked(), lock);
    ASSERT_FALSE(view.shown.empty());
    EXPECT_EQ(view.shown.back(),
              lock ? "Notice Computer is Locked: Enter Hot Key or password to Unlock"
                   : "Notice Computer is UnLocked: You may continue to work.");
  }
  view.shieldFails = false;
  ForgetCalls();
  controller->WMHookNotify(LN_STATE_CHANGED, 0);
  EXPECT_THAT(ShieldsOf(view.shown), ElementsAreArray({"Shield clear"})) << "tried again";
}

TEST_F(LockControllerTest, AnAdministratorsWindowInFrontIsNamedInTheLockNoticeOnly) {
  WriteSettings(kHotKeySettings + "\r\n");
  Start();
  const std::string adminLine =
      "Notice Computer is Locked: An administrator's window is in front: its keys are not locked.";
  const std::string usual = "Notice Computer is Locked: Enter Hot Key or password to Unlock";
  const struct {
    bool elevated;
    std::string atLock;
  } cases[] = {{true, adminLine}, {false, usual}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.elevated);
    system.elevatedInFront = c.elevated;
    controller->acLockExecute();
    ForgetCalls();
    controller->WMHookNotify(LN_STATE_CHANGED, 0);
    EXPECT_THAT(view.shown, ElementsAreArray(TLog{"Tray 2", c.atLock}));
    ForgetCalls();
    controller->WMHookNotify(LN_INPUT_BLOCKED, 0x41);
    EXPECT_THAT(view.shown, ElementsAreArray(TLog{usual})) << "a blocked key says how to unlock";
    controller->acUnlockExecute();
    ForgetCalls();
    controller->WMHookNotify(LN_STATE_CHANGED, 0);
    EXPECT_THAT(
        view.shown,
        ElementsAreArray({"Tray 3", "Notice Computer is UnLocked: You may continue to work."}));
  }
}

// The media and volume keys pass every lock while the switch is on, but
// never a cleaning lock; the library gets it with the settings.
TEST_F(LockControllerTest, MediaKeysPassEveryLockButACleaningOne) {
  for (const bool on : {false, true}) {
    SCOPED_TRACE(on);
    Restart(kHotKeySettings + (on ? "[Config.More]\r\nMEDIA_KEYS_THROUGH=1\r\n" : ""));
    EXPECT_EQ(library.passMediaKeys, on) << "handed over at the start, for the hot key";
    controller->acCleanLockExecute();
    ASSERT_TRUE(controller->IsLocked());
    EXPECT_FALSE(library.passMediaKeys) << "a wipe changes nothing";
    controller->acUnlockExecute();
    controller->WMHookNotify(LN_STATE_CHANGED, 0);
    EXPECT_EQ(library.passMediaKeys, on) << "the next lock has them back";
    controller->acLockExecute();
    EXPECT_EQ(library.passMediaKeys, on);
  }
}

// The unlock notice says what the lock stopped, once: a notice at the
// options' close tells nothing again.
TEST_F(LockControllerTest, TheUnlockNoticeSaysWhatTheLockStoppedOnce) {
  WriteSettings(kHotKeySettings);
  Start();
  controller->acLockExecute();
  controller->WMHookNotify(LN_STATE_CHANGED, 0);
  library.stopped = {5, 2};
  library.properties[PROP_LOCKED] = 0;  // the unlock hot key, in the library
  ForgetCalls();
  controller->WMHookNotify(LN_STATE_CHANGED, 0);
  controller->acOptionsExecute();
  controller->WMHookNotify(LN_STATE_CHANGED, 0);
  EXPECT_THAT(
      EntriesOf(view.shown, "Notice "),
      ElementsAreArray({"Notice Computer is UnLocked: Stopped while locked: 5 keys, 2 clicks.",
                        "Notice Computer is UnLocked: You may continue to work."}));
}

// Paws lock as the lock hot key would, while the guard is on and nothing
// is locked or open; the lock's notices say why.
TEST_F(LockControllerTest, PawsLockAsTheHotKeyWouldAndOnlyWhileArmed) {
  WriteSettings(kHotKeySettings + "[Config.More]\r\nPAW_GUARD=1\r\n");
  Start();
  EXPECT_THAT(system.sent, ElementsAreArray({"Paw watch 100", "Paws armed", "Post 100 -1"}));
  ForgetCalls();
  controller->PawsOnKeyboard();
  EXPECT_THAT(library.calls, ElementsAreArray({"SetProperties 0 1"}));
  controller->WMHookNotify(LN_STATE_CHANGED, 0);
  controller->WMHookNotify(LN_INPUT_BLOCKED, 0x41);
  controller->PawsOnKeyboard();  // posted before the disarming
  controller->acUnlockExecute();
  controller->WMHookNotify(LN_STATE_CHANGED, 0);
  controller->acLockExecute();
  controller->WMHookNotify(LN_STATE_CHANGED, 0);
  EXPECT_THAT(system.sent, ElementsAreArray({"Paws disarmed", "Paws armed", "Paws disarmed"}));
  EXPECT_EQ(CountOf(view.shown, "Notice Computer is Locked: Paws on the keyboard."), 2)
      << "the lock's notice and a blocked key's";
  EXPECT_EQ(view.shown.back(), "Notice Computer is Locked: Enter Hot Key or password to Unlock")
      << "a lock of the menu's is no paws'";
  controller->acUnlockExecute();
  controller->WMHookNotify(LN_STATE_CHANGED, 0);

  // While the options are open, and with no way out of a lock, paws do
  // nothing: no lock, no dialog.
  view.duringOptions = [&] { controller->PawsOnKeyboard(); };
  ForgetCalls();
  controller->acOptionsExecute();
  EXPECT_EQ(CountOf(library.calls, "SetProperties 0 1"), 0);
  EXPECT_THAT(system.sent, ElementsAreArray({"Paws disarmed", "Paws armed"}));
  view.duringOptions = nullptr;
  system.sent.clear();
  controller->HooksMayBeGone();  // resume: the paw watch is made anew with the hooks
  EXPECT_THAT(system.sent, ElementsAreArray({"Paw watch 100", "Paws armed"}));
  Restart(std::string(kNoWayOutSettings) + "[Config.More]\r\nPAW_GUARD=1\r\n");
  ForgetCalls();
  controller->PawsOnKeyboard();
  EXPECT_FALSE(controller->IsLocked());
  EXPECT_THAT(view.shown, ElementsAreArray<std::string>({})) << "a refusal says nothing";
  controller->FormClose();
  EXPECT_EQ(system.sent.front(), "Paws disarmed");
}

}  // namespace
}  // namespace quell::app
