#include "platform/io/clock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <thread>

namespace {

using platform::format_date;
using platform::format_time;
using platform::LocalTime;
namespace clock = platform::clock;

LocalTime at(int year, int month, int day, int hour, int minute, int second) {
  LocalTime t;
  t.year = year;
  t.month = month;
  t.day = day;
  t.hour = hour;
  t.minute = minute;
  t.second = second;
  return t;
}

TEST(FormatTest, ThePicturesTheDisplayUses) {
  LocalTime t = at(2026, 3, 14, 13, 5, 9);
  EXPECT_EQ(format_date(t, "yy'_'MM'_'dd'_'"), "26_03_14_");
  EXPECT_EQ(format_time(t, "HH'_'mm'_'ss"), "13_05_09");
  EXPECT_EQ(format_date(t, "MMM dd',' yyy"), "Mar 14, 2026");
  EXPECT_EQ(format_time(t, "h':'mm tt"), "1:05 PM");
  EXPECT_EQ(format_time(t, "h':'mm':'ss tt"), "1:05:09 PM");
  EXPECT_EQ(format_date(t, "dddd  MMM dd',' yyy"), "Saturday  Mar 14, 2026");
}

TEST(FormatTest, TwelveHourClockAroundMidnightAndNoon) {
  EXPECT_EQ(format_time(at(2026, 1, 1, 0, 7, 3), "h':'mm':'ss tt"), "12:07:03 AM");
  EXPECT_EQ(format_time(at(2026, 1, 1, 11, 59, 59), "h':'mm tt"), "11:59 AM");
  EXPECT_EQ(format_time(at(2026, 1, 1, 12, 0, 0), "h':'mm tt"), "12:00 PM");
  EXPECT_EQ(format_time(at(2026, 1, 1, 23, 59, 0), "h':'mm tt"), "11:59 PM");
  EXPECT_EQ(format_time(at(2026, 1, 1, 0, 0, 0), "hh:mm t"), "12:00 A");
  EXPECT_EQ(format_time(at(2026, 1, 1, 13, 4, 5), "hh H HH m s t"), "01 13 13 4 5 P");
  EXPECT_EQ(format_time(at(2026, 1, 1, 3, 4, 5), "H:m:s"), "3:4:5");
}

TEST(FormatTest, DateElementsNamesAndTheWeekdayFromTheDate) {
  LocalTime t = at(2009, 1, 5, 0, 0, 0);
  t.day_of_week = 3;  // stale; the date says Monday
  EXPECT_EQ(format_date(t, "d/M/y"), "5/1/9");
  EXPECT_EQ(format_date(t, "dd/MM/yy"), "05/01/09");
  EXPECT_EQ(format_date(t, "ddd dddd MMM MMMM yyyy yyy"), "Mon Monday Jan January 2009 2009");
  EXPECT_EQ(format_date(at(2024, 2, 29, 0, 0, 0), "dddd"), "Thursday");
  EXPECT_EQ(format_date(at(2000, 12, 31, 0, 0, 0), "ddd MMM"), "Sun Dec");
}

TEST(FormatTest, QuotedTextIsCopiedAndTwoQuotesGiveOne) {
  LocalTime t = at(2026, 3, 14, 13, 5, 9);
  EXPECT_EQ(format_time(t, "'It''s' h 'o''clock'"), "It's 1 o'clock");
  EXPECT_EQ(format_time(t, "''h''"), "'1'");
  EXPECT_EQ(format_time(t, "'hh:mm' hh"), "hh:mm 01");
  EXPECT_EQ(format_date(t, "'dd' dd 'unterminated"), "dd 14 unterminated");
  // Letters of the other kind are plain text.
  EXPECT_EQ(format_time(t, "dd/MM h"), "dd/MM 1");
  EXPECT_EQ(format_date(t, "hh:mm d"), "hh:mm 14");
}

class LocalTimeTest : public testing::Test {
 protected:
  void SetUp() override {
    const char* tz = std::getenv("TZ");
    had_tz = tz != nullptr;
    if (tz) saved_tz = tz;
    clock::set_local_offset_seconds(0);
  }
  void TearDown() override {
    if (had_tz) setenv("TZ", saved_tz.c_str(), 1);
    else unsetenv("TZ");
    tzset();
    clock::set_local_offset_seconds(0);
    clock::use_real();
  }
  void zone(const char* tz) {
    setenv("TZ", tz, 1);
    tzset();
  }

