// The record of what a lock changed: its registry encoding, and the start-up
// repair after a program that died while locked.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "FakeHookPlatform.h"
#include "HookDll/LockChanges.h"

namespace quell::hook::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using C = LockChanges;

void StoreRaw(FakeHookPlatform& os, std::uint32_t type, std::vector<std::uint8_t> bytes) {
  os.registry[kRecordPath]["LockChanges"] = {type, std::move(bytes)};
}

TEST(LockRecord, EncodesAsSixteenLittleEndianBytesAndDecodesBack) {
  const LockChanges changes{C::kLockInForce | C::kPolicyReplaced | C::kScreenSaverOff, 0x01020304,
                            0xA0B0C0D0};
  std::uint8_t bytes[kLockRecordSize];
  EncodeLockRecord(changes, bytes);
  EXPECT_THAT(bytes,
              ElementsAre('Q', 'L', 'C', '1', 13, 0, 0, 0, 4, 3, 2, 1, 0xD0, 0xC0, 0xB0, 0xA0));
  LockChanges back{};
  ASSERT_TRUE(DecodeLockRecord(bytes, sizeof bytes, &back));
  EXPECT_EQ(back.made, changes.made);
  EXPECT_EQ(back.policyBefore, changes.policyBefore);
  EXPECT_EQ(back.screenSaverBefore, changes.screenSaverBefore);
}

TEST(LockRecord, AnythingElseDoesNotDecode) {
  std::uint8_t good[kLockRecordSize];
  EncodeLockRecord({C::kPolicyCreated, 0, 0}, good);
  LockChanges out{};
  EXPECT_FALSE(DecodeLockRecord(good, kLockRecordSize - 1, &out)) << "short";
  EXPECT_FALSE(DecodeLockRecord(good, 0, &out));
  auto changed = [&](int at, std::uint8_t value) {
    std::uint8_t copy[kLockRecordSize];
    std::copy(std::begin(good), std::end(good), copy);
    copy[at] = value;
    return DecodeLockRecord(copy, kLockRecordSize, &out);
  };
  EXPECT_FALSE(changed(0, 'X')) << "another tag";
  EXPECT_FALSE(changed(4, 0x10)) << "an unknown change";
  EXPECT_FALSE(changed(4, C::kPolicyCreated | C::kPolicyReplaced)) << "created and replaced";
  EXPECT_FALSE(changed(7, 0x80));
  EXPECT_TRUE(changed(4, 0)) << "an empty record is a record";
}

class RepairTest : public ::testing::Test {
 protected:
  FakeHookPlatform os;
  void Store(const LockChanges& changes) {
    std::uint8_t bytes[kLockRecordSize];
    EncodeLockRecord(changes, bytes);
    StoreRaw(os, kRegBinary, {std::begin(bytes), std::end(bytes)});
  }
};

TEST_F(RepairTest, UndoesWhatADeadLockLeftAndDeletesTheRecord) {
  os.SetDword(kPolicyPath, "DisableTaskMgr", 1);
  os.screenSaveActive = 0;
  Store({C::kLockInForce | C::kPolicyCreated | C::kScreenSaverOff, 0, 1});
  const LockChanges found = RepairLockLeftovers(os);
  EXPECT_EQ(found.made, C::kLockInForce | C::kPolicyCreated | C::kScreenSaverOff);
  EXPECT_EQ(os.Policy(), -1);
  EXPECT_EQ(os.screenSaveActive, 1);
  EXPECT_FALSE(os.HasRecord());
  EXPECT_THAT(os.calls, ::testing::IsSupersetOf({"spi 97 0 null 0", "spi 36 1 null 0"}));
  EXPECT_EQ(os.OpenKeys(), 0u);
}

TEST_F(RepairTest, PutsBackAReplacedNumber) {
  os.SetDword(kPolicyPath, "DisableTaskMgr", 1);
  Store({C::kLockInForce | C::kPolicyReplaced, 0, 0});
  RepairLockLeftovers(os);
  EXPECT_EQ(os.Policy(), 0);
  EXPECT_FALSE(os.HasRecord());
}

