// The long-term CSV data log.
#include "logging/long_term_log.h"

#include <atomic>
#include <cstdio>
#include <string_view>

#include "platform/io/files.h"

namespace corvex::logging {

const char kLongTermLogHeader[] =
    "\r\nDate,Time,Grain Column Temp,Moist In,Grain Temp In,Moist Out,Grain Temp Out,MR Speed,"
    "BPH\r\n";

namespace {

std::atomic<bool> g_logging_active{false};
bool g_header_pending = true;
bool g_last_record_whole = true;

bool open_long_term_log(platform::File& file) {
  platform::create_folder(kLongTermLogFolder);  // an existing folder is fine
  const std::string path = std::string(kLongTermLogFolder) + "\\" + kLongTermLogName;
  return file.open(path, platform::OpenMode::OpenAlways, platform::Access::ReadWrite,
                   platform::Sharing::Exclusive) == platform::FileStatus::Ok;
}

bool append(platform::File& file, std::string_view bytes) {
  if (!file.seek(0, platform::SeekFrom::End)) return false;
  return file.write(bytes.data(), bytes.size()) == bytes.size();
}

// A power cut during a write can leave the last line without its line end; the next line
// would then run into it. End it first.
void end_torn_line(platform::File& file, uint64_t size) {
  if (size == 0 || !file.seek(int64_t(size - 1), platform::SeekFrom::Begin)) return;
  char last = 0;
  if (file.read(&last, 1) != 1 || last == '\n') return;
  append(file, last == '\r' ? "\n" : "\r\n");
}

uint32_t value16(uint32_t high, uint32_t low) { return high * 256 + low; }

}  // namespace

void set_record_time(LongTermLogRecord& record, int year, int month, int day, int hour, int minute,
                     int second) {
  record.year = uint32_t(year);
  record.month = uint32_t(month);
  record.day = uint32_t(day);
  record.hour = uint32_t(hour == 0 ? 12 : hour > 12 ? hour - 12 : hour);
  record.half_of_day = hour < 12 ? 'A' : 'P';
  record.minute = uint32_t(minute);
  record.second = uint32_t(second);
}

std::string long_term_log_line(const LongTermLogRecord& r) {
  const uint32_t moisture_in = value16(r.moisture_in_high, r.moisture_in_low);
  const uint32_t grain_in = value16(r.grain_temp_in_high, r.grain_temp_in_low);
  const uint32_t moisture_out = value16(r.moisture_out_high, r.moisture_out_low);
  const uint32_t grain_out = value16(r.grain_temp_out_high, r.grain_temp_out_low);
  char line[160];
  const int n = std::snprintf(
      line, sizeof line,
      "%04u-%02u-%02u,%02u:%02u:%02u%s,%u,%u.%01u,%u.%01u,%u.%01u,%u.%01u,%u,%u\r\n", r.year,
      r.month, r.day, r.hour, r.minute, r.second, r.half_of_day == 'P' ? "PM" : "AM",
      value16(r.grain_temp_high, r.grain_temp_low), moisture_in / 10, moisture_in % 10,
      grain_in / 10, grain_in % 10, moisture_out / 10, moisture_out % 10, grain_out / 10,
      grain_out % 10, value16(r.roll_speed_high, r.roll_speed_low),
      value16(r.bushels_per_hour_high, r.bushels_per_hour_low));
  return std::string(line, size_t(n < 0 ? 0 : n));
}

void set_logging_active(bool active) { g_logging_active.store(active, std::memory_order_relaxed); }
bool logging_active() { return g_logging_active.load(std::memory_order_relaxed); }

void reset_long_term_header() { g_header_pending = true; }

int log_used_percentage(uint64_t size) {
  const double remaining = double(kLongTermLogCapacity) - double(size);
  if (remaining <= 0) return 100;
  return int(100.0 - remaining * (1.0 / double(kLongTermLogCapacity)) * 100.0);
}

LongTermResult write_long_term_record(const LongTermLogRecord& record, int* percentage) {
  platform::File file;
  if (!open_long_term_log(file)) return LongTermResult::CannotOpen;
  const uint64_t size = file.size().value_or(0);
  *percentage = log_used_percentage(size);
  if (*percentage >= 100) return LongTermResult::Full;
  if (!logging_active()) return LongTermResult::NotActive;
  end_torn_line(file, size);
  // A full disk can take part of a line; the part is cut off again, so that the file holds
  // whole lines only and the next line starts where this one should have. The header is
  // pending until it is on disk whole, and a record goes out only after its header.
  const uint64_t start = file.size().value_or(size);
  bool whole = true;
  if (g_header_pending) {
    whole = append(file, kLongTermLogHeader);
    if (whole) g_header_pending = false;
  }
  if (whole) whole = append(file, long_term_log_line(record));
  if (!whole && file.seek(int64_t(start), platform::SeekFrom::Begin)) file.truncate_here();
  g_last_record_whole = whole;
  return LongTermResult::Written;
}

bool last_long_term_record_whole() { return g_last_record_whole; }

bool long_term_log_percentage(int* percentage) {
  platform::File file;
  if (!open_long_term_log(file)) return false;
  *percentage = log_used_percentage(file.size().value_or(0));
  return true;
}

}  // namespace corvex::logging
