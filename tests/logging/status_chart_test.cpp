// The status chart: the cell texts of a sample (12-hour clock, both units), and the painted
// chart from short-term logs the data-logs code wrote in virtual time: rows oldest first, the
// scroll bar from 9 samples on, scrolling held at both ends, no rows without data.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "logging/log_tick.h"
#include "logging/short_term_log.h"
#include "logging/status_chart.h"
#include "platform/gui/automation.h"
#include "platform/gui/controls.h"
#include "platform/gui/window.h"
#include "logging/display_settings.h"
#include "logging/settings_dialogs.h"
#include "resources/window_classes.h"
#include "tests/logging/log_test_support.h"
#include "tests/texts/text_test_support.h"
#include "texts/texts.h"

namespace corvex::logging {
namespace {

namespace gui = platform::gui;
using platform::Point;

DryerSampleRecord record_of(const std::string& bytes) {
  DryerSampleRecord r{};
  std::copy(bytes.begin(), bytes.end(), r.begin());
  return r;
}

TEST(ChartRow, CellsOfOneSampleInBothUnits) {
  link::reset_dryer_state();
  // 300 F in the column, 65.5 F in, 18.2 %, 87.1 F out, 15.1 %, 37 %; 00:07 on 3 March.
  const DryerSampleRecord r =
      record_of(log_testing::sample_bytes(300, 655, 182, 871, 151, 37, 0, 7, 30, 3, 3));
  ChartRow row = chart_row(r);
  EXPECT_EQ(row.cell[0], "12:07AM 3/3");
  EXPECT_EQ(row.cell[1], "300\u00B0F");
  EXPECT_EQ(row.cell[2], "18.2%");
  EXPECT_EQ(row.cell[3], "15.1%");
  EXPECT_EQ(row.cell[4], "87\u00B0F");
  EXPECT_EQ(row.cell[5], "37 %");
  link::dryer_state().unit_flag.store(1);
  row = chart_row(r);
  EXPECT_EQ(row.cell[1], "148\u00B0C");  // (300 - 32) x 5 / 9 = 148.9
  EXPECT_EQ(row.cell[4], "30\u00B0C");   // 87 F
  link::reset_dryer_state();
  // The hour is padded to two places; noon and the evening are PM.
  EXPECT_EQ(
      chart_row(record_of(log_testing::sample_bytes(0, 0, 5, 0, 0, 0, 1, 5, 0, 12, 31))).cell[0],
      " 1:05AM 12/31");
  EXPECT_EQ(
      chart_row(record_of(log_testing::sample_bytes(0, 0, 0, 0, 0, 0, 12, 0, 0, 1, 1))).cell[0],
      "12:00PM 1/1");
  EXPECT_EQ(
      chart_row(record_of(log_testing::sample_bytes(0, 0, 0, 0, 0, 0, 23, 59, 0, 1, 1))).cell[0],
      "11:59PM 1/1");
  EXPECT_EQ(chart_row(record_of(log_testing::sample_bytes(0, 0, 5, 0, 0, 0))).cell[2], "0.5%");
}

class StatusChartTest : public log_testing::LogDiskTest {
 protected:
  void SetUp() override {
    LogDiskTest::SetUp();
    saved_ = logging::display_settings();
    logging::display_settings() = {};
    std::vector<std::u16string> lines = texts::testing::numbered_lines(600, u"S");
    lines[286 - 1] = u"SAMPLE TIME";
    lines[340 - 1] = u"DRYER STATUS CHART";
    lines[342 - 1] = u"MIN";
    log_testing::write_file(disk / "CorvexLangConfig.txt", "English");
    const std::vector<uint8_t> bytes = texts::testing::utf16le(texts::testing::crlf_lines(lines));
    log_testing::write_file(disk / "Languages/EN/EnglishStrings.txt",
                            std::string(bytes.begin(), bytes.end()));
    texts::reset_texts();
    reset_status_chart();
    gui::init();
    gui::enable_text_recording();
    register_status_chart_class();
    set_mirror(184, 0);
  }
  void TearDown() override {
    gui::reset();
    logging::display_settings() = saved_;
    texts::reset_texts();
    reset_status_chart();
    LogDiskTest::TearDown();
  }

