// The tray click pipeline on a simulated clock: clicks wait for the
// double-click time, double clicks cancel them, menus open where the button
// went down.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/TrayIconLogic.h"

namespace quell::ui {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr unsigned kDoubleClickTime = 500;

// A one-shot timer with the semantics of the component layer's timer:
// setting a value it already has changes nothing; a new interval of a
// running timer starts its period again.
class SimulatedTimer final : public gui::TimerControl {
 public:
  void SetInterval(unsigned ms) override {
    if (ms == interval) return;
    interval = ms;
    if (enabled) Start();
  }
  void SetEnabled(bool on) override {
    if (on == enabled) return;
    enabled = on;
    if (on) Start();
  }
  bool Due(unsigned now) const { return enabled && interval > 0 && now >= startedAt + interval; }
  unsigned interval = 0;
  bool enabled = false;
  unsigned startedAt = 0;
  unsigned starts = 0;
  const unsigned* clock = nullptr;

 private:
  void Start() {
    startedAt = *clock;
    ++starts;
  }
};

std::string Name(TMouseButton b) {
  return b == TMouseButton::Left ? "left" : b == TMouseButton::Right ? "right" : "middle";
}

class Host final : public TrayClickHost {
 public:
  unsigned DoubleClickTime() override { return kDoubleClickTime; }
  void MouseDownEvent(const TrayMouse& m) override { events.push_back("down " + Name(m.button)); }
  void MouseUpEvent(const TrayMouse& m) override { events.push_back("up " + Name(m.button)); }
  bool DoubleClickEvent(const TrayMouse& m) override {
    if (!hasDblClickHandler) return false;
    events.push_back("dblclick " + Name(m.button));
    return true;
  }
  void ClickEvent(const TrayMouse& m) override {
    events.push_back("click " + Name(m.button) + " at " + std::to_string(m.x) + "," +
                     std::to_string(m.y));
    if (duringClick) {
      auto nested = std::move(duringClick);  // once
      nested(m);
    }
  }
  bool HasMenu(Menu menu) override { return menu == Menu::Popup ? hasPopup : hasDropDown; }
  void TrackMenu(Menu menu, int x, int y) override {
    events.push_back(std::string(menu == Menu::Popup ? "popup" : "dropdown") + " at " +
                     std::to_string(x) + "," + std::to_string(y));
  }
  void ClickDefaultItem() override { events.push_back("default item"); }
  bool ApplicationShown() override { return shown; }
  TTrayVisibilities CurrentVisibility() override { return visibility; }
  void ChangeVisibility(TTrayVisibilities v) override {
    visibility = v;
    shown = (v & tvVisibleTaskBar) != 0;
  }

  std::vector<std::string> events;
  // Runs inside the next click handler, as a modal dialog's loop would.
  std::function<void(const TrayMouse&)> duringClick;
  bool hasDblClickHandler = true;
  bool hasPopup = true;
  bool hasDropDown = false;
  bool shown = true;
  TTrayVisibilities visibility = 0x0007;
};

class ClickPipelineTest : public ::testing::Test {
 protected:
  unsigned now = 0;
  SimulatedTimer timer;
  Host host;
  TrayClickPipeline pipeline{host, timer};

