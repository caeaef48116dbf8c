#pragma once
// Names of the status bytes, and small accessors over the StatusMirror and the DesiredValues
// that put the two bytes of a value together in the order the controller uses. There is no
// single byte order in the status frame: "hi/lo" values carry the high byte at the lower
// offset, "lo/hi" values the low byte; timers are a minutes byte, then a seconds byte. The
// mirror readers look at the last confirmed value only; the simulator and the display share
// these names.
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
// A timer: minutes byte at `offset`, seconds byte after it; returns seconds.
inline int mirror_timer_seconds(uint16_t offset) {
  return mirror_byte(offset) * 60 + mirror_byte(uint16_t(offset + 1));
}

// ---- DesiredValues ----

inline uint8_t desired_byte(uint16_t offset) {
  return dryer_state().desired[offset].load(std::memory_order_relaxed);
}
inline uint16_t desired_hi_lo(uint16_t offset) {
  return uint16_t(desired_byte(offset) << 8 | desired_byte(uint16_t(offset + 1)));
}
inline uint16_t desired_lo_hi(uint16_t offset) {
  return uint16_t(desired_byte(uint16_t(offset + 1)) << 8 | desired_byte(offset));
}
// Slots written here go out only once their write is raised (raise_write); a slot belongs to
// at most one record, so a flag raised later always carries what was written before it.
inline void set_desired_byte(uint16_t offset, uint8_t value) {
  dryer_state().desired[offset].store(value, std::memory_order_relaxed);
}
inline void set_desired_hi_lo(uint16_t offset, uint16_t value) {
  set_desired_byte(offset, uint8_t(value >> 8));
  set_desired_byte(uint16_t(offset + 1), uint8_t(value & 0xFF));
}
inline void set_desired_lo_hi(uint16_t offset, uint16_t value) {
  set_desired_byte(offset, uint8_t(value & 0xFF));
  set_desired_byte(uint16_t(offset + 1), uint8_t(value >> 8));
}
// Starts `count` slots from the reported values (what an editor opens with).
inline void desire_reported(uint16_t offset, uint16_t count = 1) {
  for (uint16_t k = offset; k < offset + count; ++k) set_desired_byte(k, mirror_byte(k));
}
// True when any of `count` slots from `offset` differs from the reported value.
inline bool desired_differs(uint16_t offset, uint16_t count = 1) {
  for (uint16_t k = offset; k < offset + count; ++k)
    if (desired_byte(k) != mirror_byte(k)) return true;
  return false;
}

// ---- Raising a write after its values ----
// raise_write (dryer_state.h) stores the slots first and raises the flag with release ordering
// after them; these put a 16-bit value into its two slots in the value's byte order.
inline void raise_write_hi_lo(PendingWrite w, uint16_t offset, uint16_t value) {
  raise_write(w, {{offset, uint8_t(value >> 8)}, {uint16_t(offset + 1), uint8_t(value & 0xFF)}});
}
inline void raise_write_lo_hi(PendingWrite w, uint16_t offset, uint16_t value) {
  raise_write(w, {{offset, uint8_t(value & 0xFF)}, {uint16_t(offset + 1), uint8_t(value >> 8)}});
}
// Raises `w` when its slots (`count` from `offset`) differ from what the controller reports,
// so that leaving an editor unchanged sends nothing. True when it raised.
inline bool raise_write_if_changed(PendingWrite w, uint16_t offset, uint16_t count = 1) {
  if (!desired_differs(offset, count)) return false;
  raise_write(w);
  return true;
}

// ---- Data logs ----