  void create_chart() {
    chart_ = gui::create_window(
        {.class_name = resources::AVERAGE_VALUES_WINDOW,
         .text = " DRYER STATUS CHART",
         .style = gui::style::kVisible | gui::style::kBorder | gui::style::kCaption,
         .rect = platform::Rect::from_xywh(240, 40, 400, 205)});
    ASSERT_NE(chart_, nullptr);
    bar_ = gui::child_by_id(chart_, kChartScrollBarId);
    ASSERT_NE(bar_, nullptr);
    paint();
  }
  void paint() {
    gui::invalidate(chart_);
    gui::paint_pending();
    gui::advance_virtual(1);  // what the paint posted
  }
  // Appends `count` samples through the short-term log, one a minute of virtual time; sample
  // i carries a moisture in of i + 1 tenths, so that rows tell which sample they show.
  void log_samples(int count) {
    for (int i = 0; i < count; ++i) {
      ++samples_;
      set_mirror(191, uint8_t(samples_ >> 8));
      set_mirror(192, uint8_t(samples_ & 0xFF));
      DryerSampleRecord r{};
      fill_sample_record(r, platform::clock::local_now());
      ASSERT_TRUE(append_short_term_record(r));
      platform::clock::advance_ms(60'000);
    }
  }
  // The texts of the chart in the moisture-in column, top to bottom.
  std::vector<std::string> moisture_column() const {
    std::vector<std::string> out;
    std::istringstream in(gui::describe_texts(resources::AVERAGE_VALUES_WINDOW));
    std::string line;
    const Point o = chart_->client_origin();
    while (std::getline(in, line)) {
      std::istringstream l(line);
      std::string cls;
      int x = 0, y = 0;
      l >> cls >> x >> y;
      if (x - o.x < 150 || x - o.x >= 200 || y - o.y < 38) continue;
      const size_t q = line.find('"');
      out.push_back(line.substr(q + 1, line.rfind('"') - q - 1));
    }
    return out;
  }
  static std::string tenths(int n) {
    return std::to_string(n / 10) + "." + std::to_string(n % 10) + "%";
  }
  std::vector<std::string> samples_from(int first, int last) const {
    std::vector<std::string> v;
    for (int n = first; n <= last; ++n) v.push_back(tenths(n));
    return v;
  }
  void scroll(gui::ScrollCode code, int times = 1, int position = 0) {
    for (int i = 0; i < times; ++i)
      gui::send_message(
          chart_, {gui::MessageKind::VScroll, intptr_t(uint32_t(code) | uint32_t(position) << 16),
                   intptr_t(bar_)});
    gui::paint_pending();
    gui::advance_virtual(1);
  }

  logging::DisplaySettings saved_;
  gui::Window* chart_ = nullptr;
  gui::Window* bar_ = nullptr;
  int samples_ = 0;
};

TEST_F(StatusChartTest, NoDataDrawsHeadingsOnly) {
  create_chart();
  EXPECT_TRUE(moisture_column().empty());
  EXPECT_FALSE(bar_->is_shown());
  EXPECT_EQ(chart_->text(), "DRYER STATUS CHART");
  gui::Window* button = gui::child_by_id(chart_, logging::kSampleTimeButtonId);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->text(), "SAMPLE TIME 10 MIN");
  const std::string all = gui::describe_texts(resources::AVERAGE_VALUES_WINDOW);
  EXPECT_NE(all.find("\"10 MIN\""), std::string::npos) << all;
  // The grey lines: a column line and the double line under the headings.
  const Point o = chart_->client_origin();
  EXPECT_EQ(gui::framebuffer().pixel(o.x + 150, o.y + 100), platform::rgb(150, 150, 150));
  EXPECT_EQ(gui::framebuffer().pixel(o.x + 120, o.y + 35), platform::rgb(150, 150, 150));
  EXPECT_EQ(gui::framebuffer().pixel(o.x + 120, o.y + 34), platform::colors::kWhite);
}

TEST_F(StatusChartTest, EightSamplesHideTheBarNineShowIt) {
  log_samples(3);
  create_chart();
  EXPECT_EQ(moisture_column(), samples_from(1, 3));
  log_samples(5);
  paint();
  EXPECT_EQ(moisture_column(), samples_from(1, 8));
  EXPECT_FALSE(bar_->is_shown());
  log_samples(1);
  paint();
  EXPECT_TRUE(bar_->is_shown());
  EXPECT_EQ(moisture_column(), samples_from(2, 9)) << "the newest eight, oldest first";
  EXPECT_EQ(gui::scroll_bar_info(bar_), (gui::ScrollInfo{0, 9, 8, 2}));
}

TEST_F(StatusChartTest, ScrollingHeldBetweenZeroAndTheSamplesAvailable) {
  log_samples(20);
  create_chart();
  EXPECT_EQ(moisture_column(), samples_from(13, 20));
  scroll(gui::ScrollCode::PageUp);
  EXPECT_EQ(chart_scroll_position(), 5);
  EXPECT_EQ(moisture_column(), samples_from(5, 12));
  scroll(gui::ScrollCode::LineUp, 10);
  EXPECT_EQ(chart_scroll_position(), 0);
  EXPECT_EQ(moisture_column(), samples_from(1, 8));
  scroll(gui::ScrollCode::ThumbPosition, 1, 7);
  EXPECT_EQ(moisture_column(), samples_from(7, 14));
  // Past the end the chart stays at the newest eight, the end of the bar's range.
  scroll(gui::ScrollCode::PageDown, 5);
  EXPECT_EQ(chart_scroll_position(), 13);
  EXPECT_EQ(gui::scroll_bar_position(bar_), 13);
  EXPECT_EQ(moisture_column(), samples_from(13, 20));
  // While at the end the chart follows new samples; scrolled back it stays where it is.
  log_samples(1);
  paint();
  EXPECT_EQ(moisture_column(), samples_from(14, 21));
  scroll(gui::ScrollCode::LineUp, 3);
  log_samples(1);
  paint();
  EXPECT_EQ(moisture_column(), samples_from(11, 18));
}

TEST_F(StatusChartTest, RowsAcrossTwoFilesInCelsius) {
  // 150 samples fill one file of 144 and start a second: the chart reads across
  // the two as one sequence.
  log_samples(150);
  link::dryer_state().unit_flag.store(1);
  create_chart();
  EXPECT_EQ(moisture_column(), samples_from(143, 150));
  EXPECT_EQ(gui::scroll_bar_info(bar_).max, 144);
  const std::string all = gui::describe_texts(resources::AVERAGE_VALUES_WINDOW);
  EXPECT_NE(all.find("\u00B0C\""), std::string::npos) << all;
  EXPECT_EQ(all.find("\u00B0F\""), std::string::npos) << all;
}

// The chart is repainted every second and draws anew only what changed: each paint shows the
// log, the unit and the place as they are now, and its texts stay readable in between.
TEST_F(StatusChartTest, EachPaintShowsTheLogAsItIsNow) {
  log_samples(3);
  create_chart();
  EXPECT_EQ(moisture_column(), samples_from(1, 3));
  paint();
  EXPECT_EQ(moisture_column(), samples_from(1, 3)) << "a paint with nothing new";
  log_samples(1);
  paint();
  EXPECT_EQ(moisture_column(), samples_from(1, 4));
  const auto units = [] {
    const std::string all = gui::describe_texts(resources::AVERAGE_VALUES_WINDOW);
    return std::string(all.find("\u00B0C\"") != std::string::npos ? "C" : "") +
           (all.find("\u00B0F\"") != std::string::npos ? "F" : "");
  };
  EXPECT_EQ(units(), "F");
  link::dryer_state().unit_flag.store(1);
  paint();
  EXPECT_EQ(units(), "C");
  log_samples(6);
  paint();
  EXPECT_EQ(moisture_column(), samples_from(3, 10));
  scroll(gui::ScrollCode::LineUp, 2);
  EXPECT_EQ(moisture_column(), samples_from(1, 8));
  clear_short_term_log();
  paint();
  EXPECT_TRUE(moisture_column().empty());
}

// The one-second tick looks at the chart: an unchanged chart is left as it is on the screen,
// and a new sample or another unit is painted by that look alone.
TEST_F(StatusChartTest, TheSecondsLookRepaintsTheChartOnlyWhenWhatItShowsChanged) {
  log_samples(3);
  create_chart();
  platform::Bitmap& screen = gui::framebuffer();
  const Point o = chart_->client_origin();
  const Point at{o.x + 250, o.y + 150};
  constexpr uint32_t kMarker = 0x123456;
  const auto mark = [&] { screen.row(at.y)[at.x] = kMarker; };
  const auto painted = [&] { return screen.row(at.y)[at.x] != kMarker; };
  const auto look = [] {
    refresh_status_chart();
    gui::paint_pending();
    gui::advance_virtual(1);
  };
  mark();
  look();
  EXPECT_FALSE(painted()) << "nothing changed";
  log_samples(1);
  look();
  EXPECT_TRUE(painted()) << "a new sample";
  EXPECT_EQ(moisture_column(), samples_from(1, 4));
  mark();
  look();
  EXPECT_FALSE(painted());
  link::dryer_state().unit_flag.store(1);
  look();
  EXPECT_TRUE(painted()) << "another unit";
  EXPECT_NE(gui::describe_texts(resources::AVERAGE_VALUES_WINDOW).find("\u00B0C\""),
            std::string::npos);
}

}  // namespace
}  // namespace corvex::logging
