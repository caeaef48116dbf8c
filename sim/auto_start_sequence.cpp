#include "sim/auto_start_sequence.h"

#include <algorithm>

namespace corvex::sim {

AutoStartSchedule plan_auto_start(int fitted, int fan_delay_seconds) {
  AutoStartSchedule s;
  s.fitted = std::clamp(fitted, 1, AutoStartSchedule::kMaxFans);
  const int delay = std::max(2, fan_delay_seconds);
  for (int i = 0; i < s.fitted; ++i) {
    s.fan_start[size_t(i)] = AutoStartSchedule::kFirstFanSeconds + i * delay;
    s.fan_end[size_t(i)] = s.fan_start[size_t(i)] + AutoStartSchedule::kWarmUpSeconds;
  }
  s.unload_start = s.fan_end[size_t(s.fitted - 1)] + AutoStartSchedule::kUnloadGapSeconds;
  s.total = s.unload_start + AutoStartSchedule::kSettleSeconds;
  return s;
}

int auto_start_step(const AutoStartSchedule& s, AutoStartPhase phase, int elapsed_seconds) {
  switch (phase) {
    case AutoStartPhase::Idle:
      return 0;
    case AutoStartPhase::Finished:
      return 4;
    case AutoStartPhase::Active:
      break;
  }
  if (elapsed_seconds < s.fan_start[size_t(s.fitted - 1)]) return 1;
  return elapsed_seconds < s.unload_start ? 2 : 3;
}

}  // namespace corvex::sim
