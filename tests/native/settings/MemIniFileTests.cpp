// The in-memory ini file: reading text, lookups, the integer grammar,
// writing values and the text that is written back.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "settings/MemIniFile.h"

namespace quell::settings {
namespace {

using ::testing::ElementsAre;

constexpr std::int32_t Default = 77;

std::unique_ptr<TMemIniFile> Parse(std::string_view text) {
  auto ini = std::make_unique<TMemIniFile>("");
  ini->LoadFromText(text);
  return ini;
}

// --- the integer grammar ---

struct IntCase {
  const char* text;
  std::optional<std::int32_t> expected;
};

class ParseIniIntTest : public ::testing::TestWithParam<IntCase> {};

TEST_P(ParseIniIntTest, ReadsTheValueOrNothing) {
  const IntCase& c = GetParam();
  EXPECT_EQ(ParseIniInt(c.text), c.expected) << "text: \"" << c.text << "\"";
}

constexpr std::int32_t Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t Min = std::numeric_limits<std::int32_t>::min();

INSTANTIATE_TEST_SUITE_P(
    Decimal, ParseIniIntTest,
    ::testing::Values(IntCase{"0", 0}, IntCase{"5", 5}, IntCase{"+7", 7}, IntCase{"-1", -1},
                      IntCase{"-0", 0}, IntCase{"0000000000000000000042", 42},
                      IntCase{"2147483647", Max}, IntCase{"2147483648", std::nullopt},
                      IntCase{"-2147483648", Min}, IntCase{"-2147483649", std::nullopt},
                      IntCase{"4294967295", std::nullopt},
                      IntCase{"99999999999999999999999", std::nullopt}, IntCase{"", std::nullopt},
                      IntCase{"+", std::nullopt}, IntCase{"-", std::nullopt},
                      IntCase{"+-1", std::nullopt}, IntCase{"1 2", std::nullopt},
                      IntCase{"12a", std::nullopt}, IntCase{"abc", std::nullopt},
                      IntCase{"1.0", std::nullopt}));

INSTANTIATE_TEST_SUITE_P(
    Hexadecimal, ParseIniIntTest,
    ::testing::Values(IntCase{"0x404C", 16460}, IntCase{"0X404c", 16460}, IntCase{"$404C", 16460},
                      IntCase{"x404c", 16460}, IntCase{"X404C", 16460}, IntCase{"0x1", 1},
                      IntCase{"$FFFFFFFF", -1}, IntCase{"0xffffffff", -1},
                      IntCase{"$80000000", Min}, IntCase{"$7FFFFFFF", Max}, IntCase{"$00000001", 1},
                      // more than eight digits, even when they spell a small value
                      IntCase{"$100000000", std::nullopt}, IntCase{"$000000001", std::nullopt},
                      // a prefix alone
                      IntCase{"0x", std::nullopt}, IntCase{"0X", std::nullopt},
                      IntCase{"$", std::nullopt}, IntCase{"x", std::nullopt},
                      // no sign before a hexadecimal prefix, none after it
                      IntCase{"-$5", std::nullopt}, IntCase{"-0x5", std::nullopt},
                      IntCase{"+$5", std::nullopt}, IntCase{"$-5", std::nullopt},
                      IntCase{"0x-5", std::nullopt}, IntCase{"$G", std::nullopt},
                      IntCase{"0xx5", std::nullopt}, IntCase{"0x$5", std::nullopt},
                      IntCase{"$ 5", std::nullopt}));

TEST(MemIniFileReadInt, GivesTheDefaultForMissingOrUnreadableValues) {
  const auto ini = Parse("[S]\nEMPTY=\nBAD=abc\nGOOD=12\n");
  EXPECT_EQ(ini->ReadInt("S", "GOOD", Default), 12);
  EXPECT_EQ(ini->ReadInt("S", "EMPTY", Default), Default);
  EXPECT_EQ(ini->ReadInt("S", "BAD", Default), Default);
  EXPECT_EQ(ini->ReadInt("S", "MISSING", Default), Default);
  EXPECT_EQ(ini->ReadInt("Other", "GOOD", Default), Default);
  // a key is the whole text before "=", not a prefix of it
  EXPECT_EQ(ini->ReadInt("S", "GOO", Default), Default);
}

// --- reading the text ---

TEST(MemIniFileReader, SplitsLinesAtCrLfAndCrLf) {
  EXPECT_EQ(Parse("[S]\rA=1\rB=2\r")->ToText(), "[S]\r\nA=1\r\nB=2\r\n\r\n");
  EXPECT_EQ(Parse("[S]\nA=1\r\nB=2\rC=3")->ToText(), "[S]\r\nA=1\r\nB=2\r\nC=3\r\n\r\n");
  // "\n\r" is two line ends, not one: nothing is glued together
  const auto ini = Parse("[S]\n\rA=1\n\rB=2");
  EXPECT_EQ(ini->ReadInt("S", "A", Default), 1);
  EXPECT_EQ(ini->ReadInt("S", "B", Default), 2);
}

TEST(MemIniFileReader, TrimsBlanksAndControlCharactersAroundLinesKeysAndValues) {
  const auto ini = Parse(" \t[ S ]\x01\n  KEY  =  5 \t\n\x02Z\t=\x03$10\x1f\n");
  EXPECT_EQ(ini->ReadInt("S", "KEY", Default), 5);
  EXPECT_EQ(ini->ReadInt("S", "Z", Default), 16);
  EXPECT_EQ(ini->ToText(), "[S]\r\nKEY=5\r\nZ=$10\r\n\r\n");
}

TEST(MemIniFileReader, KeepsBlanksInsideKeysAndValues) {
  const auto ini = Parse("[S]\nA B = 1 2\n");
  EXPECT_EQ(ini->ToText(), "[S]\r\nA B=1 2\r\n\r\n");
  EXPECT_EQ(ini->ReadInt("S", "A B", Default), Default);  // "1 2" is no integer
}

TEST(MemIniFileReader, BytesAbove127AreNotTrimmed) {
  const auto ini = Parse("[S]\n\xa0K=1\xa0\n");
  EXPECT_EQ(ini->ToText(), "[S]\r\n\xa0K=1\xa0\r\n\r\n");
}

TEST(MemIniFileReader, DropsCommentsBlankLinesAndTextBeforeTheFirstSection) {
  const auto ini = Parse("A=1\nstray\n;[X]\n[S]\n\n  ; B=2\n   \nC=3\n");
  EXPECT_EQ(ini->ToText(), "[S]\r\nC=3\r\n\r\n");
  EXPECT_EQ(ini->ReadInt("S", "B", Default), Default);
  EXPECT_EQ(ini->ReadInt("X", "A", Default), Default);
}

TEST(MemIniFileReader, KeepsLinesWithoutEqualsSignAndWritesThemBack) {
  auto ini = Parse("[S]\n  just text  \nA=1\n[ not a header\n");
  EXPECT_THAT(ini->SectionKeys("S"), ElementsAre("just text", "A", "[ not a header"));
  EXPECT_EQ(ini->ReadInt("S", "just text", Default), Default);  // such a line has no key
  ini->WriteInt("S", "A", 2);
  EXPECT_EQ(ini->ToText(), "[S]\r\njust text\r\nA=2\r\n[ not a header\r\n\r\n");
}

TEST(MemIniFileReader, AnEmptyKeyIsAKey) {
  const auto ini = Parse("[S]\n  = 7\n");
  EXPECT_EQ(ini->ReadInt("S", "", Default), 7);
  EXPECT_THAT(ini->SectionKeys("S"), ElementsAre(""));
  EXPECT_EQ(ini->ToText(), "[S]\r\n=7\r\n\r\n");
}

TEST(MemIniFileReader, SplitsAtTheFirstEqualsSign) {
  const auto ini = Parse("[S]\nA = =5\nB=5=\n");
  EXPECT_EQ(ini->ReadInt("S", "A", Default), Default);  // value "=5"
  EXPECT_EQ(ini->ReadInt("S", "B", Default), Default);  // value "5="
  EXPECT_EQ(ini->ToText(), "[S]\r\nA==5\r\nB=5=\r\n\r\n");
}

// --- lookups ---

TEST(MemIniFileLookup, IgnoresCaseOfSectionAndKeyNames) {
  const auto ini = Parse("[config.lock ALL]\ndO_bEeP = 1\n");
  EXPECT_EQ(ini->ReadInt("Config.Lock All", "DO_BEEP", Default), 1);
  EXPECT_THAT(ini->SectionKeys("CONFIG.LOCK ALL"), ElementsAre("dO_bEeP"));
}

TEST(MemIniFileLookup, FindsTheLaterOfTwoSectionsWithTheSameName) {
  auto ini = Parse("[S]\nA=1\n[T]\nX=9\n[s]\nB=2\n");
  EXPECT_EQ(ini->ReadInt("S", "A", Default), Default);  // only the first section holds A
  EXPECT_EQ(ini->ReadInt("S", "B", Default), 2);
  EXPECT_THAT(ini->SectionKeys("S"), ElementsAre("B"));
  ini->WriteInt("S", "A", 3);  // goes to the later section
  EXPECT_EQ(ini->ToText(), "[S]\r\nA=1\r\n\r\n[T]\r\nX=9\r\n\r\n[s]\r\nB=2\r\nA=3\r\n\r\n");
}

TEST(MemIniFileLookup, ReadsAndReplacesTheLaterOfTwoLinesWithTheSameKey) {
  auto ini = Parse("[S]\nK=1\nOTHER=0\nk=2\nTAIL=0\n");
  EXPECT_EQ(ini->ReadInt("S", "K", Default), 2);
  ini->WriteInt("S", "K", 5);
  EXPECT_EQ(ini->ToText(), "[S]\r\nK=1\r\nOTHER=0\r\nK=5\r\nTAIL=0\r\n\r\n");
  EXPECT_EQ(ini->ReadInt("S", "k", Default), 5);
}

// --- writing ---

TEST(MemIniFileWriteInt, AppendsNewKeysToTheirSectionAndNewSectionsAtTheEnd) {
  auto ini = Parse("[A]\nX=1\n[B]\nY=2\n");
  ini->WriteInt("a", "Z", -3);
  ini->WriteInt("C", "W", Min);
  ini->WriteInt("B", "Y", Max);
  EXPECT_EQ(ini->ToText(),
            "[A]\r\nX=1\r\nZ=-3\r\n\r\n[B]\r\nY=2147483647\r\n\r\n[C]\r\nW=-2147483648\r\n\r\n");
  EXPECT_EQ(ini->ReadInt("c", "w", Default), Min);
}

TEST(MemIniFileWriteInt, AnEmptyFileWritesNothing) {
  EXPECT_EQ(Parse("")->ToText(), "");
  EXPECT_EQ(Parse("; only a comment\r\n\r\n")->ToText(), "");
}

TEST(MemIniFileLookup, StaysCorrectInLargeSections) {
  std::string text = "[S]\n";
  for (int i = 0; i < 20000; ++i)
    text += "KEY" + std::to_string(i) + "=" + std::to_string(i) + "\n";
  auto ini = Parse(text);
  for (int i = 0; i < 20000; i += 997)
    EXPECT_EQ(ini->ReadInt("s", "key" + std::to_string(i), Default), i);
  ini->WriteInt("S", "KEY5", -5);
  ini->WriteInt("S", "NEW", 1);
  EXPECT_EQ(ini->ReadInt("S", "KEY5", Default), -5);
  EXPECT_EQ(ini->ReadInt("S", "NEW", Default), 1);
  EXPECT_EQ(ini->SectionKeys("S").size(), 20001u);
}

}  // namespace
}  // namespace quell::settings

namespace quell::settings {
namespace {

TEST(HashedStringList, PutThatChangesAKeyIsFoundUnderTheNewKeyOnly) {
  THashedStringList list(THashedStringList::TKeyKind::Name);
  list.Add("A=1");
  list.Add("B=2");
  list.Add("a=3");
  EXPECT_EQ(list.IndexOfKey("A"), 2u);
  list.Put(2, "C=3");  // the earlier A is the one left
  EXPECT_EQ(list.IndexOfKey("A"), 0u);
  EXPECT_EQ(list.IndexOfKey("c"), 2u);
  list.Put(1, "no key");
  EXPECT_EQ(list.IndexOfKey("B"), std::nullopt);
  list.Add("b=4");
  EXPECT_EQ(list.IndexOfKey("B"), 3u);
}

}  // namespace
}  // namespace quell::settings