  bool had_tz = false;
  std::string saved_tz;
};

TEST_F(LocalTimeTest, WallTimeToLocalAndBackWithTheOffset) {
  zone("UTC0");
  LocalTime epoch = clock::to_local(0);
  EXPECT_EQ(format_date(epoch, "yyyy-MM-dd ddd") + format_time(epoch, " HH:mm:ss"), "1970-01-01 Thu 00:00:00");
  EXPECT_EQ(epoch.day_of_week, 4);
  LocalTime before = clock::to_local(-1);
  EXPECT_EQ(before.year, 1969);
  EXPECT_EQ(before.second, 59);
  EXPECT_EQ(before.millisecond, 999);

  const int64_t wall = 1773493509123;  // 2026-03-14 13:05:09.123 UTC
  EXPECT_EQ(format_time(clock::to_local(wall), "HH:mm:ss"), "13:05:09");
  EXPECT_EQ(clock::to_local(wall).millisecond, 123);
  clock::set_local_offset_seconds(-3600);
  EXPECT_EQ(format_time(clock::to_local(wall), "HH:mm:ss"), "12:05:09");
  EXPECT_EQ(clock::from_local(clock::to_local(wall)), wall);
  EXPECT_EQ(clock::from_local(at(2026, 3, 14, 12, 5, 9)), wall - 123);
}

TEST_F(LocalTimeTest, TheSystemTimeZoneWithDaylightSaving) {
  zone("CET-1CEST,M3.5.0,M10.5.0/3");
  const int64_t summer = 1782907200000;  // 2026-07-01 12:00 UTC
  const int64_t winter = 1768478400000;  // 2026-01-15 12:00 UTC
  EXPECT_EQ(clock::to_local(summer).hour, 14);
  EXPECT_EQ(clock::to_local(winter).hour, 13);
  for (int64_t wall = winter; wall < summer; wall += 7 * 3600 * 1000 + 17) {
    ASSERT_EQ(clock::from_local(clock::to_local(wall)), wall);
  }
}

TEST_F(LocalTimeTest, SettingThePanelClockMovesOnlyTheOffset) {
  zone("UTC0");
  clock::use_virtual(1773493509000);
  std::optional<int64_t> offset = clock::set_local_time(at(2030, 1, 2, 0, 30, 5));
  ASSERT_TRUE(offset.has_value());
  EXPECT_EQ(*offset, clock::local_offset_seconds());
  EXPECT_EQ(clock::wall_ms(), 1773493509000);
  LocalTime now = clock::local_now();
  EXPECT_EQ(format_date(now, "yyyy-MM-dd") + format_time(now, " HH:mm:ss"), "2030-01-02 00:30:05");
  clock::advance_ms(60'000);
  EXPECT_EQ(format_time(clock::local_now(), "h:mm:ss tt"), "12:31:05 AM");
  EXPECT_FALSE(clock::set_local_time(at(2030, 2, 31, 0, 0, 0)).has_value());
  EXPECT_FALSE(clock::set_local_time(at(2030, 1, 1, 24, 0, 0)).has_value());
  EXPECT_EQ(clock::local_offset_seconds(), *offset);
  EXPECT_TRUE(clock::set_local_time(at(2028, 2, 29, 23, 59, 59)).has_value());
}

TEST_F(LocalTimeTest, VirtualTimeMovesOnlyWhenAdvanced) {
  clock::use_virtual(1'000'000);
  EXPECT_TRUE(clock::is_virtual());
  EXPECT_EQ(clock::now_ms(), 0);
  EXPECT_EQ(clock::wall_ms(), 1'000'000);
  clock::advance_ms(350);
  clock::advance_ms(-50);
  EXPECT_EQ(clock::now_ms(), 350);
  EXPECT_EQ(clock::wall_ms(), 1'000'350);
  std::thread a([] { for (int i = 0; i < 1000; ++i) clock::advance_ms(1); });
  std::thread b([] { for (int i = 0; i < 1000; ++i) clock::advance_ms(1); });
  a.join();
  b.join();
  EXPECT_EQ(clock::now_ms(), 2350);
  clock::use_real();
  EXPECT_FALSE(clock::is_virtual());
  clock::advance_ms(1000);
  EXPECT_NEAR(double(clock::wall_ms()), double(std::time(nullptr)) * 1000.0, 5000.0);
}

}  // namespace
