#pragma once
// All time of the program comes from this one clock: real, or virtual (advanced only by the
// automation `wait`, for fast deterministic tests). The panel's local time is the system's
// local time plus an offset that the set-time dialog changes, so setting the panel clock never
// needs root. Safe to call from any thread.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

struct LocalTime {
  int year = 2000;   // four digits
  int month = 1;     // 1..12
  int day = 1;       // 1..31
  int hour = 0;      // 0..23
  int minute = 0;
  int second = 0;
  int millisecond = 0;
  int day_of_week = 0;  // 0 = Sunday
};

namespace clock {

// Milliseconds on a monotonic scale; timers and countdowns run on it.
int64_t now_ms();
// Wall time, milliseconds since 1970-01-01 UTC (virtual in virtual time).
int64_t wall_ms();

// Switches to virtual time starting at the given wall time; the monotonic scale starts at 0.
void use_virtual(int64_t start_wall_ms);
// Switches to virtual time in which the panel's local time starts at `start` (with the local
// offset as it stands). The panel's local time then runs without daylight-saving changes,
// whatever the host's time zone, so that a test crossing midnight or a month end sees the same
// hours on every host. Returns false, changing nothing, for a time that does not exist.
bool use_virtual_from_local(const LocalTime& start);
// Goes back to real time (the monotonic and wall scales of the host again).
void use_real();
bool is_virtual();
// Moves virtual time on; ignored in real time.
void advance_ms(int64_t ms);

// Offset in seconds added to the system's local time to give the panel's local time.
void set_local_offset_seconds(int64_t seconds);
int64_t local_offset_seconds();
// The panel's local time now, and a wall time turned into panel local time.
LocalTime local_now();
LocalTime to_local(int64_t wall_ms);
// Panel local time back to wall milliseconds (the inverse of to_local).
int64_t from_local(const LocalTime& t);
// True for a time that exists: year 1900..9999, a day the month has, 00:00:00..23:59:59.
// The day of the week and the milliseconds are not looked at.
bool valid_local_time(const LocalTime& t);
// Sets the panel's local time by changing the offset; returns the new offset in seconds for the
// caller to persist, or nothing (and no change) for a time that does not exist, such as
// 31 February. The day of the week is not looked at.
std::optional<int64_t> set_local_time(const LocalTime& t);

}  // namespace clock

// Date and time pictures as the panel platform knows them: yyyy, yyy (four digits), yy, MMMM,
// MMM, MM, M, dddd, ddd, dd, d for dates; HH, H, hh, h, mm, m, ss, s, tt, t for times; text in
// single quotes is copied as it stands, two single quotes give one, and any other character is
// copied too. Month and day names are English; the day of the week is worked out from the date.
std::string format_date(const LocalTime& t, std::string_view picture);
std::string format_time(const LocalTime& t, std::string_view picture);

}  // namespace platform
