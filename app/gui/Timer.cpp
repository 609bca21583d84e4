#include "Timer.h"

#include <map>
#include <stdexcept>

#include "Application.h"

namespace quell::gui {

namespace {
// Thread timers carry only their id; this finds the component again.
std::map<UINT_PTR, TTimer*>& Timers() {
  static std::map<UINT_PTR, TTimer*> timers;
  return timers;
}
}  // namespace

TTimer::TTimer(TComponent* owner) : TComponent(owner) { UpdateTimer(); }

TTimer::~TTimer() {
  FEnabled = false;
  UpdateTimer();
}

void TTimer::SetInterval(unsigned milliseconds) {
  if (milliseconds == FInterval) return;
  FInterval = milliseconds;
  UpdateTimer();
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == FEnabled) return;
  FEnabled = enabled;
  UpdateTimer();
}

void TTimer::UpdateTimer() {
  if (FId) {
    KillTimer(nullptr, FId);
    Timers().erase(FId);
    FId = 0;
  }
  if (!FEnabled || FInterval == 0) return;
  FId = SetTimer(nullptr, 0, FInterval, TimerProc);
  if (!FId) throw std::runtime_error("SetTimer failed: no more timers");
  Timers()[FId] = this;
}

void CALLBACK TTimer::TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
  const auto found = Timers().find(id);
  if (found == Timers().end()) return;
  TTimer* timer = found->second;
  if (!timer->OnTimer) return;
  try {
    timer->OnTimer(timer);
  } catch (...) {
    if (TApplication* app = Application()) app->HandleException(timer);
  }
}

}  // namespace quell::gui
