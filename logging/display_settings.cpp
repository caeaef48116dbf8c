#include "logging/display_settings.h"

#include <optional>
#include <vector>

#include "platform/io/registry.h"

namespace corvex::logging {
namespace {

std::optional<uint8_t> read_byte(const char* name) {
  auto v = platform::registry::read_value(kSettingsKey, name);
  if (!v || v->size() != 1) return std::nullopt;
  return (*v)[0];
}

}  // namespace

DisplaySettings& display_settings() {
  static DisplaySettings settings;
  return settings;
}

void read_display_settings() {
  if (!platform::registry::key_exists(kSettingsKey)) return;
  DisplaySettings& s = display_settings();
  if (auto b = read_byte("GRAPH_HORIZONTAL_SCALE")) s.graph_scale_index = *b <= 3 ? *b : 0;
  if (auto b = read_byte("GRAPH_TRACES_ON_OFF")) {
    // A set bit turns its trace on; a clear bit leaves the trace as it was.
    for (int n = 0; n < 6; ++n)
      if (*b & (1u << n)) s.trace_on[size_t(n)] = 1;
  }
  if (auto b = read_byte("TEMP_DATA_LOG_SAMPLE_TIME")) s.sample_time_minutes = *b <= 15 ? *b : 5;
  if (auto b = read_byte("SCREEN_VIEW_SELECTION")) s.view_choice = *b <= 1 ? *b : 0;
}

void write_setting_byte(const char* value_name, uint8_t value) {
  if (!platform::registry::create_key(kSettingsKey)) return;
  const uint8_t bytes[1] = {value};
  platform::registry::write_value(kSettingsKey, value_name, bytes);
}

void save_trace_flags() {
  uint8_t b = 0;
  for (int n = 0; n < 6; ++n)
    if (display_settings().trace_on[size_t(n)]) b |= uint8_t(1u << n);
  write_setting_byte("GRAPH_TRACES_ON_OFF", b);
}

}  // namespace corvex::logging
