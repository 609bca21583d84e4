#include "ControllerRules.h"

#include "HookDll/HookProtocol.h"

namespace quell::app {

TNotifyDecision DecideNotify(std::intptr_t code) {
  switch (code) {
    case LN_ACTIVATE: return {TNotifyAction::Activate, false, 0};
    case LN_PING: return {TNotifyAction::Reply, true, 1};
    case LN_STATE_CHANGED: return {TNotifyAction::UpdateLockState, false, 0};
    case LN_INPUT_BLOCKED: return {TNotifyAction::ShowLockedNotice, false, 0};
    case LN_LOCK_REQUEST: return {TNotifyAction::Lock, true, LN_LOCK_REQUEST};
    case LN_UNLOCK_REQUEST: return {TNotifyAction::Unlock, true, LN_UNLOCK_REQUEST};
    case LN_CTRL_ALT_DEL: return {TNotifyAction::CloseTaskManager, false, 0};
    case LN_ACTIVITY: return {TNotifyAction::ResetIdle, false, 0};
    case LN_CLEAN_LOCK_REQUEST: return {TNotifyAction::CleanLock, true, LN_CLEAN_LOCK_REQUEST};
    default: return {TNotifyAction::None, false, 0};
  }
}

TLibraryHotKeys LibraryHotKeys(std::int32_t lockKey, std::int32_t unlockKey, bool optionsOpen,
                               bool lockInForce) {
  if (!optionsOpen) return {lockKey, unlockKey};
  return {0, lockInForce ? unlockKey : 0};
}

bool PowerEventMayDropHooks(std::uintptr_t event) {
  constexpr std::uintptr_t kResumeSuspend = 0x7, kResumeAutomatic = 0x12;
  return event == kResumeSuspend || event == kResumeAutomatic;
}

bool SessionEventMayDropHooks(std::uintptr_t event) {
  constexpr std::uintptr_t kConsoleConnect = 0x1, kRemoteConnect = 0x3, kSessionUnlock = 0x8;
  return event == kConsoleConnect || event == kRemoteConnect || event == kSessionUnlock;
}

int TrayPictureOf(int imageIndex, int imageCount, bool locked) {
  if (imageIndex >= 0 && imageIndex < imageCount) return imageIndex;
  return locked ? kDefaultLockedImage : kDefaultUnlockedImage;
}

std::string StoppedInputLine(std::uint32_t keys, std::uint32_t clicks) {
  auto count = [](std::uint32_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
  };
  std::string line;
  if (keys > 0) line = count(keys, "key", "keys");
  if (clicks > 0) line += (line.empty() ? "" : ", ") + count(clicks, "click", "clicks");
  return line.empty() ? line : "Stopped while locked: " + line + ".";
}

}  // namespace quell::app
