#pragma once
// Arbitrary files in the graph log's or the short-term log's folder, as a power cut, a full
// disk or a copy from outside may leave them: any number of records and torn tails, names with
// and without their moment, equal moments, over-full files and folders among them. The loaders
// must stay within the records on disk, and the next append must still write its whole record
// at a record boundary of the newest file without touching the files the log does not own.
//
// Input: a byte of options (which log, how many files), the graph's scroll and scale or the
// status chart's skip and window, then per file a kind byte, six name bytes, a three-byte size
// and a length byte with that many bytes of content, repeated to the size.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "logging/graph_log.h"
#include "logging/sample_files.h"
#include "logging/short_term_log.h"
#include "platform/io/clock.h"
#include "platform/io/paths.h"

namespace corvex::fuzzing {

// The panel's clock while the target runs: the last second of 2023.
inline constexpr int64_t kSampleLogsClockMs = 1'704'067'199'000;

inline void make_sample_file(InputReader& in, const std::string& folder, std::string_view stem,
                             uint64_t capacity) {
  const uint8_t kind = in.byte();
  char moment[32];
  const uint8_t y = in.byte(), mo = in.byte(), d = in.byte(), h = in.byte(), mi = in.byte(),
                s = in.byte();
  // Moments up to the panel's clock: a file named after a later moment than the clock's (the
  // clock set back) is taken for the newest by design, and is not what this target looks at.
  std::snprintf(moment, sizeof moment, "%02d_%02d_%02d_%02d_%02d_%02d", y % 24, mo % 13, d % 32,
                h % 24, mi % 60, s % 60);
  std::string name(stem);
  if (kind & 0x01) name += moment;  // else a name without its moment
  name += (kind & 0x02) ? ".dat" : ".DAT";
  const uint64_t size = in.triple() % (capacity + 64);
  const std::string_view pattern = in.take(in.byte());
  const std::string path = folder + "/" + name;
  std::error_code ec;
  if (kind & 0x04) {
    fs::create_directories(path, ec);  // a folder with a log file's name
    return;
  }
  std::vector<uint8_t> bytes(size);
  for (uint64_t i = 0; i < size && !pattern.empty(); ++i)
    bytes[i] = uint8_t(pattern[i % pattern.size()]);
  write_file(path, bytes.data(), bytes.size());
}

// The files of the folder by name and size.
inline std::map<std::string, uint64_t> files_of(const std::string& folder) {
  std::map<std::string, uint64_t> out;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(folder, ec)) {
    if (e.is_regular_file(ec)) out[e.path().filename().string()] = e.file_size(ec);
  }
  return out;
}

// After an append: the record ends the newest file at a record boundary, and every file the
// log does not own (all but the two newest before the append) is as it was.
inline const char* check_append(const std::string& folder, const logging::SampleLogPlace& place,
                                const logging::SampleFileTable& before,
                                const std::map<std::string, uint64_t>& sizes_before,
                                const logging::DryerSampleRecord& record) {
  using namespace corvex::logging;
  const SampleFileTable after = scan_sample_files(place);
  const SampleFile* newest = after.newest();
  if (newest == nullptr) return "an append returned true with no file";
  // The record ends the newest file; or, when it filled the file it went to while the other
  // file of the log is not full (a file cut short from outside), the scan now takes that other
  // file for the newer, and the record ends the file that was newest before the append.
  const auto ends_with_record = [&](const std::string& name) {
    const std::vector<uint8_t> bytes = read_file(folder + "/" + name);
    return bytes.size() >= kSampleRecordBytes && bytes.size() % kSampleRecordBytes == 0 &&
           std::equal(record.begin(), record.end(), bytes.end() - kSampleRecordBytes);
  };
  const SampleFile* previous = after.previous();
  const bool filled_into_previous = previous != nullptr && before.newest() != nullptr &&
                                    previous->name == before.newest()->name &&
                                    ends_with_record(previous->name);
  if (!filled_into_previous) {
    if (newest->size % kSampleRecordBytes != 0) return "the newest file does not end on a record";
    if (!ends_with_record(newest->name))
      return "the appended record is not the last of the newest file";
  }
  const std::map<std::string, uint64_t> sizes_after = files_of(folder);
  for (size_t i = 0; i + 2 < before.count(); ++i) {
    const std::string& name = before.files[i].name;
    const auto was = sizes_before.find(name);
    const auto is = sizes_after.find(name);
    if (was == sizes_before.end()) continue;
    if (is == sizes_after.end() || is->second != was->second) {
      return "an append changed a file the log does not own";
    }
  }
  return nullptr;
}

inline const char* fuzz_sample_logs_input(const uint8_t* data, size_t size) {
  using namespace corvex::logging;
  const std::string disk = scratch_dir("samplelogs");
  empty_dir(disk);
  platform::set_disk_root(disk);
  platform::clock::use_virtual(kSampleLogsClockMs);

  InputReader in(data, size);
  const uint8_t options = in.byte();
  const bool graph = options & 1;
  const int files = (options >> 1) & 3;
  const uint8_t a = in.byte();
  const uint8_t b = in.byte();
  const SampleLogPlace place = graph ? graph_log_place() : short_term_log_place();
  const std::string folder = platform::translate_path(place.folder);
  std::error_code ec;
  fs::create_directories(folder, ec);
  for (int i = 0; i < files; ++i) make_sample_file(in, folder, place.stem, place.capacity);

  const SampleFileTable before = scan_sample_files(place);
  const std::map<std::string, uint64_t> sizes_before = files_of(folder);
  if (graph) {
    const int hours = graph_available_hours();
    if (hours < 0 || hours > kGraphMaxHours) return "the hours on disk are out of range";
    const int scale = graph_scale_hours(b);
    if (graph_scroll_limit(scale) < 0) return "the scroll limit is negative";
    static GraphWindow window;
    const GraphLoad load = load_graph_window(window, int8_t(a), b);
    if (load == GraphLoad::Loaded) {
      for (const auto& trace : window.points) {
        for (size_t i = 0; i < trace.size(); ++i) {
          if (trace[i].x != int(i)) return "a graph point is not at its index";
        }
      }
    }
  } else {
    const int available = short_term_records_available();
    if (available < 0 || available > kShortTermMaxRecords)
      return "the records on disk are out of range";
    std::array<DryerSampleRecord, 16> out{};
    const size_t want = 1 + b % out.size();
    const int got = read_recent_short_term_records(std::span(out.data(), want), a);
    if (got < 0 || size_t(got) > want) return "more records read than asked for";
    if (got > available) return "more records read than there are";
  }

  DryerSampleRecord record;
  for (size_t i = 0; i < record.size(); ++i) record[i] = uint8_t(0xA0 + i);
  const bool appended = graph ? append_graph_record(record) : append_short_term_record(record);
  if (appended) return check_append(folder, place, before, sizes_before, record);
  return nullptr;
}

}  // namespace corvex::fuzzing
