#include "LockChanges.h"

namespace quell::hook {

namespace {
constexpr std::uint32_t kSpiSetFastTaskSwitch = 36;
constexpr std::uint32_t kSpiSetScreenSaverRunning = 97;
constexpr std::uint32_t kSpiGetScreenSaveActive = 16;
constexpr std::uint32_t kSpiSetScreenSaveActive = 17;
constexpr std::uint32_t kSpifSendWinIniChange = 2;
constexpr const char* kPolicyKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
constexpr const char* kDisableTaskMgr = "DisableTaskMgr";
constexpr std::uint32_t kPolicyBits = LockChanges::kPolicyCreated | LockChanges::kPolicyReplaced;
constexpr std::uint32_t kKnownBits =
    LockChanges::kLockInForce | kPolicyBits | LockChanges::kScreenSaverOff;

void PutWord(std::uint8_t* at, std::uint32_t word) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(word >> (8 * i));
}
std::uint32_t GetWord(const std::uint8_t* at) {
  std::uint32_t word = 0;
  for (int i = 3; i >= 0; --i) word = word << 8 | at[i];
  return word;
}

// The policy value as a number; false when it is absent, unreadable or not
// a 32-bit number (then it is not ours to change).
enum class Policy { Absent, Number, Foreign };
Policy ReadPolicy(SystemSettings& system, std::uintptr_t key, std::uint32_t* number) {
  std::uint32_t type = 0, size = sizeof *number;
  switch (system.QueryRegistryValue(key, kDisableTaskMgr, &type, number, &size)) {
    case RegistryValue::Absent: return Policy::Absent;
    case RegistryValue::Present:
      return type == kRegDword && size == 4 ? Policy::Number : Policy::Foreign;
    case RegistryValue::Unreadable: break;
  }
  return Policy::Foreign;
}

bool SetPolicy(SystemSettings& system, std::uintptr_t key, std::uint32_t number) {
  return system.SetRegistryValue(key, kDisableTaskMgr, kRegDword, &number, sizeof number);
}

void DisableTaskManager(SystemSettings& system, LockChanges& changes) {
  std::uintptr_t key = 0;
  if (!system.OpenRegistryKey(kHkeyCurrentUser, kPolicyKey, &key) &&
      !system.CreateRegistryKey(kHkeyCurrentUser, kPolicyKey, &key)) {
    return;
  }
  std::uint32_t before = 0;
  switch (ReadPolicy(system, key, &before)) {
    case Policy::Absent:
      if (SetPolicy(system, key, 1)) changes.made |= LockChanges::kPolicyCreated;
      break;
    case Policy::Number:
      // Already 1 (an administrator's policy): nothing to change or undo.
      if (before != 1 && SetPolicy(system, key, 1)) {
        changes.policyBefore = before;
        changes.made |= LockChanges::kPolicyReplaced;
      }
      break;
    case Policy::Foreign: break;
  }
  system.CloseRegistryKey(key);
}

void RestoreTaskManager(SystemSettings& system, LockChanges& changes) {
  std::uintptr_t key = 0;
  if (!system.OpenRegistryKey(kHkeyCurrentUser, kPolicyKey, &key)) {
    // No key, no value of ours left to undo.
    changes.made &= ~kPolicyBits;
    return;
  }
  std::uint32_t now = 0;
  bool undone = true;
  // Only the 1 the lock wrote is undone; any other state is someone else's.
  if (ReadPolicy(system, key, &now) == Policy::Number && now == 1) {
    undone = (changes.made & LockChanges::kPolicyCreated)
                 ? system.DeleteRegistryValue(key, kDisableTaskMgr)
                 : SetPolicy(system, key, changes.policyBefore);
  }
  system.CloseRegistryKey(key);
  if (undone) {
    changes.made &= ~kPolicyBits;
    changes.policyBefore = 0;
  }
}
}  // namespace

void EncodeLockRecord(const LockChanges& changes, std::uint8_t (&bytes)[kLockRecordSize]) noexcept {
  PutWord(bytes, kLockRecordTag);
  PutWord(bytes + 4, changes.made);
  PutWord(bytes + 8, changes.policyBefore);
  PutWord(bytes + 12, changes.screenSaverBefore);
}

bool DecodeLockRecord(const std::uint8_t* bytes, std::uint32_t size,
                      LockChanges* changes) noexcept {
  if (size != kLockRecordSize || GetWord(bytes) != kLockRecordTag) return false;
  const std::uint32_t made = GetWord(bytes + 4);
  if ((made & ~kKnownBits) != 0 || (made & kPolicyBits) == kPolicyBits) return false;
  *changes = {made, GetWord(bytes + 8), GetWord(bytes + 12)};
  return true;
}

