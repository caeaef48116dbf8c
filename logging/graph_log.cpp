// The graph data log: appends with rotation, and the window loads of the graph view.
#include "logging/graph_log.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace corvex::logging {

SampleLogPlace graph_log_place() { return {kGraphLogFolder, kGraphLogStem, kGraphFileCapacity}; }

SampleFileTable scan_graph_files() { return scan_sample_files(graph_log_place()); }

namespace {

// When the log was last synced in this run, in real time.
std::optional<std::chrono::steady_clock::time_point> g_last_sync;

}  // namespace

bool graph_record_synced(uint64_t records_before,
                         std::optional<std::chrono::steady_clock::duration> since_last_sync) {
  const uint64_t records_per_file = kGraphFileCapacity / kSampleRecordBytes;
  return records_before == 0 || records_before + 1 >= records_per_file || !since_last_sync ||
         *since_last_sync >= kGraphSyncSpacing;
}

bool append_graph_record(const DryerSampleRecord& record) {
  const SampleLogPlace place = graph_log_place();
  platform::create_folder(place.folder);  // an existing folder is fine
  const SampleFileTable table = scan_sample_files(place);
  std::string name;
  uint64_t records_before = 0;
  if (const SampleFile* newest = table.newest(); newest && newest->size < place.capacity) {
    name = newest->name;
    records_before = whole_records(newest->size);
  } else {
    // The scan puts a file that is not full last, so a full newest means the file before it
    // is full too: it goes, and the full newest stays as the one before the new file.
    if (const SampleFile* previous = table.previous()) {
      platform::delete_file(sample_file_path(place, previous->name));
    }
    name = start_sample_file(place);
    if (name.empty()) return false;
  }
  const auto now = std::chrono::steady_clock::now();
  std::optional<std::chrono::steady_clock::duration> since;
  if (g_last_sync) since = now - *g_last_sync;
  const bool sync = graph_record_synced(records_before, since);
  const bool written =
      append_sample_record(sample_file_path(place, name), record,
                           sync ? platform::WriteThrough::On : platform::WriteThrough::Off);
  if (written && sync) g_last_sync = now;
  return written;
}

namespace {

uint64_t whole_record_bytes(const SampleFile* f) {
  return f ? whole_records(f->size) * kSampleRecordBytes : 0;
}

// Bytes of whole records in the two newest files.
uint64_t graph_bytes_on_disk(const SampleFileTable& table) {
  return whole_record_bytes(table.previous()) + whole_record_bytes(table.newest());
}

// Averages `scale` consecutive records per point. Grain temperatures in and out are held in
// tenths and become whole degrees: the sum is divided by 10 and then by the scale.
void average_points(GraphWindow& window, int scale) {
  static constexpr size_t kOffsets[kGraphTraceCount] = {0, 2, 4, 6, 8, 10};
  static constexpr bool kTenths[kGraphTraceCount] = {false, true, false, true, false, false};
  for (auto& trace : window.points) trace.fill({});
  for (size_t i = 0; i < kGraphPoints; ++i) {
    const uint8_t* first = window.buffer.data() + i * size_t(scale) * kSampleRecordBytes;
    for (size_t t = 0; t < kGraphTraceCount; ++t) {
      uint32_t sum = 0;
      for (int r = 0; r < scale; ++r)
        sum += record_value(first + r * kSampleRecordBytes, kOffsets[t]);
      if (kTenths[t]) sum /= 10;
      window.points[t][i] = {int(i), int(sum / uint32_t(scale))};
    }
  }
}

}  // namespace

int graph_available_hours() {
  return int(std::min<uint64_t>(graph_bytes_on_disk(scan_graph_files()) / kGraphHourBytes,
                                kGraphMaxHours));
}

int graph_scale_hours(uint32_t scale_index) {
  switch (scale_index) {
    case 1:
      return 2;
    case 2:
      return 4;
    case 3:
      return 8;
    default:
      return 1;
  }
}

int graph_scroll_limit(int scale_hours) {
  const int64_t hours = int64_t(graph_bytes_on_disk(scan_graph_files()) / kGraphHourBytes);
  return int(std::max<int64_t>(hours - scale_hours, 0));
}

GraphWindow& graph_window() {
  static GraphWindow window;
  return window;
}

GraphLoad load_graph_window(GraphWindow& window, int scroll_hours, uint32_t scale_index) {
  const int scale = graph_scale_hours(scale_index);
  const SampleLogPlace place = graph_log_place();
  const SampleFileTable table = scan_sample_files(place);
  const SampleFile* older = table.previous();
  const SampleFile* newer = table.newest();
  const uint64_t older_bytes = whole_record_bytes(older);
  const uint64_t total = older_bytes + whole_record_bytes(newer);
  const uint64_t window_bytes = kGraphHourBytes * uint64_t(scale);

  // The D bytes that end A bytes before the newest record, in the sequence older-then-newer.
  uint64_t length = total;
  uint64_t back = 0;
  if (total >= window_bytes) {
    length = window_bytes;
    back = std::min<uint64_t>(uint64_t(std::max(scroll_hours, 0)) * kGraphHourBytes,
                              total - window_bytes);
  }
  const uint64_t end = total - back;
  const uint64_t start = end - length;

  window.buffer.fill(0);
  uint8_t* const dest = window.buffer.data() + (window_bytes - length);
  ReadResult result = ReadResult::Ok;
  if (start < older_bytes) {
    const uint64_t stop = std::min(end, older_bytes);
    result = read_sample_records(place, *older, start / kSampleRecordBytes,
                                 (stop - start) / kSampleRecordBytes, dest);
  }
  if (result == ReadResult::Ok && end > older_bytes) {
    const uint64_t from = std::max(start, older_bytes);
    result = read_sample_records(place, *newer, (from - older_bytes) / kSampleRecordBytes,
                                 (end - from) / kSampleRecordBytes, dest + (from - start));
  }
  if (result == ReadResult::Short) return GraphLoad::ShortRead;
  if (result == ReadResult::CannotOpen) window.buffer.fill(0);
  average_points(window, scale);
  return result == ReadResult::Ok ? GraphLoad::Loaded : GraphLoad::CannotOpen;
}

}  // namespace corvex::logging
