#pragma once
// The controller's side of the status frame: the 329 status bytes it reports, the frame that
// carries them, and the byte orders its values use (there is no single one: setpoints and
// temperatures of the fan/heaters lie low byte first, moistures and grain temperatures high byte
// first, timers are a minutes byte and a seconds byte).
#include <array>
#include <cstddef>
#include <cstdint>

namespace corvex::sim {

inline constexpr size_t kStatusByteCount = 329;
// Status bytes 0..328, then the CRC low and high byte.
inline constexpr size_t kStatusFrameLength = kStatusByteCount + 2;

using StatusBytes = std::array<uint8_t, kStatusByteCount>;

inline int read_lo_hi(const StatusBytes& s, size_t offset) {
  return s[offset] | (s[offset + 1] << 8);
}
inline int read_hi_lo(const StatusBytes& s, size_t offset) {
  return (s[offset] << 8) | s[offset + 1];
}
// A timer: minutes byte, then seconds byte; returns seconds.
inline int read_timer(const StatusBytes& s, size_t offset) {
  return s[offset] * 60 + s[offset + 1];
}

// Fills `frame` (kStatusFrameLength bytes) with the status bytes and their CRC.
void build_status_frame(const StatusBytes& bytes, uint8_t* frame);

// Status offsets the simulator's process model and record handling refer to by name.
namespace offset {
inline constexpr size_t kFanHeaterCode = 3;
inline constexpr size_t kModules = 4;
inline constexpr size_t kFuel = 5;
inline constexpr size_t kLoadSystem = 6;
inline constexpr size_t kLengthIndex = 7;
inline constexpr size_t kDryingMode = 8;
inline constexpr size_t kDryRemaining = 9;   // companion of 11-12
inline constexpr size_t kDryTime = 11;
inline constexpr size_t kBatchValue = 13;
inline constexpr size_t kCoolRemaining = 14;  // companion of 16-17
inline constexpr size_t kCoolTime = 16;
inline constexpr size_t kUnloadRemaining = 19;  // companion of 21-22
inline constexpr size_t kUnloadTime = 21;
inline constexpr size_t kLoadTimer = 24;        // A: counts down while the load runs
inline constexpr size_t kOutOfGrainTimer = 26;  // B: the out-of-grain time
inline constexpr size_t kShowTimer = 28;
inline constexpr size_t kLoadStartDelay = 31;
inline constexpr size_t kRunTime = 39;
inline constexpr size_t kCleanOutDelay = 41;
inline constexpr size_t kShowRunTime = 43;
inline constexpr size_t kFanDelay = 46;
inline constexpr size_t kClock = 53;  // minute, hour, day, month, year mod 100
inline constexpr size_t kClockLength = 5;
inline constexpr size_t kMeteringRolls = 58;
inline constexpr size_t kCalibration = 163;
inline constexpr size_t kTotal = 164;  // 32-bit, byte 164 least significant, bushels x 3600
inline constexpr size_t kOperatingState = 171;
inline constexpr size_t kUnloadState = 172;
inline constexpr size_t kThroughput = 173;
inline constexpr size_t kSwitches = 179;
inline constexpr size_t kSensorSelect = 184;
inline constexpr size_t kWarningNumber = 185;
inline constexpr size_t kWarningNode = 186;
inline constexpr size_t kMoistureControl = 187;
inline constexpr size_t kRunning = 188;
inline constexpr size_t kMoistureOut = 189;
inline constexpr size_t kMoistureIn = 191;
inline constexpr size_t kGrainTempOut = 193;
inline constexpr size_t kGrainTempIn = 195;
inline constexpr size_t kRollSpeed = 197;
inline constexpr size_t kMoistureSetpoint = 199;
inline constexpr size_t kBatchCounter = 221;
inline constexpr size_t kMoistureOptions = 224;
inline constexpr size_t kDryerType = 225;
inline constexpr size_t kAltSecondSetting = 230;
inline constexpr size_t kCommand = 238;
inline constexpr size_t kStepNumber = 245;
inline constexpr size_t kLoHeatRemaining = 252;  // companion of 254-255
inline constexpr size_t kLoHeatTime = 254;
inline constexpr size_t kDryingCriteria = 257;
inline constexpr size_t kPlenum2Second = 258;
inline constexpr size_t kPlenum1Second = 260;
inline constexpr size_t kUnitsAndOptions = 266;
inline constexpr size_t kControllerMode = 271;
inline constexpr size_t kAutoStart = 279;
inline constexpr size_t kAutoStartFlags = 280;
inline constexpr size_t kIncomingAverage = 281;
inline constexpr size_t kAutoStartStep = 288;
inline constexpr size_t kDataLogging = 289;
inline constexpr size_t kEventSampling = 292;
inline constexpr size_t kFanStartTimes = 294;  // fan/heater i (0 = #1) at 304 - 2i, low first
inline constexpr size_t kFanEndTimes = 306;    // fan/heater i at 316 - 2i
inline constexpr size_t kAutoStartTotal = 318;
inline constexpr size_t kAutoStartElapsed = 320;
inline constexpr size_t kAutoStartUnload = 322;

// Fan/heater n (1..6): plenum setpoint and temperature low bytes, differential, control byte,
// burner bytes A and B, state byte.
constexpr size_t plenum_setpoint(int n) { return size_t(71 - 2 * n); }
constexpr size_t plenum_temperature(int n) { return size_t(83 - 2 * n); }
constexpr size_t differential(int n) { return size_t(101 - n); }
constexpr size_t burner_a(int n) { return size_t(131 - n); }
constexpr size_t burner_b(int n) { return size_t(137 - n); }
constexpr size_t fan_state(int n) { return size_t(149 - n); }
// Grain-temperature sensors k = 0, 1, 2 at 89/90, 91/92, 93/94, low byte first.
constexpr size_t grain_sensor(int k) { return size_t(89 + 2 * k); }
}  // namespace offset

}  // namespace corvex::sim
