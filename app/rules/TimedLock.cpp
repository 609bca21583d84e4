#include "TimedLock.h"

namespace quell::rules {

void TTimedLock::Begin(std::uint64_t now, int cleaningSeconds, int longestSeconds) {
  End();
  FRunning = true;
  // The clock is never 0 in practice; an end at 0 would read as "no limit".
  if (cleaningSeconds > 0) FCleaningEnd = now + static_cast<std::uint64_t>(cleaningSeconds) * 1000u;
  if (longestSeconds > 0) FLongestEnd = now + static_cast<std::uint64_t>(longestSeconds) * 1000u;
  FShownSeconds = CleaningSecondsLeft(now);
}

int TTimedLock::CleaningSecondsLeft(std::uint64_t now) const {
  if (!Cleaning() || now >= FCleaningEnd) return 0;
  return static_cast<int>((FCleaningEnd - now + 999u) / 1000u);
}

TTimedLock::TStep TTimedLock::Tick(std::uint64_t now) {
  TStep step;
  if (!FRunning) return step;
  if ((FCleaningEnd != 0 && now >= FCleaningEnd) || (FLongestEnd != 0 && now >= FLongestEnd)) {
    step.unlock = true;
    return step;
  }
  if (FCleaningEnd != 0) {
    step.secondsLeft = CleaningSecondsLeft(now);
    step.countdownShown = step.secondsLeft != FShownSeconds;
    FShownSeconds = step.secondsLeft;
  }
  return step;
}

}  // namespace quell::rules
