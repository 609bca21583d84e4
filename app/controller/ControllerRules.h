// The lock controller's decisions that need no window: what each
// notification code asks for, the hot keys the library holds, the tray
// picture, the unlock notice's count and the Task Manager closer.
#pragma once

#include <cstdint>
#include <string>

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
  CleanLock,
  CloseTaskManager,
  ResetIdle,
};
struct TNotifyDecision {
  TNotifyAction action;
  bool replies;  // ReplyMessage after the action
  long reply;    // the value replied
};
TNotifyDecision DecideNotify(std::intptr_t code);

// The hot keys handed to the library. While the options dialog is open the
// lock hot key is none, whatever locks or unlocks meanwhile, so that typing
// it into the dialog locks nothing; the unlock hot key is none as well,
// except while a lock is in force or being made: a lock needs its way out.
struct TLibraryHotKeys {
  std::int32_t lock;
  std::int32_t unlock;
};
TLibraryHotKeys LibraryHotKeys(std::int32_t lockKey, std::int32_t unlockKey, bool optionsOpen,
                               bool lockInForce);

// Power and session events after which the system may have dropped the
// hooks: resume from sleep (WM_POWERBROADCAST), a session unlocked or
// connected again (WM_WTSSESSION_CHANGE).
bool PowerEventMayDropHooks(std::uintptr_t event);
bool SessionEventMayDropHooks(std::uintptr_t event);

// The unlock notice's line for what the lock stopped ("Stopped while
// locked: 37 keys, 5 clicks."); empty when it stopped nothing.
std::string StoppedInputLine(std::uint32_t keys, std::uint32_t clicks);

// The main image list's pictures of the two states.
inline constexpr int kDefaultLockedImage = 2;
inline constexpr int kDefaultUnlockedImage = 3;
// The tray picture of a state: the settings' image while the image list
// has it, otherwise the state's own default, so that the picture always
// says whether the computer is locked.
int TrayPictureOf(int imageIndex, int imageCount, bool locked);

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
