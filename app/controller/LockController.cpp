#include "LockController.h"

#include <utility>

#include "CommandLine.h"
#include "HookDll/HookProtocol.h"
#include "base/ScopeExit.h"
#include "rules/OptionsRules.h"

namespace quell::app {

using rules::HotKeyOfSlot;

namespace {

constexpr unsigned kNoticeMs = 5000;
constexpr std::string_view kHooksNotReinstalledText =
    "The keyboard and mouse hooks could not be installed again.";
constexpr unsigned kPasswordDamagedNoticeMs = 10000;

// Task Manager's window titles, newest first.
constexpr const char* kTaskManagerTitles[] = {"Task Manager", "Windows Task Manager"};

}  // namespace

TLockController::TLockController(TLockLibrary& library, TControllerSystem& system,
                                 bool isFirstInstance)
    : IsFirstInstance(isFirstInstance), FLibrary(library), FSystem(system) {}

TLockController::~TLockController() = default;

std::string TLockController::ExecutableFolder() {
  return std::string(FolderOf(FSystem.ExecutablePath()));
}

// --- start-up and shut-down ---

void TLockController::FormCreate(const std::vector<std::string>& args) {
  const std::string exePath = FSystem.ExecutablePath();
  std::unique_ptr<settings::TLockIniFile> file;
  try {
    file = std::make_unique<settings::TLockIniFile>(exePath);
  } catch (const settings::TIniFileOpenError& error) {
    // An unreadable settings file is reported and the program goes on
    // with the defaults: not as a first run, and without ever saving over
    // the file it could not read (until the options find it readable).
    // Not to a script that asked a second instance for the state.
    if (IsFirstInstance || !AsksState(ParseSwitches(args)))
      FView->ShowBox(TControllerBox::SettingsUnread, error.what(),
                     std::string(settings::SaveErrorCaption));
    file = std::make_unique<settings::TLockIniFile>(exePath, settings::TLockIniFile::TUnread{});
  }
  TakeSettingsFile(std::move(file));

  ProcessCommandLine(args);
  if (!IsFirstInstance) return;

  FView->ShowTray();
  FTrayShown = true;
  TakeControllerSettings();
  ApplyMoreSettings(false);
  SetTrayImage(false);
  ApplySettings();
  FView->SetTaskbarButton(false);
  FSystem.WatchSession(FView->Window());
  FSessionWatched = true;
  FollowPawGuard();
  FSystem.PostNotify(FView->Window(), LN_ACTIVATE);
}

void TLockController::TakeSettingsFile(std::unique_ptr<settings::TLockIniFile> file) {
  file->OnSaveError = [this](const std::string& text, const std::string& caption) {
    if (FView) FView->ShowBox(TControllerBox::SaveError, text, caption);
  };
  file->Load();
  // A hot key that cannot be typed is no hot key, in the menu, in the
  // options and in the library alike.
  for (int slot : {settings::SLOT_KEY_LOCK, settings::SLOT_KEY_UNLOCK}) {
    std::int32_t& value = file->Settings->Values[slot];
    value = HotKeyOfSlot(value);
  }
  LockIniFile = std::move(file);
}

void TLockController::TakeControllerSettings() {
  const settings::TSettingValues& values = LockIniFile->Settings->Values;
  MinimizeOnLock = values[settings::SLOT_CHECK_MINI] != 0;
  IdleLock.IdleLockEnabled = values[settings::SLOT_CHECK_IDLE] != 0;
  IdleLock.IdleLimit = values[settings::SLOT_EDIT_IDLE];
}

void TLockController::RereadUnreadSettings() {
  if (!LockIniFile->Unread) return;
  std::unique_ptr<settings::TLockIniFile> file;
  try {
    file = std::make_unique<settings::TLockIniFile>(FSystem.ExecutablePath());
  } catch (const settings::TIniFileOpenError&) {
    return;  // still unreadable: the defaults stay, and nothing is saved over it
  }
  // Readable now (it was only held for a moment): its settings are the
  // dialog's, and saves work again.
  TakeSettingsFile(std::move(file));
  TakeControllerSettings();
}

void TLockController::ProcessCommandLine(const std::vector<std::string>& args) {
  for (TSwitch s : ParseSwitches(args)) {
    switch (s) {
      case TSwitch::Lock: acLockExecute(); break;
      case TSwitch::Unlock: acUnlockExecute(); break;
      case TSwitch::Help:
        FView->ShowBox(TControllerBox::CommandLineHelp,
                       CommandLineHelpText(FileNameOf(FSystem.ExecutablePath())),
                       CommandLineHelpCaption);
        break;
      case TSwitch::CleanLock: acCleanLockExecute(); break;
      case TSwitch::State:
        // Only a second instance gets here: WinMain ends a first one that
        // is asked for the state. A script waits for no box.
        if (!IsFirstInstance) FExitCode = BindHookLibrary(false) ? StateExitCode() : kStateUnknown;
        break;
    }
  }
  if (IsFirstInstance) return;
  if (args.empty() && BindHookLibrary(true)) {
    FSystem.PostNotify(FLibrary.GetNotifyWnd(), LN_ACTIVATE);
  }
  FView->PostCloseMainForm();
}

void TLockController::FormClose() {
  // From here on nothing binds or hooks again: the rest of a command that
  // was running when Exit came (the options dialog's) must not undo this.
  FClosed = true;
  FollowPawGuard();
  FPawWatch.reset();
  if (FSessionWatched) FSystem.WatchSession(0);
  FSessionWatched = false;
  if (!FLibrary.Bound()) return;
  if (IsFirstInstance) {
    SetLocked(false);
    // The unlock's notification is never handled now: the shield goes here.
    FollowShield(false);
    FLibrary.UnSetShellHook();
    FLibrary.StartLog(nullptr);
  }
  FLibrary.Unbind();
}

void TLockController::FormDestroy() {
  FPasswordWatch.reset();
  LockIniFile.reset();
  FTrayShown = false;
}

void TLockController::WMEndSession(bool ending) {
  // The whole Exit teardown runs now.
  if (ending) FView->CloseMainForm();
}

void TLockController::acExitExecute() { FView->CloseMainForm(); }

// --- the hook library ---

bool TLockController::BindHookLibrary(bool showErrors) {
  if (FLibrary.Bound()) return true;
  if (FClosed) return false;
  std::string error;
  // Only the first instance takes the library's notifications.
  if (FLibrary.Bind(ExecutableFolder(), IsFirstInstance ? FView->Window() : 0, &error)) return true;
  if (showErrors) FView->ShowBox(TControllerBox::BindingError, error, "");
  return false;
}

void TLockController::ApplySettings() { HandOverSettings(IsLocked()); }

TLibraryHotKeys TLockController::HotKeys(bool lockInForce) const {
  const settings::TSettingValues& values = LockIniFile->Settings->Values;
  return LibraryHotKeys(HotKeyOfSlot(values[settings::SLOT_KEY_LOCK]),
                        HotKeyOfSlot(values[settings::SLOT_KEY_UNLOCK]), FHotKeysHeld, lockInForce);
}

void TLockController::HandOverSettings(bool lockInForce) {
  const settings::TSettingValues& values = LockIniFile->Settings->Values;
  const TLibraryHotKeys keys = HotKeys(lockInForce);
  if (BindHookLibrary(true) && IsFirstInstance) {
    // Index 15 is passed too; the library stores 0..14 and refuses it.
    for (int index = 1; index <= settings::SettingSlotCount; ++index) {
      const bool lockedByCleaning = FCleaningLock && index >= settings::SLOT_LOCK_KEYBOARD &&
                                    index <= settings::SLOT_LOCK_MOUSE_WHEEL;
      FLibrary.SetProperties(index, lockedByCleaning                     ? 1
                                    : index == settings::SLOT_KEY_LOCK   ? keys.lock
                                    : index == settings::SLOT_KEY_UNLOCK ? keys.unlock
                                                                         : values[index]);
    }
    // A cleaning lock stops every key: a wipe must change nothing.
    FLibrary.SetPassMediaKeys(LockIniFile->More.MediaKeysThrough && !FCleaningLock);
    FLibrary.SetShellHook();
  }
  FView->SetActionShortCut(TControllerAction::Lock, keys.lock);
  FView->SetActionShortCut(TControllerAction::Unlock, keys.unlock);
  FLockedImage = values[settings::SLOT_LOCKED_IMAGE];
  FUnlockedImage = values[settings::SLOT_UNLOCKED_IMAGE];
  FView->SetActionImage(TControllerAction::Lock, FLockedImage);
  FView->SetActionImage(TControllerAction::Unlock, FUnlockedImage);
}

bool TLockController::IsLocked() { return FLibrary.Bound() && FLibrary.GetIsLocked() != 0; }

int TLockController::StateExitCode() {
  // No window in this library's record: the running copy serves another
  // file of the library (it runs from another folder) or none, and this
  // record's flag is not its lock.
  if (FLibrary.GetNotifyWnd() == 0) return kStateUnknown;
  return IsLocked() ? kStateLocked : kStateUnlocked;
}

// --- lock and unlock ---

void TLockController::acLockExecute() { SetLocked(true); }
void TLockController::acUnlockExecute() { SetLocked(false); }

void TLockController::acLockUpdate() {
  FView->SetActionEnabled(TControllerAction::Lock, !IsLocked());
}
void TLockController::acUnlockUpdate() {
  FView->SetActionEnabled(TControllerAction::Unlock, IsLocked());
}
void TLockController::acCleanLockUpdate() {
  FView->SetActionEnabled(TControllerAction::CleanLock, !IsLocked());
}

void TLockController::ExecuteLockAction() {
  const bool enabled = !IsLocked();
  FView->SetActionEnabled(TControllerAction::Lock, enabled);
  if (enabled) acLockExecute();
}

void TLockController::SetLocked(bool lock) {
  if (!BindHookLibrary(true)) return;
  if (!IsFirstInstance) {
    FSystem.SendNotify(FLibrary.GetNotifyWnd(), lock ? LN_LOCK_REQUEST : LN_UNLOCK_REQUEST);
    return;
  }
  // The unlock hot key is handed over before the flag that needs it.
  HandOverSettings(lock || IsLocked());
  // A refusal means the options would lock keyboard and mouse with no way
  // out: let the user complete them.
  if (FLibrary.SetProperties(PROP_LOCKED, lock ? 1 : 0) == 0) acOptionsExecute();
}

void TLockController::UpdateLockState() {
  if (!BindHookLibrary(false)) return;
  acUnlockUpdate();
  acLockUpdate();
  const bool locked = FLibrary.GetIsLocked() != 0;
  // Hooks installed again change nothing the user needs to hear of.
  const bool quiet = FQuietStateChanges > 0 && locked == FLockFollowed;
  if (FQuietStateChanges > 0) --FQuietStateChanges;
  FollowLockState(locked);
  SetTrayImage(locked);
  // The shield before the notice, which rises above it.
  FollowShield(locked);
  if (quiet) return;
  if (!locked) {
    const std::optional<TStoppedInput> stopped = FLibrary.TakeStoppedInput();
    ShowNotice(TNotice::Unlocked, stopped ? StoppedInputLine(stopped->keys, stopped->clicks) : "");
  } else {
    ShowNotice(!FPawLock && FSystem.ForegroundIsElevated() ? TNotice::LockedAdminInFront
                                                           : TNotice::Locked);
  }
}

void TLockController::FollowShield(bool locked) noexcept {
  if (!LockIniFile || !FView) return;
  const settings::TSettingValues& values = LockIniFile->Settings->Values;
  const std::optional<TShieldLook> look =
      ShieldFor(locked, FCleaningLock || values[settings::SLOT_LOCK_MOUSE_BTN] != 0, FCleaningLock,
                LockIniFile->More.DarkenWhileCleaning);
  const std::optional<TShieldLook> before = std::exchange(FShield, look);
  try {
    if (look) {
      // Shown again at every state change: it rises back to the top.
      FView->ShowInputShield(*look);
    } else if (before) {
      FView->HideInputShield();
    }
  } catch (...) {
    // The lock holds without it: the mouse hook still stops what it sees.
  }
}

void TLockController::SetTrayImage(bool locked) {
  if (!FTrayShown) return;
  FView->SetTrayImage(
      TrayPictureOf(locked ? FLockedImage : FUnlockedImage, FView->ImageCount(), locked));
}

void TLockController::ShowNotice(TNotice kind, const std::string& line) {
  if (!FTrayShown) return;
  switch (kind) {
    case TNotice::Running: FView->ShowNotice("Quellane", "Program is running", kNoticeMs); break;
    case TNotice::Locked:
      if (FTimedLock.Cleaning()) {
        const int left = FTimedLock.CleaningSecondsLeft(FSystem.NowMs());
        FView->ShowNotice(
            "Computer is Locked",
            "Cleaning: unlocks in " + std::to_string(left) + (left == 1 ? " second" : " seconds"),
            kNoticeMs);
        break;
      }
      FView->ShowNotice("Computer is Locked",
                        FPawLock ? "Paws on the keyboard." : "Enter Hot Key or password to Unlock",
                        kNoticeMs);
      break;
    case TNotice::LockedAdminInFront:
      FView->ShowNotice("Computer is Locked",
                        "An administrator's window is in front: its keys are not locked.",
                        kNoticeMs);
      break;
    case TNotice::Unlocked:
      FView->ShowNotice("Computer is UnLocked", line.empty() ? "You may continue to work." : line,
                        kNoticeMs);
      break;
  }
}

void TLockController::MinimizeAllWindows() { FView->MinimizeAllWindows(); }

void TLockController::TrayIconClick(bool rightButton) {
  // A right click is the tray icon's own: it opens the menu.
  if (!rightButton) acOptionsExecute();
}

void TLockController::TrayIconDblClick() {
  if (MinimizeOnLock) MinimizeAllWindows();
  ExecuteLockAction();
}

// --- notifications and timers ---

std::optional<long> TLockController::WMHookNotify(std::intptr_t code, std::uintptr_t wParam) {
  const TNotifyDecision decision = DecideNotify(code);
  // A blocked key may be the last of the unlock password.
  if (decision.action == TNotifyAction::ShowLockedNotice && FPasswordWatch &&
      FPasswordWatch->HasPassword() && IsLocked()) {
    FPasswordWatch->Feed(static_cast<std::uint32_t>(wParam));
  }
  switch (decision.action) {
    case TNotifyAction::Activate: ActivateInstance(); break;
    case TNotifyAction::UpdateLockState: UpdateLockState(); break;
    case TNotifyAction::ShowLockedNotice: ShowNotice(TNotice::Locked); break;
    case TNotifyAction::Lock: acLockExecute(); break;
    case TNotifyAction::Unlock: acUnlockExecute(); break;
    case TNotifyAction::CleanLock: acCleanLockExecute(); break;
    case TNotifyAction::CloseTaskManager: CloseTaskManager(); break;
    case TNotifyAction::ResetIdle: IdleLock.Activity(); break;
    case TNotifyAction::Reply:
    case TNotifyAction::None: break;
  }
  if (!decision.replies) return std::nullopt;
  return decision.reply;
}

void TLockController::ActivateInstance() {
  if (LockIniFile->More.PasswordDamaged) {
    ShowPasswordDamagedNotice();
    if (!LockIniFile->IsNew) return;
  }
  if (LockIniFile->IsNew) {
    acOptionsExecute();
  } else {
    ShowNotice(TNotice::Running);
  }
}

void TLockController::CloseTaskManager() {
  TWindowId window = 0;
  for (const char* title : kTaskManagerTitles) {
    if ((window = FSystem.FindWindowByTitle(title)) != 0) break;
  }
  switch (FTaskManagerCloser.Look(IsLocked(), window != 0)) {
    case TTaskManagerCloser::Step::Close:
      FSystem.PostCloseWindow(window);
      FView->SetTimer(TControllerTimer::TaskMgrHide, false);
      break;
    case TTaskManagerCloser::Step::KeepLooking:
      FView->SetTimer(TControllerTimer::TaskMgrHide, true);
      break;
    case TTaskManagerCloser::Step::Stop:
      FView->SetTimer(TControllerTimer::TaskMgrHide, false);
      break;
  }
}

void TLockController::TimerTaskMgrHideTimer() { CloseTaskManager(); }

void TLockController::Timer1Timer() {
  const rules::TIdleConditions now{IsLocked(), FLibrary.Bound() && !FClosed};
  if (IdleLock.Tick(now) != rules::TIdleStep::Lock) return;
  // A refused lock opens the options dialog and a failed one an error box,
  // both modal: the ticks that fire meanwhile find the attempt running.
  IdleLock.BeginAttempt();
  try {
    if (MinimizeOnLock) MinimizeAllWindows();
    ExecuteLockAction();
  } catch (...) {
    IdleLock.EndAttempt(IsLocked());
    throw;
  }
  IdleLock.EndAttempt(IsLocked());
}

// --- the hooks' watch ---

bool TLockController::HooksExpected() const {
  return IsFirstInstance && FLibrary.Bound() && !FClosed;
}

void TLockController::TimerHookLookTimer() {
  if (!HooksExpected()) return;
  FollowHookVerdict(FHookWatch.Look(FLibrary.HookSight(), FSystem.InputClock()));
}

void TLockController::HooksMayBeGone() {
  if (!HooksExpected()) return;
  FollowHookVerdict(FHookWatch.Suspect(FSystem.InputClock()));
}

void TLockController::FollowHookVerdict(THookVerdict verdict) {
  switch (verdict) {
    case THookVerdict::Sound:
    case THookVerdict::LookAgain: break;  // the next look judges
    case THookVerdict::Reinstall: ReinstallHooks(); break;
  }
}

void TLockController::ReinstallHooks() {
  // Removing hooks the system dropped fails, but their handles are cleared
  // all the same, so that SetShellHook installs new ones. The lock flag and
  // the options stay as they are: a lock in force holds again at once.
  const int removed = FLibrary.UnSetShellHook();
  const int installed = FLibrary.SetShellHook();
  FHookWatch.Reinstalled(FSystem.InputClock().now);
  // Each call that succeeded posted LN_STATE_CHANGED.
  FQuietStateChanges += (removed != 0) + (installed != 0);
  // What dropped the library's hooks may have dropped the paw watch's.
  if (FPawWatch) {
    FPawWatch.reset();
    FPawsArmed = false;
    FollowPawGuard();
  }
  if (installed) {
    FReinstallFailed = false;
    return;
  }
  // Tried again at every look; said once.
  if (FReinstallFailed) return;
  FReinstallFailed = true;
  if (FTrayShown) FView->ShowNotice("Quellane", std::string(kHooksNotReinstalledText), kNoticeMs);
}

// --- the options command ---

void TLockController::acOptionsExecute() {
  if (FOptionsOpen) {
    // One dialog: a second request brings it to the front.
    FView->BringOptionsToFront();
    return;
  }
  // Open from here on: a request already waiting, handled when the queue
  // is pumped below, by the dialog's loop or while the program comes to the
  // front (that waits on other threads), finds the dialog open.
  FOptionsOpen = true;
  FHotKeysHeld = true;
  FollowPawGuard();
  // Whatever fails on the way (a window or timer that cannot be made,
  // memory), the bracket is undone: the options can open again, the idle
  // lock and the hot keys work and the taskbar button goes.
  base::TScopeExit undo{[this] { UndoOptionsBracket(); }};
  FView->BringProgramToFront();
  // A taskbar button while the dialog is open.
  FView->SetTaskbarButton(true);
  FView->ProcessMessages();
  RereadUnreadSettings();
  // Keys typed into the dialog's hot-key boxes must neither lock nor unlock
  // (but a lock in force keeps its way out).
  const TLibraryHotKeys keys = HotKeys(IsLocked());
  if (FLibrary.Bound()) {
    FLibrary.SetProperties(PROP_KEY_LOCK, keys.lock);
    FLibrary.SetProperties(PROP_KEY_UNLOCK, keys.unlock);
  }
  FView->SetActionShortCut(TControllerAction::Lock, keys.lock);
  FView->SetActionShortCut(TControllerAction::Unlock, keys.unlock);
  // The dialog shows start with Windows on while the Run entry names this
  // program, whoever wrote it (the installer may have).
  settings::TMoreSettings& more = LockIniFile->More;
  if (RunEntryNames(FSystem.RunEntries().Read(), FSystem.ExecutablePath()))
    more.StartWithWindows = true;
  const bool startWithWindowsBefore = more.StartWithWindows;
  FView->RunOptionsDialog();
  FHotKeysHeld = false;
  ApplyMoreSettings(startWithWindowsBefore);
  if (FClosed) {
    // Exit (or the end of the session) came while the dialog was open: the
    // lock is already undone and the library unloaded; only the settings
    // are kept.
    LockIniFile->Save();
    undo.Dismiss();
    FOptionsOpen = false;
    return;
  }
  ApplySettings();
  if (BindHookLibrary(false)) SetLocked(FLibrary.GetIsLocked() != 0);
  if (LockIniFile->IsNew) ShowNotice(TNotice::Running);
  LockIniFile->Save();
  undo.Dismiss();
  FOptionsOpen = false;
  FView->SetTaskbarButton(false);
  FollowPawGuard();
}

void TLockController::UndoOptionsBracket() noexcept {
  FOptionsOpen = false;
  FHotKeysHeld = false;
  if (FClosed) return;
  // Called while a failure unwinds: a second one here would end the
  // process, so what cannot be given back stays as it is.
  try {
    FView->SetTaskbarButton(false);
    if (LockIniFile) ApplySettings();
    FollowPawGuard();
  } catch (...) {
  }
}

// --- the timed locks, the password and start with Windows ---

void TLockController::acCleanLockExecute() {
  if (!BindHookLibrary(true)) return;
  if (!IsFirstInstance) {
    // A second instance's /C: the running copy makes the cleaning lock.
    FSystem.SendNotify(FLibrary.GetNotifyWnd(), LN_CLEAN_LOCK_REQUEST);
    return;
  }
  if (IsLocked()) return;
  FCleaningLock = true;
  HandOverSettings(true);
  if (FLibrary.SetProperties(PROP_LOCKED, 1) == 0) {
    // Refused as any lock is: keyboard and mouse with no unlock hot key.
    FCleaningLock = false;
    ApplySettings();
    acOptionsExecute();
    return;
  }
  BeginTimedLock(true);
}

void TLockController::BeginTimedLock(bool cleaning) {
  const settings::TMoreSettings& more = LockIniFile->More;
  FTimedLock.Begin(FSystem.NowMs(), cleaning ? more.CleaningSeconds : 0,
                   more.LongestLockLimitSeconds());
  ForgetTypedKeys();
  FLockFollowed = true;
  FollowPawGuard();
  FView->SetTimer(TControllerTimer::TimedLock, true);
}

void TLockController::FollowLockState(bool locked) {
  if (locked == FLockFollowed) return;
  if (locked) {
    // A lock made by the hot key, the menu, the idle timer, /L or paws.
    BeginTimedLock(false);
    return;
  }
  FLockFollowed = false;
  FPawLock = false;
  FollowPawGuard();
  FTimedLock.End();
  FView->SetTimer(TControllerTimer::TimedLock, false);
  ForgetTypedKeys();
  if (FCleaningLock) {
    // The library gets the settings' own lock options back, for the next
    // lock by hot key.
    FCleaningLock = false;
    ApplySettings();
  }
}

void TLockController::TimerTimedLockTimer() {
  if (!IsLocked()) {
    FollowLockState(false);
    FollowShield(false);
    return;
  }
  const rules::TTimedLock::TStep step = FTimedLock.Tick(FSystem.NowMs());
  if (step.unlock) {
    acUnlockExecute();
    return;
  }
  if (step.countdownShown) ShowNotice(TNotice::Locked);
}

void TLockController::ApplyMoreSettings(bool startWithWindowsBefore) {
  const settings::TMoreSettings& more = LockIniFile->More;
  if (!more.Password.empty() && !FPasswordWatch)
    FPasswordWatch = FSystem.StartPasswordWatch(FView->Window());
  if (FPasswordWatch) FPasswordWatch->SetPassword(more.Password);
  ApplyStartWithWindows(FSystem.RunEntries(), more.StartWithWindows, startWithWindowsBefore,
                        FSystem.ExecutablePath());
}

void TLockController::ForgetTypedKeys() {
  if (FPasswordWatch) FPasswordWatch->Clear();
}

void TLockController::ShowPasswordDamagedNotice() {
  settings::TMoreSettings& more = LockIniFile->More;
  if (!more.PasswordDamaged || !FTrayShown) return;
  more.PasswordDamaged = false;  // told once
  FView->ShowNotice("Quellane", "The unlock password was damaged: no password is set.",
                    kPasswordDamagedNoticeMs);
}

void TLockController::FollowPawGuard() {
  const bool armed = IsFirstInstance && !FClosed && LockIniFile && LockIniFile->More.PawGuard &&
                     !FOptionsOpen && !FLockFollowed && FView;
  if (armed && !FPawWatch) FPawWatch = FSystem.StartPawWatch(FView->Window());
  if (!FPawWatch || armed == FPawsArmed) return;
  FPawsArmed = armed;
  FPawWatch->Arm(armed);
}

void TLockController::PawsOnKeyboard() {
  // A detection posted before the guard was disarmed finds it disarmed.
  if (!FPawsArmed || !FLibrary.Bound() || IsLocked()) return;
  // The library holds the settings' options and hot keys (no dialog is
  // open, no cleaning lock runs); its safety rule refuses as it refuses
  // the hot key, and as for the hot key, a refusal says nothing.
  FPawLock = true;
  if (FLibrary.SetProperties(PROP_LOCKED, 1) == 0) FPawLock = false;
}

void TLockController::PasswordMatched(std::uintptr_t generation) {
  // The same unlock as the tray menu's, for keys typed during this lock.
  if (FPasswordWatch && FPasswordWatch->IsCurrent(generation) && IsLocked()) {
    ForgetTypedKeys();
    acUnlockExecute();
  }
}

}  // namespace quell::app
