// The physics of the simulated dryer: fans, burners, plenum and grain temperatures, grain flow
// and moisture. Time constants are those of a tower of this size: a plenum reaches its setpoint
// in about a minute on the second stage, the grain column follows in a quarter of an hour, the
// discharged moisture answers a change in ten minutes.
#include <algorithm>
#include <cmath>

#include "sim/dryer_model.h"

namespace corvex::sim {
namespace {

constexpr double kStepSeconds = DryerModel::kStepMs / 1000.0;
constexpr int64_t kIgnitionMs = 5000;
constexpr int64_t kHeaterSettleMs = 60000;
constexpr double kPlenumTauFan = 90;      // seconds, with air moving
constexpr double kPlenumTauStill = 300;   // seconds, fan off
constexpr double kGrainTau = 300;
constexpr double kDischargeTau = 600;
constexpr double kMoistureTau = 600;
constexpr double kBushelsPerFoot = 40;    // grain held by the column per foot of dryer
// Column sensors 89/90, 91/92, 93/94 sit ever closer to the hot plenums.
constexpr double kSensorShare[3] = {0.40, 0.45, 0.50};

double approach(double value, double target, double tau_seconds) {
  return value + (target - value) * kStepSeconds / tau_seconds;
}

}  // namespace

bool DryerModel::fans_wanted() const {
  if (!running_) return false;
  if (!batch_) return true;
  return phase_ != BatchPhase::Unload && phase_ != BatchPhase::Load;
}

bool DryerModel::heat_wanted() const {
  if (!running_) return false;
  if (!batch_) return true;
  return phase_ == BatchPhase::Dry || phase_ == BatchPhase::HiHeat ||
         phase_ == BatchPhase::LoHeat;
}

// Schedules the fans of the fitted fan/heaters one fan delay apart, the first one fan delay from
// now; a zero delay still keeps two seconds between motor starts.
void DryerModel::start_sequence() {
  const int64_t delay_ms = std::max(2, read_timer(bytes_, link::kFanDelay)) * 1000ll;
  for (size_t i = 0; i < fans_.size(); ++i) fans_[i].fan_at_ms = run_ms_ + delay_ms * int64_t(i + 1);
}

void DryerModel::update_fans() {
  const int fitted = fan_count();
  const bool want_fans = fans_wanted();
  const bool want_heat = heat_wanted();
  for (int i = 0; i < kMaxFans; ++i) {
    FanHeater& f = fans_[size_t(i)];
    const bool on = want_fans && i < fitted && run_ms_ >= f.fan_at_ms;
    if (on && !f.fan) f.heater_at_ms = run_ms_ + kIgnitionMs;
    f.fan = on;
    f.heater = on && want_heat && run_ms_ >= f.heater_at_ms;
  }
}

// Each burner under control fires below setpoint - differential and goes out above setpoint +
// differential; far below it fires its second stage.
void DryerModel::update_burners() {
  for (int n = 1; n <= kMaxFans; ++n) {
    FanHeater& f = fans_[size_t(n - 1)];
    if (!f.heater) {
      f.flame = f.second_stage = false;
      continue;
    }
    const double sp = setpoint(n);
    const double d = std::max<int>(1, bytes_[link::differential(n)]);
    const double far_below = sp - 3 * d - 5;
    if (f.flame) {
      if (f.plenum > sp + d) {
        f.flame = f.second_stage = false;
      } else if (f.second_stage && f.plenum > sp - d) {
        f.second_stage = false;
      } else if (!f.second_stage && f.plenum < far_below) {
        f.second_stage = true;
      }
    } else if (f.plenum < sp - d) {
      f.flame = true;
      f.second_stage = f.plenum < far_below;
    }
  }
}

void DryerModel::update_temperatures() {
  const int fitted = fan_count();
  double plenum_sum = 0;
  double heat_sum = 0;
  for (int n = 1; n <= kMaxFans; ++n) {
    FanHeater& f = fans_[size_t(n - 1)];
    const double rise = std::max(0.0, setpoint(n) - ambient_);
    double target = ambient_;
    if (f.flame) target = std::min(450.0, ambient_ + rise * (f.second_stage ? 2.6 : 2.0));
    f.plenum = approach(f.plenum, target, f.fan ? kPlenumTauFan : kPlenumTauStill) +
               prng_.uniform(-0.02, 0.02);
    if (n > fitted) continue;
    plenum_sum += f.plenum;
    if (rise > 1) heat_sum += std::clamp((f.plenum - ambient_) / rise, 0.0, 1.2);
  }
  const double plenum_mean = plenum_sum / fitted;
  heat_fraction_ = heat_sum / fitted;
  // Faster rolls leave the grain less time in the hot column.
  const double speed_factor = unloading_ ? std::clamp(50.0 / std::max(speed_, 5.0), 0.7, 1.3) : 1.0;
  for (size_t k = 0; k < grain_.size(); ++k) {
    const double target = ambient_ + kSensorShare[k] * (plenum_mean - ambient_) * speed_factor;
    grain_[k] = approach(grain_[k], target, kGrainTau) + prng_.uniform(-0.01, 0.01);
  }
  const double discharge = unloading_ ? ambient_ + 0.15 * (plenum_mean - ambient_) : ambient_;
  grain_out_ = approach(grain_out_, discharge, unloading_ ? kDischargeTau : 3 * kDischargeTau);
  grain_in_ = approach(grain_in_, ambient_ + 2, kDischargeTau) + prng_.uniform(-0.005, 0.005);
}

// True when automatic moisture or grain-temperature control sets the roll speed (continuous
// flow, byte 187 bit 7, a scheme that regulates).
bool DryerModel::automatic_speed() const {
  const uint8_t control = bytes_[link::kMoistureControlType];
  const int type = control & 7;
  return !batch_ && (control & 0x80) && type >= 1 && type <= 5 && type != 2;
}

void DryerModel::update_flow() {
  if (!running_) {
    unloading_ = loading_ = false;
  } else if (batch_) {
    unloading_ = phase_ == BatchPhase::Unload;
    loading_ = phase_ == BatchPhase::Load;
  } else if (!unloading_) {
    // Continuous flow: the rolls start once every heater has held its plenum for a minute and,
    // in an auto-start run, not before the time the schedule gives.
    bool ready = true;
    for (int i = 0; i < fan_count(); ++i) {
      const FanHeater& f = fans_[size_t(i)];
      ready = ready && f.heater && run_ms_ >= f.heater_at_ms + kHeaterSettleMs;
    }
    if (auto_start_ == AutoStartState::Running) ready = ready && auto_elapsed_ >= auto_unload_;
    unloading_ = ready;
  }
  if (!unloading_) {
    speed_ = 0;
  } else {
    const double target = automatic_speed() ? auto_speed_ : speed_setting();
    speed_ += std::clamp(target - speed_, -0.1, 0.1);
  }
  bph_ = capacity_bph() * speed_ / 100.0;
  // The total counts bushels x 3600, that is bushels per hour times seconds.
  total_carry_ += int64_t(std::lround(bph_)) * kStepMs;
  total_ += uint32_t(total_carry_ / 1000);
  total_carry_ %= 1000;
  if (running_ && !batch_) update_load();
}

// The load tops the column up whenever the unload has drawn it below 92 %, at a rate that
// differs from fill to fill.
void DryerModel::update_load() {
  column_bushels_ -= bph_ * kStepSeconds / 3600.0;
  const int64_t start_delay_ms = read_timer(bytes_, link::kLoadStartDelay) * 1000ll;
  if (!loading_ && run_ms_ >= start_delay_ms && column_bushels_ < 0.92 * column_capacity_) {
    loading_ = true;
    load_seconds_ = 0;
    fill_bph_ = capacity_bph() * prng_.uniform(1.3, 2.0);
  }
  if (!loading_) return;
  column_bushels_ += fill_bph_ * kStepSeconds / 3600.0;
  if (column_bushels_ >= column_capacity_) {
    column_bushels_ = column_capacity_;
    loading_ = false;
  }
}

void DryerModel::reset_column() {
  column_capacity_ = kBushelsPerFoot * length_feet();
  column_bushels_ = column_capacity_;
}

// Once a second while running: the incoming moisture wanders around its mean; the discharged
// moisture follows what the heat and the time in the column take out of it, pulled toward the
// setpoint; automatic control trims the roll speed.
void DryerModel::update_moisture_second() {
  moisture_in_ += prng_.uniform(-1.5, 1.5) + 0.01 * (moisture_in_mean_ - moisture_in_);
  moisture_in_ = std::clamp(moisture_in_, 100.0, 400.0);
  if (batch_ || !unloading_) return;
  const double sp = read_hi_lo(bytes_, link::kMoistureSetpoint);
  const double residence = std::clamp(50.0 / std::max(speed_, 5.0), 0.3, 3.0);
  double target = moisture_in_ - (moisture_in_ - sp) * heat_fraction_ * residence;
  target = std::clamp(target, 60.0, moisture_in_);
  moisture_out_ += (target - moisture_out_) / kMoistureTau + prng_.uniform(-0.3, 0.3);
  moisture_out_ = std::clamp(moisture_out_, 0.0, 500.0);
  if (!automatic_speed()) {
    auto_speed_ = speed_setting();
    return;
  }
  const int type = bytes_[link::kMoistureControlType] & 7;
  if (type == 3 || type == 4) {
    auto_speed_ -= 0.003 * (moisture_out_ - sp);  // wetter grain needs more time in the column
  } else {
    const double target_temp = read_lo_hi(bytes_, 149);
    auto_speed_ += 0.005 * (grain_[2] - target_temp);  // hotter grain may flow faster
  }
  auto_speed_ = std::clamp(auto_speed_, 5.0, 100.0);
}

}  // namespace corvex::sim
