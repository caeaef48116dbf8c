// Layout and state details of the windows beside the logs: the status chart's headings and
// sample-time button in the shipped languages (nothing cut, nothing touching the grid), the
// system information lines in their own font, and the history's clear gesture starting over
// at 10 when it opens the clear question.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "logging/display_settings.h"
#include "logging/settings_dialogs.h"
#include "logging/short_term_log.h"
#include "logging/shutdown_history.h"
#include "logging/shutdown_history_window.h"
#include "logging/status_chart.h"
#include "logging/system_info_dialog.h"
#include "logging/tick_duties.h"
#include "platform/gfx/canvas.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "platform/gui/window.h"
#include "resources/history_dialogs.h"
#include "resources/window_classes.h"
#include "tests/logging/log_test_support.h"
#include "texts/texts.h"

namespace corvex::logging {
namespace {

namespace fs = std::filesystem;
namespace gui = platform::gui;
namespace res = resources;
using platform::Color;
using platform::Rect;

constexpr Color kWhite = platform::colors::kWhite;
constexpr Color kFace = platform::colors::kFace;

// The shipped language data the build made, copied onto the test's disk so that switching
// the language writes its choice there and nowhere else.
class ShippedTextsTest : public log_testing::LogDiskTest {
 protected:
  void SetUp() override {
    LogDiskTest::SetUp();
    fs::copy(fs::path(CORVEX_BUILD_DIR) / "data" / "Languages", disk / "Languages",
             fs::copy_options::recursive);
    texts::reset_texts();
    gui::init();
  }
  void TearDown() override {
    gui::reset();
    texts::reset_texts();
    LogDiskTest::TearDown();
  }
  // Pixels of the framebuffer in screen coordinates.
  static Color at(int x, int y) { return gui::framebuffer().pixel(x, y); }
};

class StatusChartLayoutTest : public ShippedTextsTest {
 protected:
  void SetUp() override {
    ShippedTextsTest::SetUp();
    saved_ = display_settings();
    display_settings() = {};
    reset_status_chart();
    register_status_chart_class();
  }
  void TearDown() override {
    display_settings() = saved_;
    reset_status_chart();
    ShippedTextsTest::TearDown();
  }
  DisplaySettings saved_;
};

// Indexes of the language table: English, Bulgarian, Hungarian, Portuguese, Romanian, Russian.
constexpr int kLanguages[] = {0, 1, 7, 9, 10, 11};

TEST_F(StatusChartLayoutTest, HeadingsKeepClearOfTheGridAndTheButtonTextIsWhole) {
  for (const int language : kLanguages) {
    for (const uint32_t minutes : {10u, 120u}) {
      SCOPED_TRACE("language " + std::to_string(language) + ", " + std::to_string(minutes) +
                   " min");
      texts::set_language(language);
      display_settings().sample_time_minutes = minutes;
      gui::reset();
      gui::init();
      register_status_chart_class();
      gui::Window* chart = gui::create_window(
          {.class_name = res::AVERAGE_VALUES_WINDOW,
           .text = " DRYER STATUS CHART",
           .style = gui::style::kVisible | gui::style::kBorder | gui::style::kCaption,
           .rect = Rect::from_xywh(240, 40, 400, 205)});
      ASSERT_NE(chart, nullptr);
      gui::invalidate(chart);
      gui::paint_pending();
      const platform::Point o = chart->client_origin();
      // Beside each grid line, over both heading rows, only the chart's white.
      for (const int x : {100, 150, 200, 250, 300}) {
        for (int y = 0; y < 33; ++y) {
          if (x == 100 && y < 32) continue;  // the sample-time button covers the left end
          EXPECT_EQ(at(o.x + x - 1, o.y + y), kWhite) << "left of x = " << x << ", y = " << y;
          EXPECT_EQ(at(o.x + x + 1, o.y + y), kWhite) << "right of x = " << x << ", y = " << y;
        }
      }
      // Right of the metering-roll speed column up to the short line at 361: blank.
      for (int y = 0; y < 33; ++y) EXPECT_EQ(at(o.x + 351, o.y + y), kWhite) << "y = " << y;
      // The button's text keeps inside its edge: the rows just inside it are the face colour.
      gui::Window* button = gui::child_by_id(chart, kSampleTimeButtonId);
      ASSERT_NE(button, nullptr);
      const Rect b = button->screen_rect();
      for (int x = b.left + 2; x < b.right - 2; ++x) {
        EXPECT_EQ(at(x, b.top + 2), kFace) << "top, x = " << x - b.left;
        EXPECT_EQ(at(x, b.bottom - 3), kFace) << "bottom, x = " << x - b.left;
      }
      for (int y = b.top + 2; y < b.bottom - 2; ++y) {
        EXPECT_EQ(at(b.left + 2, y), kFace) << "left, y = " << y - b.top;
        EXPECT_EQ(at(b.right - 3, y), kFace) << "right, y = " << y - b.top;
      }
      gui::destroy_window(chart);
      if (HasFailure()) return;  // one language's report is enough
    }
  }
}

class SystemInfoTest : public ShippedTextsTest {};

TEST_F(SystemInfoTest, LinesAreWrittenFourteenPixelsHighWeight500) {
  texts::set_language(0);
  res::register_history_dialog_templates();
  gui::Window* info = gui::create_dialog(res::kSystemInfoDialog, nullptr, &system_info_procedure);
  ASSERT_NE(info, nullptr);
  gui::invalidate(info);
  gui::paint_pending();
  for (const int id : {res::kSystemInfoVersion, res::kSystemInfoTotal}) {
    gui::Window* line = gui::dialog_item(info, id);
    ASSERT_NE(line, nullptr);
    ASSERT_FALSE(line->text().empty());
    // The same text drawn apart in the window's font, on the face colour.
    const Rect r = line->screen_rect();
    platform::Bitmap expected(r.width(), r.height(), kFace);
    platform::Canvas c(expected);
    c.draw_text(line->text(), Rect::from_xywh(0, 0, r.width(), r.height()), {14, 500},
                platform::colors::kBlack,
                platform::text_format::kWordBreak | platform::text_format::kExpandTabs);
    int differing = 0;
    for (int y = 0; y < r.height(); ++y) {
      for (int x = 0; x < r.width(); ++x)
        differing += at(r.left + x, r.top + y) != expected.pixel(x, y);
    }
    EXPECT_EQ(differing, 0) << "line " << id << " \"" << line->text() << "\"";
  }
  EXPECT_EQ(gui::dialog_item(info, res::kSystemInfoVersion)
                ->text()
                .substr(gui::dialog_item(info, res::kSystemInfoVersion)->text().size() - 6),
            ": 2.12");
  gui::destroy_window(info);
}

class ClearGestureTest : public log_testing::LogDiskTest {
 protected:
  void SetUp() override {
    LogDiskTest::SetUp();
    gui::init();
    res::register_history_dialog_templates();
    reset_tick_duties();
    ASSERT_TRUE(prepare_shutdown_history());
    g_seen = -1;
  }
  void TearDown() override {
    gui::reset();
    set_shutdown_history_window(nullptr);
    LogDiskTest::TearDown();
  }
  static inline int64_t g_seen = -1;
};

TEST_F(ClearGestureTest, CountdownStartsAtFiveAndAtTenWhenTheClearQuestionOpens) {
  EXPECT_EQ(shutdown_history_hold_countdown(), 5u);
  gui::Window* history =
      gui::create_dialog(res::kShutdownHistoryDialog, nullptr, &shutdown_history_procedure);
  ASSERT_NE(history, nullptr);
  EXPECT_EQ(shutdown_history_hold_countdown(), 5u);
  const Rect exit = gui::dialog_item(history, res::kHistoryExit)->screen_rect();
  gui::inject_pointer_down({exit.left + exit.width() / 2, exit.top + exit.height() / 2});
  for (int i = 0; i < 5; ++i) step_shutdown_history_hold();
  ASSERT_EQ(shutdown_history_hold_countdown(), 0u);
  // In the clear question: note the countdown, then close the question.
  gui::set_timer(history, 8, 300, [](gui::Window* w, int t) {
    gui::kill_timer(w, t);
    if (gui::Window* box = gui::active_modal()) {
      g_seen = shutdown_history_hold_countdown();
      gui::send_message(box, {gui::MessageKind::Close, 0, 0});
    }
  });
  gui::set_timer(history, 7, 100, [](gui::Window* w, int t) {
    gui::kill_timer(w, t);
    gui::inject_pointer_up();
  });
  gui::advance_virtual(1000);
  EXPECT_EQ(g_seen, 10);
  EXPECT_TRUE(gui::is_window(history));
  step_shutdown_history_hold();  // EXIT no longer held
  EXPECT_EQ(shutdown_history_hold_countdown(), 5u);
  gui::send_message(history, {gui::MessageKind::Command, res::kHistoryExit, 0});
  EXPECT_FALSE(gui::is_window(history)) << "the next plain press closes";
}

}  // namespace
}  // namespace corvex::logging
