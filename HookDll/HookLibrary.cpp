#include "HookLibrary.h"

#include <cstdarg>
#include <initializer_list>

namespace quell::hook {

namespace {
constexpr std::uint32_t kSpiSetFastTaskSwitch = 36;
constexpr std::uint32_t kSpiSetScreenSaverRunning = 97;
constexpr std::uint32_t kSpiGetScreenSaveActive = 16;
constexpr std::uint32_t kSpiSetScreenSaveActive = 17;
constexpr std::uint32_t kSpifSendWinIniChange = 2;
constexpr const char* kPolicyKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
constexpr const char* kDisableTaskMgr = "DisableTaskMgr";
}  // namespace

void HookLibrary::Notify(NotifyCode code, std::uintptr_t wParam) noexcept {
  // Posted, never sent: the library must not wait for the program. With no
  // notify window the post goes to handle 0, i.e. to the posting thread.
  os_.Post(shared_.notifyWnd, wParam, code);
}

int HookLibrary::SetShellHook() noexcept {
  if (process_.module == 0) return 0;
  if (shared_.keyboardHook || shared_.lowLevelKeyboardHook || shared_.lowLevelMouseHook) return 1;
  shared_.keyboardHook = os_.InstallHook(HookKind::Keyboard, process_.module);
  shared_.lowLevelKeyboardHook = os_.InstallHook(HookKind::LowLevelKeyboard, process_.module);
  shared_.lowLevelMouseHook = os_.InstallHook(HookKind::LowLevelMouse, process_.module);
  if (!shared_.keyboardHook && !shared_.lowLevelKeyboardHook && !shared_.lowLevelMouseHook) return 0;
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
  // Never lock the keyboard and the mouse with no way to unlock them.
  if (p[PROP_LOCKED] && p[PROP_LOCK_KEYBOARD] && !p[PROP_KEY_UNLOCK] &&
      (p[PROP_LOCK_MOUSE_BTN] || p[PROP_LOCK_MOUSE_MOVE])) {
    p[PROP_LOCKED] = 0;
    p[index] = old;
    return 0;
  }
  if (index == PROP_LOCKED) {
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
  const bool locking = value != 0;
  os_.SystemParameters(kSpiSetScreenSaverRunning, static_cast<std::uint32_t>(value), nullptr, 0);
  os_.SystemParameters(kSpiSetFastTaskSwitch, locking ? 0 : 1, nullptr, 0);
  // The screen-saver setting from before the first lock is kept until the
  // unlock that restores it, so two locks in a row do not lose it.
  if (!process_.screenSaverSaved) {
    os_.SystemParameters(kSpiGetScreenSaveActive, 0, &process_.screenSaverValue, 0);
    process_.screenSaverSaved = 1;
  }
  if (locking) {
    if (shared_.properties[PROP_SCREEN_SAVER_OFF]) {
      os_.SystemParameters(kSpiSetScreenSaveActive, 0, nullptr, kSpifSendWinIniChange);
    }
  } else {
    os_.SystemParameters(kSpiSetScreenSaveActive,
                         static_cast<std::uint32_t>(process_.screenSaverValue), nullptr,
                         kSpifSendWinIniChange);
    process_.screenSaverSaved = 0;
  }

  std::uintptr_t key = 0;
  if (!os_.OpenRegistryKey(kHkeyCurrentUser, kPolicyKey, &key) &&
      !os_.CreateRegistryKey(kHkeyCurrentUser, kPolicyKey, &key)) {
    return;
  }
  if (locking) {
    os_.SetRegistryDword(key, kDisableTaskMgr, 1);
  } else {
    os_.DeleteRegistryValue(key, kDisableTaskMgr);
  }
  os_.CloseRegistryKey(key);
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
