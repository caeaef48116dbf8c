// The data logs' share of the one-second tick.
#include "logging/log_tick.h"

#include <sys/statvfs.h>

#include <algorithm>
#include <cstdio>

#include "link/status_bytes.h"
#include "logging/data_logger_dialog.h"
#include "logging/display_settings.h"
#include "logging/graph_log.h"
#include "logging/short_term_log.h"
#include "logging/status_chart.h"
#include "platform/gui/message_box.h"
#include "platform/gui/window.h"
#include "platform/io/files.h"
#include "platform/io/paths.h"
#include "resources/window_classes.h"

namespace corvex::logging {

namespace gui = platform::gui;
using link::mirror_bit;
using link::mirror_byte;

namespace {

constexpr char kLogFullCaption[] = "DATA LOG FILE SIZE WARNING";
constexpr char kLogFullText[] =
    "Data Logger close to full.  Do you wish to open Data Logger \n Setup Window?";
// Graph records follow each other every 10 ticks of logging: the tick that writes one and nine
// counted down.
constexpr uint32_t kGraphCountdownReload = 9;

LogTickState g_state;

// The grain-column sensor status byte 184 selects, as its low-byte offset; 0 for a selection
// the controller does not define, which keeps the previous value.
uint16_t selected_grain_sensor() {
  switch (mirror_byte(link::kGrainTempSelector)) {
    case 0:
      return link::kGrainTempSensorA;
    case 1:
      return link::kGrainTempSensorB;
    case 2:
      return link::kGrainTempSensorC;
    default:
      return 0;
  }
}

// When the file cannot be opened for writing (a read-only disk, say), the percentage still
// follows what is on disk; a log that is not there is empty.
int percentage_on_disk() {
  const std::string path = std::string(kLongTermLogFolder) + "\\" + kLongTermLogName;
  const std::vector<platform::FindEntry> found = platform::find_files(path);
  return log_used_percentage(found.empty() || found[0].is_folder ? 0 : found[0].size);
}

// The panel shows nothing when a log cannot be written; standard error says it once when the
// disk stops taking the logs (full or read-only), and once when it takes them again.
bool g_log_writes_failing = false;

const char* why_not_written(const char* panel_folder) {
  struct statvfs fs {};
  const std::string host = platform::translate_path(panel_folder);
  if (host.empty() || ::statvfs(host.c_str(), &fs) != 0) return "the folder cannot be reached";
  if (fs.f_flag & ST_RDONLY) return "the disk is read-only";
  if (fs.f_bavail == 0) return "the disk is full";
  return "the disk refused the write";
}

void note_log_write(bool written, const char* panel_folder) {
  if (!written && !g_log_writes_failing) {
    g_log_writes_failing = true;
    std::fprintf(stderr,
                 "corvex-display: cannot write the data logs in %s: %s; logging goes on "
                 "when the disk takes writes again\n",
                 platform::translate_path(panel_folder).c_str(), why_not_written(panel_folder));
  } else if (written && g_log_writes_failing) {
    g_log_writes_failing = false;
    std::fprintf(stderr, "corvex-display: the data logs are written again\n");
  }
}

void ask_to_open_data_logger(gui::Window* main) {
  // Marked first: ticks that run while the question is open must not ask again.
  g_state.size_warning_armed = false;
  if (gui::message_box(main, kLogFullText, kLogFullCaption, gui::kMbYesNo | gui::kMbIconWarning) ==
      gui::kIdYes) {
    gui::Window* setup = gui::find_window_by_class(resources::SETUP_SELECTION_WINDOW);
    open_data_logger_setup(setup ? setup : main);
  }
}

void long_term_snapshot(gui::Window* main, const platform::LocalTime& now) {
  fill_long_term_record(g_state.long_term, now);
  if (mirror_byte(link::kDataLoggingSetting) == 1) {
    const LongTermResult result =
        write_long_term_record(g_state.long_term, &g_state.log_used_percentage);
    if (result == LongTermResult::CannotOpen) g_state.log_used_percentage = percentage_on_disk();
    if (result == LongTermResult::CannotOpen || result == LongTermResult::Written) {
      note_log_write(result == LongTermResult::Written && last_long_term_record_whole(),
                     kLongTermLogFolder);
    }
    refresh_data_logger_dialog();
    if (g_state.log_used_percentage > kLogFullWarningPercent && g_state.size_warning_armed) {
      ask_to_open_data_logger(main);
    }
  } else if (!long_term_log_percentage(&g_state.log_used_percentage)) {
    g_state.log_used_percentage = percentage_on_disk();
  }
}

void sample_short_term() {
  if (!mirror_bit(link::kSamplerOptions, link::kSamplerOptionsCycledBit)) {
    if (g_state.short_term_countdown > 0) --g_state.short_term_countdown;
    if (g_state.short_term_countdown == 0) {
      note_log_write(append_short_term_record(g_state.sample),
                     short_term_log_place().folder.c_str());
      // A stored sample time of 0 would sample on every tick; one minute is the shortest.
      const uint32_t minutes = std::max<uint32_t>(display_settings().sample_time_minutes, 1);
      g_state.short_term_countdown = minutes * 60;
      gui::invalidate_class(resources::AVERAGE_VALUES_WINDOW);
    }
    return;
  }
  // Cycled moisture sampler: one record per sample event (with a moisture out reading), armed
  // again when the sampler reports it has re-armed.
  if (mirror_bit(link::kSamplerEvents, link::kSamplerEventsSampleBit) &&
      mirror_byte(link::kMoistureOut + 1) != 0) {
    if (!g_state.batch_cycle_sample_taken) {
      note_log_write(append_short_term_record(g_state.sample),
                     short_term_log_place().folder.c_str());
      g_state.batch_cycle_sample_taken = true;
    }
  } else if (mirror_bit(link::kSamplerEvents, link::kSamplerEventsRearmBit)) {
    g_state.batch_cycle_sample_taken = false;
  }
}

void sample_graph() {
  if (g_state.graph_countdown != 0) {
    --g_state.graph_countdown;
    return;
  }
  note_log_write(append_graph_record(g_state.sample), kGraphLogFolder);
  gui::invalidate_class(resources::DRAW_GRAPH_WINDOW);
  g_state.graph_countdown = kGraphCountdownReload;
}

}  // namespace

LogTickState& log_tick_state() { return g_state; }

void reset_log_tick() {
  g_state = LogTickState{};
  g_log_writes_failing = false;
  reset_long_term_header();
  set_logging_active(false);
}

void fill_long_term_record(LongTermLogRecord& r, const platform::LocalTime& now) {
  if (const uint16_t sensor = selected_grain_sensor()) {
    r.grain_temp_high = mirror_byte(uint16_t(sensor + 1));
    r.grain_temp_low = mirror_byte(sensor);
  }
  r.grain_temp_in_high = mirror_byte(link::kGrainTempIn);
  r.grain_temp_in_low = mirror_byte(link::kGrainTempIn + 1);
  r.moisture_in_high = mirror_byte(link::kMoistureIn);
  r.moisture_in_low = mirror_byte(link::kMoistureIn + 1);
  r.grain_temp_out_high = mirror_byte(link::kGrainTempOut);
  r.grain_temp_out_low = mirror_byte(link::kGrainTempOut + 1);
  r.moisture_out_high = mirror_byte(link::kMoistureOut);
  r.moisture_out_low = mirror_byte(link::kMoistureOut + 1);
  r.roll_speed_high = 0;
  r.roll_speed_low = mirror_byte(link::kLoggedRollSpeed);
  r.bushels_per_hour_high = mirror_byte(link::kBushelsPerHour);
  r.bushels_per_hour_low = mirror_byte(link::kBushelsPerHour + 1);
  r.moisture_control_byte = mirror_byte(link::kMoistureControlByte);
  set_record_time(r, now.year, now.month, now.day, now.hour, now.minute, now.second);
}

void fill_sample_record(DryerSampleRecord& r, const platform::LocalTime& now) {
  if (const uint16_t sensor = selected_grain_sensor()) {
    r[0] = mirror_byte(uint16_t(sensor + 1));
    r[1] = mirror_byte(sensor);
  }
  static constexpr uint16_t kValues[] = {link::kGrainTempIn, link::kMoistureIn, link::kGrainTempOut,
                                         link::kMoistureOut};
  for (size_t i = 0; i < 4; ++i) {
    r[2 + 2 * i] = mirror_byte(kValues[i]);
    r[3 + 2 * i] = mirror_byte(uint16_t(kValues[i] + 1));
  }
  r[10] = 0;
  r[11] = mirror_byte(link::kLoggedRollSpeed);
  r[12] = 0;
  r[13] = uint8_t(now.hour);
  r[14] = uint8_t(now.minute);
  r[15] = uint8_t(now.second);
  r[16] = uint8_t(now.month);
  r[17] = uint8_t(now.day);
}

bool logging_condition() {
  return mirror_bit(link::kOperatingState, link::kOperatingStateLoggingBit) ||
         mirror_bit(link::kOperatingFlags, link::kOperatingFlagsLoggingBit);
}

void restart_short_term_sampling() { g_state.short_term_countdown = 0; }

void open_data_logger_setup(gui::Window* owner) { open_data_logger_dialog(owner); }

void data_log_tick(gui::Window* main) {
  const platform::LocalTime now = platform::clock::local_now();
  // Every 12th tick, the first tick included.
  if (g_state.long_term_counter++ >= 11) {
    g_state.long_term_counter = 0;
    long_term_snapshot(main, now);
  }
  set_logging_active(logging_condition());
  refresh_status_chart();
  if (!logging_active()) return;
  fill_sample_record(g_state.sample, now);
  sample_short_term();
  sample_graph();
}

}  // namespace corvex::logging