// Grain-column temperature sensors, whole degrees, lo/hi; status byte 184 picks one.
inline constexpr uint16_t kGrainTempSensorC = 89;  // selector value 2
inline constexpr uint16_t kGrainTempSensorB = 91;  // selector value 1
inline constexpr uint16_t kGrainTempSensorA = 93;  // selector value 0
// The grain-temperature sensor the controller has selected: 0 = 93/94, 1 = 91/92, 2 = 89/90.
inline constexpr uint16_t kGrainTempSelector = 184;
// Dryer operating-state flags; bit 6 is one half of the logging condition. While bits 7 and 5
// are not both set the dryer is timing (kOperatingFlagsIdle); bit 3 marks the cool-down.
inline constexpr uint16_t kOperatingFlags = 171;
inline constexpr unsigned kOperatingFlagsLoggingBit = 6;
inline constexpr unsigned kOperatingFlagsCoolDownBit = 3;
inline constexpr uint8_t kOperatingFlagsIdle = 0xA0;
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
// Auto-start progress flags; bit 7 is set when an auto-start run has finished, bit 6 while the
// controller offers auto-start, bits 1 and 2 choose the start-up messages.
inline constexpr uint16_t kAutoStartFlags = 280;
inline constexpr unsigned kAutoStartFlagsOfferedBit = 6;
inline constexpr unsigned kAutoStartFlagsCountdownBit = 1;
inline constexpr unsigned kAutoStartFlagsMessageBit = 2;
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

// ---- Dryer layout ----

// Fan/heater count code: 0, 1, 2, 3, 4 = 1, 2, 3, 4, 6 fan/heaters.
inline constexpr uint16_t kFanHeaterCode = 3;
// Number of modules 0..2; in the mixed-flow family the model category.
inline constexpr uint16_t kModules = 4;
// Fuel: 0 LP, 1 natural gas, 2 vapour, 3 diesel.
inline constexpr uint16_t kFuel = 5;
// Load system: 0 end fill, 1 centre fill, 2 dual fill.
inline constexpr uint16_t kLoadSystem = 6;
// Dryer length index, or the model index in the model families, 0..14.
inline constexpr uint16_t kLengthIndex = 7;
// Drying mode: 0 continuous flow, 1 staged batch, other values the other batch modes.
inline constexpr uint16_t kDryingMode = 8;
inline constexpr uint8_t kContinuousFlow = 0;
inline constexpr uint8_t kStagedBatch = 1;

// ---- Batch values and running timers ----

// A batch drying value beside each phase time (13, 18, 23).
inline constexpr uint16_t kBatchValue = 13;
// The running dryer timer, elapsed part A, minutes then seconds.
inline constexpr uint16_t kRunningTimer = 24;
// The out-of-grain timer setting, minutes then seconds; also part B of the running timer.
inline constexpr uint16_t kOutOfGrainTimer = 26;
// Bit 0: show the running timer's remaining time.
inline constexpr uint16_t kShowRunningTimer = 28;
// Load start-up delay, minutes then seconds.
inline constexpr uint16_t kLoadStartDelay = 31;
// A second running time, minutes then seconds; shown while bit 0 of kShowRunTime is set.
inline constexpr uint16_t kRunTime = 39;
// Unload clean-out delay, minutes then seconds.
inline constexpr uint16_t kCleanOutDelay = 41;
inline constexpr uint16_t kShowRunTime = 43;
// Fan delay, minutes then seconds.
inline constexpr uint16_t kFanDelay = 46;
// Option bits; bit 4 reverses the metering rolls, bit 5 picks the other metering-roll label.
inline constexpr uint16_t kOptionBits = 49;
// Minutes of the cool-down message.
inline constexpr uint16_t kCoolDownMinutes = 52;
// The controller's clock: minute, hour, day, month, year mod 100 (not copied into the mirror).
inline constexpr uint16_t kClock = 53;
inline constexpr uint16_t kClockLength = 5;
// Metering rolls: bit 3 turning, bit 2 reverse; edges of bit 7 time the load.
inline constexpr uint16_t kMeteringRolls = 58;

// ---- Fan/heaters (n = 1..6) ----

