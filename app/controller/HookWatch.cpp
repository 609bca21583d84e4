#include "HookWatch.h"

namespace quell::app {

namespace {

// Tick counts wrap after 49.7 days: compare them by their difference.
bool IsLater(std::uint32_t tick, std::uint32_t than) {
  return static_cast<std::int32_t>(tick - than) > 0;
}

}  // namespace

THookVerdict THookWatch::Look(const std::optional<THookSight>& sight, const TInputClock& clock) {
  if (!sight) return THookVerdict::Sound;
  if (!sight->keyboardHook || !sight->lowLevelKeyboardHook || !sight->lowLevelMouseHook) {
    FUnseenInput.reset();
    return Due(clock);
  }
  const std::uint32_t seen =
      IsLater(sight->keyboardSeen, sight->mouseSeen) ? sight->keyboardSeen : sight->mouseSeen;
  if (clock.lastInput == 0 || !IsLater(clock.lastInput, seen + kClockSlackMs)) {
    FUnseenInput.reset();
    return THookVerdict::Sound;
  }
  // The system may count an input a moment before the hook is called: only
  // an input still unseen at the second look says the hooks are gone.
  if (FUnseenInput && IsLater(*FUnseenInput, seen + kClockSlackMs)) {
    FUnseenInput.reset();
    return Due(clock);
  }
  FUnseenInput = clock.lastInput;
  return THookVerdict::LookAgain;
}

THookVerdict THookWatch::Suspect(const TInputClock& clock) {
  FUnseenInput.reset();
  return Due(clock);
}

THookVerdict THookWatch::Due(const TInputClock& clock) {
  if (FLastReinstall && !IsLater(clock.now, *FLastReinstall + kReinstallSpacingMs - 1)) {
    return THookVerdict::Sound;
  }
  return THookVerdict::Reinstall;
}

void THookWatch::Reinstalled(std::uint32_t now) {
  FLastReinstall = now;
  FUnseenInput.reset();
  ++FReinstalls;
}

}  // namespace quell::app
