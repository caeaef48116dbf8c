// The view selection window: its seven buttons, and what a choice of view shows, hides, stores
// in the registry and writes to the controller in bit 6 of status byte 266.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "link/dryer_state.h"
#include "logging/graph_view.h"
#include "logging/status_chart.h"
#include "logging/view_selection.h"
#include "platform/gui/automation.h"
#include "platform/gui/window.h"
#include "logging/display_settings.h"
#include "shell/plain_windows.h"
#include "resources/window_classes.h"
#include "status/plenum_view.h"
#include "tests/logging/log_test_support.h"

namespace corvex::logging {
namespace {

namespace gui = platform::gui;
using link::PendingWrite;

class ViewSelectionTest : public log_testing::LogDiskTest {
 protected:
  void SetUp() override {
    LogDiskTest::SetUp();
    saved_ = logging::display_settings();
    logging::display_settings() = {};
    gui::init();
    gui::enable_text_recording();
    register_view_selection_class();
    register_status_chart_class();
    register_graph_view_classes();
    status::register_plenum_view_class();
    shell::register_plain_window_classes();
    for (const char* cls :
         {resources::VIEW_SELECTION_WINDOW, resources::AVERAGE_VALUES_WINDOW,
          resources::CUSTOM_VIEW_WINDOW, resources::GRAPH_WINDOW, resources::BATCH_DRYING_WINDOW}) {
      gui::Window* w = gui::create_window({.class_name = cls,
                                           .text = cls,
                                           .style = gui::style::kVisible | gui::style::kBorder,
                                           .rect = platform::Rect::from_xywh(100, 50, 450, 275)});
      ASSERT_NE(w, nullptr) << cls;
    }
    view_ = gui::find_window_by_class(resources::VIEW_SELECTION_WINDOW);
  }
  void TearDown() override {
    gui::reset();
    logging::display_settings() = saved_;
    LogDiskTest::TearDown();
  }
  void click(int id) { gui::send_message(view_, {gui::MessageKind::Command, id, 0}); }
  static bool shown(const char* cls) {
    gui::paint_pending();
    const gui::Window* w = gui::find_window_by_class(cls);
    return w != nullptr && w->is_shown();
  }
  std::string stored_view() const {
    return log_testing::read_file(
        disk / "Registry/HKEY_CURRENT_USER/Software/Tolvane/CorvexDryer/SCREEN_VIEW_SELECTION");
  }

  // Presses the button from a timer, as a touch would come, and answers the message box it
  // opens, keeping what the box said (its texts and caption) in g_box.
  void click_answering_box(int id) {
    g_id = id;
    g_box.clear();
    gui::set_timer(view_, 7, 100, [](gui::Window* w, int t) {
      gui::kill_timer(w, t);
      gui::send_message(w, {gui::MessageKind::Command, g_id, 0});
    });
    gui::set_timer(view_, 8, 300, [](gui::Window* w, int t) {
      gui::kill_timer(w, t);
      gui::paint_pending();
      g_box = gui::describe_texts();
      if (gui::Window* box = gui::active_modal()) {
        g_box += box->text();
        gui::send_message(box, {gui::MessageKind::Close, 0, 0});
      }
    });
    gui::advance_virtual(1000);
  }
  static inline int g_id = 0;
  static inline std::string g_box;

