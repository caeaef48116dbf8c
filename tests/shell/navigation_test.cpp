// Navigation of the main screen: the status-area rule for the drying mode and the view choice
// (also run from the exchange thread), the button-bar layout for an auto-start run, leaving the
// main screen and coming back, and the full screens closing themselves.
#include <gtest/gtest.h>

#include <thread>

#include "tests/shell/main_screen_fixture.h"

namespace corvex::shell::testing {
namespace {

using Navigation = MainScreenTest;

const std::vector<std::string> kChartView = {
    resources::AVERAGE_VALUES_WINDOW, resources::BUTTON_BAR_WINDOW, resources::CUSTOM_VIEW_WINDOW,
    resources::DRYER_PIC_WINDOW, resources::DRYER_RIGHT_STATUS_BAR_WINDOW};
const std::vector<std::string> kBatchView = {
    resources::BATCH_DRYING_WINDOW, resources::BUTTON_BAR_WINDOW, resources::CUSTOM_VIEW_WINDOW,
    resources::DRYER_PIC_WINDOW, resources::DRYER_RIGHT_STATUS_BAR_WINDOW};
const std::vector<std::string> kGraphView = {
    resources::BUTTON_BAR_WINDOW, resources::DRYER_PIC_WINDOW,
    resources::DRYER_RIGHT_STATUS_BAR_WINDOW, resources::GRAPH_WINDOW};

TEST_F(Navigation, BatchModeShowsThePlenumViewAndBatchTimersWhateverTheView) {
  for (const uint8_t b266 : {uint8_t(0x00), uint8_t(0x40)}) {
    for (const uint8_t mode : {uint8_t(1), uint8_t(2), uint8_t(3)}) {
      set_mirror(266, b266);
      set_mirror(8, mode);
      status_area_rule();
      EXPECT_EQ(visible_screens(), kBatchView) << "byte 266 " << int(b266) << " mode " << int(mode);
      EXPECT_FALSE(screen(resources::DRAW_GRAPH_WINDOW)->is_shown());
    }
  }
  set_mirror(8, 0);
  set_mirror(266, 0);
  status_area_rule();
  EXPECT_EQ(visible_screens(), kChartView);
}

TEST_F(Navigation, ViewChoiceOneShowsTheGraphAndFollowsByte266) {
  set_mirror(266, 0x40 | 0x80);  // bit 7 (SI units) does not matter here
  status_area_rule();
  EXPECT_EQ(logging::display_settings().view_choice, 1);
  EXPECT_EQ(visible_screens(), kGraphView);
  EXPECT_TRUE(visible(resources::DRAW_GRAPH_WINDOW));

  set_mirror(266, 0x80);
  status_area_rule();
  EXPECT_EQ(logging::display_settings().view_choice, 0);
  EXPECT_EQ(visible_screens(), kChartView);
  EXPECT_FALSE(screen(resources::DRAW_GRAPH_WINDOW)->is_shown());
}

// The decoder runs the rule on the exchange thread: the windows change once the GUI thread has
// served the requests, and the batch button rule is handed over as well.
TEST_F(Navigation, StatusAreaRuleFromTheExchangeThread) {
  set_mirror(8, 1);
  std::thread exchange([] { status_area_rule(); });
  exchange.join();
  gui::advance_virtual(10);
  link::service_link_gui_work();
  EXPECT_EQ(visible_screens(), kBatchView);
}

TEST_F(Navigation, BarPositionsFollowTheAutoStartBit) {
  const int bar_ids[] = {kTimersButtonId, kTempsButtonId, kSetupButtonId, kViewButtonId,
                         kMoistureControlButtonId};
  auto xs = [&] {
    std::vector<int> out;
    for (const int id : bar_ids) {
      const Rect r = button(id)->rect();
      EXPECT_EQ(r.top, 427);
      EXPECT_EQ(r.width(), 105);
      EXPECT_EQ(r.height(), 40);
      out.push_back(r.left);
    }
    return out;
  };
  EXPECT_EQ(xs(), (std::vector<int>{20, 144, 268, 392, 516}));
  set_mirror(279, 0x01 | 0x80);
  button_bar_layout();
  EXPECT_EQ(xs(), (std::vector<int>{10, 125, 240, 355, 470}));
  gui::Window* auto_start = button(kAutoStartStatusButtonId);
  EXPECT_TRUE(auto_start->is_visible());
  EXPECT_EQ(auto_start->rect(), Rect::from_xywh(585, 427, 44, 40));
  set_mirror(279, 0x80);
  button_bar_layout();
  EXPECT_EQ(xs(), (std::vector<int>{20, 144, 268, 392, 516}));
  EXPECT_FALSE(auto_start->is_shown());
}

TEST_F(Navigation, LeavingHidesExactlyTheListedWindowsAndReturnBringsThemBack) {
  // Everything leaving hides is shown first, with the graph view up and an auto-start running.
  set_mirror(279, 0x01);
  button_bar_layout();
  for (const char* c : {resources::LINE_GRAPH_WINDOW, resources::UNLOAD_STATUS_WINDOW,
                        resources::BATCH_DRYING_WINDOW, resources::GRAPH_WINDOW,
                        resources::DRAW_GRAPH_WINDOW, resources::WARNING_WINDOW})
    gui::show_class(c, true);
  leave_main_screen(resources::TIMER_SELECT_WINDOW);
  const std::vector<std::string> left = {resources::GRAPH_WINDOW, resources::TIMER_SELECT_WINDOW,
                                         resources::WARNING_WINDOW};
  EXPECT_EQ(visible_screens(), left) << "GRAPH_WINDOW stays as it was";
  EXPECT_FALSE(screen(resources::DRAW_GRAPH_WINDOW)->is_shown());
  for (const auto& child : main->children()) {
    if (gui::window_is_class(child.get(), gui::kButtonClass)) {
      EXPECT_FALSE(child->is_shown()) << child->text();
    }
  }

  gui::show_window(screen(resources::TIMER_SELECT_WINDOW), false);
  gui::show_class(resources::WARNING_WINDOW, false);
  return_to_main_screen();
  EXPECT_EQ(visible_screens(), kChartView);
  EXPECT_TRUE(button(kTimersButtonId)->is_visible());
  EXPECT_TRUE(button(kAutoStartStatusButtonId)->is_visible()) << "auto-start still running";
}

TEST_F(Navigation, ViewSelectionAndAutoStartScreensCloseThemselves) {
  command(kViewButtonId);
  ASSERT_TRUE(visible(resources::VIEW_SELECTION_WINDOW));
  gui::Window* exit = gui::child_by_id(screen(resources::VIEW_SELECTION_WINDOW), 36896);
  ASSERT_NE(exit, nullptr);
  EXPECT_EQ(exit->text(), "EXIT VIEW BUTTON");
  tap(exit);
  EXPECT_FALSE(visible(resources::VIEW_SELECTION_WINDOW));
  EXPECT_EQ(visible_screens(), kChartView) << "VIEW hides nothing";

  // The auto-start configuration is opened with the main-screen-shown flag cleared; its return
  // button brings the main screen back.
  link::dryer_state().main_screen_shown.store(0);
  leave_main_screen(resources::AUTO_START_CONFIG_WINDOW);
  gui::Window* config = screen(resources::AUTO_START_CONFIG_WINDOW);
  ASSERT_TRUE(config->is_visible());
  gui::Window* back = nullptr;
  for (const auto& c : config->children())
    if (c->text() == "SCREEN_EXIT_BUTTON") back = c.get();
  ASSERT_NE(back, nullptr) << "the screen's return button";
  tap(back);
  EXPECT_FALSE(config->is_shown());
  EXPECT_EQ(visible_screens(), kChartView);
  EXPECT_EQ(link::dryer_state().main_screen_shown.load(), 1);
}

}  // namespace
}  // namespace corvex::shell::testing
