// The graph view: the axis algorithm with its widening step, and the drawing window painted
// from graph logs that the data-logs code wrote in virtual time, checked on the pixels of the
// traces and the text runs of the labels; trace buttons, scrolling past both ends, the scroll
// label and the time labels.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "logging/graph_log.h"
#include "logging/graph_view.h"
#include "logging/log_tick.h"
#include "platform/gui/automation.h"
#include "platform/gui/controls.h"
#include "platform/gui/window.h"
#include "logging/display_settings.h"
#include "resources/window_classes.h"
#include "tests/logging/log_test_support.h"
#include "tests/texts/text_test_support.h"
#include "texts/texts.h"

namespace corvex::logging {
namespace {

namespace gui = platform::gui;
using platform::Color;
using platform::Point;
using platform::rgb;

std::vector<Point> values(std::initializer_list<int> ys) {
  std::vector<Point> p;
  for (int y : ys) p.push_back({int(p.size()), y});
  return p;
}

TEST(GraphAxis, StepsFromTheSpreadOfTheValues) {
  // A flat moisture of 50.0 %: r = 3, step 1.
  EXPECT_EQ(graph_axis(std::vector<Point>(360, {0, 500})).value,
            (std::array<int, 5>{500, 501, 502, 503, 504}));
  // 0..250: r = 253, step 100, and 0 + 400 >= 250 keeps it.
  EXPECT_EQ(graph_axis(values({0, 120, 250})).value, (std::array<int, 5>{0, 100, 200, 300, 400}));
  EXPECT_EQ(graph_axis(values({0, 230})).step(), 100);
  // 10..170: r = 163, step 50 from 0.
  EXPECT_EQ(graph_axis(values({10, 170})).value, (std::array<int, 5>{0, 50, 100, 150, 200}));
  // All zero (no data): labels from 0 upward.
  EXPECT_EQ(graph_axis(std::vector<Point>(360)).value, (std::array<int, 5>{0, 1, 2, 3, 4}));
}

TEST(GraphAxis, WideningReachesTheLargestValue) {
  // 4..21: r = 20, step 5 from 0 gives 20 < 21; the widened step must cover 21.
  const GraphAxis a = graph_axis(values({4, 21}));
  EXPECT_EQ(a.value[0], 0);
  EXPECT_GE(a.value[4], 21);
  // 1..17: step 5 from 0 reaches 20 >= 17, unchanged.
  EXPECT_EQ(graph_axis(values({1, 17})).step(), 5);
  // Every value of many spreads lies between axis 0 and axis 4, so no trace leaves the window.
  for (int lo = 0; lo < 300; lo += 7) {
    for (int hi = lo; hi < lo + 700; hi += 13) {
      const GraphAxis g = graph_axis(values({lo, hi}));
      ASSERT_LE(g.value[0], lo) << lo << ".." << hi;
      ASSERT_GE(g.value[4], hi) << lo << ".." << hi;
      ASSERT_GE(plotted_height(hi, g), 0);
      ASSERT_LE(plotted_height(hi, g), 180);
    }
  }
}

TEST(GraphAxis, PlottedHeightTruncates) {
  const GraphAxis a = graph_axis(values({0, 250}));  // 0..400
  EXPECT_EQ(plotted_height(0, a), 0);
  EXPECT_EQ(plotted_height(400, a), 180);
  EXPECT_EQ(plotted_height(250, a), 112);  // 112.5
  EXPECT_EQ(plotted_height(1, a), 0);      // 0.45
}

TEST(GraphTimeLabel, TwelveHourClock) {
  DryerSampleRecord r{};
  const auto at = [&](int hour, int minute, WithDate d) {
    r[13] = uint8_t(hour);
    r[14] = uint8_t(minute);
    r[16] = 3;
    r[17] = 3;
    return graph_time_label(r.data(), d);
  };
  EXPECT_EQ(at(0, 7, WithDate::No), "12:07AM");
  EXPECT_EQ(at(11, 59, WithDate::No), "11:59AM");
  EXPECT_EQ(at(12, 0, WithDate::No), "12:00PM");
  EXPECT_EQ(at(23, 5, WithDate::Yes), "11:05PM 3/03");
}

// ---- The painted graph ----

constexpr Color kMoistInTrace = rgb(0, 255, 0);
constexpr Color kDryerTempTrace = rgb(255, 255, 0);
constexpr Color kRollTrace = rgb(255, 0, 0);
constexpr Color kMoistOutTrace = rgb(0, 255, 255);

struct TextRun {
  int x, y;
  std::string text;
};

class GraphViewTest : public log_testing::LogDiskTest {
 protected:
  void SetUp() override {
    LogDiskTest::SetUp();
    saved_ = logging::display_settings();
    logging::display_settings() = {};
    std::vector<std::u16string> lines = texts::testing::numbered_lines(600, u"S");
    lines[453 - 1] = u"GRAPH SETUP";
    lines[460 - 1] = u"HR";
    log_testing::write_file(disk / "CorvexLangConfig.txt", "English");
    const std::vector<uint8_t> bytes = texts::testing::utf16le(texts::testing::crlf_lines(lines));
    log_testing::write_file(disk / "Languages/EN/EnglishStrings.txt",
                            std::string(bytes.begin(), bytes.end()));
    texts::reset_texts();
    reset_graph_view();
    gui::init();
    gui::enable_text_recording();
    register_graph_view_classes();
    // The grain-column sensor A (status bytes 93/94) is the dryer grain temperature.
    set_mirror(184, 0);
  }
  void TearDown() override {
    gui::reset();
    logging::display_settings() = saved_;
    texts::reset_texts();
    reset_graph_view();
    LogDiskTest::TearDown();
  }

