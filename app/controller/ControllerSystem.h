// What the lock controller needs of the system besides the hook library and
// the windows: the clock, the executable, other windows and processes, the
// Run entry, the password watcher and the paw watch.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "LockLibrary.h"
#include "StartWithWindows.h"

namespace quell::app {

// Watches the keys typed on the locked keyboard for the unlock password;
// a match arrives at the controller's PasswordMatched with the generation
// of the keys that made it.
class TPasswordWatch {
 public:
  virtual ~TPasswordWatch() = default;
  // The stored form to watch for ("" for none); forgets every key.
  virtual void SetPassword(const std::string& storedForm) = 0;
  virtual bool HasPassword() const = 0;
  // Forgets every key; a match of keys fed before is no longer current.
  virtual void Clear() = 0;
  // One blocked key (its shortcut code).
  virtual void Feed(std::uint32_t shortcutCode) = 0;
  virtual bool IsCurrent(std::uintptr_t generation) const = 0;
};

// Watches the unlocked keyboard for paws (TPawGuard) as keys arrive; a
// detection arrives at the controller's PawsOnKeyboard.
class TPawWatch {
 public:
  virtual ~TPawWatch() = default;
  // Looks at the keys while armed; disarmed, it forgets what it saw.
  virtual void Arm(bool armed) = 0;
};

class TControllerSystem {
 public:
  virtual ~TControllerSystem() = default;

  // Milliseconds of a clock that never goes back.
  virtual std::uint64_t NowMs() = 0;
  // The running executable's full path.
  virtual std::string ExecutablePath() = 0;
  // A top-level window with exactly this title, of any class; 0 for none.
  virtual TWindowId FindWindowByTitle(const std::string& title) = 0;
  virtual void PostCloseWindow(TWindowId window) = 0;
  // The notification message with `code`, to the running instance's window:
  // posted, or sent and waited for until it is handled.
  virtual void PostNotify(TWindowId window, std::int32_t code) = 0;
  virtual void SendNotify(TWindowId window, std::int32_t code) = 0;
  // The current user's Run value.
  virtual TRunEntryStore& RunEntries() = 0;
  // The system's clock of input, to judge whether the hooks still see it.
  virtual TInputClock InputClock() = 0;
  // Session changes (unlocked, reconnected) reported to `window`, or no
  // longer (0).
  virtual void WatchSession(TWindowId window) = 0;
  // Starts a watcher that reports its matches to `reportTo`, the main window.
  virtual std::unique_ptr<TPasswordWatch> StartPasswordWatch(TWindowId reportTo) = 0;
  // Starts a paw watch (disarmed) that reports to `reportTo`; null when
  // the system cannot show it the keys.
  virtual std::unique_ptr<TPawWatch> StartPawWatch(TWindowId reportTo) = 0;
  // Whether the window in front belongs to a process of a higher integrity
  // level than ours (an administrator's console): our hooks miss its keys.
  virtual bool ForegroundIsElevated() = 0;
};

}  // namespace quell::app
