#pragma once
// The data logs' share of the one-second housekeeping tick: the long-term snapshot every 12
// seconds with the close-to-full question, the logging condition, and the DryerSampleRecord
// that goes to the short-term log at its sample times and to the graph log every 10 seconds of
// logging.
#include <cstdint>

#include "logging/long_term_log.h"
#include "logging/sample_files.h"

namespace platform::gui {
class Window;
}

namespace corvex::logging {

inline constexpr int kDataLoggerSetupDialogResource = 258;
// Above this log-used percentage the operator is offered the Data Logger Setup window, once a
// run.
inline constexpr int kLogFullWarningPercent = 70;

struct LogTickState {
  uint32_t long_term_counter = 12;  // counts 0..11; the start value makes the first tick log
  uint32_t graph_countdown = 10;
  uint32_t short_term_countdown = 0;  // 0: the next logging tick samples
  bool size_warning_armed = true;
  bool batch_cycle_sample_taken = false;
  int log_used_percentage = 0;  // what the Data Logger Setup window shows
  LongTermLogRecord long_term{};
  DryerSampleRecord sample{};
};
LogTickState& log_tick_state();
// Back to the start of a run: the state above, the CSV header pending, logging inactive.
void reset_log_tick();

// The tick's duties for the data logs, in order; `main` owns the close-to-full question.
void data_log_tick(platform::gui::Window* main);

// The parts of the tick, for the callers and checks that need one of them.
void fill_long_term_record(LongTermLogRecord& record, const platform::LocalTime& now);
void fill_sample_record(DryerSampleRecord& record, const platform::LocalTime& now);
// The logging condition: bit 0 of status byte 172 or bit 6 of status byte 171.
bool logging_condition();

// Choosing a sample time on the Select Data Log Sample Time window: the next logging tick
// takes a short-term sample.
void restart_short_term_sampling();

// Opens the Data Logger Setup dialog (resource 258) with `owner`.
void open_data_logger_setup(platform::gui::Window* owner);

}  // namespace corvex::logging