  void create_graph() {
    graph_ = gui::create_window({.class_name = resources::GRAPH_WINDOW,
                                 .text = " GRAPH OF SELECTED DRYER VARIABLES",
                                 .style = gui::style::kVisible | gui::style::kBorder,
                                 .rect = platform::Rect::from_xywh(240, 40, 400, 380)});
    ASSERT_NE(graph_, nullptr);
    drawing_ = gui::find_window_by_class(resources::DRAW_GRAPH_WINDOW);
    ASSERT_NE(drawing_, nullptr);
    bar_ = gui::child_by_id(graph_, kGraphScrollBarId);
    ASSERT_NE(bar_, nullptr);
    paint();
  }
  void paint() {
    gui::invalidate(graph_);
    gui::invalidate(drawing_);
    gui::paint_pending();
    gui::advance_virtual(1);  // what the paint posted
  }

  // Writes `count` graph records through the data logs, one every 10 s of virtual time, with
  // the status bytes `set(i)` leaves for record i.
  void log_records(int count, const std::function<void(int)>& set) {
    for (int i = 0; i < count; ++i) {
      set(i);
      DryerSampleRecord r{};
      fill_sample_record(r, platform::clock::local_now());
      ASSERT_TRUE(append_graph_record(r));
      platform::clock::advance_ms(10'000);
    }
  }
  static void set_moisture_in(int tenths) {
    set_mirror(191, uint8_t(tenths >> 8));
    set_mirror(192, uint8_t(tenths & 0xFF));
  }
  static void set_dryer_grain_temp(int degrees) {
    set_mirror(93, uint8_t(degrees & 0xFF));
    set_mirror(94, uint8_t(degrees >> 8));
  }
  static void trace(int bit, bool on) {
    logging::display_settings().trace_on[size_t(bit)] = on ? 1 : 0;
  }

  Color at(int x, int y) const {
    const Point o = drawing_->client_origin();
    return gui::framebuffer().pixel(o.x + x, o.y + y);
  }
  // Rows of the drawing window holding pixels of colour c, with the count per row.
  std::map<int, int> rows_of(Color c, int x0 = 0, int x1 = 380) const {
    std::map<int, int> rows;
    for (int y = 0; y < 220; ++y)
      for (int x = x0; x < x1; ++x)
        if (at(x, y) == c) ++rows[y];
    return rows;
  }
  // The text runs of the drawing window, in its client coordinates.
  std::vector<TextRun> runs() const {
    std::vector<TextRun> out;
    std::istringstream in(gui::describe_texts(resources::DRAW_GRAPH_WINDOW));
    std::string line;
    const Point o = drawing_->client_origin();
    while (std::getline(in, line)) {
      std::istringstream l(line);
      std::string cls;
      TextRun r;
      l >> cls >> r.x >> r.y;
      const size_t q = line.find('"');
      r.text = line.substr(q + 1, line.rfind('"') - q - 1);
      r.x -= o.x;
      r.y -= o.y;
      out.push_back(r);
    }
    return out;
  }
  std::vector<std::string> texts_in(int x0, int x1, int y0, int y1) const {
    std::vector<std::string> t;
    for (const TextRun& r : runs())
      if (r.x >= x0 && r.x < x1 && r.y >= y0 && r.y < y1) t.push_back(r.text);
    return t;
  }
  bool has_text(const std::string& s) const {
    for (const TextRun& r : runs())
      if (r.text == s) return true;
    return false;
  }
  void scroll(gui::ScrollCode code, int times) {
    for (int i = 0; i < times; ++i)
      gui::send_message(graph_, {gui::MessageKind::HScroll, intptr_t(code), intptr_t(bar_)});
    gui::paint_pending();
    gui::advance_virtual(1);
  }

  logging::DisplaySettings saved_;
  gui::Window* graph_ = nullptr;
  gui::Window* drawing_ = nullptr;
  gui::Window* bar_ = nullptr;
};

TEST_F(GraphViewTest, FlatMoistureLiesOnOneLineWithLabels50To504) {
  log_records(360, [](int) { set_moisture_in(500); });
  trace(0, true);
  create_graph();
  // Axis 0 in the bottom row, axis 4 in the top row, in the first label column.
  EXPECT_EQ(texts_in(6, 39, 168, 190), std::vector<std::string>{"50.0%"});
  EXPECT_EQ(texts_in(6, 39, 140, 162), std::vector<std::string>{"50.1%"});
  EXPECT_EQ(texts_in(6, 39, 3, 20), std::vector<std::string>{"50.4%"});
  // The trace is one row of 360 pixels on y = 184, just above the base line; the grid rows of
  // the same green hold dots only.
  const auto rows = rows_of(kMoistInTrace);
  ASSERT_TRUE(rows.count(184));
  EXPECT_EQ(rows.at(184), 360);
  for (const auto& [y, n] : rows) {
    if (y != 184) {
      EXPECT_TRUE(y == 47 || y == 95 || y == 142) << "green on row " << y;
    }
  }
  // The base line and the frame are where they belong.
  EXPECT_EQ(at(200, 185), rgb(0, 200, 0));
  EXPECT_EQ(at(2, 100), rgb(100, 100, 100));
  EXPECT_EQ(at(367, 100), rgb(100, 100, 100));
  EXPECT_EQ(at(250, 192), rgb(100, 100, 100));
}

TEST_F(GraphViewTest, TracesScaleToTheirAxesAndLabelsStayInTheirColumns) {
  // Dryer grain temperature 0..250 (labels 0F..400F); metering rolls 10..170 (0%..200%).
  log_records(360, [](int i) {
    set_dryer_grain_temp(i < 180 ? 0 : 250);
    set_mirror(245, uint8_t(i < 180 ? 10 : 170));
  });
  trace(4, true);
  trace(5, true);
  create_graph();
  // The right-hand labels are right-aligned to their columns (ending at 337 and 365).
  EXPECT_EQ(texts_in(280, 366, 168, 190), (std::vector<std::string>{"0F", "0%"}));
  EXPECT_EQ(texts_in(280, 366, 93, 115), (std::vector<std::string>{"200F", "100%"}));
  EXPECT_EQ(texts_in(280, 366, 3, 20), (std::vector<std::string>{"400F", "200%"}));
  // 250 of 400 is 112 pixels up; 170 of 200 is 153; 10 of 200 is 9.
  EXPECT_GT(rows_of(kDryerTempTrace, 190, 360)[184 - 112], 100);
  EXPECT_GT(rows_of(kRollTrace, 190, 360)[184 - 153], 100);
  EXPECT_GT(rows_of(kRollTrace, 10, 180)[184 - 9], 100);
  // Nothing of a trace outside the plot area between the frames.
  for (const Color c : {kDryerTempTrace, kRollTrace}) {
    for (const auto& [y, n] : rows_of(c, 0, 5))
      ADD_FAILURE() << "trace on the left frame, row " << y;
    for (const auto& [y, n] : rows_of(c, 365, 380))
      ADD_FAILURE() << "trace on the right frame, row " << y;
  }
}

TEST_F(GraphViewTest, AllTracesOffLeaveGridFrameBaseLineAndTimeLabels) {
  log_records(360, [](int i) {
    set_moisture_in(100 + i);
    set_dryer_grain_temp(i);
  });
  create_graph();
  for (const Color c :
       {kDryerTempTrace, kRollTrace, kMoistOutTrace, rgb(255, 128, 64), rgb(255, 0, 255)})
    EXPECT_TRUE(rows_of(c).empty());
  for (const auto& [y, n] : rows_of(kMoistInTrace))
    EXPECT_TRUE(y == 47 || y == 95 || y == 142) << y;
  EXPECT_EQ(at(7, 47), kMoistInTrace);  // a grid dot at x = 1 + 3k
  EXPECT_EQ(at(200, 185), rgb(0, 200, 0));
  // Only the three time labels and the scroll label are drawn.
  std::vector<std::string> texts;
  for (const TextRun& r : runs()) texts.push_back(r.text);
  EXPECT_EQ(texts.size(), 4u) << ::testing::PrintToString(texts);
  EXPECT_TRUE(has_text("[-0 HR]"));
}

TEST_F(GraphViewTest, TimeLabelsFromTheFirstMiddleAndLastRecord) {
  set_time(2026, 3, 3, 0, 7, 0);
  log_records(360, [](int) {});
  create_graph();
  EXPECT_EQ(texts_in(0, 100, 190, 220), (std::vector<std::string>{"12:07AM", "[-0 HR]"}));
  EXPECT_TRUE(has_text("12:37AM 3/03"));  // record 180, 30 minutes on
  EXPECT_TRUE(has_text("1:06AM"));        // record 359
}

TEST_F(GraphViewTest, LessThanAnHourFromTheTickShowsEndAndDoesNotScroll) {
  set_mirror(172, 0x01);  // logging condition
  set_time(2026, 3, 14, 13, 0, 0);
  for (int i = 0; i < 600; ++i) {  // ten minutes of ticks
    data_log_tick(nullptr);
    platform::clock::advance_ms(1000);
  }
  ASSERT_EQ(graph_available_hours(), 0);
  create_graph();
  EXPECT_TRUE(has_text("[END]"));
  // The window holds 360 records, of which only the last 59 were written: the first label is
  // of a zero record, the last of the newest.
  EXPECT_EQ(texts_in(0, 60, 190, 220), std::vector<std::string>{"12:00AM"});
  EXPECT_TRUE(has_text("1:09PM"));
  scroll(gui::ScrollCode::LineLeft, 3);
  EXPECT_EQ(graph_scroll_position(), 0);
  EXPECT_TRUE(has_text("[END]"));
  EXPECT_EQ(gui::scroll_bar_info(bar_), (gui::ScrollInfo{0, 0, 1, 0}));
}

TEST_F(GraphViewTest, ScrollingStopsAtBothEndsWithTheNewestAtTheRight) {
  log_records(3 * 360, [](int i) { set_moisture_in(i / 360 * 100 + 50); });
  trace(0, true);
  create_graph();
  EXPECT_EQ(gui::scroll_bar_info(bar_), (gui::ScrollInfo{0, 3, 1, 3}));
  EXPECT_EQ(texts_in(6, 39, 168, 190),
            std::vector<std::string>{"25.0%"});  // 250 of the newest hour
  scroll(gui::ScrollCode::PageLeft, 5);
  EXPECT_EQ(graph_scroll_position(), 2);  // three hours less the one-hour window
  EXPECT_TRUE(has_text("[-2 HR]"));
  EXPECT_EQ(texts_in(6, 39, 168, 190), std::vector<std::string>{"5.0%"});
  EXPECT_EQ(gui::scroll_bar_position(bar_), 1);
  scroll(gui::ScrollCode::LineRight, 5);
  EXPECT_EQ(graph_scroll_position(), 0);
  EXPECT_TRUE(has_text("[-0 HR]"));
  EXPECT_EQ(gui::scroll_bar_position(bar_), 3);
  // A two-hour window leaves one hour of scrolling.
  logging::display_settings().graph_scale_index = 1;
  scroll(gui::ScrollCode::LineLeft, 4);
  EXPECT_EQ(graph_scroll_position(), 1);
}

TEST_F(GraphViewTest, TraceButtonsToggleAndPersistTheirFlags) {
  log_records(360, [](int) { set_moisture_in(500); });
  create_graph();
  EXPECT_TRUE(rows_of(kMoistInTrace, 5, 365).count(184) == 0);
  gui::Window* button = gui::child_by_id(graph_, kGraphMoistInButtonId);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->text(), "GRAPH_MOIST_IN_BUTTON");
  gui::send_message(graph_, {gui::MessageKind::Command, kGraphMoistInButtonId, 0});
  gui::paint_pending();
  EXPECT_EQ(rows_of(kMoistInTrace, 5, 365)[184], 360);
  gui::send_message(graph_, {gui::MessageKind::Command, kGraphRollSpeedButtonId, 0});
  const std::string stored = log_testing::read_file(
      disk / "Registry/HKEY_CURRENT_USER/Software/Tolvane/CorvexDryer/GRAPH_TRACES_ON_OFF");
  EXPECT_EQ(stored, std::string(1, char(0x21)));
  // A flag that is neither 0 nor 1 counts as off and turns on.
  logging::display_settings().trace_on[0] = 7;
  gui::send_message(graph_, {gui::MessageKind::Command, kGraphMoistInButtonId, 0});
  EXPECT_EQ(logging::display_settings().trace_on[0], 1);
}

}  // namespace
}  // namespace corvex::logging
