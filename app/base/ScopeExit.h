// Runs a step when a scope ends, however it ends (a return, an exception),
// unless the scope said it was done with it.
#pragma once

#include <utility>

namespace quell::base {

template <class TStep>
class TScopeExit {
 public:
  explicit TScopeExit(TStep step) : FStep(std::move(step)) {}
  ~TScopeExit() {
    if (FArmed) FStep();
  }
  TScopeExit(const TScopeExit&) = delete;
  TScopeExit& operator=(const TScopeExit&) = delete;

  // The scope has done the step's work itself.
  void Dismiss() noexcept { FArmed = false; }

 private:
  TStep FStep;
  bool FArmed = true;
};

}  // namespace quell::base
