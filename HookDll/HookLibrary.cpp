#include "HookLibrary.h"

#include <cstdarg>
#include <initializer_list>

namespace quell::hook {

void HookLibrary::Notify(NotifyCode code, std::uintptr_t wParam) noexcept {
  // Posted, never sent: the library must not wait for the program. With no
  // notify window the post goes to handle 0, i.e. to the posting thread.
  os_.Post(shared_.notifyWnd, wParam, code);
}

bool HookLibrary::HooksOutlivedTheirOwner() noexcept {
  if (!shared_.keyboardHook && !shared_.lowLevelKeyboardHook && !shared_.lowLevelMouseHook) {
    return false;
  }
  const std::uint32_t owner = shared_.hookOwner;
  return owner != os_.CurrentProcessId() && !os_.IsProcessRunning(owner);
}

int HookLibrary::SetShellHook() noexcept {
  if (process_.module == 0) return 0;
  if (HooksOutlivedTheirOwner()) {
    // The program that installed them ended (killed, crashed) while other
    // processes kept the record: its hooks are gone, and so is its lock.
    shared_.keyboardHook = shared_.lowLevelKeyboardHook = shared_.lowLevelMouseHook = 0;
    shared_.properties[PROP_LOCKED] = 0;
    ++shared_.lockFlagWrites;
    if (shared_.lockChanges.made != 0) {
      UndoLockChanges(system_, shared_.lockChanges);
      StoreLockRecord(system_, shared_.lockChanges);
    }
  }
  if (shared_.keyboardHook || shared_.lowLevelKeyboardHook || shared_.lowLevelMouseHook) return 1;
  shared_.keyboardHook = os_.InstallHook(HookKind::Keyboard, process_.module);
  shared_.lowLevelKeyboardHook = os_.InstallHook(HookKind::LowLevelKeyboard, process_.module);
  shared_.lowLevelMouseHook = os_.InstallHook(HookKind::LowLevelMouse, process_.module);
  if (!shared_.keyboardHook && !shared_.lowLevelKeyboardHook && !shared_.lowLevelMouseHook)
    return 0;
  shared_.hookOwner = os_.CurrentProcessId();
  // New hooks have missed nothing yet.
  shared_.lowLevelKeyboardSeen = shared_.lowLevelMouseSeen = os_.TickCount();
  Notify(LN_STATE_CHANGED);
  return 1;
}

int HookLibrary::UnSetShellHook() noexcept {
  int result = 1;
  for (std::uint32_t* hook :
       {&shared_.keyboardHook, &shared_.lowLevelKeyboardHook, &shared_.lowLevelMouseHook}) {
    if (*hook != 0) {
      result = os_.RemoveHook(*hook) ? 1 : 0;
      *hook = 0;
    }
  }
  shared_.hookOwner = 0;
  if (result) Notify(LN_STATE_CHANGED);
  return result;
}

int HookLibrary::SetNotifyWnd(std::uint32_t window) noexcept {
  shared_.notifyWnd = window;
  return 1;
}

std::int32_t HookLibrary::GetProperty(int index) const noexcept {
  if (index < 0 || index >= kStoredPropertyCount) return 0;
  return shared_.properties[index];
}

int HookLibrary::SetProperties(int index, int value) noexcept {
  if (index < 0 || index >= kStoredPropertyCount) return 0;
  std::int32_t* p = shared_.properties;
  const std::int32_t old = p[index];
  p[index] = value;
  // Never lock the keyboard and the mouse with no way to unlock them: an
  // unlock hot key that cannot be typed counts as none.
  if (p[PROP_LOCKED] && p[PROP_LOCK_KEYBOARD] && !IsTypableHotKey(p[PROP_KEY_UNLOCK]) &&
      (p[PROP_LOCK_MOUSE_BTN] || p[PROP_LOCK_MOUSE_MOVE])) {
    p[PROP_LOCKED] = 0;
    p[index] = old;
    ++shared_.lockFlagWrites;
    return 0;
  }
  if (index == PROP_LOCKED) {
    // A lock begins: nothing stopped yet. An unlock keeps the counts for
    // the program to read.
    if (old == 0 && value != 0) shared_.keysStopped = shared_.clicksStopped = 0;
    ++shared_.lockFlagWrites;
    Notify(LN_STATE_CHANGED);
    ApplyLockSideEffects(value);
  }
  return 1;
}

int HookLibrary::GetIsLocked() const noexcept {
  const bool hooked =
      shared_.keyboardHook || shared_.lowLevelKeyboardHook || shared_.lowLevelMouseHook;
  return Locked() && hooked ? 1 : 0;
}

void HookLibrary::ApplyLockSideEffects(int value) noexcept {
  LockChanges& changes = shared_.lockChanges;
  if (value != 0) {
    ApplyLockChanges(system_, changes, value, shared_.properties[PROP_SCREEN_SAVER_OFF] != 0);
  } else if (changes.made != 0) {
    UndoLockChanges(system_, changes);
  } else {
    return;  // no lock of ours to undo: the system is left as it is
  }
  // The registry copy follows, for a start-up after the program died.
  StoreLockRecord(system_, changes);
}

bool HookLibrary::LogOpen() noexcept {
  return process_.log != nullptr && shared_.logOwner == os_.CurrentProcessId();
}

int HookLibrary::StartLog(const char* path) noexcept {
  // This process's own stream is always closed; another process's log is
  // only dropped (its stream cannot be reached from here, and its owner
  // closes it at its own next StartLog).
  if (process_.log != nullptr) {
    std::fclose(process_.log);
    process_.log = nullptr;
  }
  shared_.logOwner = 0;
  if (path == nullptr) return 1;
  // Binary append with explicit CR LF line ends: the same bytes as a text
  // stream gives on Windows, on every platform.
  std::FILE* stream = std::fopen(path, "a+b");
  if (stream == nullptr) return 0;
  process_.log = stream;
  shared_.logOwner = os_.CurrentProcessId();
  return 1;
}

int HookLibrary::WriteLogLine(const char* format, ...) noexcept {
  if (!LogOpen()) return 0;
  std::va_list args;
  va_start(args, format);
#if defined(_WIN32)
  // The C runtime's own formatter: mingw's portable one would triple the
  // size of a library that is injected into every process.
  __ms_vfprintf(process_.log, format, args);
#else
  std::vfprintf(process_.log, format, args);
#endif
  va_end(args);
  std::fputs("\r\n", process_.log);
  std::fflush(process_.log);
  return 1;
}

}  // namespace quell::hook
