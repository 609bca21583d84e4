// The locks that end by themselves: the cleaning lock (a number of seconds,
// counted down in the notice) and the longest lock (any lock ends after a
// number of seconds). Driven by a clock in milliseconds that the caller
// reads, so that the rules are tested on a fake one.
#pragma once

#include <cstdint>

namespace quell::rules {

class TTimedLock {
 public:
  // A lock began at `now`. cleaningSeconds > 0 makes it a cleaning lock
  // that ends then; longestSeconds > 0 ends any lock then; 0 is no limit.
  void Begin(std::uint64_t now, int cleaningSeconds, int longestSeconds);
  // The lock ended, by itself or otherwise.
  void End() { *this = TTimedLock{}; }

  bool Running() const { return FRunning; }
  bool Cleaning() const { return FRunning && FCleaningEnd != 0; }
  // Whole seconds left of a cleaning lock, rounded up (0 once it is due);
  // 0 when this is no cleaning lock.
  int CleaningSecondsLeft(std::uint64_t now) const;

  struct TStep {
    bool unlock = false;          // a limit is reached: unlock now
    bool countdownShown = false;  // the cleaning countdown reads another number
    int secondsLeft = 0;          // the number it reads
  };
  // One look at the clock; `now` never goes back.
  TStep Tick(std::uint64_t now);

 private:
  bool FRunning = false;
  std::uint64_t FCleaningEnd = 0;  // 0: no cleaning lock
  std::uint64_t FLongestEnd = 0;   // 0: no longest lock
  int FShownSeconds = -1;
};

}  // namespace quell::rules
