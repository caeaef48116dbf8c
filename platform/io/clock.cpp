#include "platform/io/clock.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>

namespace platform {
namespace clock {
namespace {

std::atomic<bool> virtual_mode{false};
std::atomic<int64_t> virtual_monotonic_ms{0};
std::atomic<int64_t> virtual_wall_start_ms{0};
std::atomic<int64_t> offset_seconds{0};
// Set by a virtual start given in local time: local time is then UTC arithmetic, free of the
// host's time zone and its daylight-saving changes.
std::atomic<bool> zone_free{false};

int64_t floor_div(int64_t a, int64_t b) {
  int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

bool is_leap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int days_in_month(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && is_leap(year) ? 29 : kDays[month - 1];
}

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar.
int64_t days_from_civil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = floor_div(y, 400);
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

// Broken-down time of seconds since 1970 counted without a time zone.
void civil_from_seconds(int64_t seconds, LocalTime& out) {
  const int64_t days = floor_div(seconds, 86400);
  const int64_t rest = seconds - days * 86400;
  const int64_t z = days + 719468;
  const int64_t era = floor_div(z, 146097);
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t month = mp < 10 ? mp + 3 : mp - 9;
  out.year = int(yoe + era * 400 + (month <= 2));
  out.month = int(month);
  out.day = int(doy - (153 * mp + 2) / 5 + 1);
  out.hour = int(rest / 3600);
  out.minute = int(rest / 60 % 60);
  out.second = int(rest % 60);
  const int64_t dow = (days + 4) % 7;  // 1970-01-01 was a Thursday
  out.day_of_week = int(dow < 0 ? dow + 7 : dow);
}

// Seconds of the host's local time zone for a broken-down time, mktime's normalisation included
// (of the zone-free local time once a virtual start in local time was given).
int64_t system_local_seconds(const LocalTime& t) {
  if (zone_free.load()) {
    return days_from_civil(t.year, t.month, t.day) * 86400 + int64_t(t.hour) * 3600 +
           int64_t(t.minute) * 60 + t.second;
  }
  std::tm tm{};
  tm.tm_year = t.year - 1900;
  tm.tm_mon = t.month - 1;
  tm.tm_mday = t.day;
  tm.tm_hour = t.hour;
  tm.tm_min = t.minute;
  tm.tm_sec = t.second;
  tm.tm_isdst = -1;
  return int64_t(std::mktime(&tm));
}

}  // namespace

int64_t now_ms() {
  if (virtual_mode.load(std::memory_order_acquire)) return virtual_monotonic_ms.load();
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int64_t wall_ms() {
  if (virtual_mode.load(std::memory_order_acquire)) {
    return virtual_wall_start_ms.load() + virtual_monotonic_ms.load();
  }
  using namespace std::chrono;
  return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

void use_virtual(int64_t start_wall_ms) {
  zone_free.store(false);
  virtual_wall_start_ms.store(start_wall_ms);
  virtual_monotonic_ms.store(0);
  virtual_mode.store(true, std::memory_order_release);
}

bool use_virtual_from_local(const LocalTime& start) {
  if (!valid_local_time(start)) return false;
  zone_free.store(true);
  virtual_wall_start_ms.store((system_local_seconds(start) - local_offset_seconds()) * 1000);
  virtual_monotonic_ms.store(0);
  virtual_mode.store(true, std::memory_order_release);
  return true;
}

void use_real() {
  zone_free.store(false);
  virtual_mode.store(false, std::memory_order_release);
}

bool is_virtual() { return virtual_mode.load(std::memory_order_acquire); }

void advance_ms(int64_t ms) {
  if (ms > 0 && is_virtual()) virtual_monotonic_ms.fetch_add(ms);
}

void set_local_offset_seconds(int64_t seconds) { offset_seconds.store(seconds); }

int64_t local_offset_seconds() { return offset_seconds.load(); }

LocalTime local_now() { return to_local(wall_ms()); }

LocalTime to_local(int64_t wall) {
  int64_t seconds = floor_div(wall, 1000);
  LocalTime out;
  out.millisecond = int(wall - seconds * 1000);
  if (zone_free.load()) {
    civil_from_seconds(seconds + local_offset_seconds(), out);
    return out;
  }
  std::time_t when = std::time_t(seconds + local_offset_seconds());
  std::tm tm{};
  if (!localtime_r(&when, &tm)) return out;
  out.year = tm.tm_year + 1900;
  out.month = tm.tm_mon + 1;
  out.day = tm.tm_mday;
  out.hour = tm.tm_hour;
  out.minute = tm.tm_min;
  out.second = tm.tm_sec;
  out.day_of_week = tm.tm_wday;
  return out;
}

int64_t from_local(const LocalTime& t) {
  int64_t seconds = system_local_seconds(t) - local_offset_seconds();
  int ms = t.millisecond < 0 ? 0 : t.millisecond > 999 ? 999 : t.millisecond;
  return seconds * 1000 + ms;
}

bool valid_local_time(const LocalTime& t) {
  return t.year >= 1900 && t.year <= 9999 && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
         t.day <= days_in_month(t.year, t.month) && t.hour >= 0 && t.hour <= 23 &&
         t.minute >= 0 && t.minute <= 59 && t.second >= 0 && t.second <= 59;
}

std::optional<int64_t> set_local_time(const LocalTime& t) {
  if (!valid_local_time(t)) return std::nullopt;
  int64_t wanted = system_local_seconds(t);
  int64_t offset = wanted - floor_div(wall_ms(), 1000);
  set_local_offset_seconds(offset);
  return offset;
}

}  // namespace clock

namespace {

constexpr const char* kMonthNames[12] = {"January", "February", "March",     "April",
                                         "May",     "June",     "July",      "August",
                                         "September", "October", "November", "December"};
constexpr const char* kDayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                      "Thursday", "Friday", "Saturday"};

// 0 = Sunday, for any date of the Gregorian calendar.
int weekday(int year, int month, int day) {
  static constexpr int kMonthShift[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  if (month < 3) --year;
  int w = (year + year / 4 - year / 100 + year / 400 + kMonthShift[month - 1] + day) % 7;
  return w < 0 ? w + 7 : w;
}

void append_number(std::string* out, int value, int width) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*d", width, value);
  *out += text;
}

void append_name(std::string* out, const char* name, size_t run) {
  *out += run >= 4 ? std::string_view(name) : std::string_view(name).substr(0, 3);
}

void append_date_element(std::string* out, const LocalTime& t, char c, size_t run) {
  bool month_ok = t.month >= 1 && t.month <= 12;
  switch (c) {
    case 'd':
      if (run <= 2) {
        append_number(out, t.day, int(run));
      } else if (month_ok) {
        append_name(out, kDayNames[weekday(t.year, t.month, t.day)], run);
      }
      break;
    case 'M':
      if (run <= 2) {
        append_number(out, t.month, int(run));
      } else if (month_ok) {
        append_name(out, kMonthNames[t.month - 1], run);
      }
      break;
    case 'y':
      if (run == 1) append_number(out, t.year % 100, 1);
      else if (run == 2) append_number(out, t.year % 100, 2);
      else append_number(out, t.year, 4);
      break;
  }
}

void append_time_element(std::string* out, const LocalTime& t, char c, size_t run) {
  int width = run >= 2 ? 2 : 1;
  int hour12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
  switch (c) {
    case 'h': append_number(out, hour12, width); break;
    case 'H': append_number(out, t.hour, width); break;
    case 'm': append_number(out, t.minute, width); break;
    case 's': append_number(out, t.second, width); break;
    case 't': *out += t.hour < 12 ? (run >= 2 ? "AM" : "A") : (run >= 2 ? "PM" : "P"); break;
  }
}

// Walks the picture: quoted text is copied, runs of the element letters are formatted.
template <typename Element>
std::string format_picture(const LocalTime& t, std::string_view picture, std::string_view letters,
                           Element element) {
  std::string out;
  size_t i = 0;
  while (i < picture.size()) {
    char c = picture[i];
    if (c == '\'') {
      if (i + 1 < picture.size() && picture[i + 1] == '\'') {
        out += '\'';
        i += 2;
        continue;
      }
      for (++i; i < picture.size(); ++i) {
        if (picture[i] != '\'') {
          out += picture[i];
        } else if (i + 1 < picture.size() && picture[i + 1] == '\'') {
          out += '\'';
          ++i;
        } else {
          ++i;
          break;
        }
      }
      continue;
    }
    if (letters.find(c) == std::string_view::npos) {
      out += c;
      ++i;
      continue;
    }
    size_t run = 1;
    while (i + run < picture.size() && picture[i + run] == c) ++run;
    element(&out, t, c, run);
    i += run;
  }
  return out;
}

}  // namespace

std::string format_date(const LocalTime& t, std::string_view picture) {
  return format_picture(t, picture, "dMy", append_date_element);
}

std::string format_time(const LocalTime& t, std::string_view picture) {
  return format_picture(t, picture, "hHmst", append_time_element);
}

}  // namespace platform