// Plenum setpoint of fan/heater n, whole degrees F, lo/hi: #1 = 69/70 ... #6 = 59/60.
constexpr uint16_t plenum_setpoint(int n) { return uint16_t(71 - 2 * n); }
// Plenum temperature of fan/heater n, lo/hi: #1 = 81/82 ... #6 = 71/72.
constexpr uint16_t plenum_temperature(int n) { return uint16_t(83 - 2 * n); }
// Grain-temperature sensor k = 0, 1, 2 at 89/90, 91/92, 93/94, lo/hi.
constexpr uint16_t grain_sensor(int k) { return uint16_t(89 + 2 * k); }
// Plenum temperature differential of fan/heater n: #1 = 100 ... #6 = 95.
constexpr uint16_t differential(int n) { return uint16_t(101 - n); }
// Control byte of fan/heater n: #1 = 106 ... #6 = 101; bit 2 air-switch testing disabled.
// Alarm bits of the fan/heaters follow at 113..118; bit 5 of 118 is the highest-priority alarm.
inline constexpr uint16_t kHighestAlarm = 118;
inline constexpr unsigned kHighestAlarmBit = 5;
constexpr uint16_t fan_control(int n) { return uint16_t(107 - n); }
// Burner byte A of fan/heater n: #1 = 130 ... #6 = 125.
constexpr uint16_t burner_a(int n) { return uint16_t(131 - n); }
// Burner byte B of fan/heater n: #1 = 136 ... #6 = 131; bit 0 fan on, bit 1 burner on.
constexpr uint16_t burner_b(int n) { return uint16_t(137 - n); }
// State of fan/heater n: #1 = 148 ... #6 = 143; bit 2 airflow testing disabled; bit 4 of
// fan/heater #1's state selects the alternative target setpoint.
constexpr uint16_t fan_state(int n) { return uint16_t(149 - n); }

// Target (grain temperature) setpoints, whole degrees F, lo/hi each.
inline constexpr uint16_t kTargetSetpoint1 = 149;
inline constexpr uint16_t kTargetSetpoint2 = 151;
inline constexpr uint16_t kTargetSetpoint3 = 153;

// ---- Metering rolls and throughput ----

// Metering-roll speed settings, three bytes.
inline constexpr uint16_t kMeteringRollSpeeds = 156;
// Metering-roll speed mode: bits 0..5 the mode; bit 7 toggles with every push of the knob.
inline constexpr uint16_t kMeteringRollMode = 159;
inline constexpr uint8_t kMeteringRollModeMask = 0x3F;
inline constexpr uint8_t kMeteringRollKnobPush = 0x80;
// The metering-roll speed block, three bytes kept in the DesiredValues (not in the mirror).
inline constexpr uint16_t kMeteringRollBlock = 160;
// Calibration byte.
inline constexpr uint16_t kCalibration = 163;
// Accumulated throughput, bushels x 3600: 32 bits, byte 164 least significant.
inline constexpr uint16_t kTotal = 164;
// Load and unload switches of the display I/O board (first byte): STOP, UNLOAD 1 SPEED,
// UNLOAD 2 SPEED, LOAD ON, LOAD AUTO, FAN 1 AUTO, FAN 1 ON, SPARE #1 in bits 0..7.
inline constexpr uint16_t kSwitchInputs = 179;
inline constexpr unsigned kSwitchInputsUnload1Bit = 1;
inline constexpr unsigned kSwitchInputsUnload2Bit = 2;
inline constexpr unsigned kSwitchInputsLoadOnBit = 3;
inline constexpr unsigned kSwitchInputsLoadAutoBit = 4;
// The warning (shutdown) number, 0 = none, and the node code of the warning.
inline constexpr uint16_t kWarningNumber = 185;
inline constexpr uint16_t kWarningNode = 186;
// Moisture-control type in bits 0..2 (1 basic, 2 three-speed, 3 advanced, 4 and 5 other),
// bit 6 second setpoint, bit 7 automatic.
inline constexpr uint16_t kMoistureControlType = 187;
inline constexpr uint8_t kMoistureControlKindMask = 0x07;
inline constexpr uint8_t kAdvancedMoistureControl = 3;
inline constexpr unsigned kMoistureControlTypeAutoBit = 7;
// Bit 6 the dryer runs, bit 5 the defaults switch is on.
inline constexpr uint16_t kRunning = 188;
inline constexpr unsigned kRunningBit = 6;
inline constexpr unsigned kRunningDefaultsBit = 5;
// Metering-roll speed, hi/lo: tenths, or hundredths when bit 5 of kDryerType is set.
inline constexpr uint16_t kRollSpeed = 197;
// Moisture setpoint, tenths of a percent, hi/lo.
inline constexpr uint16_t kMoistureSetpoint = 199;
// Batch counter, hi/lo.
inline constexpr uint16_t kBatchCounter = 221;
// Moisture-control options: bit 0 upper sensor disabled, bits 4..6 heat split, bit 7 auto
// centring.
inline constexpr uint16_t kMoistureOptions = 224;
inline constexpr unsigned kMoistureOptionsTempDifferenceBit = 3;  // the status bar's choice
inline constexpr unsigned kMoistureOptionsAutoCentringBit = 7;
// Copied into parameter 161 by the metering-roll speed dialog.
inline constexpr uint16_t kAltSecondSetting = 230;
// Command byte: bit 3 zeroes the accumulated throughput.
inline constexpr uint16_t kCommand = 238;

