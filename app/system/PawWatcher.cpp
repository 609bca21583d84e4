#include "PawWatcher.h"

namespace quell::app {

namespace {
std::atomic<TPawWatcher*> g_watcher{nullptr};
}  // namespace

TPawWatcher::TPawWatcher(HWND window, UINT pawsMessage) : FWindow(window), FMessage(pawsMessage) {
  TPawWatcher* none = nullptr;
  if (!g_watcher.compare_exchange_strong(none, this)) return;
  if (!FThread.Start() || !FThread.Call(&TPawWatcher::Install)) g_watcher = nullptr;
}

TPawWatcher::~TPawWatcher() {
  if (g_watcher != this) return;
  FThread.Call(&TPawWatcher::Remove);
  FThread.Stop();
  g_watcher = nullptr;
}

int TPawWatcher::Install() {
  TPawWatcher* self = g_watcher;
  self->FHook =
      SetWindowsHookExW(WH_KEYBOARD_LL, &TPawWatcher::HookProc, GetModuleHandleW(nullptr), 0);
  return self->FHook != nullptr;
}

int TPawWatcher::Remove() {
  TPawWatcher* self = g_watcher;
  const BOOL removed = self->FHook && UnhookWindowsHookEx(self->FHook);
  self->FHook = nullptr;
  return removed;
}

void TPawWatcher::Arm(bool armed) {
  FForget = true;
  FArmed = armed;
}

LRESULT CALLBACK TPawWatcher::HookProc(int code, WPARAM wParam, LPARAM lParam) {
  TPawWatcher* self = g_watcher;
  if (code == HC_ACTION && self) self->See(wParam, *reinterpret_cast<KBDLLHOOKSTRUCT*>(lParam));
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void TPawWatcher::See(WPARAM message, const KBDLLHOOKSTRUCT& key) {
  if (FForget.exchange(false)) FGuard.Reset();
  if (!FArmed) return;
  const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
  if (FGuard.Key(key.vkCode, down, (key.flags & LLKHF_INJECTED) != 0, key.time)) {
    PostMessageW(FWindow, FMessage, 0, 0);
  }
}

}  // namespace quell::app
