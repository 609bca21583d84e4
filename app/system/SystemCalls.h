// The controller's system calls on Win32.
#pragma once

#include "controller/ControllerSystem.h"
#include "RunEntryRegistry.h"

namespace quell::app {

class TSystemCalls : public TControllerSystem {
 public:
  std::uint64_t NowMs() override;
  std::string ExecutablePath() override;
  TWindowId FindWindowByTitle(const std::string& title) override;
  void PostCloseWindow(TWindowId window) override;
  void PostNotify(TWindowId window, std::int32_t code) override;
  void SendNotify(TWindowId window, std::int32_t code) override;
  TRunEntryStore& RunEntries() override { return FRunEntries; }
  TInputClock InputClock() override;
  void WatchSession(TWindowId window) override;
  std::unique_ptr<TPasswordWatch> StartPasswordWatch(TWindowId reportTo) override;
  std::unique_ptr<TPawWatch> StartPawWatch(TWindowId reportTo) override;
  bool ForegroundIsElevated() override;

 private:
  TRunEntryRegistry FRunEntries;
  TWindowId FSessionWatcher = 0;  // registered for session changes
};

}  // namespace quell::app
