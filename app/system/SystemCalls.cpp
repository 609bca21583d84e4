#include "SystemCalls.h"

#include <windows.h>
#include <wtsapi32.h>

#include "ExecutablePath.h"
#include "IntegrityLevel.h"
#include "HookDll/HookProtocol.h"
#include "PasswordWatcher.h"
#include "PawWatcher.h"

namespace quell::app {

namespace {

HWND WindowOf(TWindowId window) { return reinterpret_cast<HWND>(window); }

}  // namespace

std::uint64_t TSystemCalls::NowMs() { return GetTickCount64(); }

std::string TSystemCalls::ExecutablePath() { return app::ExecutablePath(); }

TWindowId TSystemCalls::FindWindowByTitle(const std::string& title) {
  return reinterpret_cast<TWindowId>(FindWindowA(nullptr, title.c_str()));
}

void TSystemCalls::PostCloseWindow(TWindowId window) {
  PostMessageA(WindowOf(window), WM_CLOSE, 0, 0);
}

void TSystemCalls::PostNotify(TWindowId window, std::int32_t code) {
  PostMessageA(WindowOf(window), kNotifyMessage, 0, code);
}

void TSystemCalls::SendNotify(TWindowId window, std::int32_t code) {
  SendMessageA(WindowOf(window), kNotifyMessage, 0, code);
}

TInputClock TSystemCalls::InputClock() {
  LASTINPUTINFO input{sizeof input, 0};
  // Read first: an input between the two reads then is never "later" than now.
  const BOOL known = GetLastInputInfo(&input);
  const DWORD now = GetTickCount();
  return {now, known ? input.dwTime : 0};
}

void TSystemCalls::WatchSession(TWindowId window) {
  if (FSessionWatcher) WTSUnRegisterSessionNotification(WindowOf(FSessionWatcher));
  FSessionWatcher = 0;
  if (window && WTSRegisterSessionNotification(WindowOf(window), NOTIFY_FOR_THIS_SESSION))
    FSessionWatcher = window;
}

std::unique_ptr<TPasswordWatch> TSystemCalls::StartPasswordWatch(TWindowId reportTo) {
  return std::make_unique<TPasswordWatcher>(WindowOf(reportTo), kPasswordMatchMessage);
}

std::unique_ptr<TPawWatch> TSystemCalls::StartPawWatch(TWindowId reportTo) {
  auto watcher = std::make_unique<TPawWatcher>(WindowOf(reportTo), kPawsMessage);
  if (!watcher->Hooked()) return nullptr;
  return watcher;
}

bool TSystemCalls::ForegroundIsElevated() { return WindowOutranksUs(GetForegroundWindow()); }

}  // namespace quell::app