  void SetUp() override { timer.clock = &now; }
  // Lets time pass in 10 ms steps, firing the timer as a message loop would.
  void Advance(unsigned ms) {
    for (unsigned end = now + ms; now < end;) {
      now += 10;
      if (timer.Due(now)) pipeline.ClickTimerExpired();
    }
  }
  static TrayMouse At(TMouseButton b, int x, int y) { return {b, 0, x, y}; }
  void Press(TMouseButton b, int x = 700, int y = 590) {
    pipeline.MouseDown(At(b, x, y));
    pipeline.MouseUp(At(b, x, y));
  }
};

TEST_F(ClickPipelineTest, ASingleClickIsDeliveredOnlyOnceTheDoubleClickTimeHasPassed) {
  Press(TMouseButton::Left);
  Advance(kDoubleClickTime - 20);
  EXPECT_THAT(host.events, ElementsAre("down left", "up left")) << "too early for the click";
  Advance(40);
  EXPECT_THAT(host.events, ElementsAre("down left", "up left", "click left at 700,590"));
  Advance(2000);
  EXPECT_EQ(host.events.size(), 3u) << "the timer is one-shot";
  EXPECT_FALSE(timer.enabled);
}

TEST_F(ClickPipelineTest, ADoubleClickCancelsThePendingClick) {
  Press(TMouseButton::Left);
  Advance(100);
  pipeline.DoubleClick(At(TMouseButton::Left, 700, 590));
  pipeline.MouseUp(At(TMouseButton::Left, 700, 590));
  Advance(2000);
  EXPECT_THAT(host.events, ElementsAre("down left", "up left", "dblclick left", "up left"));
}

TEST_F(ClickPipelineTest, ARightDoubleClickFiresOnDblClickAndOpensNoMenu) {
  Press(TMouseButton::Right);
  Advance(120);
  pipeline.DoubleClick(At(TMouseButton::Right, 700, 590));
  Advance(2000);
  EXPECT_THAT(host.events, ElementsAre("down right", "up right", "dblclick right"));
}

TEST_F(ClickPipelineTest, ASecondPressDoesNotRestartTheTimerButReplacesThePendingClick) {
  Press(TMouseButton::Left, 10, 20);
  Advance(300);
  Press(TMouseButton::Right, 30, 40);
  EXPECT_EQ(timer.starts, 1u);
  Advance(kDoubleClickTime - 300);
  ASSERT_EQ(host.events.size(), 6u) << "delivered at the first press's deadline";
  EXPECT_EQ(host.events[4], "click right at 30,40");
  EXPECT_EQ(host.events[5], "popup at 30,40");
}

TEST_F(ClickPipelineTest, ARightClickOpensThePopupMenuWhereTheButtonWentDown) {
  pipeline.MouseDown(At(TMouseButton::Right, 781, 590));
  pipeline.MouseUp(At(TMouseButton::Right, 600, 300));  // the pointer moved on
  Advance(kDoubleClickTime + 20);
  EXPECT_THAT(host.events,
              ElementsAre("down right", "up right", "click right at 781,590", "popup at 781,590"));
}

TEST_F(ClickPipelineTest, ARightClickWithoutPopupMenuOnlyClicks) {
  host.hasPopup = false;
  Press(TMouseButton::Right);
  Advance(kDoubleClickTime + 20);
  EXPECT_THAT(host.events, ElementsAre("down right", "up right", "click right at 700,590"));
}

TEST_F(ClickPipelineTest, LeftClickDropsDownItsMenuAndMiddleClickOnlyClicks) {
  host.hasDropDown = true;
  Press(TMouseButton::Left, 5, 6);
  Advance(kDoubleClickTime + 20);
  Press(TMouseButton::Middle, 7, 8);
  Advance(kDoubleClickTime + 20);
  EXPECT_THAT(host.events,
              ElementsAre("down left", "up left", "click left at 5,6", "dropdown at 5,6",
                          "down middle", "up middle", "click middle at 7,8"));
}

TEST_F(ClickPipelineTest, LeftDoubleClickWithoutHandlerClicksTheDefaultItemAndMinimises) {
  host.hasDblClickHandler = false;
  host.visibility = 0x0007 | tvMinimizeDbClick | tvRestoreDbClick;
  pipeline.DoubleClick(At(TMouseButton::Left, 1, 1));
  EXPECT_THAT(host.events, ElementsAre("default item"));
  EXPECT_FALSE(host.visibility & tvVisibleTaskBar);
  pipeline.DoubleClick(At(TMouseButton::Left, 1, 1));
  EXPECT_TRUE(host.visibility & tvVisibleTaskBar) << "the next one restores";
  host.events.clear();
  pipeline.DoubleClick(At(TMouseButton::Right, 1, 1));
  EXPECT_THAT(host.events, IsEmpty()) << "only the left button has a default action";
}

TEST_F(ClickPipelineTest, LeftClickHidesAShownApplicationOnlyWhenAsked) {
  Press(TMouseButton::Left);
  Advance(kDoubleClickTime + 20);
  EXPECT_TRUE(host.visibility & tvVisibleTaskBar);
  host.visibility |= tvMinimizeClick;
  Press(TMouseButton::Left);
  Advance(kDoubleClickTime + 20);
  EXPECT_FALSE(host.visibility & tvVisibleTaskBar);
  Press(TMouseButton::Left);
  Advance(kDoubleClickTime + 20);
  EXPECT_FALSE(host.visibility & tvVisibleTaskBar) << "restoring needs tvRestoreClick";
}

// A left click opens a modal dialog from its handler; inside it the user
// right-clicks the icon and picks a menu entry. When the dialog returns,
// the left click's own handling goes on: it must not take the right click
// that came meanwhile for its own and open the menu a second time.
TEST_F(ClickPipelineTest, PressesInsideTheClickHandlerDoNotChangeTheClickBeingHandled) {
  host.duringClick = [&](const TrayMouse&) {
    Press(TMouseButton::Right, 650, 580);
    Advance(kDoubleClickTime + 20);  // the nested loop delivers the right click
  };
  Press(TMouseButton::Left, 700, 590);
  Advance(kDoubleClickTime + 20);
  EXPECT_THAT(host.events,
              ElementsAre("down left", "up left", "click left at 700,590", "down right", "up right",
                          "click right at 650,580", "popup at 650,580"))
      << "one menu, for the right click only";
  Advance(2000);
  EXPECT_EQ(host.events.size(), 7u);
}

}  // namespace
}  // namespace quell::ui
