// Start with Windows: when the Run value is written, corrected, removed or
// left alone.
#include <gtest/gtest.h>

#include "controller/StartWithWindows.h"

namespace quell::app {
namespace {

const char* const Exe = "C:\\Program Files\\Quellane\\Quellane.exe";

// The Run value in memory, counting the writes and removals.
class TMemoryRunEntry : public TRunEntryStore {
 public:
  std::optional<std::string> Read() override { return Value; }
  bool Write(const std::string& data) override {
    ++Writes;
    if (Refuse) return false;
    Value = data;
    return true;
  }
  bool Remove() override {
    ++Removals;
    if (Refuse) return false;
    Value.reset();
    return true;
  }
  std::optional<std::string> Value;
  int Writes = 0;
  int Removals = 0;
  bool Refuse = false;
};

TEST(StartWithWindows, OnWritesTheQuotedPathOnceAndCorrectsAnEntryThatPointsElsewhere) {
  EXPECT_EQ(RunEntryFor(Exe), "\"C:\\Program Files\\Quellane\\Quellane.exe\"");
  TMemoryRunEntry entry;
  EXPECT_TRUE(ApplyStartWithWindows(entry, true, false, Exe));
  EXPECT_EQ(entry.Value, RunEntryFor(Exe));
  EXPECT_TRUE(ApplyStartWithWindows(entry, true, true, Exe));
  EXPECT_EQ(entry.Writes, 1);  // already right: not written again

  for (const char* elsewhere :
       {"\"D:\\Old\\Quellane.exe\"", "C:\\Program Files\\Quellane\\Quellane.exe", ""}) {
    entry.Value = elsewhere;
    EXPECT_TRUE(ApplyStartWithWindows(entry, true, true, Exe));
    EXPECT_EQ(entry.Value, RunEntryFor(Exe)) << elsewhere;
  }
}

TEST(StartWithWindows, TurnedOffTheEntryIsRemovedButAnEntryNeverOursIsLeftAlone) {
  TMemoryRunEntry entry;
  entry.Value = RunEntryFor(Exe);
  EXPECT_TRUE(ApplyStartWithWindows(entry, false, true, Exe));
  EXPECT_FALSE(entry.Value);
  EXPECT_TRUE(ApplyStartWithWindows(entry, false, true, Exe));  // nothing left to remove
  EXPECT_EQ(entry.Removals, 1);
  // The option was never on: the installer's entry stays.
  entry.Value = RunEntryFor(Exe);
  EXPECT_TRUE(ApplyStartWithWindows(entry, false, false, Exe));
  EXPECT_EQ(entry.Value, RunEntryFor(Exe));
}

TEST(StartWithWindows, ARefusedWriteIsReported) {
  TMemoryRunEntry entry;
  entry.Refuse = true;
  EXPECT_FALSE(ApplyStartWithWindows(entry, true, false, Exe));
  entry.Value = "x";
  EXPECT_FALSE(ApplyStartWithWindows(entry, false, true, Exe));
}

TEST(StartWithWindows, AnEntryNamesTheExecutableWithOrWithoutQuotesInAnyCase) {
  EXPECT_TRUE(RunEntryNames(RunEntryFor(Exe), Exe));
  EXPECT_TRUE(RunEntryNames(std::string("c:\\program files\\quellane\\QUELLANE.EXE"), Exe));
  EXPECT_TRUE(RunEntryNames(std::string(" \"C:\\Program Files\\Quellane\\Quellane.exe\" "), Exe));
  EXPECT_FALSE(RunEntryNames(std::string("\"D:\\Quellane.exe\""), Exe));
  EXPECT_FALSE(RunEntryNames(std::nullopt, Exe));
  EXPECT_FALSE(RunEntryNames(std::string("\"C:\\Program Files\\Quellane\\Quellane.exe\" /L"), Exe));
}

}  // namespace
}  // namespace quell::app
