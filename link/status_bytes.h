#pragma once
// Names of the status bytes, and small readers over the StatusMirror that put the two bytes of
// a value together in the order the controller sends them. There is no single byte order in
// the status frame: "hi/lo" values carry the high byte at the lower offset, "lo/hi" values the
// low byte. Every reader looks at the mirror only (the last confirmed value).
//
// Add names here when code starts reading a byte; one comment per name says what it means.
#include <cstdint>

#include "link/dryer_state.h"

namespace corvex::link {

// ---- Readers ----

inline uint8_t mirror_byte(uint16_t offset) {
  return dryer_state().mirror[offset].load(std::memory_order_relaxed);
}
// A two-byte value with its high byte at `offset`.
inline uint16_t mirror_hi_lo(uint16_t offset) {
  return uint16_t(mirror_byte(offset) << 8 | mirror_byte(uint16_t(offset + 1)));
}
// A two-byte value with its low byte at `offset`.
inline uint16_t mirror_lo_hi(uint16_t offset) {
  return uint16_t(mirror_byte(uint16_t(offset + 1)) << 8 | mirror_byte(offset));
}
inline bool mirror_bit(uint16_t offset, unsigned bit) {
  return (mirror_byte(offset) >> bit & 1u) != 0;
}

// ---- Data logs ----

// Grain-column temperature sensors, whole degrees, lo/hi; status byte 184 picks one.
inline constexpr uint16_t kGrainTempSensorC = 89;  // selector value 2
inline constexpr uint16_t kGrainTempSensorB = 91;  // selector value 1
inline constexpr uint16_t kGrainTempSensorA = 93;  // selector value 0
// The grain-temperature sensor the controller has selected: 0 = 93/94, 1 = 91/92, 2 = 89/90.
inline constexpr uint16_t kGrainTempSelector = 184;
// Dryer operating-state flags; bit 6 is one half of the logging condition.
inline constexpr uint16_t kOperatingFlags = 171;
inline constexpr unsigned kOperatingFlagsLoggingBit = 6;
// Dryer operating state; bit 0 is the other half of the logging condition.
inline constexpr uint16_t kOperatingState = 172;
inline constexpr unsigned kOperatingStateLoggingBit = 0;
// Throughput in bushels per hour, hi/lo.
inline constexpr uint16_t kBushelsPerHour = 173;
// Moisture out (discharged grain), tenths of a percent, hi/lo.
inline constexpr uint16_t kMoistureOut = 189;
// Moisture in (incoming grain), tenths of a percent, hi/lo.
inline constexpr uint16_t kMoistureIn = 191;
// Grain temperature out, tenths of a degree, hi/lo.
inline constexpr uint16_t kGrainTempOut = 193;
// Grain temperature in, tenths of a degree, hi/lo.
inline constexpr uint16_t kGrainTempIn = 195;
// Moisture-control byte that the long-term record carries beside the logged values.
inline constexpr uint16_t kMoistureControlByte = 202;
// The metering-roll speed as the data logs record it (one byte; also the number appended to
// the status line).
inline constexpr uint16_t kLoggedRollSpeed = 245;
// The data-logging setting of the Data Logger Setup window: 1 on, 0 off.
inline constexpr uint16_t kDataLoggingSetting = 289;
// Events of the cycled moisture sampler: bit 1 a sample is due, bit 0 the sampler re-armed.
inline constexpr uint16_t kSamplerEvents = 292;
inline constexpr unsigned kSamplerEventsSampleBit = 1;
inline constexpr unsigned kSamplerEventsRearmBit = 0;
// Sampler options; bit 7 set means the cycled moisture sampler is enabled, and the short-term
// log then samples on its events instead of by the clock.
inline constexpr uint16_t kSamplerOptions = 293;
inline constexpr unsigned kSamplerOptionsCycledBit = 7;

// ---- Setup screens, batch timers and auto-start ----

// Switch inputs of the display I/O board (fifth byte): START, MANUAL, AUX, DEFAULTS, MR PUSH
// BUTTON, MR LEFT, MR RIGHT in bits 0..6. MANUAL also marks the small (4-inch) metering rolls.
inline constexpr uint16_t kControlSwitches = 183;
inline constexpr unsigned kControlSwitchesManualBit = 1;
inline constexpr unsigned kControlSwitchesAuxBit = 2;
// Dryer-type code: bit 5 the numeric-model family, bit 6 the mixed-flow family.
inline constexpr uint16_t kDryerType = 225;
inline constexpr unsigned kDryerTypeNumericBit = 5;
inline constexpr unsigned kDryerTypeMixedFlowBit = 6;
// Auto-start progress flags; bit 7 is set when an auto-start run has finished.
inline constexpr uint16_t kAutoStartFlags = 280;
inline constexpr unsigned kAutoStartFlagsFinishedBit = 7;
// Set times of the batch phases, minutes then seconds: DRY (or HI HEAT), LO HEAT, COOL, UNLOAD.
inline constexpr uint16_t kDryTimeSet = 11;
inline constexpr uint16_t kLoHeatTimeSet = 254;
inline constexpr uint16_t kCoolTimeSet = 16;
inline constexpr uint16_t kUnloadTimeSet = 21;
// Time left in each batch phase, minutes then seconds; written to restart a phase timer.
inline constexpr uint16_t kDryTimeLeft = 9;
inline constexpr uint16_t kLoHeatTimeLeft = 252;
inline constexpr uint16_t kCoolTimeLeft = 14;
inline constexpr uint16_t kUnloadTimeLeft = 19;

}  // namespace corvex::link
