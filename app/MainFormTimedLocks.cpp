// The main form's timed locks (the cleaning lock and the longest lock), the
// unlock password's watcher and the start-with-Windows entry.
#include "FkestravaMain.h"

#include "FPopup.h"
#include "HookProtocol.h"
#include "RunEntryRegistry.h"

namespace quell::app {

using gui::TComponent;

void TFormKestravaMain::acCleanLockUpdate(TComponent*) { acCleanLock->SetEnabled(!IsLocked()); }

void TFormKestravaMain::acCleanLockExecute(TComponent*) {
  if (!BindHookLibrary(true)) return;
  if (!FController.IsFirstInstance || IsLocked()) return;
  FCleaningLock = true;
  ApplySettings();
  if (FHook.SetProperties(PROP_LOCKED, 1) == 0) {
    // Refused as any lock is: keyboard and mouse with no unlock hot key.
    FCleaningLock = false;
    ApplySettings();
    acOptions->Execute();
    return;
  }
  BeginTimedLock(true);
}

void TFormKestravaMain::BeginTimedLock(bool cleaning) {
  const settings::TMoreSettings& more = FController.LockIniFile->More;
  FTimedLock.Begin(GetTickCount64(), cleaning ? more.CleaningSeconds : 0,
                   more.LongestLockLimitSeconds());
  ForgetTypedKeys();
  FLockFollowed = true;
  TimerTimedLock->SetEnabled(true);
}

void TFormKestravaMain::FollowLockState(bool locked) {
  if (locked == FLockFollowed) return;
  if (locked) {
    // A lock made by the hot key, the menu, the idle timer or /L.
    BeginTimedLock(false);
    return;
  }
  FLockFollowed = false;
  FTimedLock.End();
  TimerTimedLock->SetEnabled(false);
  ForgetTypedKeys();
  if (FCleaningLock) {
    // The library gets the settings' own lock options back, for the next
    // lock by hot key.
    FCleaningLock = false;
    ApplySettings();
  }
}

void TFormKestravaMain::TimerTimedLockTimer(TComponent*) {
  if (!IsLocked()) {
    FollowLockState(false);
    return;
  }
  const rules::TTimedLock::TStep step = FTimedLock.Tick(GetTickCount64());
  if (step.unlock) {
    acUnlockExecute(this);
    return;
  }
  if (step.countdownShown) ShowNotice(TNotice::Locked);
}

void TFormKestravaMain::ApplyMoreSettings(bool startWithWindowsBefore) {
  const settings::TMoreSettings& more = FController.LockIniFile->More;
  if (!more.Password.empty() && !FPasswordWatcher)
    FPasswordWatcher = std::make_unique<TPasswordWatcher>(Handle(), kPasswordMatchMessage);
  if (FPasswordWatcher) FPasswordWatcher->SetPassword(more.Password);
  TRunEntryRegistry runEntry;
  ApplyStartWithWindows(runEntry, more.StartWithWindows, startWithWindowsBefore, ExecutablePath());
}

void TFormKestravaMain::ForgetTypedKeys() {
  if (FPasswordWatcher) FPasswordWatcher->Clear();
}

void TFormKestravaMain::ShowPasswordDamagedNotice() {
  settings::TMoreSettings& more = FController.LockIniFile->More;
  if (!more.PasswordDamaged || !FTrayIcon) return;
  more.PasswordDamaged = false;  // told once
  ui::TFormPopup::ShowPopup("Quellane", "The unlock password was damaged: no password is set.",
                            10000, FTrayIcon->Icon());
}

void TFormKestravaMain::PasswordMatched(WPARAM generation) {
  // The same unlock as the tray menu's, for keys typed during this lock.
  if (FPasswordWatcher && FPasswordWatcher->IsCurrent(generation) && IsLocked()) {
    ForgetTypedKeys();
    acUnlockExecute(this);
  }
}

}  // namespace quell::app
