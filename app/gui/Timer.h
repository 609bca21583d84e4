// A timer served by the thread's message loop (also inside modal loops).
#pragma once

#include "gui/core/Component.h"
#include "gui/core/Events.h"
#include "base/Handles.h"

namespace quell::gui {

class TTimer : public TComponent, public TimerControl {
 public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;

  unsigned Interval() const { return FInterval; }
  // A new interval starts the period again; the same one changes nothing.
  void SetInterval(unsigned milliseconds) override;
  bool Enabled() const { return FEnabled; }
  // Enabling a running timer changes nothing: it keeps its start.
  void SetEnabled(bool enabled) override;
  // Whether the system timer runs (enabled with an interval above 0).
  bool Running() const { return FId != 0; }

  TNotifyEvent OnTimer;

 private:
  static void CALLBACK TimerProc(HWND, UINT, UINT_PTR, DWORD);
  void UpdateTimer();
  UINT_PTR FId = 0;
  unsigned FInterval = 1000;
  bool FEnabled = true;
};

}  // namespace quell::gui
