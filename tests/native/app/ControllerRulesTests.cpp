#include <gtest/gtest.h>

#include <cstdint>

#include "controller/ControllerRules.h"
#include "HookDll/HookProtocol.h"

namespace quell::app {
namespace {

TEST(NotifyTable, EveryCodeAndItsReply) {
  EXPECT_EQ(DecideNotify(LN_PING).reply, 1);
  EXPECT_TRUE(DecideNotify(LN_PING).replies);
  EXPECT_EQ(DecideNotify(LN_LOCK_REQUEST).action, TNotifyAction::Lock);
  EXPECT_EQ(DecideNotify(LN_LOCK_REQUEST).reply, 3);
  EXPECT_EQ(DecideNotify(LN_UNLOCK_REQUEST).action, TNotifyAction::Unlock);
  EXPECT_EQ(DecideNotify(LN_UNLOCK_REQUEST).reply, 4);
  EXPECT_EQ(DecideNotify(LN_ACTIVATE).action, TNotifyAction::Activate);
  EXPECT_EQ(DecideNotify(LN_CTRL_ALT_DEL).action, TNotifyAction::CloseTaskManager);
  EXPECT_EQ(DecideNotify(LN_ACTIVITY).action, TNotifyAction::ResetIdle);
  for (std::intptr_t code : {-1000, -2, 7, 1000, 0x7FFFFFFF}) {
    EXPECT_EQ(DecideNotify(code).action, TNotifyAction::None) << code;
    EXPECT_FALSE(DecideNotify(code).replies);
  }
  for (std::intptr_t code :
       {LN_ACTIVATE, LN_STATE_CHANGED, LN_INPUT_BLOCKED, LN_CTRL_ALT_DEL, LN_ACTIVITY})
    EXPECT_FALSE(DecideNotify(code).replies) << code;
}

}  // namespace
}  // namespace quell::app
