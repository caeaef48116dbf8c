#include "sim/dryer_model.h"

#include <algorithm>
#include <cmath>

#include "link/crc.h"

namespace corvex::sim {
namespace {

// A gap longer than this between two calls (a clock jump) is not caught up step by step.
constexpr int64_t kMaxGapMs = 24ll * 3600 * 1000;

struct Preset {
  uint16_t offset;
  uint8_t value;
};

// A two-module tower with four LP fan/heaters, end fill, 16 ft, in continuous flow; setpoints,
// timers and speed settings as a dryer leaves the factory.
constexpr Preset kStartConfiguration[] = {
    {3, 3},                               // four fan/heaters
    {4, 1},                               // two modules
    {5, 0},                               // LP gas
    {6, 0},                               // end fill
    {7, 4},                               // 16 ft
    {8, 0},                               // continuous flow
    {9, 60},     {11, 60},                // DRY / HI HEAT 60:00
    {14, 20},    {16, 20},                // COOL 20:00
    {19, 10},    {21, 10},                // UNLOAD 10:00
    {24, 15},    {26, 15},                // out-of-grain time 15:00
    {28, 1},                              // show the timer's remaining time
    {32, 30},                             // load start-up delay 0:30
    {41, 5},                              // unload clean-out delay 5:00
    {43, 1},                              // show the run time
    {47, 30},                             // fan delay 0:30
    {59, 180},   {61, 180},   {63, 180},  // plenum setpoints #6, #5, #4
    {65, 190},   {67, 200},   {69, 200},  // #3, #2, #1
    {95, 5},     {96, 5},     {97, 5},    {98, 5},
    {99, 5},     {100, 5},                           // burner differentials
    {149, 120},  {151, 110},  {153, 100},            // grain temperature targets
    {156, 60},   {157, 45},   {158, 30},  {159, 1},  // speed settings, second one selected
    {160, 60},   {161, 45},   {162, 30},  {163, 100},
    {171, 0xA0}, {179, 0x30},             // LOAD AUTO, FAN 1 AUTO
    {187, 0x03},                          // moisture control, variable speed, manual
    {200, 155},                           // moisture setpoint 15.5 %
    {207, 80},   {209, 5},                // unload rate limits 80 % and 5 %
    {224, 0x10},                          // full heat
    {225, 0x10},                          // tower
    {230, 45},   {236, 230},  {237, 20},  // metering-roll output limits
    {252, 30},   {254, 30},               // LO HEAT 30:00
    {257, 0x10},                          // batch criterion TIME
    {258, 160},  {260, 160},              // second plenum temperatures
    {269, 2},                             // second fan timer 2:00
    {271, 1},    {274, 255},              // maximum batch time 255:00
    {277, 150},                           // maximum grain temperature
    {281, 220},                           // incoming average moisture 22.0 %
    {289, 1},                             // data logging on
};

}  // namespace

void build_status_frame(const StatusBytes& bytes, uint8_t* frame) {
  std::copy(bytes.begin(), bytes.end(), frame);
  link::crc16_append(frame, link::kStatusBytes);
}

DryerModel::DryerModel(uint64_t seed) : prng_(seed) { preset(); }

void DryerModel::preset() {
  for (const Preset& p : kStartConfiguration) bytes_[p.offset] = p.value;
  ambient_ = 62.0;
  for (FanHeater& f : fans_) f.plenum = ambient_;
  grain_.fill(ambient_);
  grain_out_ = grain_in_ = ambient_;
  moisture_in_ = moisture_in_mean_ = 220;
  moisture_out_ = 160;
  auto_speed_ = bytes_[157];
  batch_ = bytes_[link::kDryingMode] != 0;
  for (size_t k = 0; k < link::kStatusBytes; ++k) written_[k] = uint8_t(~bytes_[k]);
  publish();
}

void DryerModel::advance(int64_t elapsed_ms) {
  if (elapsed_ms <= 0) return;
  carry_ms_ += std::min(elapsed_ms, kMaxGapMs);
  while (carry_ms_ >= kStepMs) {
    carry_ms_ -= kStepMs;
    step();
  }
}

void DryerModel::step() {
  model_ms_ += kStepMs;
  if (running_) run_ms_ += kStepMs;
  const bool batch = bytes_[link::kDryingMode] != 0;
  if (batch != batch_) {
    batch_ = batch;
    if (batch_) reset_batch_times();
    if (batch_ && (auto_start_ == AutoStartState::Running || auto_start_ == AutoStartState::Paused))
      cancel_auto_start();
    if (running_) start_run_phase();
  }
  update_fans();
  update_burners();
  update_temperatures();
  update_flow();
  sub_second_ms_ += kStepMs;
  if (sub_second_ms_ >= 1000) {
    sub_second_ms_ -= 1000;
    one_second();
  }
  publish();
}

void DryerModel::one_second() {
  ambient_ += prng_.uniform(-0.02, 0.02) + 0.001 * (62.0 - ambient_);
  if (!running_) return;
  run_seconds_ = std::min(run_seconds_ + 1, 255 * 60 + 59);
  if (loading_) ++load_seconds_;
  update_moisture_second();
  if (batch_) update_batch_second();
  if (auto_start_ == AutoStartState::Running) update_auto_start_second();
}

int DryerModel::fan_count() const {
  switch (bytes_[link::kFanHeaterCode]) {
    case 0:
      return 1;
    case 1:
      return 2;
    case 2:
      return 3;
    case 3:
      return 4;
    case 4:
      return 6;
    default:
      return 1;
  }
}

// Returns the plenum setpoint of fan/heater n in degrees F: in the LO HEAT phase of a batch,
// plenums #1 and #2 regulate to their second temperatures.
int DryerModel::setpoint(int n) const {
  int sp = read_lo_hi(bytes_, link::plenum_setpoint(n));
  if (batch_ && running_ && phase_ == BatchPhase::LoHeat && n <= 2)
    sp = read_lo_hi(bytes_, n == 1 ? link::kPlenum1Second : link::kPlenum2Second);
  return std::clamp(sp, 0, 400);
}

// Returns the metering-roll speed setting selected by the mode bits of byte 159 (2 the first,
// 1 the second, 0 the third setting), in percent.
double DryerModel::speed_setting() const {
  const int selection = bytes_[159] & 0x3F;
  const int type = bytes_[link::kMoistureControlType] & 7;
  size_t setting = 157;
  if (selection == 2) setting = 156;
  if (selection == 0) setting = 158;
  if (setting == 157 && (type == 4 || type == 5)) setting = link::kAltSecondSetting;
  return std::min<double>(bytes_[setting], 100.0);
}

int DryerModel::length_feet() const {
  static constexpr int kFeet[15] = {8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 34, 36, 38, 40};
  const uint8_t index = bytes_[link::kLengthIndex];
  return index < 15 ? kFeet[index] : 16;
}

// Returns the throughput at full metering-roll speed (17.5 RPM): dryer length in feet times
// 140.62 bushels per hour for the 7-inch rolls, 129.6 for the 4-inch ones.
double DryerModel::capacity_bph() const {
  const bool small_rolls = (bytes_[183] & 0x02) && !(bytes_[link::kDryerType] & 0x40);
  return length_feet() * (small_rolls ? 129.6 : 140.62021);
}

void DryerModel::put(size_t at, int value) {
  const uint8_t v = uint8_t(std::clamp(value, 0, 255));
  if (written_[at] == v) return;
  written_[at] = v;
  bytes_[at] = v;
}

void DryerModel::put_lo_hi(size_t at, int value) {
  value = std::clamp(value, 0, 0xFFFF);
  put(at, value & 0xFF);
  put(at + 1, value >> 8);
}

void DryerModel::put_hi_lo(size_t at, int value) {
  value = std::clamp(value, 0, 0xFFFF);
  put(at, value >> 8);
  put(at + 1, value & 0xFF);
}

void DryerModel::put_timer(size_t at, int seconds) {
  seconds = std::clamp(seconds, 0, 255 * 60 + 59);
  put(at, seconds / 60);
  put(at + 1, seconds % 60);
}

void DryerModel::force(size_t at, uint8_t value) {
  bytes_[at] = value;
  written_[at] = value;
}

void DryerModel::publish() {
  publish_fans();
  publish_process();
  publish_batch();
  publish_auto_start();
  publish_diagnostics();
}

void DryerModel::publish_fans() {
  for (int n = 1; n <= kMaxFans; ++n) {
    const FanHeater& f = fans_[n - 1];
    put(link::burner_a(n),
        (f.fan ? 0x01 : 0) | (f.heater ? 0x02 : 0) | (f.flame && f.second_stage ? 0x04 : 0));
    put(link::burner_b(n), (f.fan ? 0x01 : 0) | (f.flame ? 0x02 : 0));
    put_lo_hi(link::plenum_temperature(n), int(std::lround(f.plenum)));
  }
  for (int k = 0; k < 3; ++k) put_lo_hi(link::grain_sensor(k), int(std::lround(grain_[size_t(k)])));
}

void DryerModel::publish_process() {
  // 171: bit 7 the load is idle, bit 5 always, bit 6 the dryer is drying, bit 3 grain is
  // discharged (the moisture sampling runs); 172 bit 0 the unload runs.
  put(link::kOperatingFlags,
      0x20 | (loading_ ? 0 : 0x80) | (running_ ? 0x40 : 0) | (unloading_ ? 0x08 : 0));
  put(link::kOperatingState, unloading_ ? 0x01 : 0);
  put(link::kRunning, (bytes_[link::kRunning] & ~0x40) | (running_ ? 0x40 : 0));
  put(link::kMeteringRolls, (loading_ ? 0x80 : 0) | (unloading_ ? 0x08 : 0));
  put_hi_lo(link::kBushelsPerHour, int(std::lround(bph_)));
  for (int k = 0; k < 4; ++k) put(link::kTotal + size_t(k), int((total_ >> (8 * k)) & 0xFF));
  put_hi_lo(link::kMoistureOut, int(std::lround(moisture_out_)));
  put_hi_lo(link::kMoistureIn, int(std::lround(moisture_in_)));
  put_hi_lo(link::kGrainTempOut, int(std::lround(grain_out_ * 10)));
  put_hi_lo(link::kGrainTempIn, int(std::lround(grain_in_ * 10)));
  const double rpm = speed_ * 17.5 / 100.0;
  const bool hundredths = bytes_[link::kDryerType] & 0x20;
  put_hi_lo(link::kRollSpeed, int(std::lround(rpm * (hundredths ? 100 : 10))));
  // The load timer A runs down from the out-of-grain time B while the load tops the column up
  // in continuous flow (the refill of a batch is not timed against running out of grain).
  const int out_of_grain = read_timer(bytes_, link::kOutOfGrainTimer);
  const bool timed = loading_ && !batch_;
  put_timer(link::kRunningTimer, timed ? std::max(0, out_of_grain - load_seconds_) : out_of_grain);
  put_timer(link::kRunTime, run_seconds_);
}

void DryerModel::adopt(size_t at, size_t n) {
  const auto touches = [at, n](size_t first, size_t length) {
    return at < first + length && first < at + n;
  };
  for (int i = 1; i <= kMaxFans; ++i) {
    if (touches(link::plenum_temperature(i), 2))
      fans_[size_t(i - 1)].plenum = read_lo_hi(bytes_, link::plenum_temperature(i));
  }
  for (int k = 0; k < 3; ++k) {
    if (touches(link::grain_sensor(k), 2))
      grain_[size_t(k)] = read_lo_hi(bytes_, link::grain_sensor(k));
  }
  if (touches(link::kMoistureOut, 2)) moisture_out_ = read_hi_lo(bytes_, link::kMoistureOut);
  if (touches(link::kMoistureIn, 2)) moisture_in_ = read_hi_lo(bytes_, link::kMoistureIn);
  if (touches(link::kGrainTempOut, 2)) grain_out_ = read_hi_lo(bytes_, link::kGrainTempOut) / 10.0;
  if (touches(link::kGrainTempIn, 2)) grain_in_ = read_hi_lo(bytes_, link::kGrainTempIn) / 10.0;
  if (touches(link::kTotal, 4)) {
    total_ = uint32_t(bytes_[164]) | uint32_t(bytes_[165]) << 8 | uint32_t(bytes_[166]) << 16 |
             uint32_t(bytes_[167]) << 24;
    total_carry_ = 0;
  }
  if (touches(link::kRunTime, 2)) run_seconds_ = read_timer(bytes_, link::kRunTime);
  if (touches(link::kIncomingAverage, 2) && read_lo_hi(bytes_, link::kIncomingAverage) > 0)
    moisture_in_mean_ = read_lo_hi(bytes_, link::kIncomingAverage);
  for (int slot = 0; slot < kBatchSlots; ++slot) {
    if (touches(batch_slot_offset(slot), 2)) {
      remaining_[size_t(slot)] = read_timer(bytes_, batch_slot_offset(slot));
      // A phase time just written (the companion record) is reported as written before it
      // counts on.
      hold_phase_second_ = true;
    }
  }
}

}  // namespace corvex::sim
