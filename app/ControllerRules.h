// The lock controller's decisions that need no window: what each
// notification code asks for, the idle lock, and the Task Manager closer.
#pragma once

#include <cstdint>

namespace quell::app {

// What the main window does with a notification code, and its reply.
enum class TNotifyAction {
  None,
  Activate,
  Reply,
  UpdateLockState,
  ShowLockedNotice,
  Lock,
  Unlock,
  CloseTaskManager,
  ResetIdle,
};
struct TNotifyDecision {
  TNotifyAction action;
  bool replies;  // ReplyMessage after the action
  long reply;    // the value replied
};
TNotifyDecision DecideNotify(std::intptr_t code);

// The idle lock: one tick a second, reset by any input activity. The timer
// acts only through Tick's answer; the form reports the attempt's outcome.
enum class TIdleStep {
  Wait,  // nothing to do this second
  Lock,  // the lock is due: minimise if asked, then execute the lock action
};

// What the timer sees at a tick.
struct TIdleConditions {
  bool locked = false;       // the library's lock flag
  bool bound = false;        // the hook library is loaded
  bool optionsOpen = false;  // the options dialog is open
};

class TIdleLock {
 public:
  int IdleLimit = 0;  // seconds, from the settings
  bool IdleLockEnabled = false;
  int IdleCounter = 0;

  // Counts one second; Lock when the lock is due (again every second once
  // the limit is passed, until input arrives or a lock attempt was made).
  // While the computer is locked or the options dialog is open nothing is
  // due and the count stays at 0: a locked keyboard would swallow the
  // minimise keys as blocked input, and the dialog holds the hot keys off.
  // Without the library nothing is tried (each try would report it again).
  // While an attempt runs (its error box or dialog open), ticks do nothing.
  TIdleStep Tick(const TIdleConditions& now) {
    if (FAttempting) return TIdleStep::Wait;
    if (now.locked || now.optionsOpen) {
      IdleCounter = 0;
      return TIdleStep::Wait;
    }
    if (IdleCounter < IdleLimit) ++IdleCounter;
    if (IdleCounter < IdleLimit || !IdleLockEnabled || !now.bound) return TIdleStep::Wait;
    return TIdleStep::Lock;
  }
  void Activity() { IdleCounter = 0; }

  // Brackets the lock attempt that a Lock step asked for. An attempt that
  // left the computer unlocked (refused, failed) starts the count again.
  void BeginAttempt() { FAttempting = true; }
  void EndAttempt(bool lockedAfterwards) {
    FAttempting = false;
    if (!lockedAfterwards) IdleCounter = 0;
  }
  bool Attempting() const { return FAttempting; }

 private:
  bool FAttempting = false;
};

// The Task Manager closer: after Ctrl+Alt+Delete while locked, a Task
// Manager window is closed, or looked for once a second until one is found.
// It looks only while the computer is locked: a Task Manager opened by the
// user after unlocking is left alone.
class TTaskManagerCloser {
 public:
  enum class Step { Close, KeepLooking, Stop };
  // One look (on the notification or a timer tick) given whether the
  // computer is locked and whether a Task Manager window exists.
  Step Look(bool locked, bool windowFound) {
    if (!locked) return Step::Stop;
    return windowFound ? Step::Close : Step::KeepLooking;
  }
};

}  // namespace quell::app
