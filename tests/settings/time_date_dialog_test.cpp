// The set-time dialog: the 12-hour display and its way back to 0..23, the wrap of every field,
// what ACCEPT does to the panel's local time, and the offset kept across a restart.
#include "settings/time_date_dialog.h"

#include "platform/io/paths.h"
#include "platform/io/registry.h"
#include "resources/time_date_dialog.h"
#include "logging/display_settings.h"
#include "tests/settings/setup_test_support.h"
#include "tests/support/process.h"

namespace corvex::settings {
namespace {

using namespace setup_testing;
namespace res = resources;
using platform::LocalTime;

LocalTime at(int year, int month, int day, int hour, int minute, int second = 0) {
  LocalTime t;
  t.year = year;
  t.month = month;
  t.day = day;
  t.hour = hour;
  t.minute = minute;
  t.second = second;
  return t;
}

TEST(TimeDateEntry, TwelveHourDisplayAndBack) {
  struct Case {
    int hour;
    int shown;
    bool am;
  };
  for (const Case c : {Case{0, 12, true}, Case{1, 1, true}, Case{11, 11, true}, Case{12, 12, false},
                       Case{13, 1, false}, Case{23, 11, false}}) {
    const TimeDateEntry e = time_date_entry(at(2026, 3, 4, c.hour, 30));
    EXPECT_EQ(e.hour12, c.shown) << c.hour;
    EXPECT_EQ(e.am, c.am) << c.hour;
    EXPECT_EQ(accepted_time(e).hour, c.hour) << "unchanged entry gives the same hour";
  }
  TimeDateEntry e = time_date_entry(at(2026, 3, 4, 9, 0));
  e.hour12 = 12;
  e.am = false;
  EXPECT_EQ(accepted_time(e).hour, 12);
  e.am = true;
  EXPECT_EQ(accepted_time(e).hour, 0);
}

TEST(TimeDateEntry, EveryFieldWrapsAtItsEnds) {
  TimeDateEntry e = time_date_entry(at(2050, 12, 31, 12, 59));
  e.time.day_of_week = 6;
  step_time_date(e, TimeDateStep::YearUp);
  step_time_date(e, TimeDateStep::MonthUp);
  step_time_date(e, TimeDateStep::DateUp);
  step_time_date(e, TimeDateStep::MinuteUp);
  step_time_date(e, TimeDateStep::HourUp);
  step_time_date(e, TimeDateStep::DayUp);
  EXPECT_EQ(e.time.year, 2000);
  EXPECT_EQ(e.time.month, 1);
  EXPECT_EQ(e.time.day, 1);
  EXPECT_EQ(e.time.minute, 0);
  EXPECT_EQ(e.hour12, 1);
  EXPECT_EQ(e.time.day_of_week, 0);
  step_time_date(e, TimeDateStep::YearDown);
  step_time_date(e, TimeDateStep::MonthDown);
  step_time_date(e, TimeDateStep::DateDown);
  step_time_date(e, TimeDateStep::MinuteDown);
  step_time_date(e, TimeDateStep::HourDown);
  step_time_date(e, TimeDateStep::DayDown);
  EXPECT_EQ(e.time.year, 2050);
  EXPECT_EQ(e.time.month, 12);
  EXPECT_EQ(e.time.day, 31);
  EXPECT_EQ(e.time.minute, 59);
  EXPECT_EQ(e.hour12, 12);
  EXPECT_EQ(e.time.day_of_week, 6);
  step_time_date(e, TimeDateStep::YearDown);
  EXPECT_EQ(e.time.year, 2049);
}

class TimeDateDialogTest : public SetupTest {
 protected:
  void SetUp() override {
    SetupTest::SetUp();
    texts::localized_text(1);  // the panel texts, before the disk moves to a scratch folder
    // A folder of this test's own: ctest runs the other tests of this fixture beside it.
    ASSERT_FALSE(scratch.path().empty());
    platform::set_disk_root(scratch.path());
  }
  void TearDown() override {
    platform::clock::set_local_offset_seconds(0);
    SetupTest::TearDown();
  }
  static std::string fields() {
    screenshot("time_date");
    return modal_caption() + "|" + modal_item_text(res::kTimeHourField) + "|" +
           modal_item_text(res::kTimeMinuteField) + "|" + modal_item_text(res::kTimeAmPmField) +
           "|" + modal_item_text(res::kTimeMonthField) + "|" +
           modal_item_text(res::kTimeDateField) + "|" + modal_item_text(res::kTimeYearField) + "|" +
           modal_item_text(res::kTimeDayField);
  }
  testing_support::TempDir scratch;
};

TEST_F(TimeDateDialogTest, HalfPastMidnightShowsAsAmAndAcceptKeepsIt) {
  ASSERT_TRUE(platform::clock::use_virtual_from_local(at(2026, 12, 9, 0, 30, 15)));
  const int f = add_probe(fields);
  const auto out = answers(run([](gui::Window* w) { open_time_date_dialog(w); },
                               "probe " + std::to_string(f) + "\nclick ACCEPT"));
  EXPECT_EQ(out,
            std::vector<std::string>{"SET TIME / DATE| 12| 30|AM|DECEMBER| 9| 2026|WEDNESDAY"});
  const LocalTime now = platform::clock::local_now();
  EXPECT_EQ(now.hour, 0);
  EXPECT_EQ(now.minute, 30);
  EXPECT_EQ(now.day, 9);
}

TEST_F(TimeDateDialogTest, AcceptSetsThePanelTimeAndKeepsItForTheNextStart) {
  ASSERT_TRUE(platform::clock::use_virtual_from_local(at(2026, 12, 9, 14, 5, 20)));
  const int f = add_probe(fields);
  const auto out = answers(run([](gui::Window* w) { open_time_date_dialog(w); },
                               "click \"HOUR UP\"\nclick AM\nclick \"MINUTE DOWN\"\nclick \"YEAR "
                               "UP\"\nclick \"MONTH DOWN\"\n"
                               "probe " +
                                   std::to_string(f) + "\nclick ACCEPT"));
  EXPECT_EQ(out, std::vector<std::string>{"SET TIME / DATE| 3| 4|AM|NOVEMBER| 9| 2027|WEDNESDAY"});
  LocalTime now = platform::clock::local_now();
  EXPECT_EQ(now.year, 2027);
  EXPECT_EQ(now.month, 11);
  EXPECT_EQ(now.hour, 3);
  EXPECT_EQ(now.minute, 4);
  EXPECT_EQ(now.second / 10, 2) << "seconds as read at opening, plus the time the dialog took";

  // A restart: the offset is gone from memory and comes back from the disk.
  const int64_t offset = platform::clock::local_offset_seconds();
  ASSERT_NE(offset, 0);
  platform::clock::set_local_offset_seconds(0);
  load_panel_clock_offset();
  EXPECT_EQ(platform::clock::local_offset_seconds(), offset);

  // Cancel leaves both the time and the kept offset alone.
  run([](gui::Window* w) { open_time_date_dialog(w); }, "click \"YEAR UP\"\nclick CANCEL");
  EXPECT_EQ(platform::clock::local_offset_seconds(), offset);
  now = platform::clock::local_now();
  EXPECT_EQ(now.year, 2027);
}

TEST_F(TimeDateDialogTest, ADateTheMonthLacksChangesNothing) {
  ASSERT_TRUE(platform::clock::use_virtual_from_local(at(2026, 2, 27, 10, 0)));
  run([](gui::Window* w) { open_time_date_dialog(w); },
      "click \"DATE UP\"\nclick \"DATE UP\"\nclick \"DATE UP\"\nclick \"DATE UP\"\nclick ACCEPT");
  EXPECT_EQ(platform::clock::local_offset_seconds(), 0);
  EXPECT_FALSE(platform::registry::read_value(logging::kSettingsKey, "PANEL_CLOCK_OFFSET"));
  EXPECT_EQ(platform::clock::local_now().day, 27);
}

TEST_F(TimeDateDialogTest, ADamagedKeptOffsetIsIgnored) {
  ASSERT_TRUE(platform::registry::create_key(logging::kSettingsKey));
  const uint8_t short_value[3] = {1, 2, 3};
  ASSERT_TRUE(
      platform::registry::write_value(logging::kSettingsKey, "PANEL_CLOCK_OFFSET", short_value));
  load_panel_clock_offset();
  EXPECT_EQ(platform::clock::local_offset_seconds(), 0);
  const uint8_t huge[8] = {0, 0, 0, 0, 0, 0, 0, 0x40};
  ASSERT_TRUE(platform::registry::write_value(logging::kSettingsKey, "PANEL_CLOCK_OFFSET", huge));
  load_panel_clock_offset();
  EXPECT_EQ(platform::clock::local_offset_seconds(), 0);
}

}  // namespace
}  // namespace corvex::settings