void ApplyLockChanges(SystemSettings& system, LockChanges& changes, std::int32_t value,
                      bool screenSaverOff) noexcept {
  system.SystemParameters(kSpiSetScreenSaverRunning, static_cast<std::uint32_t>(value), nullptr, 0);
  system.SystemParameters(kSpiSetFastTaskSwitch, 0, nullptr, 0);
  changes.made |= LockChanges::kLockInForce;
  if (screenSaverOff && !(changes.made & LockChanges::kScreenSaverOff)) {
    // A setting that cannot be read is left as it is: it could not be put back.
    std::int32_t active = 0;
    if (system.SystemParameters(kSpiGetScreenSaveActive, 0, &active, 0) && active != 0 &&
        system.SystemParameters(kSpiSetScreenSaveActive, 0, nullptr, kSpifSendWinIniChange)) {
      changes.screenSaverBefore = static_cast<std::uint32_t>(active);
      changes.made |= LockChanges::kScreenSaverOff;
    }
  }
  if (!(changes.made & kPolicyBits)) DisableTaskManager(system, changes);
}

void UndoLockChanges(SystemSettings& system, LockChanges& changes) noexcept {
  if (changes.made & LockChanges::kLockInForce) {
    system.SystemParameters(kSpiSetScreenSaverRunning, 0, nullptr, 0);
    system.SystemParameters(kSpiSetFastTaskSwitch, 1, nullptr, 0);
    changes.made &= ~LockChanges::kLockInForce;
  }
  if ((changes.made & LockChanges::kScreenSaverOff) &&
      system.SystemParameters(kSpiSetScreenSaveActive, changes.screenSaverBefore, nullptr,
                              kSpifSendWinIniChange)) {
    changes.made &= ~LockChanges::kScreenSaverOff;
    changes.screenSaverBefore = 0;
  }
  if (changes.made & kPolicyBits) RestoreTaskManager(system, changes);
}

void StoreLockRecord(SystemSettings& system, const LockChanges& changes) noexcept {
  std::uintptr_t key = 0;
  if (changes.made == 0) {
    if (!system.OpenRegistryKey(kHkeyCurrentUser, kLockRecordKey, &key)) return;
    system.DeleteRegistryValue(key, kLockRecordValue);
  } else {
    if (!system.OpenRegistryKey(kHkeyCurrentUser, kLockRecordKey, &key) &&
        !system.CreateRegistryKey(kHkeyCurrentUser, kLockRecordKey, &key)) {
      return;
    }
    std::uint8_t bytes[kLockRecordSize];
    EncodeLockRecord(changes, bytes);
    system.SetRegistryValue(key, kLockRecordValue, kRegBinary, bytes, kLockRecordSize);
  }
  system.CloseRegistryKey(key);
}

namespace {
// Reads the registry copy from an open key: Absent, or Present with a
// record that decodes, or Unreadable for anything else there.
RegistryValue ReadRecord(SystemSettings& system, std::uintptr_t key, LockChanges* changes) {
  std::uint8_t bytes[kLockRecordSize] = {};
  std::uint32_t type = 0, size = kLockRecordSize;
  const RegistryValue found = system.QueryRegistryValue(key, kLockRecordValue, &type, bytes, &size);
  if (found != RegistryValue::Present) return found;
  return type == kRegBinary && DecodeLockRecord(bytes, size, changes) ? RegistryValue::Present
                                                                      : RegistryValue::Unreadable;
}
}  // namespace

bool LoadLockRecord(SystemSettings& system, LockChanges* changes) noexcept {
  std::uintptr_t key = 0;
  if (!system.OpenRegistryKey(kHkeyCurrentUser, kLockRecordKey, &key)) return false;
  const bool found = ReadRecord(system, key, changes) == RegistryValue::Present;
  system.CloseRegistryKey(key);
  return found;
}

LockChanges RepairLockLeftovers(SystemSettings& system) noexcept {
  LockChanges found{};
  std::uintptr_t key = 0;
  if (!system.OpenRegistryKey(kHkeyCurrentUser, kLockRecordKey, &key)) return found;
  const RegistryValue read = ReadRecord(system, key, &found);
  // A value there that does not decode is no record to act on: dropped.
  if (read == RegistryValue::Unreadable) system.DeleteRegistryValue(key, kLockRecordValue);
  system.CloseRegistryKey(key);
  if (read != RegistryValue::Present) return LockChanges{};
  LockChanges left = found;
  UndoLockChanges(system, left);
  StoreLockRecord(system, left);
  return found;
}

}  // namespace quell::hook
