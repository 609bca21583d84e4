// The low-level mouse hook procedure: activity reports, and blocking of
// movement, left and right buttons and the wheel while locked.
#include "HookLibrary.h"

namespace quell::hook {

namespace {
bool IsCountedMouseMessage(std::uint32_t message) {
  switch (message) {
    case kWmMouseMove:
    case kWmLButtonDown:
    case kWmLButtonUp:
    case kWmRButtonDown:
    case kWmRButtonUp:
    case kWmMouseWheel: return true;
    default: return false;
  }
}
}  // namespace

int HookLibrary::IsMouseMessageLocked(std::uint32_t message) noexcept {
  switch (message) {
    case kWmMouseMove: return shared_.properties[PROP_LOCK_MOUSE_MOVE];
    case kWmLButtonDown:
    case kWmLButtonUp:
    case kWmRButtonDown:
    case kWmRButtonUp: return shared_.properties[PROP_LOCK_MOUSE_BTN];
    case kWmMouseWheel: return shared_.properties[PROP_LOCK_MOUSE_WHEEL];
    default: WriteLogLine("Mouse WPARAM %u", message); return 0;
  }
}

bool HookLibrary::LowLevelMouseProc(int nCode, std::uint32_t message) noexcept {
  shared_.lowLevelMouseSeen = os_.TickCount();
  if (IsCountedMouseMessage(message)) Notify(LN_ACTIVITY);
  // Evaluated in this order: the lookup (and its log line for other
  // messages) happens only for an event that could be blocked.
  if (Locked() && nCode == kHcAction && IsMouseMessageLocked(message)) {
    if (message != kWmMouseMove) Notify(LN_INPUT_BLOCKED);
    if (message == kWmLButtonDown || message == kWmRButtonDown) ++shared_.clicksStopped;
    return true;
  }
  return false;
}

}  // namespace quell::hook
