#pragma once
// An arbitrary long-term CSV log on disk, of any size up to many gigabytes (the bytes given,
// then a hole to the size given), as the log-used percentage reads it and the next write meets
// it. The percentage is 100 exactly from the capacity on; a full log is never written to; with
// logging off nothing is written; a write keeps every byte that was there, ends a line a power
// cut left open and puts the new line last.
//
// Input: a byte of options (logging on, header pending), a five-byte size, the content.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "logging/long_term_log.h"
#include "platform/io/paths.h"

namespace corvex::fuzzing {

inline const char* fuzz_long_term_log_input(const uint8_t* data, size_t size) {
  using namespace corvex::logging;
  const std::string disk = scratch_dir("longterm");
  empty_dir(disk);
  platform::set_disk_root(disk);
  InputReader in(data, size);
  const uint8_t options = in.byte();
  uint64_t file_size = uint64_t(in.byte()) << 32;
  file_size |= uint64_t(in.word()) << 16;
  file_size |= in.word();
  file_size %= uint64_t(1) << 34;
  const std::string_view content = in.rest();
  std::error_code ec;
  fs::create_directories(disk + "/DataLog", ec);
  const std::string path = disk + "/DataLog/LongTermDataLog.csv";
  write_file(path, content);
  if (file_size > content.size() && ::truncate(path.c_str(), off_t(file_size)) != 0) return nullptr;
  file_size = std::max<uint64_t>(file_size, content.size());

  int percentage = -1;
  if (!long_term_log_percentage(&percentage)) return "an existing log cannot be opened";
  if (percentage < 0 || percentage > 100) return "the percentage is out of range";
  const bool full = file_size >= kLongTermLogCapacity;
  if (full != (percentage == 100))
    return "the percentage says full for a log that is not, or not for one that is";

  set_logging_active(options & 1);
  if (options & 2) reset_long_term_header();
  LongTermLogRecord record;
  set_record_time(record, 2024, 5, 6, 13, 14, 15);
  record.moisture_in_low = 123;
  int written_percentage = -1;
  const LongTermResult result = write_long_term_record(record, &written_percentage);
  if (written_percentage != percentage) return "the write's percentage differs from the read's";
  const uint64_t after = uint64_t(fs::file_size(path, ec));
  if (full) {
    if (result != LongTermResult::Full) return "a full log is not reported full";
    if (after != file_size) return "a full log was written to";
  } else if (!(options & 1)) {
    if (result != LongTermResult::NotActive) return "logging off is not reported";
    if (after != file_size) return "the log was written with logging off";
  } else {
    if (result != LongTermResult::Written) return "a line was not written";
    const std::string line = long_term_log_line(record);
    if (after < file_size + line.size()) return "the log lost bytes";
    // Only the ends are compared: the middle of a large log is a hole of zeros.
    bool ok = false;
    const std::vector<uint8_t> bytes =
        after <= (uint64_t(1) << 20) ? read_file(path, &ok) : std::vector<uint8_t>();
    if (ok) {
      if (std::memcmp(content.data(), bytes.data(), content.size()) != 0) {
        return "the log's bytes changed";
      }
      if (std::string_view(reinterpret_cast<const char*>(bytes.data()) + bytes.size() - line.size(),
                           line.size()) != line) {
        return "the new line is not the log's last";
      }
      if (file_size > 0) {
        const size_t end = size_t(file_size);
        const uint8_t last = bytes[end - 1];
        const bool ended = last == '\n' || (last == '\r' && bytes[end] == '\n') ||
                           (last != '\r' && bytes[end] == '\r' && bytes[end + 1] == '\n');
        if (!ended) return "a line left open runs into the next";
      }
    }
  }
  set_logging_active(false);
  reset_long_term_header();
  return nullptr;
}

}  // namespace corvex::fuzzing
