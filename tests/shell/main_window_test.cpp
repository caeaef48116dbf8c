// The main window with its real screen windows: what the main screen shows at start, which
// window lies over which, the bar buttons' commands and images, the moisture-control and
// metering-roll rules with the dialogs they open, the defaults notice and the one-second tick.
#include <gtest/gtest.h>

#include "logging/moisture_setpoint.h"
#include "platform/gui/message_box.h"
#include "status/status_picture.h"
#include "tests/shell/main_screen_fixture.h"

namespace corvex::shell::testing {
namespace {

using link::PendingWrite;
using MainWindow = MainScreenTest;

TEST_F(MainWindow, StartsOnTheMainScreen) {
  const std::vector<std::string> expected = {
      resources::AVERAGE_VALUES_WINDOW, resources::BUTTON_BAR_WINDOW, resources::CUSTOM_VIEW_WINDOW,
      resources::DRYER_PIC_WINDOW, resources::DRYER_RIGHT_STATUS_BAR_WINDOW};
  EXPECT_EQ(visible_screens(), expected);
  std::string screens;
  int count = 0;
  for (const auto& child : main->children()) {
    if (gui::window_is_class(child.get(), gui::kButtonClass)) continue;
    screens += child->class_name() + " ";
    ++count;
  }
  EXPECT_EQ(count, 18) << "DRAW_GRAPH_WINDOW lives inside GRAPH_WINDOW, not beside it: " << screens;
  ASSERT_NE(screen(resources::DRAW_GRAPH_WINDOW), nullptr);
  EXPECT_EQ(screen(resources::DRAW_GRAPH_WINDOW)->parent(), screen(resources::GRAPH_WINDOW));
  for (const char* full :
       {resources::TIMER_SELECT_WINDOW, resources::TEMP_SELECT_WINDOW,
        resources::SETUP_SELECTION_WINDOW, resources::EXTENDED_SETUP_SELECTION_WINDOW_NEW,
        resources::AUTO_START_CONFIG_WINDOW}) {
    ASSERT_NE(screen(full), nullptr) << full;
    EXPECT_TRUE(screen(full)->is_topmost()) << full;
    EXPECT_EQ(screen(full)->rect(), Rect::from_xywh(0, 0, 640, 475)) << full;
  }
  EXPECT_FALSE(screen(resources::BOOT_LOADER_WINDOW)->is_topmost());
  EXPECT_FALSE(button(kAutoStartStatusButtonId)->is_shown());
  EXPECT_EQ(button(kAutoStartStatusButtonId)->text(), "AUTO_START_STATUS");
}

// The first window of the table lies on top: the warning and view selection windows come over
// the main screen's windows, the bar buttons over the button bar.
TEST_F(MainWindow, EarlierWindowsLieOverLaterOnes) {
  gui::show_class(resources::WARNING_WINDOW, true);
  EXPECT_TRUE(belongs_to(gui::window_at({30, 60}), screen(resources::WARNING_WINDOW)))
      << "the warning window is under the status picture";
  command(kViewButtonId);
  EXPECT_TRUE(visible(resources::VIEW_SELECTION_WINDOW));
  EXPECT_TRUE(belongs_to(gui::window_at({120, 80}), screen(resources::VIEW_SELECTION_WINDOW)));
  for (const int id : {kTimersButtonId, kMoistureControlButtonId}) {
    const Rect r = button(id)->screen_rect();
    EXPECT_EQ(gui::window_at({r.left + 5, r.top + 5}), button(id));
  }
}

TEST_F(MainWindow, BarButtonsLeaveForTheirScreens) {
  command(kTimersButtonId);
  EXPECT_TRUE(visible(resources::TIMER_SELECT_WINDOW));
  EXPECT_FALSE(visible(resources::DRYER_PIC_WINDOW));
  EXPECT_EQ(texts::help_state().topic.load(), 0u);
  return_to_main_screen();
  gui::show_window(screen(resources::TIMER_SELECT_WINDOW), false);

  command(kTempsButtonId);
  EXPECT_TRUE(visible(resources::TEMP_SELECT_WINDOW));
  EXPECT_EQ(texts::help_state().topic.load(), 17u);
  EXPECT_EQ(texts::help_state().available.load(), 1);
  gui::show_window(screen(resources::TEMP_SELECT_WINDOW), false);
  return_to_main_screen();

  gui::show_class(resources::WARNING_WINDOW, true);
  command(kSetupButtonId);
  EXPECT_TRUE(visible(resources::SETUP_SELECTION_WINDOW));
  EXPECT_FALSE(visible(resources::WARNING_WINDOW));
  EXPECT_EQ(link::dryer_state().main_screen_shown.load(), 0);
}

// MISC draws its picture 1:1, and a washed-out grey copy of it while the staged batch picture
// is up.
TEST_F(MainWindow, MiscButtonTurnsGreyWhileTheBatchPictureIsUp) {
  const auto image = texts::load_localized_bitmap(5);
  ASSERT_TRUE(image.has_value());
  const Rect r = button(kMoistureControlButtonId)->screen_rect();
  auto compare = [&](int* same, int* grey) {
    *same = *grey = 0;
    for (int y = 1; y < 40; y += 3) {
      for (int x = 1; x < 105; x += 3) {
        const Color c = gui::framebuffer().pixel(r.left + x, r.top + y);
        *same += c == image->pixel(x, y);
        *grey += platform::red_of(c) == platform::green_of(c) &&
                 platform::green_of(c) == platform::blue_of(c) && platform::red_of(c) >= 128;
      }
    }
  };
  constexpr int kLooked = 13 * 35;
  int same = 0, grey = 0;
  compare(&same, &grey);
  EXPECT_EQ(same, kLooked);

  // The decoder sets the flag on a drying-mode change without asking for a repaint of the
  // button: the 175 ms tick notices.
  link::dryer_state().batch_picture.store(1);
  link_pacing_tick(main, kLinkPacingTimerId);
  gui::paint_pending();
  compare(&same, &grey);
  EXPECT_EQ(grey, kLooked);
  EXPECT_LT(same, kLooked / 2);

  link::dryer_state().batch_picture.store(0);
  gui::invalidate(button(kMoistureControlButtonId), gui::Erase::No);
  gui::paint_pending();
  compare(&same, &grey);
  EXPECT_EQ(same, kLooked);
}

TEST_F(MainWindow, DefaultsNoticeExitSetsTheFlagAndCloseDoesNot) {
  intptr_t result = 0;
  run_with_modals([&] { result = open_defaults_notice(); });
  ASSERT_EQ(modal_watch().seen.size(), 1u);
  EXPECT_EQ(modal_watch().seen[0].kind, "defaults notice");
  EXPECT_EQ(modal_watch().seen[0].caption, "Please turn off DEFAULTS dipswitch! - 33");
  EXPECT_EQ(modal_watch().seen[0].owner_class, resources::LINE_GRAPH_WINDOW);
  EXPECT_EQ(result, gui::kDialogCancelled);
  EXPECT_EQ(link::dryer_state().defaults_notice_shown.load(), 0);

  modal_watch().seen.clear();
  run_with_modals([&] { command(kDefaultsSwitchRequestCommand); }, {1101});
  ASSERT_EQ(modal_watch().seen.size(), 1u);
  EXPECT_EQ(link::dryer_state().defaults_notice_shown.load(), 1);
  // Centred on LINE_GRAPH_WINDOW (centre 120, 142), kept on the screen.
  const Rect r = modal_watch().seen[0].rect;
  EXPECT_EQ(r.left, 0);
  EXPECT_NEAR((r.top + r.bottom) / 2, 142, 1);
}

// ---- The moisture-control button ----

TEST_F(MainWindow, BatchPictureStopsTheButtonButNotTheMeteringRollQuestion) {
  link::DryerState& s = link::dryer_state();
  s.batch_picture.store(1);
  set_mirror(187, 0x01);  // mode 1 would otherwise edit the grain setpoint
  run_with_modals([&] { command(kMoistureControlButtonId); });
  EXPECT_TRUE(modal_watch().seen.empty());

  s.mr_speed_via_screen.store(1);
  run_with_modals([&] { command(kMoistureControlButtonId); }, {gui::kIdYes});
  ASSERT_EQ(modal_watch().seen.size(), 2u) << "the question, then the metering-roll dialog";
  EXPECT_EQ(modal_watch().seen[0].caption, texts::localized_text(300));
  EXPECT_EQ(modal_watch().seen[1].caption, texts::localized_text(353));

  // Without the batch picture the rule goes on after the question.
  modal_watch() = {};
  s.batch_picture.store(0);
  run_with_modals([&] { command(kMoistureControlButtonId); }, {gui::kIdNo});
  ASSERT_EQ(modal_watch().seen.size(), 2u);
  EXPECT_EQ(modal_watch().seen[1].kind, "temperature editor");
  EXPECT_EQ(modal_watch().seen[1].low_slot, 149);
}

TEST_F(MainWindow, ModeOneInDryingModeThreeEditsBothGrainSetpointsInTurn) {
  link::DryerState& s = link::dryer_state();
  set_mirror(187, 0x01);
  set_mirror(8, 3);
  set_mirror(151, 0x2C);  // 300 F
  set_mirror(152, 0x01);
  set_mirror(153, 120);
  set_mirror(154, 0);
  run_with_modals([&] { command(kMoistureControlButtonId); });
  ASSERT_EQ(modal_watch().seen.size(), 2u);
  const SeenModal& first = modal_watch().seen[0];
  const SeenModal& second = modal_watch().seen[1];
  EXPECT_EQ(first.kind, "temperature editor");
  EXPECT_EQ(second.kind, "temperature editor");
  EXPECT_EQ(first.owner_class, resources::TEMP_SELECT_WINDOW);
  EXPECT_EQ(first.low_slot, 153);
  EXPECT_EQ(first.high_slot, 154);
  EXPECT_EQ(first.working_value, 120);
  EXPECT_EQ(first.desired_low, 120);
  EXPECT_EQ(first.pending_write, &s.flag(PendingWrite::k153));
  EXPECT_EQ(second.low_slot, 151);
  EXPECT_EQ(second.working_value, 300);
  EXPECT_EQ(second.desired_low, 0x2C);
  EXPECT_EQ(second.desired_high, 0x01);
  EXPECT_EQ(second.pending_write, &s.flag(PendingWrite::k151));
  for (const SeenModal& e : modal_watch().seen) {
    // The same narrow limits for every pair, also where the temperature screen is wider.
    EXPECT_EQ(e.maximum, 160);
    EXPECT_EQ(e.minimum, 50);
    EXPECT_EQ(e.default_value, 105);
    EXPECT_EQ(e.request_code, 137);
    EXPECT_EQ(e.help_topic, 5);
  }
  EXPECT_FALSE(link::write_raised(PendingWrite::k151)) << "closing the editor sends nothing";
}

TEST_F(MainWindow, LearningPeriodQuestionGuardsTheMoistureSetpoint) {
  set_mirror(187, 0x03);
  set_mirror(52, 40);
  set_mirror(179, 0x04);
  run_with_modals([&] { command(kMoistureControlButtonId); }, {gui::kIdNo});
  ASSERT_EQ(modal_watch().seen.size(), 1u);
  EXPECT_EQ(modal_watch().seen[0].caption, kLearningPeriodCaption);

  modal_watch() = {};
  run_with_modals([&] { command(kMoistureControlButtonId); }, {gui::kIdYes});
  ASSERT_EQ(modal_watch().seen.size(), 2u);
  EXPECT_EQ(modal_watch().seen[1].kind, "moisture setpoint");
  EXPECT_EQ(modal_watch().seen[1].owner_class, resources::LINE_GRAPH_WINDOW);
  EXPECT_EQ(logging::moisture_setpoint_entry_code(), 3);

  // Once the learning period is over, mode 3 opens the dialog without asking.
  modal_watch() = {};
  set_mirror(179, 0);
  run_with_modals([&] { command(kMoistureControlButtonId); });
  ASSERT_EQ(modal_watch().seen.size(), 1u);
  EXPECT_EQ(modal_watch().seen[0].kind, "moisture setpoint");
}

// Staged batch with moisture-based criteria (bits 1 and 2 of 187, or bit 4 or 5 of 257).
TEST_F(MainWindow, StagedBatchWithMoistureCriteriaPicksItsTarget) {
  set_mirror(8, 1);
  set_mirror(187, 0x06);
  run_with_modals([&] { command(kMoistureControlButtonId); });
  ASSERT_EQ(modal_watch().seen.size(), 1u);
  EXPECT_EQ(modal_watch().seen[0].low_slot, 149);

  modal_watch() = {};
  set_mirror(187, 0x80);
  set_mirror(257, 0x40 | 0x10);
  run_with_modals([&] { command(kMoistureControlButtonId); });
  ASSERT_EQ(modal_watch().seen.size(), 1u);
  EXPECT_EQ(modal_watch().seen[0].kind, "moisture setpoint");

  modal_watch() = {};
  set_mirror(257, 0x20 | 0x02);
  run_with_modals([&] { command(kMoistureControlButtonId); });
  EXPECT_TRUE(modal_watch().seen.empty());
  EXPECT_TRUE(visible(resources::TEMP_SELECT_WINDOW));
  EXPECT_EQ(texts::help_state().topic.load(), 0u) << "no help topic on this way in";
}

TEST_F(MainWindow, MeteringRollRequestAsksDuringTheLearningPeriod) {
  run_with_modals([&] { command(kMeteringRollRequestCommand); });
  ASSERT_EQ(modal_watch().seen.size(), 1u);
  EXPECT_EQ(modal_watch().seen[0].caption, texts::localized_text(353));
  EXPECT_EQ(metering_roll_dialog_requested.load(), 0) << "cleared when the dialog closes";

  modal_watch() = {};
  set_mirror(187, 0x03);
  set_mirror(52, 1);
  set_mirror(179, 0x04);
  run_with_modals([&] { command(kMeteringRollRequestCommand); }, {gui::kIdCancel});
  ASSERT_EQ(modal_watch().seen.size(), 1u);
  EXPECT_EQ(modal_watch().seen[0].caption, kLearningPeriodCaption);
}

// ---- The one-second tick ----

TEST_F(MainWindow, OneSecondTickSamplesTheHourlyMoistureWhileBit3IsSet) {
  status::reset_status_picture_state();
  link::DryerState& s = link::dryer_state();
  s.link_watchdog.store(3);
  housekeeping_tick(main, kHousekeepingTimerId);
  EXPECT_EQ(status::hourly_moisture().count(), 0);
  EXPECT_TRUE(link::write_raised(PendingWrite::k53));
  EXPECT_EQ(s.link_watchdog.load(), 2u);
  set_mirror(171, 0x08);
  set_mirror(189, 0);
  set_mirror(190, 155);
  housekeeping_tick(main, kHousekeepingTimerId);
  housekeeping_tick(main, kHousekeepingTimerId);
  EXPECT_EQ(status::hourly_moisture().count(), 2);
  EXPECT_FLOAT_EQ(status::hourly_moisture().average(), 155.0f);
  housekeeping_tick(main, kHousekeepingTimerId);
  EXPECT_EQ(s.link_watchdog.load(), 0u) << "stops at 0";
}

}  // namespace
}  // namespace corvex::shell::testing
