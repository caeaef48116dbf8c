#pragma once
// The simulated controller's auto-start schedule: when each fan/heater starts and has its plenum
// held, when the unload starts and when the run is done, and the progress step reported for an
// elapsed time. Pure arithmetic, so that the run is the same every time for the same dryer.
//
// Fan/heater i (0 = #1) starts 10 s + i fan delays after the command and holds its plenum 90 s
// later; the unload starts 30 s after the last one holds, and the controller calls the run done
// after two minutes of unloading. Four fan/heaters with the factory fan delay of 30 s take
// 5 min 40 s.
#include <array>

namespace corvex::sim {

struct AutoStartSchedule {
  static constexpr int kMaxFans = 6;
  static constexpr int kFirstFanSeconds = 10;
  static constexpr int kWarmUpSeconds = 90;
  static constexpr int kUnloadGapSeconds = 30;
  static constexpr int kSettleSeconds = 120;

  int fitted = 1;
  std::array<int, kMaxFans> fan_start{};  // seconds from the command; 0 for a fan not fitted
  std::array<int, kMaxFans> fan_end{};
  int unload_start = 0;
  int total = 0;
};

// The schedule for `fitted` fan/heaters (1..6) one fan delay apart; a delay below two seconds
// counts as two, as between any two motor starts.
AutoStartSchedule plan_auto_start(int fitted, int fan_delay_seconds);

// The progress step reported in status bytes 245 and 288: 1 while fans are still starting, 2
// while the last ones warm up, 3 while unloading toward the end; 4 once finished, 0 when idle.
enum class AutoStartPhase { Idle, Active, Finished };
int auto_start_step(const AutoStartSchedule& s, AutoStartPhase phase, int elapsed_seconds);

}  // namespace corvex::sim
