// Ownership, removal notices and loading of components, under ASan: a
// reference left dangling or a component freed twice fails here.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/core/Component.h"

namespace quell::gui {
namespace {

using ::testing::ElementsAre;

std::vector<std::string>* journal = nullptr;

// Keeps a reference to another component and records what it is told.
class Probe : public TComponent {
 public:
  Probe(TComponent* owner, std::string name) : TComponent(owner) { SetName(std::move(name)); }
  ~Probe() override {
    if (journal) journal->push_back("~" + Name());
  }
  void Refer(TComponent* other) {
    referred = other;
    if (other) other->FreeNotification(this);
  }
  TComponent* referred = nullptr;
  int loadedCalls = 0;
  bool loadingSeenByOwned = false;

  void BeforeDestruction() override {
    if (journal) journal->push_back("before " + Name());
    TComponent::BeforeDestruction();
  }

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == TOperation::Remove && component == referred) referred = nullptr;
  }
  void Loaded() override { ++loadedCalls; }
};

class ComponentTest : public ::testing::Test {
 protected:
  std::vector<std::string> log;
  void SetUp() override { journal = &log; }
  void TearDown() override { journal = nullptr; }
};

TEST_F(ComponentTest, OwnerFreesWhatItOwnsNewestFirstAndEachOneRunsBeforeDestruction) {
  auto* form = Create<Probe>(nullptr, "form");
  Create<Probe>(form, "a");
  auto* b = Create<Probe>(form, "b");
  Create<Probe>(b, "b1");
  EXPECT_EQ(form->ComponentCount(), 2u);
  EXPECT_EQ(form->FindComponent("b"), b);
  EXPECT_EQ(form->FindComponent("b1"), nullptr) << "only direct children are found";
  TComponent::Free(form);
  EXPECT_THAT(log, ElementsAre("before form", "~form", "before b", "~b", "before b1", "~b1",
                               "before a", "~a"));
}

TEST_F(ComponentTest, FreeingAnOwnedComponentEarlyTakesItOutOfItsOwner) {
  auto form = CreateOwned<Probe>("form");
  auto* a = Create<Probe>(form.get(), "a");
  Create<Probe>(form.get(), "b");
  TComponent::Free(a);
  ASSERT_EQ(form->ComponentCount(), 1u);
  EXPECT_EQ(form->Components(0)->Name(), "b");
  log.clear();
  form.reset();
  EXPECT_THAT(log, ElementsAre("before form", "~form", "before b", "~b"));
}

TEST_F(ComponentTest, AReferenceToASiblingIsDroppedWhenTheSiblingGoes) {
  auto form = CreateOwned<Probe>("form");
  auto* menu = Create<Probe>(form.get(), "menu");
  auto* tray = Create<Probe>(form.get(), "tray");
  tray->referred = menu;  // no FreeNotification: siblings are told anyway
  TComponent::Free(menu);
  EXPECT_EQ(tray->referred, nullptr);
}

TEST_F(ComponentTest, AReferenceAcrossOwnersIsDroppedOnlyWhenAsked) {
  auto formA = CreateOwned<Probe>("A");
  auto formB = CreateOwned<Probe>("B");
  auto* images = Create<Probe>(formA.get(), "images");
  auto* user = Create<Probe>(formB.get(), "user");
  user->Refer(images);
  TComponent::Free(images);
  EXPECT_EQ(user->referred, nullptr);
}

TEST_F(ComponentTest, AListenerThatGoesFirstIsNotToldLater) {
  auto formA = CreateOwned<Probe>("A");
  auto* images = Create<Probe>(formA.get(), "images");
  {
    auto other = CreateOwned<Probe>("other");
    other->Refer(images);
  }
  // Under ASan a stale listener would be a use after free here.
  TComponent::Free(images);
  SUCCEED();
}

TEST_F(ComponentTest, RemovedNoticeStopsFurtherNotices) {
  auto images = CreateOwned<Probe>("images");
  auto user = CreateOwned<Probe>("user");
  user->Refer(images.get());
  images->RemoveFreeNotification(user.get());
  images.reset();
  EXPECT_NE(user->referred, nullptr) << "no notice once it was taken back";
}

TEST_F(ComponentTest, LoadedRunsOnceForEachComponentWhenLoadingEnds) {
  auto form = CreateOwned<Probe>("form");
  auto* early = Create<Probe>(form.get(), "early");
  form->BeginLoading();
  auto* late = Create<Probe>(form.get(), "late");
  EXPECT_TRUE(early->Loading());
  EXPECT_TRUE(late->Loading()) << "created while its owner loads";
  form->EndLoading();
  EXPECT_FALSE(late->Loading());
  EXPECT_EQ(early->loadedCalls, 1);
  EXPECT_EQ(late->loadedCalls, 1);
  EXPECT_EQ(form->loadedCalls, 1);
  form->EndLoading();
  EXPECT_EQ(form->loadedCalls, 1) << "not loading any more: nothing to finish";
}

}  // namespace
}  // namespace quell::gui
