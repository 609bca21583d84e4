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
  enabled_ = false;
  UpdateTimer();
}

void TTimer::SetInterval(unsigned milliseconds) {
  if (milliseconds == interval_) return;
  interval_ = milliseconds;
  UpdateTimer();
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  UpdateTimer();
}

void TTimer::UpdateTimer() {
  if (id_) {
    KillTimer(nullptr, id_);
    Timers().erase(id_);
    id_ = 0;
  }
  if (!enabled_ || interval_ == 0) return;
  id_ = SetTimer(nullptr, 0, interval_, TimerProc);
  if (!id_) throw std::runtime_error("SetTimer failed: no more timers");
  Timers()[id_] = this;
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
