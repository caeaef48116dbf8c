// Timers in virtual time: order, periods, re-arming, catching up, and modal loops in routines.
#include "gui_fixture.h"

namespace gui_test {
namespace {

struct Fire {
  int id;
  int64_t at;
  friend bool operator==(const Fire&, const Fire&) = default;
};

std::vector<Fire>& fires() {
  static std::vector<Fire> log;
  return log;
}

void note(Window*, int id) { fires().push_back({id, clock::now_ms()}); }

int count_of(int id) {
  int n = 0;
  for (const Fire& f : fires()) n += f.id == id;
  return n;
}

class Timers : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    fires().clear();
    main = make("main", Rect::from_xywh(0, 0, 640, 480));
  }
  static int count(int id) { return count_of(id); }
  Window* main = nullptr;
};

TEST_F(Timers, ThreePeriodsInterleaveOverAVirtualMinute) {
  const int64_t start = clock::now_ms();
  set_timer(main, 1, 175, &note);
  set_timer(main, 2, 1000, &note);
  set_timer(main, 3, 100, &note);
  advance_virtual(60'000);
  EXPECT_EQ(clock::now_ms(), start + 60'000);
  EXPECT_EQ(count(1), 342);  // 60000 / 175 = 342.86
  EXPECT_EQ(count(2), 60);
  EXPECT_EQ(count(3), 600);
  const int periods[] = {0, 175, 1000, 100};
  for (size_t i = 0; i < fires().size(); ++i) {
    const Fire& f = fires()[i];
    ASSERT_EQ((f.at - start) % periods[f.id], 0) << "timer " << f.id << " at " << f.at;
    if (i > 0) {
      const Fire& before = fires()[i - 1];
      ASSERT_LE(before.at, f.at);
      // Timers due together fire in the order they were armed.
      if (before.at == f.at) {
        ASSERT_LT(before.id, f.id);
      }
    }
  }
}

TEST_F(Timers, KillAndReArm) {
  const int64_t t0 = clock::now_ms();
  set_timer(main, 1, 100, &note);
  advance_virtual(250);
  set_timer(main, 1, 300, &note);  // same id: re-armed from now
  advance_virtual(350);
  kill_timer(main, 1);
  advance_virtual(1000);
  EXPECT_EQ(fires(), (std::vector<Fire>{{1, t0 + 100}, {1, t0 + 200}, {1, t0 + 550}}));
}

TEST_F(Timers, TimerWithoutRoutineSendsTimerMessages) {
  set_timer(main, 77, 500);
  advance_virtual(1200);
  const auto ticks = events_of(MessageKind::Timer, "main");
  ASSERT_EQ(ticks.size(), 2u);
  EXPECT_EQ(ticks[0].wparam, 77);
  destroy_window(main);  // its timers go with it
  advance_virtual(1000);
  EXPECT_EQ(events_of(MessageKind::Timer).size(), 2u);
}

// A routine that takes longer than several periods is followed by one catch-up call, not a
// burst, and the timer then keeps its grid.
TEST_F(Timers, TimerThatFellBehindFiresOnce) {
  const int64_t t0 = clock::now_ms();
  set_timer(main, 1, 100, [](Window* w, int id) {
    note(w, id);
    if (fires().size() == 1) clock::advance_ms(350);
  });
  advance_virtual(600);
  EXPECT_EQ(fires(), (std::vector<Fire>{{1, t0 + 100}, {1, t0 + 450}, {1, t0 + 500},
                                        {1, t0 + 600}}));
}

// The 100 ms routine opens a modal loop on its first call. While it is open that routine is
// not entered again, but the 175 ms timer and the paints go on; the 175 ms routine ends the
// modal loop on its third call.
TEST_F(Timers, ModalLoopInARoutineBlocksOnlyThatTimer) {
  static Window* dialog = nullptr;
  static int depth = 0;
  static int deepest = 0;
  depth = deepest = 0;
  dialog = make("dialog", Rect::from_xywh(100, 100, 200, 100), main, style::kPopup, rgb(1, 2, 3));
  const int64_t t0 = clock::now_ms();
  set_timer(main, 3, 100, [](Window* w, int id) {
    note(w, id);
    deepest = std::max(deepest, ++depth);
    if (fires().size() == 1) {
      EXPECT_EQ(run_modal(dialog), 9);
    }
    --depth;
  });
  set_timer(main, 1, 175, [](Window* w, int id) {
    note(w, id);
    invalidate(dialog);
    if (count_of(1) == 3) end_modal(dialog, 9);
  });
  advance_virtual(1000);
  EXPECT_EQ(deepest, 1);
  std::vector<int64_t> fast;
  for (const Fire& f : fires()) {
    if (f.id == 3) fast.push_back(f.at - t0);
  }
  EXPECT_EQ(fast, (std::vector<int64_t>{100, 525, 600, 700, 800, 900, 1000}));
  EXPECT_EQ(count(1), 5);
  // The dialog was painted for each of the 175 ms ticks inside the modal loop too.
  EXPECT_GE(events_of(MessageKind::Paint, "dialog").size(), 5u);
}

}  // namespace
}  // namespace gui_test