TEST_F(RepairTest, NothingRecordedMeansNothingTouched) {
  os.SetDword(kPolicyPath, "DisableTaskMgr", 1);
  os.screenSaveActive = 0;
  EXPECT_EQ(RepairLockLeftovers(os).made, 0u);
  EXPECT_THAT(os.calls, ElementsAre("reg open " + kRecordPath)) << "no key, nothing more";
  os.registry[kRecordPath];  // the key without a value
  os.calls.clear();
  RepairLockLeftovers(os);
  EXPECT_EQ(os.Policy(), 1);
  EXPECT_EQ(os.screenSaveActive, 0);
  for (const auto& call : os.calls) EXPECT_EQ(call.find("spi"), std::string::npos) << call;
}

TEST_F(RepairTest, ARecordThatDoesNotDecodeIsDroppedWithoutActing) {
  os.SetDword(kPolicyPath, "DisableTaskMgr", 1);
  StoreRaw(os, kRegBinary, {1, 2, 3});
  RepairLockLeftovers(os);
  EXPECT_FALSE(os.HasRecord());
  EXPECT_EQ(os.Policy(), 1);
  std::uint8_t bytes[kLockRecordSize];
  EncodeLockRecord({C::kPolicyCreated, 0, 0}, bytes);
  StoreRaw(os, kRegDword, {std::begin(bytes), std::end(bytes)});  // right bytes, wrong type
  RepairLockLeftovers(os);
  EXPECT_FALSE(os.HasRecord());
  EXPECT_EQ(os.Policy(), 1);
}

TEST_F(RepairTest, PolicyChangedSinceTheCrashIsLeftAlone) {
  os.SetDword(kPolicyPath, "DisableTaskMgr", 0);  // set by someone after the crash
  Store({C::kPolicyCreated, 0, 0});
  RepairLockLeftovers(os);
  EXPECT_EQ(os.Policy(), 0);
  EXPECT_FALSE(os.HasRecord());
}

TEST_F(RepairTest, WhatCouldNotBeUndoneStaysRecorded) {
  os.SetDword(kPolicyPath, "DisableTaskMgr", 1);
  os.screenSaveActive = 0;
  Store({C::kLockInForce | C::kPolicyCreated | C::kScreenSaverOff, 0, 1});
  os.deleteFails = true;
  RepairLockLeftovers(os);
  LockChanges left{};
  ASSERT_TRUE(LoadLockRecord(os, &left));
  EXPECT_EQ(left.made, C::kPolicyCreated) << "the screen saver was put back";
  EXPECT_EQ(os.screenSaveActive, 1);
  os.deleteFails = false;
  RepairLockLeftovers(os);
  EXPECT_EQ(os.Policy(), -1);
  EXPECT_FALSE(os.HasRecord());
}

TEST(LockChangesAcrossARepair, ALockAfterTheRepairRecordsAnew) {
  FakeHookPlatform os;
  LockChanges changes{};
  ApplyLockChanges(os, changes, 1, true);
  StoreLockRecord(os, changes);
  ASSERT_EQ(os.Policy(), 1);
  ASSERT_EQ(os.screenSaveActive, 0);
  RepairLockLeftovers(os);  // the program died; the next start
  EXPECT_EQ(os.Policy(), -1);
  EXPECT_EQ(os.screenSaveActive, 1);
  LockChanges next{};
  ApplyLockChanges(os, next, 1, true);
  EXPECT_EQ(next.made, changes.made);
  UndoLockChanges(os, next);
  EXPECT_EQ(next.made, 0u);
  EXPECT_EQ(os.Policy(), -1);
  EXPECT_EQ(os.screenSaveActive, 1);
}

}  // namespace
}  // namespace quell::hook::testing
