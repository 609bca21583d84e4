#include "HookThread.h"

namespace quell::app {

namespace {

constexpr UINT kCallMessage = WM_APP + 1;
// SetShellHook takes milliseconds; a thread that answers nothing in this
// time is stuck, and its caller goes on without it.
constexpr DWORD kCallWaitMs = 10000;
constexpr DWORD kStopWaitMs = 5000;

}  // namespace

bool THookThread::Start() {
  if (FThread) return true;
  FDone.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  if (!FDone) return false;
  FThread.reset(CreateThread(nullptr, 0, &THookThread::Main, this, 0, &FThreadId));
  if (!FThread) return false;
  // Input waits for nothing of ours, nor for the program's other threads.
  SetThreadPriority(FThread.get(), THREAD_PRIORITY_HIGHEST);
  // The thread says when its message queue exists.
  if (WaitForSingleObject(FDone.get(), kCallWaitMs) != WAIT_OBJECT_0) {
    TerminateThread(FThread.get(), 1);
    FThread.reset();
    return false;
  }
  return true;
}

void THookThread::Stop() {
  if (!FThread) return;
  PostThreadMessageW(FThreadId, WM_QUIT, 0, 0);
  WaitForSingleObject(FThread.get(), kStopWaitMs);
  FThread.reset();
  FThreadId = 0;
}

int THookThread::Call(TEntry entry) {
  if (!FThread) return entry();
  ResetEvent(FDone.get());
  if (!PostThreadMessageW(FThreadId, kCallMessage, reinterpret_cast<WPARAM>(entry), 0)) return 0;
  return WaitForSingleObject(FDone.get(), kCallWaitMs) == WAIT_OBJECT_0 ? FResult : 0;
}

DWORD WINAPI THookThread::Main(void* self) {
  auto* thread = static_cast<THookThread*>(self);
  MSG message;
  PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // makes the queue
  SetEvent(thread->FDone.get());
  // The hooks' calls arrive while GetMessage waits; nothing else runs here.
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.hwnd == nullptr && message.message == kCallMessage) {
      thread->FResult = reinterpret_cast<TEntry>(message.wParam)();
      SetEvent(thread->FDone.get());
    }
  }
  return 0;
}

}  // namespace quell::app
