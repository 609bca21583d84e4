// The lock controller's decisions that need no window: what each
// notification code asks for and the Task Manager closer.
#pragma once

#include <cstdint>

namespace quell::app {

// What the main window does with a notification code, and its reply.
enum class TNotifyAction {
  None,
  Activate,
  Reply,
  UpdateLockState,
  ShowLockedNotice,
  Lock,
  Unlock,
  CloseTaskManager,
  ResetIdle,
};
struct TNotifyDecision {
  TNotifyAction action;
  bool replies;  // ReplyMessage after the action
  long reply;    // the value replied
};
TNotifyDecision DecideNotify(std::intptr_t code);

// The Task Manager closer: after Ctrl+Alt+Delete while locked, a Task
// Manager window is closed, or looked for once a second until one is found.
// It looks only while the computer is locked: a Task Manager opened by the
// user after unlocking is left alone.
class TTaskManagerCloser {
 public:
  enum class Step { Close, KeepLooking, Stop };
  // One look (on the notification or a timer tick) given whether the
  // computer is locked and whether a Task Manager window exists.
  Step Look(bool locked, bool windowFound) {
    if (!locked) return Step::Stop;
    return windowFound ? Step::Close : Step::KeepLooking;
  }
};

}  // namespace quell::app
