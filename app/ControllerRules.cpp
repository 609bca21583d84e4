#include "ControllerRules.h"

namespace quell::app {

TNotifyDecision DecideNotify(std::intptr_t code) {
  switch (code) {
    case -1: return {TNotifyAction::Activate, false, 0};
    case 0: return {TNotifyAction::Reply, true, 1};
    case 1: return {TNotifyAction::UpdateLockState, false, 0};
    case 2: return {TNotifyAction::ShowLockedNotice, false, 0};
    case 3: return {TNotifyAction::Lock, true, 3};
    case 4: return {TNotifyAction::Unlock, true, 4};
    case 5: return {TNotifyAction::CloseTaskManager, false, 0};
    case 6: return {TNotifyAction::ResetIdle, false, 0};
    default: return {TNotifyAction::None, false, 0};
  }
}

}  // namespace quell::app
