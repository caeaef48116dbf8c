// The press-and-hold repeat of INCREASE/DECREASE buttons and the hold tick count.
#include "platform/gui/hold_repeat.h"

#include "tests/platform/gui/controls_fixture.h"

namespace controls_test {
namespace {

class HoldRepeatTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    increase = make(kButtonClass, "INCREASE", 0, Rect::from_xywh(100, 100, 120, 50), 1300);
    set_hold_repeat(increase, true);
  }
  size_t commands() const { return heard_of(MessageKind::Command).size(); }
  static void ticks(int n) {
    for (int i = 0; i < n; ++i) hold_repeat_tick();
  }
  Window* increase = nullptr;
};

// Ticks 1 to 5 of a press only count; from tick 6 on each tick repeats the command. Held for
// 10 ticks that is ticks 6, 7, 8, 9 and 10: 5 repeats, and the release adds the usual click.
TEST_F(HoldRepeatTest, HeldTenTicksGivesFiveRepeatsAndTheReleaseClick) {
  inject_pointer_down(centre(increase));
  ticks(5);
  EXPECT_EQ(commands(), 0u);
  EXPECT_EQ(hold_ticks(), 5);
  ticks(5);
  EXPECT_EQ(commands(), 5u);
  EXPECT_EQ(hold_ticks(), 10);
  inject_pointer_up();
  EXPECT_EQ(commands(), 6u);
  EXPECT_EQ(hold_ticks(), 0);
  for (const Heard& h : heard_of(MessageKind::Command)) {
    EXPECT_EQ(h.id, 1300);
    EXPECT_EQ(h.from, increase);
  }
}

TEST_F(HoldRepeatTest, OnlyMarkedButtonsRepeatAndOnlyWhileTheFingerIsOnThem) {
  Window* plain = make(kButtonClass, "ACCEPT", 0, Rect::from_xywh(300, 100, 120, 50), 1301);
  inject_pointer_down(centre(plain));
  ticks(10);
  EXPECT_EQ(hold_ticks(), 10) << "every press is counted, for the hold-to-confirm gestures";
  inject_pointer_up();
  EXPECT_EQ(commands(), 1u);

  heard().clear();
  inject_pointer_down(centre(increase));
  ticks(6);
  EXPECT_EQ(commands(), 1u);
  inject_pointer_move({500, 400});
  ticks(3);
  EXPECT_EQ(commands(), 1u) << "no repeats while the finger is off the button";
  inject_pointer_move(centre(increase));
  ticks(1);
  EXPECT_EQ(commands(), 2u);
  inject_pointer_move({500, 400});
  inject_pointer_up();
  EXPECT_EQ(commands(), 2u) << "released off the button: no click";

  set_hold_repeat(increase, false);
  inject_pointer_down(centre(increase));
  ticks(8);
  inject_pointer_up();
  EXPECT_EQ(commands(), 3u);
}

TEST_F(HoldRepeatTest, ANewPressCountsAfresh) {
  inject_pointer_down(centre(increase));
  ticks(4);
  inject_pointer_up();
  // Pressed again before the next tick: a new press, not the old one going on.
  inject_pointer_down(centre(increase));
  ticks(4);
  EXPECT_EQ(hold_ticks(), 4);
  EXPECT_EQ(commands(), 1u) << "only the first release";
  inject_pointer_up();
}

// The program's 100 ms tick in virtual time: a second of holding is ten ticks.
TEST_F(HoldRepeatTest, DrivenByTheHundredMillisecondTick) {
  set_timer(parent, 1, 100, [](Window*, int) { hold_repeat_tick(); });
  inject_pointer_down(centre(increase));
  advance_virtual(1000);
  EXPECT_EQ(hold_ticks(), 10);
  EXPECT_EQ(commands(), 5u);
  inject_pointer_up();
  EXPECT_EQ(commands(), 6u);
  advance_virtual(500);
  EXPECT_EQ(commands(), 6u);
}

}  // namespace
}  // namespace controls_test
