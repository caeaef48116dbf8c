// The virtual start time: what --start-time accepts, and the panel's local time it gives, read
// through the one platform clock that the clock record, the logs and their file names use.
#include <gtest/gtest.h>

#include "platform/io/clock.h"
#include "shell/options.h"

namespace {

using corvex::shell::parse_options;
using platform::LocalTime;
namespace clock = platform::clock;

std::vector<std::string> virtual_args(const std::string& start) {
  return {"--headless", "--simulate", "--virtual-time", "--start-time", start};
}

TEST(StartTime, OnlyTimesThatExistAreTaken) {
  auto r = parse_options(virtual_args("2024-02-29 23:59:30"));
  ASSERT_TRUE(r.options) << r.error;
  ASSERT_TRUE(r.options->start_time);
  const LocalTime& t = *r.options->start_time;
  EXPECT_EQ(t.year, 2024);
  EXPECT_EQ(t.month, 2);
  EXPECT_EQ(t.day, 29);
  EXPECT_EQ(t.hour, 23);
  EXPECT_EQ(t.minute, 59);
  EXPECT_EQ(t.second, 30);
  r = parse_options({"--headless", "--simulate", "--virtual-time", "--start-time=2026-12-31 00:00:00"});
  EXPECT_TRUE(r.options) << r.error;

  for (const char* bad : {"2026-02-30 10:00:00", "2100-02-29 10:00:00", "2026-04-31 10:00:00",
                          "2026-13-01 10:00:00", "2026-00-10 10:00:00", "2026-01-01 25:00:00",
                          "2026-01-01 24:00:00", "2026-01-01 23:60:00", "2026-01-01 23:59:60",
                          "garbage", "", "2026-1-01 10:00:00", "2026-01-01T10:00:00",
                          "2026-01-01 10:00:00 ", "2026-01-01 10:00", "+026-01-01 10:00:00",
                          "2026-01-01 1a:00:00"}) {
    r = parse_options(virtual_args(bad));
    EXPECT_FALSE(r.options) << bad;
    EXPECT_NE(r.error.find("--start-time"), std::string::npos) << r.error;
    EXPECT_EQ(r.error.find('\n'), std::string::npos) << r.error;
  }
  r = parse_options({"--headless", "--simulate", "--start-time", "2026-01-01 10:00:00"});
  EXPECT_FALSE(r.options);
  EXPECT_EQ(r.error, "option --start-time needs --virtual-time");
  r = parse_options({"--headless", "--simulate", "--virtual-time", "--start-time"});
  EXPECT_FALSE(r.options);
}

class VirtualStart : public ::testing::Test {
 protected:
  void TearDown() override {
    clock::set_local_offset_seconds(0);
    clock::use_virtual(1'700'000'000'000);
  }
  static void expect_local(int year, int month, int day, int hour, int minute, int second,
                           int day_of_week) {
    const LocalTime t = clock::local_now();
    EXPECT_EQ(t.year, year);
    EXPECT_EQ(t.month, month);
    EXPECT_EQ(t.day, day);
    EXPECT_EQ(t.hour, hour);
    EXPECT_EQ(t.minute, minute);
    EXPECT_EQ(t.second, second);
    EXPECT_EQ(t.day_of_week, day_of_week);
  }
};

TEST_F(VirtualStart, LocalTimeStartsThereAndRollsOver) {
  clock::set_local_offset_seconds(0);
  ASSERT_TRUE(clock::use_virtual_from_local({2026, 12, 31, 23, 59, 30, 0, 0}));
  EXPECT_EQ(clock::now_ms(), 0);
  expect_local(2026, 12, 31, 23, 59, 30, 4);
  clock::advance_ms(60'000);
  expect_local(2027, 1, 1, 0, 0, 30, 5);

  ASSERT_TRUE(clock::use_virtual_from_local({2024, 2, 28, 11, 59, 59, 0, 0}));
  clock::advance_ms(1'000);
  expect_local(2024, 2, 28, 12, 0, 0, 3);
  clock::advance_ms(12 * 3'600'000);
  expect_local(2024, 2, 29, 0, 0, 0, 4);
  clock::advance_ms(24 * 3'600'000);
  expect_local(2024, 3, 1, 0, 0, 0, 5);

  // Early dates count back from 1970 the same way.
  ASSERT_TRUE(clock::use_virtual_from_local({1969, 12, 31, 23, 59, 59, 0, 0}));
  clock::advance_ms(1'000);
  expect_local(1970, 1, 1, 0, 0, 0, 4);

  EXPECT_FALSE(clock::use_virtual_from_local({2026, 2, 29, 0, 0, 0, 0, 0}));
  expect_local(1970, 1, 1, 0, 0, 0, 4);
}

// The set-time dialog's offset and the conversions back and forth keep working on the
// started clock: every day of a year, noon and midnight, round trips.
TEST_F(VirtualStart, SettingTheClockAndConvertingBack) {
  ASSERT_TRUE(clock::use_virtual_from_local({2026, 3, 29, 1, 59, 0, 0, 0}));
  clock::advance_ms(120'000);
  expect_local(2026, 3, 29, 2, 1, 0, 0);  // no daylight-saving jump whatever the host's zone
  ASSERT_TRUE(clock::set_local_time({2030, 6, 15, 8, 0, 0, 0, 0}));
  expect_local(2030, 6, 15, 8, 0, 0, 6);
  for (int64_t day = 0; day < 366; ++day) {
    for (int64_t second : {0, 12 * 3600, 86399}) {
      const int64_t wall = clock::wall_ms() + (day * 86400 + second) * 1000 + 250;
      const LocalTime t = clock::to_local(wall);
      ASSERT_TRUE(clock::valid_local_time(t)) << day;
      ASSERT_EQ(clock::from_local(t), wall) << day << " " << second;
    }
  }
}

}  // namespace
