#include "PasswordWatcher.h"

#include <memory>

#include "SystemPasswordHasher.h"
#include "rules/UnlockPassword.h"

namespace quell::app {

namespace {

// The watcher thread's messages.
constexpr UINT kWatchKey = WM_APP + 1;       // wParam: shortcut code
constexpr UINT kWatchClear = WM_APP + 2;     // wParam: the new generation
constexpr UINT kWatchPassword = WM_APP + 3;  // lParam: a std::string* it deletes

struct TThreadStart {
  TPasswordWatcher* Watcher;
  HWND Window;
  UINT MatchMessage;
  HANDLE Ready;
};

}  // namespace

TPasswordWatcher::TPasswordWatcher(HWND window, UINT matchMessage)
    : FWindow(window), FMatchMessage(matchMessage) {
  FReady.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  auto* start = new TThreadStart{this, window, matchMessage, FReady.get()};
  FThread.reset(CreateThread(nullptr, 0, &TPasswordWatcher::ThreadProc, start, 0, &FThreadId));
  if (!FThread) {
    delete start;
    return;
  }
  // Messages posted before the thread has its queue would be lost.
  WaitForSingleObject(FReady.get(), 5000);
}

TPasswordWatcher::~TPasswordWatcher() {
  if (FThread) {
    PostThreadMessageA(FThreadId, WM_QUIT, 0, 0);
    // A derivation running at exit ends within a second or so.
    WaitForSingleObject(FThread.get(), 10000);
  }
}

void TPasswordWatcher::Post(UINT message, WPARAM wParam, LPARAM lParam) {
  if (FThread) PostThreadMessageA(FThreadId, message, wParam, lParam);
}

void TPasswordWatcher::SetPassword(const std::string& storedForm) {
  FHasPassword = settings::TStoredPassword::Parse(storedForm).has_value();
  ++FGeneration;
  if (!FThread) return;
  auto* copy = new std::string(storedForm);
  if (!PostThreadMessageA(FThreadId, kWatchPassword, FGeneration, reinterpret_cast<LPARAM>(copy)))
    delete copy;
}

void TPasswordWatcher::Clear() {
  ++FGeneration;
  Post(kWatchClear, FGeneration, 0);
}

void TPasswordWatcher::Feed(std::uint32_t shortcutCode) {
  if (FHasPassword) Post(kWatchKey, shortcutCode, 0);
}

DWORD WINAPI TPasswordWatcher::ThreadProc(LPVOID parameter) {
  const std::unique_ptr<TThreadStart> start(static_cast<TThreadStart*>(parameter));
  MSG message;
  PeekMessageA(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);  // makes the queue
  SetEvent(start->Ready);
  TSystemPasswordHasher hasher;
  rules::TPasswordMatcher matcher(hasher);
  WPARAM generation = 0;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    switch (message.message) {
      case kWatchPassword: {
        const std::unique_ptr<std::string> stored(reinterpret_cast<std::string*>(message.lParam));
        matcher.SetPassword(*stored);
        generation = message.wParam;
        break;
      }
      case kWatchClear:
        matcher.Clear();
        generation = message.wParam;
        break;
      case kWatchKey:
        if (matcher.Feed(static_cast<std::uint32_t>(message.wParam))) {
          matcher.Clear();
          PostMessageA(start->Window, start->MatchMessage, generation, 0);
        }
        break;
      default: break;
    }
  }
  // Strings of passwords still queued at the end are freed.
  while (PeekMessageA(&message, nullptr, kWatchPassword, kWatchPassword, PM_REMOVE))
    delete reinterpret_cast<std::string*>(message.lParam);
  return 0;
}

}  // namespace quell::app
