// Whether the hook library's hooks still stand. The system silently removes
// a low-level hook whose procedure kept it waiting too long (after sleep,
// under load), and the lock would then fail open while the tray still shows
// the padlock. Four times a second the controller compares what the hooks
// saw with the system's own last input; input the hooks missed, or a handle
// gone from the record, means they are installed again (at most once a
// second).
#pragma once

#include <cstdint>
#include <optional>

namespace quell::app {

// What the library's record shows of its hooks.
struct THookSight {
  std::uint32_t keyboardHook = 0;
  std::uint32_t lowLevelKeyboardHook = 0;
  std::uint32_t lowLevelMouseHook = 0;
  // Tick counts of the last call of each low-level hook.
  std::uint32_t keyboardSeen = 0;
  std::uint32_t mouseSeen = 0;
};

// The system's clock of input: GetTickCount and GetLastInputInfo's tick.
struct TInputClock {
  std::uint32_t now = 0;
  std::uint32_t lastInput = 0;  // 0: not known
};

enum class THookVerdict {
  Sound,      // nothing to do
  LookAgain,  // input the hooks have not seen yet: judged at the next look
  Reinstall,  // the hooks are gone: remove what is left and install anew
};

class THookWatch {
 public:
  // The time between two looks. An input the hooks had not seen at one
  // look is judged at the next: a working hook sees an input within it,
  // one the system dropped never.
  static constexpr std::uint32_t kLookMs = 250;
  // The system may stamp an input a little later than the hook's own clock
  // read when it was called (seen: 1 ms under Wine; the tick itself moves in
  // steps of up to 16 ms on Windows): an input this close counts as seen.
  static constexpr std::uint32_t kClockSlackMs = 50;
  // Installed again at most once in this time.
  static constexpr std::uint32_t kReinstallSpacingMs = 1000;

  // One look at the hooks, every kLookMs. `sight` is empty for a library
  // whose record cannot be read.
  THookVerdict Look(const std::optional<THookSight>& sight, const TInputClock& clock);
  // A reason from outside (resume from sleep, a session unlocked or
  // reconnected) to install the hooks again; Reinstall unless one was
  // made within kReinstallSpacingMs.
  THookVerdict Suspect(const TInputClock& clock);
  // The hooks were installed again at `now`.
  void Reinstalled(std::uint32_t now);
  int Reinstalls() const { return FReinstalls; }

 private:
  THookVerdict Due(const TInputClock& clock);

  std::optional<std::uint32_t> FUnseenInput;  // the input a second look waits for
  std::optional<std::uint32_t> FLastReinstall;
  int FReinstalls = 0;
};

}  // namespace quell::app