  logging::DisplaySettings saved_;
  gui::Window* view_ = nullptr;
};

TEST_F(ViewSelectionTest, SevenButtonsByNameWithSoftwareInfoHidden) {
  const struct {
    int id;
    const char* name;
    platform::Rect rect;
    bool shown;
  } expected[] = {
      {kChartViewButtonId, "CHART VIEW BUTTON", platform::Rect::from_xywh(10, 10, 200, 50), true},
      {kGraphViewButtonId, "GRAPH VIEW BUTTON", platform::Rect::from_xywh(10, 70, 200, 50), true},
      {kManualsButtonId, "MANUALS BUTTON", platform::Rect::from_xywh(10, 130, 200, 50), true},
      {kHistoryButtonId, "HISTORY BUTTON", platform::Rect::from_xywh(230, 10, 200, 50), true},
      {kSystemInfoButtonId, "SYSTEM_INFO_BUTTON", platform::Rect::from_xywh(230, 70, 200, 50),
       true},
      {kSoftwareInfoButtonId, "SOFTWARE INFO BUTTON", platform::Rect::from_xywh(230, 130, 200, 50),
       false},
      {kExitViewButtonId, "EXIT VIEW BUTTON", platform::Rect::from_xywh(151, 190, 158, 41), true},
  };
  for (const auto& e : expected) {
    gui::Window* b = gui::child_by_id(view_, e.id);
    ASSERT_NE(b, nullptr) << e.name;
    EXPECT_EQ(b->text(), e.name);
    EXPECT_EQ(b->rect(), e.rect) << e.name;
    EXPECT_EQ(b->is_shown(), e.shown) << e.name;
  }
}

TEST_F(ViewSelectionTest, GraphThenChartShowStoreAndWriteBit6KeepingTheUnitBit) {
  link::dryer_state().mirror[266].store(0x80);  // SI units, status chart
  click(kGraphViewButtonId);
  EXPECT_TRUE(shown(resources::GRAPH_WINDOW));
  EXPECT_TRUE(shown(resources::DRAW_GRAPH_WINDOW));
  EXPECT_FALSE(shown(resources::AVERAGE_VALUES_WINDOW));
  EXPECT_FALSE(shown(resources::CUSTOM_VIEW_WINDOW));
  EXPECT_FALSE(shown(resources::BATCH_DRYING_WINDOW));
  EXPECT_FALSE(shown(resources::VIEW_SELECTION_WINDOW));
  EXPECT_EQ(logging::display_settings().view_choice, 1);
  EXPECT_EQ(stored_view(), std::string(1, '\x01'));
  EXPECT_TRUE(link::write_raised(PendingWrite::k266));
  EXPECT_EQ(link::dryer_state().desired[266].load(), 0xC0);

  // The controller takes it; the chart goes back the same way.
  link::dryer_state().mirror[266].store(0xC0);
  link::lower_write(PendingWrite::k266);
  gui::show_window(view_, true);
  click(kChartViewButtonId);
  EXPECT_FALSE(shown(resources::GRAPH_WINDOW));
  EXPECT_TRUE(shown(resources::AVERAGE_VALUES_WINDOW));
  EXPECT_TRUE(shown(resources::CUSTOM_VIEW_WINDOW));
  EXPECT_EQ(stored_view(), std::string(1, '\x00'));
  EXPECT_EQ(link::dryer_state().desired[266].load(), 0x80);
  EXPECT_TRUE(link::write_raised(PendingWrite::k266));
}

TEST_F(ViewSelectionTest, ChoiceNeverRepeatsASaveOrRestoreCommandButKeepsAWaitingOne) {
  // The controller still reports the one-shot bits: a view choice must not send them again.
  link::dryer_state().mirror[266].store(0x02);
  click(kGraphViewButtonId);
  EXPECT_EQ(link::dryer_state().desired[266].load(), 0x40);
  // A units change waiting to go out goes out with the view choice.
  link::dryer_state().mirror[266].store(0x00);
  link::raise_write(PendingWrite::k266, {{266, 0x80}});
  gui::show_window(view_, true);
  click(kGraphViewButtonId);
  EXPECT_EQ(link::dryer_state().desired[266].load(), 0xC0);
  // The same view as the controller reports raises nothing.
  link::lower_write(PendingWrite::k266);
  link::dryer_state().mirror[266].store(0x40);
  click(kGraphViewButtonId);
  EXPECT_FALSE(link::write_raised(PendingWrite::k266));
}

TEST_F(ViewSelectionTest, BatchDryingRefusesBothViewsNamingThem) {
  link::dryer_state().mirror[8].store(1);
  logging::display_settings().view_choice = 0;
  click_answering_box(kGraphViewButtonId);
  EXPECT_NE(g_box.find(kGraphRefusedText), std::string::npos) << g_box;
  EXPECT_NE(g_box.find(kRefusedCaption), std::string::npos) << g_box;
  click_answering_box(kChartViewButtonId);
  EXPECT_NE(g_box.find(kChartRefusedText), std::string::npos) << g_box;
  // Nothing changed: no view, no registry value, no write, the window still up.
  EXPECT_EQ(logging::display_settings().view_choice, 0);
  EXPECT_FALSE(std::filesystem::exists(
      disk / "Registry/HKEY_CURRENT_USER/Software/Tolvane/CorvexDryer/SCREEN_VIEW_SELECTION"));
  EXPECT_FALSE(link::write_raised(PendingWrite::k266));
  EXPECT_TRUE(view_->is_shown());
  EXPECT_TRUE(shown(resources::BATCH_DRYING_WINDOW));
}

TEST_F(ViewSelectionTest, HistoryAndSystemInformationOpenTheirDialogsAndExitHides) {
  click_answering_box(kHistoryButtonId);
  EXPECT_FALSE(view_->is_shown());
  EXPECT_NE(g_box.find("Shutdown History"), std::string::npos) << g_box;
  click_answering_box(kSystemInfoButtonId);
  EXPECT_NE(g_box.find("SYSTEM INFORMATION"), std::string::npos) << g_box;
  gui::show_window(view_, true);
  click(kExitViewButtonId);
  EXPECT_FALSE(view_->is_shown());
}

}  // namespace
}  // namespace corvex::logging
