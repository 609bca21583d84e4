// Actions: update before execute, execute only while enabled; shortcut text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/core/Action.h"

namespace quell::gui {
namespace {

TEST(ActionTest, ExecuteRunsUpdateFirstAndTheHandlerOnlyWhileEnabled) {
  auto owner = CreateOwned<TActionList>();
  auto* lock = Create<TAction>(owner.get(), owner.get());
  std::vector<std::string> calls;
  bool locked = false;
  lock->OnUpdate = [&](TComponent* sender) {
    EXPECT_EQ(sender, lock);
    calls.push_back("update");
    lock->SetEnabled(!locked);
  };
  lock->OnExecute = [&](TComponent* sender) {
    EXPECT_EQ(sender, lock);
    calls.push_back("execute");
    locked = true;
  };
  EXPECT_TRUE(lock->Execute());
  EXPECT_FALSE(lock->Execute()) << "the update of the second run disables it";
  EXPECT_EQ(calls, (std::vector<std::string>{"update", "execute", "update"}));
}

TEST(ActionTest, ADisabledActionWithoutUpdateHandlerStaysDisabled) {
  auto action = CreateOwned<TAction>();
  int runs = 0;
  action->OnExecute = [&](TComponent*) { ++runs; };
  action->SetEnabled(false);
  EXPECT_FALSE(action->Execute());
  action->SetEnabled(true);
  EXPECT_TRUE(action->Execute());
  EXPECT_EQ(runs, 1);
}

TEST(ActionTest, ActionListUpdatesAllAndForgetsActionsAndImagesThatGo) {
  auto form = CreateOwned<TActionList>();  // stands in for a form: any owner
  auto* list = Create<TActionList>(form.get());
  auto* a = Create<TAction>(form.get(), list);
  auto* b = Create<TAction>(form.get(), list);
  int updates = 0;
  a->OnUpdate = b->OnUpdate = [&](TComponent*) { ++updates; };
  list->UpdateActions();
  EXPECT_EQ(updates, 2);
  TComponent::Free(a);
  ASSERT_EQ(list->ActionCount(), 1u);
  EXPECT_EQ(list->Actions(0), b);
  TComponent::Free(list);
  EXPECT_EQ(b->ActionList(), nullptr) << "the action outlives its list";
}

TEST(ShortCutTextTest, ModifiersInMenuOrderThenTheKeyName) {
  EXPECT_EQ(ShortCutToText(0xC04C), "Ctrl+Alt+L") << "Ctrl+Alt+L as the settings store it";
  EXPECT_EQ(ShortCutToText(0xE055), "Shift+Ctrl+Alt+U");
  EXPECT_EQ(ShortCutToText(0x2000 | 0x74), "Shift+F5");
  EXPECT_EQ(ShortCutToText(0x4000 | 0x2E), "Ctrl+Del");
  EXPECT_EQ(ShortCutToText(0x8000 | 0x60), "Alt+Num 0");
  EXPECT_EQ(ShortCutToText(0x4000 | 0xBC), "Ctrl+,");
  EXPECT_EQ(ShortCutToText(0x41), "A");
}

TEST(ShortCutTextTest, TheEdgesOfTheNamedRanges) {
  EXPECT_EQ(ShortCutToText(0x70), "F1");
  EXPECT_EQ(ShortCutToText(0x87), "F24");
  EXPECT_EQ(ShortCutToText(0x88), "") << "past F24";
  EXPECT_EQ(ShortCutToText(0x69), "Num 9");
  EXPECT_EQ(ShortCutToText(0x6F), "Num /");
  EXPECT_EQ(ShortCutToText(0x6C), "") << "the separator key has no name";
  EXPECT_EQ(ShortCutToText(0x08), "BkSp");
  EXPECT_EQ(ShortCutToText(0xDC), "\\");
  EXPECT_EQ(ShortCutToText(0xDE), "'");
  EXPECT_EQ(ShortCutToText(0x2F), "") << "Help, just past Del";
}

TEST(ShortCutTextTest, NoKeyMeansNoText) {
  EXPECT_EQ(ShortCutToText(0), "");
  EXPECT_EQ(ShortCutToText(0xC000), "") << "modifiers alone are not a shortcut";
  EXPECT_EQ(ShortCutToText(0x4000 | 0x07), "") << "an unnamed key";
}

}  // namespace
}  // namespace quell::gui
