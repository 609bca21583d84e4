// The system changes a lock makes, and their undoing. What each lock
// changed is recorded, so that the unlock restores exactly the state from
// before it and touches nothing it did not change: a Task Manager policy set
// by an administrator stays, whoever unlocks, and an unlock with nothing
// recorded does nothing. The record lives in the library's shared record (an
// unlock can happen in any process) and is copied to the registry, so that
// when the program dies while locked its next start can undo what is left.
#pragma once

#include <cstdint>

#include "SystemSettings.h"

namespace quell::hook {

// 32-bit words only: part of the shared record, the same in every build.
struct LockChanges {
  enum Bits : std::uint32_t {
    kLockInForce = 1,     // screen saver "running" and fast task switching switched
    kPolicyCreated = 2,   // DisableTaskMgr did not exist: delete it
    kPolicyReplaced = 4,  // it held another number: put policyBefore back
    kScreenSaverOff = 8,  // the screen saver was switched off: put screenSaverBefore back
  };
  std::uint32_t made;
  std::uint32_t policyBefore;
  std::uint32_t screenSaverBefore;
};

// Where the registry copy is kept, and its encoding: 16 bytes, little-endian
// words: a tag, then the three words of the record.
inline constexpr const char* kLockRecordKey = "Software\\Quellane";
inline constexpr const char* kLockRecordValue = "LockChanges";
inline constexpr std::uint32_t kLockRecordTag = 0x31434C51u;  // "QLC1"
inline constexpr std::uint32_t kLockRecordSize = 16;

void EncodeLockRecord(const LockChanges& changes, std::uint8_t (&bytes)[kLockRecordSize]) noexcept;
// False for anything that is not a record of this encoding.
bool DecodeLockRecord(const std::uint8_t* bytes, std::uint32_t size, LockChanges* changes) noexcept;

// Switches the lock's settings on; `value` is the lock flag written. Each
// change is recorded the first time it is made: the state before the first
// of several locks in a row is the one kept.
void ApplyLockChanges(SystemSettings& system, LockChanges& changes, std::int32_t value,
                      bool screenSaverOff) noexcept;
// Undoes what `changes` records and forgets it; a change that could not be
// undone stays recorded. A policy value changed by someone else since the
// lock is theirs and is left alone.
void UndoLockChanges(SystemSettings& system, LockChanges& changes) noexcept;

// The registry copy: written while something is recorded, deleted when not.
void StoreLockRecord(SystemSettings& system, const LockChanges& changes) noexcept;
// The registry copy; false when there is none (or none that decodes).
bool LoadLockRecord(SystemSettings& system, LockChanges* changes) noexcept;

// Start-up repair after a program that died while locked: undoes what the
// registry copy still records and updates the copy. Returns what was found.
LockChanges RepairLockLeftovers(SystemSettings& system) noexcept;

}  // namespace quell::hook
