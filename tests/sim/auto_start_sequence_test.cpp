// The simulated controller's auto-start schedule and the progress step it reports.
#include "sim/auto_start_sequence.h"

#include <gtest/gtest.h>

namespace corvex::sim {
namespace {

TEST(AutoStartSchedule, FansOneDelayApartTheUnloadAfterTheLastAndAFewMinutesInAll) {
  const AutoStartSchedule six = plan_auto_start(6, 45);
  EXPECT_EQ(six.fan_start, (std::array<int, 6>{10, 55, 100, 145, 190, 235}));
  EXPECT_EQ(six.fan_end[5], 325);
  EXPECT_EQ(six.unload_start, 355);
  EXPECT_EQ(six.total, 475);
  // A fan delay of 0 still keeps two seconds between motor starts; nothing for unfitted fans.
  const AutoStartSchedule one = plan_auto_start(2, 0);
  EXPECT_EQ(one.fan_start, (std::array<int, 6>{10, 12, 0, 0, 0, 0}));
  EXPECT_EQ(one.total, 12 + 90 + 30 + 120);
  // A code the controller does not know counts as one fan/heater, never as none.
  EXPECT_EQ(plan_auto_start(0, 30).fitted, 1);
  EXPECT_EQ(plan_auto_start(9, 30).fitted, 6);
}

TEST(AutoStartSchedule, StepsMoveThroughTheProgressToFinished) {
  const AutoStartSchedule s = plan_auto_start(4, 30);  // last fan 100 s, unload 220 s
  EXPECT_EQ(auto_start_step(s, AutoStartPhase::Idle, 50), 0);
  EXPECT_EQ(auto_start_step(s, AutoStartPhase::Active, 0), 1);
  EXPECT_EQ(auto_start_step(s, AutoStartPhase::Active, 99), 1);
  EXPECT_EQ(auto_start_step(s, AutoStartPhase::Active, 100), 2);
  EXPECT_EQ(auto_start_step(s, AutoStartPhase::Active, 219), 2);
  EXPECT_EQ(auto_start_step(s, AutoStartPhase::Active, 220), 3);
  EXPECT_EQ(auto_start_step(s, AutoStartPhase::Finished, 340), 4);
}

}  // namespace
}  // namespace corvex::sim
