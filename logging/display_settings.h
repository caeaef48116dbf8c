#pragma once
// The four display preferences that survive a restart, kept in the registry under
// "Software\Tolvane\CorvexDryer" as one-byte binary values. Read once at start-up; each is
// written at the moment the operator changes it.
#include <array>
#include <cstdint>

namespace corvex::logging {

inline constexpr char kSettingsKey[] = "Software\\Tolvane\\CorvexDryer";

struct DisplaySettings {
  uint32_t graph_scale_index = 0;            // 0 = 1 hour, 1 = 2, 2 = 4, 3 = 8 hours
  std::array<uint8_t, 6> trace_on{};         // moisture in, grain temp in, moisture out,
                                             // grain temp out, dryer grain temp, metering rolls
  uint32_t sample_time_minutes = 10;         // short-term log sample time
  uint8_t view_choice = 0;                   // 0 = status chart, 1 = graph
};

DisplaySettings& display_settings();

// Reads the four values in their order, applying each value's acceptance rule; a missing key
// keeps every start value, a missing or wrongly sized value keeps its own.
void read_display_settings();

// Writes one setting as a single byte; a key that cannot be created skips the write.
void write_setting_byte(const char* value_name, uint8_t value);
// Builds the trace-flag byte (bit n for trace n) and writes GRAPH_TRACES_ON_OFF.
void save_trace_flags();

}  // namespace corvex::logging
