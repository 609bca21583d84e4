// The lock controller: the program's process state, its binding to the hook
// library, the lock and unlock sequence, the answer to each notification,
// the idle lock, the Task Manager closer, the options command's bracket
// around the dialog, the timed locks, the unlock password's matches, start
// with Windows, and the teardown at Exit and at the end of the session.
//
// It holds no window: the main form hands it its events (the handlers keep
// their names) and shows what it is told through TControllerView.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ControllerRules.h"
#include "ControllerSystem.h"
#include "ControllerView.h"
#include "rules/IdleLock.h"
#include "LockLibrary.h"
#include "settings/Properties.h"
#include "rules/TimedLock.h"

namespace quell::app {

// LockedAdminInFront: the lock's notice when the window in front outranks
// our hooks.
enum class TNotice { Running, Locked, Unlocked, LockedAdminInFront };

class TLockController {
 public:
  // `library` and `system` outlive the controller. `isFirstInstance` was
  // decided by the single-instance mutex before any form was made.
  TLockController(TLockLibrary& library, TControllerSystem& system, bool isFirstInstance);
  ~TLockController();
  TLockController(const TLockController&) = delete;
  TLockController& operator=(const TLockController&) = delete;

  // The main form, from its creation to its destruction (nullptr then).
  void Attach(TControllerView* view) { FView = view; }

  // --- the process state ---
  const bool IsFirstInstance;
  // The settings file next to the executable: opened by FormCreate, closed
  // by FormDestroy.
  std::unique_ptr<settings::TLockIniFile> LockIniFile;
  // IdleLimit, IdleCounter, IdleLockEnabled.
  rules::TIdleLock IdleLock;
  bool MinimizeOnLock = false;

  // --- the main form's events ---
  // `args` is the command line without the program name.
  void FormCreate(const std::vector<std::string>& args);
  // Exit, and the end of the session: unlocks, removes the hooks, closes the
  // hook log and unloads the library; nothing binds or hooks after it.
  void FormClose();
  void FormDestroy();
  // WM_ENDSESSION: the process may end as soon as it is answered.
  void WMEndSession(bool ending);
  // The notification message; the reply to give, if its code has one, once
  // its action has run.
  std::optional<long> WMHookNotify(std::intptr_t code, std::uintptr_t wParam);
  // The password watcher's post: the keys of lock `generation` ended with
  // the password.
  void PasswordMatched(std::uintptr_t generation);
  // The paw watch's post: keys pressed as no typist does. Locks as the lock
  // hot key would.
  void PawsOnKeyboard();

  // --- actions, tray icon and timers ---
  void acLockUpdate();
  void acUnlockUpdate();
  void acCleanLockUpdate();
  // Lock and unlock, also called directly by the command line, the requests
  // of a second instance and the options dialog's "Lock Now".
  void acLockExecute();
  void acUnlockExecute();
  // Locks keyboard and mouse for the cleaning seconds of the settings; in a
  // second instance (/C), asks the running copy to.
  void acCleanLockExecute();
  void acOptionsExecute();
  void acExitExecute();
  // The actions run as a menu runs them: the update, then the handler only
  // while the action is enabled.
  void ExecuteLockAction();
  void TrayIconClick(bool rightButton);
  void TrayIconDblClick();
  void Timer1Timer();
  void TimerTaskMgrHideTimer();
  void TimerTimedLockTimer();
  // The hooks' watch, every THookWatch::kLookMs.
  void TimerHookLookTimer();
  // The system resumed from sleep, or the session was unlocked or
  // reconnected: the hooks may have been dropped meanwhile.
  void HooksMayBeGone();
  void MinimizeAllWindows();

  // --- the hook library ---
  bool BindHookLibrary(bool showErrors);
  void ApplySettings();
  bool IsLocked();
  bool OptionsOpen() const { return FOptionsOpen; }
  // How often the hooks were installed again since the start.
  int HookReinstalls() const { return FHookWatch.Reinstalls(); }
  // The process's exit code: a second instance's answer to /S
  // (TStateExitCode), otherwise 0.
  int ExitCode() const { return FExitCode; }

 private:
  void ProcessCommandLine(const std::vector<std::string>& args);
  // The lock state as /S reports it, read from the bound library.
  int StateExitCode();
  // Takes a settings file made from the file next to the executable:
  // loaded, with its hot keys made typable or none.
  void TakeSettingsFile(std::unique_ptr<settings::TLockIniFile> file);
  // MinimizeOnLock and the idle lock, from the settings.
  void TakeControllerSettings();
  // A settings file that could not be read is tried again.
  void RereadUnreadSettings();
  // The settings to the library, with the hot keys it may hold now.
  void HandOverSettings(bool lockInForce);
  TLibraryHotKeys HotKeys(bool lockInForce) const;
  // The options bracket undone on a path that did not reach its end.
  void UndoOptionsBracket() noexcept;
  // The hooks' watch: looks, and what its verdicts ask for.
  bool HooksExpected() const;
  void FollowHookVerdict(THookVerdict verdict);
  void ReinstallHooks();
  void SetLocked(bool lock);
  void UpdateLockState();
  void SetTrayImage(bool locked);
  // `line` takes the place of the unlock notice's usual line.
  void ShowNotice(TNotice kind, const std::string& line = {});
  void ActivateInstance();
  void CloseTaskManager();
  // Starts and ends what goes with a lock: the limits, the typed keys.
  void FollowLockState(bool locked);
  void BeginTimedLock(bool cleaning);
  // The password to match and the Run entry, from the settings.
  void ApplyMoreSettings(bool startWithWindowsBefore);
  void ShowPasswordDamagedNotice();
  void ForgetTypedKeys();
  // Arms the paw watch while the guard is on and nothing is locked or
  // open, disarms it otherwise.
  void FollowPawGuard();
  std::string ExecutableFolder();
  // Shows, changes or hides the input shield for the lock state; a shield
  // that cannot be made or hidden never stops a lock or an unlock.
  void FollowShield(bool locked) noexcept;

  TLockLibrary& FLibrary;
  TControllerSystem& FSystem;
  TControllerView* FView = nullptr;
  bool FTrayShown = false;
  TTaskManagerCloser FTaskManagerCloser;
  rules::TTimedLock FTimedLock;
  // Made with the first password; forgets the typed keys at every lock and
  // unlock.
  std::unique_ptr<TPasswordWatch> FPasswordWatch;
  // Made when the paw guard is first armed.
  std::unique_ptr<TPawWatch> FPawWatch;
  bool FPawsArmed = false;
  // The lock in force was made by paws: its notices say so.
  bool FPawLock = false;
  // The action images the tray picture is taken from.
  int FLockedImage = 2;
  int FUnlockedImage = 3;
  // A cleaning lock is running or being made: keyboard and mouse are
  // locked whatever the settings say, until it ends.
  bool FCleaningLock = false;
  bool FLockFollowed = false;  // the lock state FollowLockState last saw
  bool FOptionsOpen = false;
  // From the dialog's opening to its close: the library holds no lock hot
  // key, and no unlock hot key unless a lock is in force.
  bool FHotKeysHeld = false;
  bool FClosed = false;  // the main form has closed: nothing binds again
  THookWatch FHookWatch;
  bool FSessionWatched = false;
  bool FReinstallFailed = false;  // its notice was shown; shown again after a success
  // LN_STATE_CHANGED posts of re-installations still to come: with the
  // lock state unchanged they show no notice.
  int FQuietStateChanges = 0;
  // The input shield shown, if any.
  std::optional<TShieldLook> FShield;
  int FExitCode = 0;
};

}  // namespace quell::app
