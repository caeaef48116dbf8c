// The link's duties in the three timer routines.
#include <gtest/gtest.h>

#include "link/link_ticks.h"
#include "link_test_support.h"
#include "platform/io/clock.h"

namespace corvex::link::test {
namespace {

using RT = RedrawTarget;

int g_layouts = 0;

class Ticks : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    g_layouts = 0;
    link_hooks().button_bar_layout.store([] { ++g_layouts; });
  }
  static uint32_t blink() { return dryer_state().blink_flags.load(); }
};

TEST_F(Ticks, BlinkPhaseAndStartupFlag) {
  int on_ticks = 0;
  for (int tick = 1; tick <= 24; ++tick) {
    link_pacing_tick();
    const uint32_t b = blink();
    if (tick > 8 && tick <= 16 && (b & kBlinkPhaseOn)) ++on_ticks;
    // The start-up flag comes on at the third phase 3, tick 19, and stays.
    EXPECT_EQ((b & kBlinkStartupDone) != 0, tick >= 19) << "tick " << tick;
  }
  EXPECT_EQ(on_ticks, 5);  // 875 ms of every 1.4 s
  // Each tick asks for the right status bar; no warning, so no warning-window redraw.
  auto r = RedrawRecorder::take();
  EXPECT_EQ(RedrawRecorder::count(r, RT::RightStatusBar), 24);
  EXPECT_EQ(RedrawRecorder::count(r, RT::WarningWindow), 0);
}

TEST_F(Ticks, WarningWindowRedrawsAtTheBlinkEdges) {
  set_mirror(185, 5);
  for (int tick = 1; tick <= 16; ++tick) link_pacing_tick();
  auto r = RedrawRecorder::take();
  EXPECT_EQ(RedrawRecorder::count(r, RT::WarningWindow), 4);  // phases 3, 0, 3, 0
  for (const auto& x : r) {
    if (x.target == RT::WarningWindow) {
      EXPECT_EQ(x.erase, Erase::Yes);
    }
  }
}

TEST_F(Ticks, ButtonBarFollowsByte279AfterTheFirstCopy) {
  set_mirror(279, 0x01);
  link_pacing_tick();  // the first call only takes the copy
  EXPECT_EQ(g_layouts, 0);
  link_pacing_tick();
  EXPECT_EQ(g_layouts, 0);
  set_mirror(279, 0x81);
  link_pacing_tick();
  EXPECT_EQ(g_layouts, 1);
}

TEST_F(Ticks, DelayedRedrawOnTheTwentySixthTick) {
  dryer_state().delayed_redraw.store(1);
  for (int tick = 1; tick <= 25; ++tick) link_pacing_tick();
  EXPECT_EQ(RedrawRecorder::count(RedrawRecorder::take(), RT::PlenumView), 0);
  link_pacing_tick();
  auto r = RedrawRecorder::take();
  EXPECT_EQ(RedrawRecorder::count(r, RT::PlenumView), 1);
  EXPECT_EQ(RedrawRecorder::count(r, RT::LineGraph), 1);
  EXPECT_EQ(dryer_state().delayed_redraw.load(), 0);
  EXPECT_EQ(dryer_state().delayed_redraw_countdown.load(), 25u);
}

TEST_F(Ticks, BlinkPulseOnEveryThirdFastTick) {
  int pulses = 0;
  for (int tick = 1; tick <= 9; ++tick) {
    fast_tick_warning_visibility();
    if (blink() & kBlinkPulse) {
      ++pulses;
      EXPECT_EQ(tick % 3, 0);
    }
  }
  EXPECT_EQ(pulses, 3);
  auto r = RedrawRecorder::take();
  ASSERT_EQ(r.size(), 3u);
  EXPECT_TRUE(r[0].has_rect);
  EXPECT_EQ(r[0].rect, (platform::Rect{105, 65, 260, 75}));
}

TEST_F(Ticks, WatchdogReachesZeroOnTheTenthSecondAndStops) {
  for (int s = 1; s <= 9; ++s) one_second_link_duties();
  EXPECT_EQ(dryer_state().link_watchdog.load(), 1u);
  one_second_link_duties();
  EXPECT_EQ(dryer_state().link_watchdog.load(), 0u);
  one_second_link_duties();
  EXPECT_EQ(dryer_state().link_watchdog.load(), 0u);
  dryer_state().shutdown_suppression.store(2);
  one_second_link_duties();
  one_second_link_duties();
  one_second_link_duties();
  EXPECT_EQ(dryer_state().shutdown_suppression.load(), 0u);
}

TEST_F(Ticks, ClockRecordCarriesThePanelsLocalTime) {
  platform::LocalTime t;
  t.year = 2031;
  t.month = 11;
  t.day = 28;
  t.hour = 23;
  t.minute = 59;
  t.second = 30;
  platform::clock::use_virtual(platform::clock::from_local(t));
  one_second_link_duties();
  platform::clock::use_real();
  EXPECT_TRUE(write_raised(PendingWrite::k53));
  EXPECT_EQ(desired(53), 59);
  EXPECT_EQ(desired(54), 23);
  EXPECT_EQ(desired(55), 28);
  EXPECT_EQ(desired(56), 11);
  EXPECT_EQ(desired(57), 31);
}

TEST_F(Ticks, ExchangeTickWithoutAPortDoesNothing) {
  std::string error;
  EXPECT_FALSE(open_dryer_link("/nonexistent/corvex-port", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(dryer_link_open());
  const uint64_t before = exchange_cycles_completed();
  for (int i = 0; i < 4; ++i) link_pacing_tick();
  EXPECT_EQ(exchange_cycles_completed(), before);
}

}  // namespace
}  // namespace corvex::link::test
