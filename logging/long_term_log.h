#pragma once
// The long-term data log: "\Hard Disk\DataLog\LongTermDataLog.csv", one CSV line with the date,
// the time and seven dryer values every 12 seconds while logging is on. The file holds at most
// 5,242,880 bytes; how much of it is used is the log-used percentage that the Data Logger Setup
// window shows. Every operation opens the file and closes it again before it returns.
#include <cstdint>
#include <string>

namespace corvex::logging {

inline constexpr char kLongTermLogFolder[] = "\\Hard Disk\\DataLog";
inline constexpr char kLongTermLogName[] = "LongTermDataLog.csv";
inline constexpr uint64_t kLongTermLogCapacity = 5'242'880;

// A snapshot for the long-term log, filled by the one-second tick. Every field is a 32-bit
// value; the 16-bit values are held as their high and low bytes.
struct LongTermLogRecord {
  uint32_t grain_temp_high = 0;  // dryer grain temperature, whole degrees
  uint32_t grain_temp_low = 0;
  uint32_t grain_temp_in_high = 0;  // tenths of a degree
  uint32_t grain_temp_in_low = 0;
  uint32_t moisture_in_high = 0;  // tenths of a percent
  uint32_t moisture_in_low = 0;
  uint32_t grain_temp_out_high = 0;  // tenths of a degree
  uint32_t grain_temp_out_low = 0;
  uint32_t moisture_out_high = 0;  // tenths of a percent
  uint32_t moisture_out_low = 0;
  uint32_t roll_speed_high = 0;  // always 0
  uint32_t roll_speed_low = 0;
  uint32_t bushels_per_hour_high = 0;
  uint32_t bushels_per_hour_low = 0;
  uint32_t moisture_control_byte = 0;  // carried along; not part of the line
  uint32_t year = 0;
  uint32_t month = 0;
  uint32_t day = 0;
  uint32_t hour = 12;  // 1..12
  uint32_t minute = 0;
  uint32_t second = 0;
  char half_of_day = 'A';  // 'A' before noon, 'P' from noon on
};

// Sets the time fields from a 24-hour local time: hour 0 is 12 AM, 12 is 12 PM, 13..23 are
// 1..11 PM.
void set_record_time(LongTermLogRecord& record, int year, int month, int day, int hour, int minute,
                     int second);

// The line for a record, with its CR LF.
std::string long_term_log_line(const LongTermLogRecord& record);
// The header, written once per run before the first line: CR LF, the column names, CR LF.
extern const char kLongTermLogHeader[];

// The logging-active flag: set while the dryer is in the logging condition (the one-second tick
// sets it); the status chart reads it too.
void set_logging_active(bool active);
bool logging_active();

// The header is written again before the next line (program start).
void reset_long_term_header();

// Log-used percentage of a file of `size` bytes: 100 from the capacity on, else
// 100 - remaining / capacity x 100 truncated toward zero.
int log_used_percentage(uint64_t size);

enum class LongTermResult : int {
  Written = 0,
  NotActive = 1,   // logging not active; nothing written
  CannotOpen = 2,  // the folder or the file cannot be created or opened; no percentage
  Full = 4,        // the file has reached its capacity; nothing written
};

// Writes one record (with the header first when it is pending) and sets `percentage` from the
// file's size before the write. A line cut short by a power cut is ended before anything
// follows it, so that no later line runs into it.
LongTermResult write_long_term_record(const LongTermLogRecord& record, int* percentage);
// Whether the last record written reached the file whole (false when the disk took none or
// only part of it; a part is removed again).
bool last_long_term_record_whole();

// Opens the log (creating it when missing, as the write does), and returns its log-used
// percentage, or nothing when it cannot be opened.
bool long_term_log_percentage(int* percentage);

}  // namespace corvex::logging
