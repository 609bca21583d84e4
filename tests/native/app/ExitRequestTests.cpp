#include <gtest/gtest.h>

#include "controller/CommandLine.h"
#include "controller/ExitRequest.h"

namespace quell::app {
namespace {

TEST(ExitRequest, OnlyArgumentInEverySpelling) {
  for (const char* arg : {"/exit", "-exit", "/EXIT", "-Exit", "/eXiT"}) {
    EXPECT_TRUE(IsExitRequest({arg})) << arg;
  }
}

TEST(ExitRequest, AnythingElseIsNoExitRequest) {
  for (const char* arg : {"exit", "/exi", "/exits", "//exit", "+exit", "/exit ", " /exit", "/x",
                          "/e", "", "\\exit", "/éxit"}) {
    EXPECT_FALSE(IsExitRequest({arg})) << '"' << arg << '"';
  }
  EXPECT_FALSE(IsExitRequest({})) << "no argument";
  EXPECT_FALSE(IsExitRequest({"/exit", "/L"})) << "mixed with other arguments";
  EXPECT_FALSE(IsExitRequest({"/exit", "/exit"}));
}

TEST(ExitRequest, TheSwitchesOfTheCommandLineStayAsTheyWere) {
  // A mixed command line runs its switches as before and ignores "/exit".
  EXPECT_EQ(ParseSwitches({"/exit", "/L"}), std::vector<TSwitch>{TSwitch::Lock});
  EXPECT_TRUE(ParseSwitches({"/exit"}).empty());
}

}  // namespace
}  // namespace quell::app
