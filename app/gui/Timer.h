// A timer served by the thread's message loop (also inside modal loops).
#pragma once

#include "Component.h"
#include "Events.h"
#include "Handles.h"

namespace quell::gui {

class TTimer : public TComponent, public TimerControl {
 public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;

  unsigned Interval() const { return interval_; }
  // A new interval starts the period again; the same one changes nothing.
  void SetInterval(unsigned milliseconds) override;
  bool Enabled() const { return enabled_; }
  // Enabling a running timer changes nothing: it keeps its start.
  void SetEnabled(bool enabled) override;
  // Whether the system timer runs (enabled with an interval above 0).
  bool Running() const { return id_ != 0; }

  TNotifyEvent OnTimer;

 private:
  static void CALLBACK TimerProc(HWND, UINT, UINT_PTR, DWORD);
  void UpdateTimer();
  UINT_PTR id_ = 0;
  unsigned interval_ = 1000;
  bool enabled_ = true;
};

}  // namespace quell::gui