// ---- Node 1 parameters and auto-start ----

// Drying-criteria and moisture-control node flags: bit 1 dual plenum, bit 3 the loading option,
// bits 4, 5 and 6 what ends a batch (time, grain temperature, moisture).
inline constexpr uint16_t kDryingCriteria = 257;
inline constexpr unsigned kDryingCriteriaDualPlenumBit = 1;
inline constexpr unsigned kDryingCriteriaLoadingOptionBit = 3;
inline constexpr unsigned kDryingCriteriaTimeBit = 4;
inline constexpr unsigned kDryingCriteriaTemperatureBit = 5;
inline constexpr unsigned kDryingCriteriaMoistureBit = 6;
// Bit 0 holds a staged batch (the status bar then shows the batch on hold).
inline constexpr unsigned kDryingCriteriaBatchHoldBit = 0;
// Second temperatures of plenums #2 and #1, lo/hi.
inline constexpr uint16_t kPlenum2Second = 258;
inline constexpr uint16_t kPlenum1Second = 260;
// Bit 7 SI units, bit 6 view choice, bits 0..1 one-shot commands.
inline constexpr uint16_t kUnitsAndOptions = 266;
inline constexpr unsigned kUnitsAndOptionsSiBit = 7;
inline constexpr unsigned kUnitsAndOptionsViewBit = 6;
// Second fan timer, minutes then seconds.
inline constexpr uint16_t kSecondFanTimer = 269;
// Maximum batch drying time (minutes, seconds) and maximum grain temperature (whole degrees
// F, lo/hi): the safety limits of the drying set-ups, active by bits 4 and 3 of byte 266 while
// its bit 5 enables them.
inline constexpr uint16_t kMaxBatchTime = 274;
inline constexpr uint16_t kMaxGrainTemp = 277;
// Bracketed five-speed moisture control: outer limit, inner limit, outer and inner speed
// offset, one byte each from here.
inline constexpr uint16_t kBracketLimits = 226;
// Controller mode code in bits 0..1; 1 is ready.
inline constexpr uint16_t kControllerMode = 271;
inline constexpr uint8_t kControllerModeMask = 0x03;
inline constexpr uint8_t kControllerModeReady = 1;
// Auto-start state: bit 0 auto-start running, bit 7 grain inverter present; bits 4..6 are
// never echoed.
inline constexpr uint16_t kAutoStart = 279;
inline constexpr unsigned kAutoStartRunningBit = 0;
// Incoming moisture the operator entered for auto-start, a pair.
inline constexpr uint16_t kIncomingAverage = 281;
// Grain type of auto-start: 0 Corn, 1 Soy Beans, 2 Wheat, 3 Barley, 4 Rice, 5 Canola, 6 Flax,
// 7 Hemp, 8 Milo, 9 Pistachios, 10 Rye, 11 Oats.
inline constexpr uint16_t kGrainType = 285;
// Moisture sensor interfaces.
inline constexpr uint16_t kSensorInterfaces = 287;
// Auto-start status value.
inline constexpr uint16_t kAutoStartStep = 288;
// Seconds counted by the moisture-control hold timer, lo/hi.
inline constexpr uint16_t kHoldTimer = 290;
// Auto-start status values: fan/heater i (0 = #1) starts at 304 - 2i and ends at 316 - 2i,
// lo/hi each.
inline constexpr uint16_t kFanStartTimes = 294;
inline constexpr uint16_t kFanEndTimes = 306;
inline constexpr uint16_t kAutoStartTotal = 318;
// Seconds of the start-up sequence, lo/hi; the status bar shows them as the time left.
inline constexpr uint16_t kAutoStartElapsed = 320;
inline constexpr uint16_t kAutoStartUnload = 322;

}  // namespace corvex::link
