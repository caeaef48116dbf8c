#pragma once
// The registry store and the display settings read from it. The first byte picks the use of
// the rest:
//  - even: key path, a 0xFF byte, value name, a 0xFF byte, value bytes, through the store:
//    nothing may crash, nothing may be created outside DIR/Registry, a name refused is never
//    stored, and a value that was written reads back whole;
//  - odd: the bytes of the four display-setting values as another program (or a damaged disk)
//    may have left them, each a length byte and that many bytes: read at start-up, every
//    setting must come out within its range.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "logging/display_settings.h"
#include "logging/graph_log.h"
#include "platform/io/paths.h"
#include "platform/io/registry.h"

namespace corvex::fuzzing {

// Everything under the fuzz folder must lie inside disk/Registry.
inline bool registry_confined(const std::string& root) {
  std::error_code ec;
  for (const auto& entry : fs::recursive_directory_iterator(root, ec)) {
    const std::string path = entry.path().string();
    if (path == root + "/disk" || path.rfind(root + "/disk/Registry", 0) == 0) continue;
    return false;
  }
  return true;
}

inline const char* fuzz_registry_store(std::string_view input) {
  size_t first = input.find('\xFF');
  std::string_view key = input.substr(0, first);
  std::string_view rest =
      first == std::string_view::npos ? std::string_view() : input.substr(first + 1);
  size_t second = rest.find('\xFF');
  std::string_view name = rest.substr(0, second);
  std::string_view value =
      second == std::string_view::npos ? std::string_view() : rest.substr(second + 1);
  std::vector<uint8_t> bytes(value.begin(), value.end());

  namespace registry = platform::registry;
  const bool created = registry::create_key(key);
  const bool written = created && registry::write_value(key, name, bytes);
  const auto back = registry::read_value(key, name);
  if (written && back != bytes) return "a written value reads back different";
  if (!registry::valid_key_path(key) && (created || back)) return "a refused key path was used";
  if (!registry::valid_value_name(name) && (written || back))
    return "a refused value name was used";
  return nullptr;
}

inline const char* fuzz_display_settings(InputReader& in) {
  namespace registry = platform::registry;
  if (!registry::create_key(logging::kSettingsKey)) return "the settings key cannot be made";
  const std::string folder = registry::key_folder(logging::kSettingsKey);
  for (const char* name : {"GRAPH_HORIZONTAL_SCALE", "GRAPH_TRACES_ON_OFF",
                           "TEMP_DATA_LOG_SAMPLE_TIME", "SCREEN_VIEW_SELECTION"}) {
    const uint8_t length = in.byte();
    if (length == 0xFF) continue;  // the value is missing
    const std::string_view bytes = in.take(length % 4);
    write_file(folder + "/" + name, bytes);
  }
  logging::DisplaySettings& s = logging::display_settings();
  s = logging::DisplaySettings{};
  logging::read_display_settings();
  if (s.graph_scale_index > 3) return "the graph scale is out of range";
  if (s.sample_time_minutes > 15) return "the sample time is out of range";
  if (s.view_choice > 1) return "the view choice is out of range";
  for (uint8_t on : s.trace_on) {
    if (on > 1) return "a trace flag is neither on nor off";
  }
  if (logging::graph_scale_hours(s.graph_scale_index) < 1) return "a graph window of no hours";
  return nullptr;
}

inline const char* fuzz_registry_input(const uint8_t* data, size_t size) {
  const std::string root = scratch_dir("registry");
  std::error_code ec;
  fs::create_directories(root + "/disk", ec);
  platform::set_disk_root(root + "/disk");
  InputReader in(data, size);
  const uint8_t mode = in.byte();
  const std::string_view rest = in.rest();
  const char* fault = nullptr;
  if (mode & 1) {
    InputReader settings(reinterpret_cast<const uint8_t*>(rest.data()), rest.size());
    fault = fuzz_display_settings(settings);
  } else {
    fault = fuzz_registry_store(rest);
  }
  if (!fault && !registry_confined(root)) fault = "something was created outside the registry";
  fs::remove_all(root + "/disk/Registry", ec);
  return fault;
}

}  // namespace corvex::fuzzing
