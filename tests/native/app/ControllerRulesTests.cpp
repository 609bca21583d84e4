#include <gtest/gtest.h>

#include <cstdint>

#include "ControllerRules.h"

namespace quell::app {
namespace {

TEST(NotifyTable, EveryCodeAndItsReply) {
  EXPECT_EQ(DecideNotify(0).reply, 1);
  EXPECT_TRUE(DecideNotify(0).replies);
  EXPECT_EQ(DecideNotify(3).action, TNotifyAction::Lock);
  EXPECT_EQ(DecideNotify(3).reply, 3);
  EXPECT_EQ(DecideNotify(4).action, TNotifyAction::Unlock);
  EXPECT_EQ(DecideNotify(4).reply, 4);
  EXPECT_EQ(DecideNotify(-1).action, TNotifyAction::Activate);
  EXPECT_EQ(DecideNotify(5).action, TNotifyAction::CloseTaskManager);
  EXPECT_EQ(DecideNotify(6).action, TNotifyAction::ResetIdle);
  for (std::intptr_t code : {-1000, -2, 7, 1000, 0x7FFFFFFF}) {
    EXPECT_EQ(DecideNotify(code).action, TNotifyAction::None) << code;
    EXPECT_FALSE(DecideNotify(code).replies);
  }
  for (std::intptr_t code : {-1, 1, 2, 5, 6}) EXPECT_FALSE(DecideNotify(code).replies) << code;
}

}  // namespace
}  // namespace quell::app
