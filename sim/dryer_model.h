#pragma once
// The simulated controller: the 329 status bytes of a working dryer and the process behind them.
//
// It starts as a two-module tower with four LP fan/heaters in continuous flow, Fahrenheit and
// bushels, stopped. On run the fans start one after the other, one fan delay apart; five seconds
// after its fan each burner comes under control and cycles around its plenum setpoint by its
// differential, with the second stage while far below; the grain temperatures follow the
// plenums; once every heater has held for a minute the metering rolls turn at the selected
// speed setting and the grain flows: throughput, the accumulated total and the moistures move,
// and the load tops the column up whenever it has run down. In batch mode the dryer runs
// DRY (or HI HEAT and LO HEAT), COOL, UNLOAD and a refill, each phase counting its companion
// bytes down. Auto-start brings a continuous-flow dryer from standstill on a schedule that it
// reports in bytes 294..323. A reported warning is a shutdown.
//
// The model moves in steps of 100 ms of model time; the same seed and the same sequence of
// records, commands and elapsed times give the same bytes. Values it owns are written only when
// they change, so a status byte set from outside keeps its value until the model's own value
// for it moves (measured values go on from the value set).
#include <array>
#include <cstddef>
#include <cstdint>

#include "sim/command_framer.h"
#include "sim/prng.h"
#include "sim/status_bytes.h"

namespace corvex::sim {

// The panel's clock as the display last sent it (the clock record, parameter 53).
struct ControllerClock {
  bool set = false;
  int minute = 0;
  int hour = 0;
  int day = 1;
  int month = 1;
  int year = 0;  // modulo 100
};

class DryerModel {
 public:
  static constexpr int kStepMs = 100;
  static constexpr int kMaxFans = 6;

  explicit DryerModel(uint64_t seed);

  const StatusBytes& bytes() const { return bytes_; }

  // Runs the model on by elapsed_ms of model time (whole steps; the remainder is kept for the
  // next call). Gaps beyond a day are cut to a day.
  void advance(int64_t elapsed_ms);

  // Takes one parameter record as the controller does. Returns false, with the reason in
  // *reason, for a record whose values the controller cannot take (an impossible clock).
  bool take_record(const ParameterRecord& record, const char** reason);
  // Writes status bytes as they stand, from outside (the set command).
  void set_bytes(size_t offset, const uint8_t* values, size_t n);

  // Starts the process; nullptr, or the reason it cannot start.
  const char* run();
  void stop();
  // Reports warning `number` of node `node` (0 0 clears); a warning shuts the dryer down and
  // pauses an auto-start run until it is cleared.
  void report_warning(uint8_t number, uint8_t node);

  bool running() const { return running_; }
  const ControllerClock& clock() const { return clock_; }
  int64_t model_ms() const { return model_ms_; }

 private:
  enum class BatchPhase : uint8_t { Dry, HiHeat, LoHeat, Cool, Unload, Load };
  enum class AutoStartState : uint8_t { Idle, Running, Paused, Finished };
  // Batch phase times that count down in companion bytes: DRY or HI HEAT (9-10), LO HEAT
  // (252-253), COOL (14-15), UNLOAD (19-20).
  static constexpr int kBatchSlots = 4;

  struct FanHeater {
    bool fan = false;
    bool heater = false;
    bool flame = false;
    bool second_stage = false;
    int64_t fan_at_ms = 0;     // run time at which the fan starts
    int64_t heater_at_ms = 0;  // run time at which the burner comes under control
    double plenum = 0;         // degrees F
  };

  void preset();
  void step();
  void one_second();
  // Process (dryer_process.cpp).
  void start_sequence();
  bool fans_wanted() const;
  bool heat_wanted() const;
  bool automatic_speed() const;
  void update_fans();
  void update_burners();
  void update_temperatures();
  void update_flow();
  void update_load();
  void reset_column();
  void update_moisture_second();
  // Sequences (dryer_sequences.cpp).
  void start_run();
  void start_run_phase();
  void halt();
  bool two_heat_phases() const;
  BatchPhase first_heat_phase() const;
  BatchPhase next_batch_phase() const;
  static size_t batch_slot_offset(int slot);
  static int batch_slot(BatchPhase phase);
  int batch_setting(int slot) const;
  void reset_batch_times();
  void begin_batch_phase(BatchPhase phase);
  void update_batch_second();
  void take_auto_start_command(uint8_t value);
  void begin_auto_start();
  void cancel_auto_start();
  void update_auto_start_second();
  // Records (dryer_records.cpp).
  void take_byte(size_t at, uint8_t value);
  bool take_clock(const uint8_t* values);
  void take_units_command(uint8_t value);
  // Status bytes.
  void publish();
  void publish_fans();
  void publish_process();
  void publish_batch();
  void publish_auto_start();
  void publish_diagnostics();  // diagnostics_echo.cpp
  void adopt(size_t at, size_t n);
  void put(size_t at, int value);
  void put_lo_hi(size_t at, int value);
  void put_hi_lo(size_t at, int value);
  void put_timer(size_t at, int seconds);
  void force(size_t at, uint8_t value);

  int fan_count() const;
  int length_feet() const;
  int setpoint(int n) const;
  double speed_setting() const;
  double capacity_bph() const;

  StatusBytes bytes_{};
  StatusBytes written_{};  // what the model itself last wrote to each byte
  StatusBytes saved_{};    // parameters kept by the save-settings command
  bool settings_saved_ = false;
  Prng prng_;
  ControllerClock clock_;
  char reason_[128] = {};

  int64_t model_ms_ = 0;
  int64_t carry_ms_ = 0;
  int sub_second_ms_ = 0;

  bool running_ = false;
  int64_t run_ms_ = 0;
  int run_seconds_ = 0;
  std::array<FanHeater, kMaxFans> fans_{};
  double ambient_ = 62.0;
  std::array<double, 3> grain_{};  // sensors 89/90, 91/92, 93/94
  double grain_out_ = 62.0;        // degrees F
  double grain_in_ = 62.0;
  double moisture_in_ = 220;  // tenths of a percent
  double moisture_in_mean_ = 220;
  double moisture_out_ = 160;
  double speed_ = 0;          // metering-roll speed, percent of full speed
  double auto_speed_ = 45;    // the speed automatic control settled on
  double bph_ = 0;            // throughput, bushels per hour
  double heat_fraction_ = 0;  // how far the plenums are up to their setpoints, 0..1.2
  bool unloading_ = false;
  bool loading_ = false;
  double column_bushels_ = 0;
  double column_capacity_ = 0;
  double fill_bph_ = 0;
  int load_seconds_ = 0;
  uint32_t total_ = 0;       // bushels x 3600
  int64_t total_carry_ = 0;  // bushels per hour x milliseconds not yet counted

  bool batch_ = false;
  BatchPhase phase_ = BatchPhase::Dry;
  std::array<int, kBatchSlots> remaining_{};  // seconds left per batch phase time
  bool hold_phase_second_ = false;
  int batch_heat_seconds_ = 0;

  AutoStartState auto_start_ = AutoStartState::Idle;
  int auto_elapsed_ = 0;
  std::array<int, kMaxFans> auto_fan_start_{};
  std::array<int, kMaxFans> auto_fan_end_{};
  int auto_unload_ = 0;
  int auto_total_ = 0;
  bool air_switch_fan_ = false;  // fan/heater #1's fan as bit 3 of its state byte last said
};

}  // namespace corvex::sim
