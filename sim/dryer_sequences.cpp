// The simulated dryer's sequences: run and stop, the batch cycle, the auto-start run and the
// shutdown on a warning.
#include <algorithm>
#include <cstdio>

#include "sim/auto_start_sequence.h"
#include "sim/dryer_model.h"

namespace corvex::sim {

const char* DryerModel::run() {
  const uint8_t warning = bytes_[link::kWarningNumber];
  if (warning != 0) {
    std::snprintf(reason_, sizeof reason_,
                  "warning %u of node %u is reported; clear it first with: warning 0 0", warning,
                  bytes_[link::kWarningNode]);
    return reason_;
  }
  if (running_) return nullptr;
  if (auto_start_ == AutoStartState::Finished) auto_start_ = AutoStartState::Idle;
  start_run();
  publish();
  return nullptr;
}

void DryerModel::stop() {
  if (auto_start_ != AutoStartState::Idle) {
    auto_start_ = AutoStartState::Idle;
    force(link::kAutoStart, bytes_[link::kAutoStart] & ~0x01);
  }
  halt();
  publish();
}

void DryerModel::start_run() {
  running_ = true;
  run_ms_ = 0;
  run_seconds_ = 0;
  for (FanHeater& f : fans_) f.fan = f.heater = f.flame = f.second_stage = false;
  reset_column();
  start_run_phase();
}

// Begins the work of the drying mode: the batch cycle from its first heat phase, or the fan
// sequence of continuous flow. Also used when the drying mode changes while running.
void DryerModel::start_run_phase() {
  unloading_ = loading_ = false;
  speed_ = 0;
  if (batch_) {
    begin_batch_phase(first_heat_phase());
  } else {
    start_sequence();
  }
}

void DryerModel::halt() {
  running_ = false;
  unloading_ = loading_ = false;
  speed_ = 0;
  bph_ = 0;
  for (FanHeater& f : fans_) f.fan = f.heater = f.flame = f.second_stage = false;
}

void DryerModel::report_warning(uint8_t number, uint8_t node) {
  force(link::kWarningNumber, number);
  force(link::kWarningNode, node);
  if (number > 0) {
    if (auto_start_ == AutoStartState::Running) auto_start_ = AutoStartState::Paused;
    halt();
  } else if (auto_start_ == AutoStartState::Paused) {
    // The run goes on where it stopped: the fans come back quickly, the schedule holds.
    start_run();
    for (size_t i = 0; i < fans_.size(); ++i) fans_[i].fan_at_ms = 2000ll * int64_t(i + 1);
    auto_start_ = AutoStartState::Running;
  }
  publish();
}

bool DryerModel::two_heat_phases() const {
  return bytes_[link::kDryingMode] == 3 || (bytes_[link::kDryingCriteria] & 0x02);
}

DryerModel::BatchPhase DryerModel::first_heat_phase() const {
  return two_heat_phases() ? BatchPhase::HiHeat : BatchPhase::Dry;
}

size_t DryerModel::batch_slot_offset(int slot) {
  static constexpr size_t kOffsets[kBatchSlots] = {link::kDryTimeLeft, link::kLoHeatTimeLeft,
                                                   link::kCoolTimeLeft, link::kUnloadTimeLeft};
  return kOffsets[slot];
}

int DryerModel::batch_slot(BatchPhase phase) {
  switch (phase) {
    case BatchPhase::Dry:
    case BatchPhase::HiHeat:
      return 0;
    case BatchPhase::LoHeat:
      return 1;
    case BatchPhase::Cool:
      return 2;
    case BatchPhase::Unload:
      return 3;
    case BatchPhase::Load:
      return -1;
  }
  return -1;
}

// Returns the phase time the operator set for a batch slot, in seconds.
int DryerModel::batch_setting(int slot) const {
  static constexpr size_t kSettings[kBatchSlots] = {link::kDryTimeSet, link::kLoHeatTimeSet,
                                                    link::kCoolTimeSet, link::kUnloadTimeSet};
  return read_timer(bytes_, kSettings[slot]);
}

void DryerModel::reset_batch_times() {
  for (int slot = 0; slot < kBatchSlots; ++slot) remaining_[size_t(slot)] = batch_setting(slot);
}

void DryerModel::begin_batch_phase(BatchPhase phase) {
  phase_ = phase;
  hold_phase_second_ = false;
  if (phase == first_heat_phase()) {
    // A new batch: fresh wet grain, every phase time from its setting, fans one after another.
    reset_batch_times();
    start_sequence();
    moisture_in_ = std::clamp(moisture_in_mean_ + prng_.uniform(-15, 15), 100.0, 400.0);
    moisture_out_ = moisture_in_;
    batch_heat_seconds_ = batch_setting(0) + (two_heat_phases() ? batch_setting(1) : 0);
  }
  const int slot = batch_slot(phase);
  if (slot >= 0) remaining_[size_t(slot)] = batch_setting(slot);
  if (phase == BatchPhase::Load) {
    load_seconds_ = 0;
    column_bushels_ = 0;
    fill_bph_ = capacity_bph() * prng_.uniform(1.3, 2.0);
  }
}

DryerModel::BatchPhase DryerModel::next_batch_phase() const {
  switch (phase_) {
    case BatchPhase::HiHeat:
      return BatchPhase::LoHeat;
    case BatchPhase::Dry:
    case BatchPhase::LoHeat:
      return BatchPhase::Cool;
    case BatchPhase::Cool:
      return BatchPhase::Unload;
    case BatchPhase::Unload:
      return BatchPhase::Load;
    case BatchPhase::Load:
      return first_heat_phase();
  }
  return BatchPhase::Load;
}

void DryerModel::update_batch_second() {
  if (phase_ == BatchPhase::Load) {
    column_bushels_ += fill_bph_ / 3600.0;
    if (column_bushels_ < column_capacity_) return;
    const int count = (read_hi_lo(bytes_, link::kBatchCounter) + 1) & 0xFFFF;
    force(link::kBatchCounter, uint8_t(count >> 8));
    force(link::kBatchCounter + 1, uint8_t(count & 0xFF));
    begin_batch_phase(first_heat_phase());
    return;
  }
  if (heat_wanted()) {
    // The batch dries toward half a point below the setpoint over a third of its heat time.
    const double sp = read_hi_lo(bytes_, link::kMoistureSetpoint);
    const double pace = std::max(60.0, batch_heat_seconds_ / 3.0);
    moisture_out_ += (sp - 5 - moisture_out_) * heat_fraction_ / pace;
  }
  int& left = remaining_[size_t(batch_slot(phase_))];
  if (hold_phase_second_) {
    hold_phase_second_ = false;
    return;
  }
  if (left > 0) --left;
  if (left == 0) begin_batch_phase(next_batch_phase());
}

void DryerModel::publish_batch() {
  if (batch_) {
    for (int slot = 0; slot < kBatchSlots; ++slot)
      put_timer(batch_slot_offset(slot), remaining_[size_t(slot)]);
  }
  const bool lo_heat = batch_ && running_ && phase_ == BatchPhase::LoHeat;
  put(link::fan_state(1), (bytes_[link::fan_state(1)] & ~0x10) | (lo_heat ? 0x10 : 0));
  // 292: bit 0 a batch is being dried, bit 1 it is being unloaded (the end of its cycle).
  const bool drying = batch_ && running_ && heat_wanted();
  const bool emptying = batch_ && running_ && phase_ == BatchPhase::Unload;
  put(link::kSamplerEvents,
      (bytes_[link::kSamplerEvents] & ~0x03) | (drying ? 0x01 : 0) | (emptying ? 0x02 : 0));
}

// The controller takes the auto-start command of bit 0 of byte 279 only when it can run it:
// continuous flow, dryer standing, no warning. Otherwise the bit stays clear and the display's
// write stays pending until the operator withdraws it.
void DryerModel::take_auto_start_command(uint8_t value) {
  // Bits 4-6 are the display's own and are never echoed.
  uint8_t stored = value & 0x8F;
  const bool was_on = bytes_[link::kAutoStart] & 0x01;
  const bool wants_on = value & 0x01;
  const bool active =
      auto_start_ == AutoStartState::Running || auto_start_ == AutoStartState::Paused;
  if (wants_on && !was_on) {
    if (!batch_ && !running_ && bytes_[link::kWarningNumber] == 0) {
      begin_auto_start();
    } else {
      stored &= ~0x01;
    }
  } else if (!wants_on && active) {
    cancel_auto_start();
  }
  bytes_[link::kAutoStart] = stored;
}

// The auto-start schedule (auto_start_sequence.h): the fan/heaters one fan delay apart, the
// unload after the last one holds its plenum, done after a while of unloading.
void DryerModel::begin_auto_start() {
  const AutoStartSchedule plan = plan_auto_start(fan_count(), read_timer(bytes_, link::kFanDelay));
  auto_fan_start_ = plan.fan_start;
  auto_fan_end_ = plan.fan_end;
  auto_unload_ = plan.unload_start;
  auto_total_ = plan.total;
  auto_elapsed_ = 0;
  auto_start_ = AutoStartState::Running;
  start_run();
  for (int i = 0; i < kMaxFans; ++i)
    fans_[size_t(i)].fan_at_ms = auto_fan_start_[size_t(i)] * 1000ll;
}

void DryerModel::cancel_auto_start() {
  auto_start_ = AutoStartState::Idle;
  force(link::kAutoStart, bytes_[link::kAutoStart] & ~0x01);
  halt();
}

void DryerModel::update_auto_start_second() {
  ++auto_elapsed_;
  if (auto_elapsed_ >= auto_total_ && unloading_) auto_start_ = AutoStartState::Finished;
}

void DryerModel::publish_auto_start() {
  const bool active =
      auto_start_ == AutoStartState::Running || auto_start_ == AutoStartState::Paused;
  put(link::kAutoStartFlags, (batch_ ? 0 : 0x40) | (active ? 0x02 : 0) |
                                 (auto_start_ == AutoStartState::Paused ? 0x04 : 0) |
                                 (auto_start_ == AutoStartState::Finished ? 0x80 : 0));
  AutoStartSchedule plan;
  plan.fitted = fan_count();
  plan.fan_start = auto_fan_start_;
  plan.unload_start = auto_unload_;
  const int step =
      auto_start_step(plan,
                      active                                    ? AutoStartPhase::Active
                      : auto_start_ == AutoStartState::Finished ? AutoStartPhase::Finished
                                                                : AutoStartPhase::Idle,
                      auto_elapsed_);
  put(link::kLoggedRollSpeed, step);
  put(link::kAutoStartStep, step);
  if (auto_start_ == AutoStartState::Idle) return;
  for (int i = 0; i < kMaxFans; ++i) {
    put_lo_hi(link::kFanStartTimes + 10 - 2 * size_t(i), auto_fan_start_[size_t(i)]);
    put_lo_hi(link::kFanEndTimes + 10 - 2 * size_t(i), auto_fan_end_[size_t(i)]);
  }
  put_lo_hi(link::kAutoStartTotal, auto_total_);
  put_lo_hi(link::kAutoStartElapsed, std::min(auto_elapsed_, auto_total_));
  put_lo_hi(link::kAutoStartUnload, auto_unload_);
}

}  // namespace corvex::sim
