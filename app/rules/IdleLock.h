// The idle lock's record and its rules: how long the computer may stay idle,
// whether the idle lock is on, and the count of idle seconds. The options
// dialog edits the first two; the controller's timer ticks it.
#pragma once

namespace quell::rules {

// The idle lock: one tick a second, reset by any input activity. The timer
// acts only through Tick's answer; the form reports the attempt's outcome.
enum class TIdleStep {
  Wait,  // nothing to do this second
  Lock,  // the lock is due: minimise if asked, then execute the lock action
};

// What the timer sees at a tick.
struct TIdleConditions {
  bool locked = false;  // the library's lock flag
  bool bound = false;   // the hook library is loaded
};

class TIdleLock {
 public:
  int IdleLimit = 0;  // seconds, from the settings
  bool IdleLockEnabled = false;
  int IdleCounter = 0;

  // Counts one second; Lock when the lock is due (again every second once
  // the limit is passed, until input arrives or a lock attempt was made).
  // While the computer is locked nothing is due and the count stays at 0: a
  // locked keyboard would swallow the minimise keys as blocked input. The
  // options dialog holds nothing back: its own keys and clicks are input.
  // Without the library nothing is tried (each try would report it again).
  // While an attempt runs (its error box or dialog open), ticks do nothing.
  TIdleStep Tick(const TIdleConditions& now) {
    if (FAttempting) return TIdleStep::Wait;
    if (now.locked) {
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

}  // namespace quell::rules
