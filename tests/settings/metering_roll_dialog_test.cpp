// The metering-roll speed dialog: its working copies and selection, the 15 % tracking, the
// limits of INCREASE and DECREASE (also held), and what ACCEPT and EXIT send.
#include "settings/metering_roll_dialog.h"

#include "link/redraw.h"
#include "platform/gui/hold_repeat.h"
#include "resources/metering_roll_dialog.h"
#include "shell/main_window.h"
#include "tests/settings/setup_test_support.h"

namespace corvex::settings {
namespace {

using namespace setup_testing;
namespace res = resources;
using link::PendingWrite;

void set_desired(int offset, uint8_t value) { link::dryer_state().desired[offset].store(value); }

class MeteringRollTest : public SetupTest {};

TEST_F(MeteringRollTest, OpeningTakesTheSecondSettingFromByte230ForTypes4And5) {
  set_mirror(156, 10);
  set_mirror(157, 20);
  set_mirror(158, 30);
  set_mirror(230, 44);
  link::raise_write(PendingWrite::k159);
  for (const auto& [type, second] : {std::pair{4, 44}, std::pair{5, 44}, std::pair{1, 20}}) {
    set_mirror(187, uint8_t(type));
    start_metering_roll_values();
    EXPECT_EQ(desired(160), 10);
    EXPECT_EQ(desired(161), second) << type;
    EXPECT_EQ(desired(162), 30);
  }
  EXPECT_FALSE(link::write_raised(PendingWrite::k159));
  EXPECT_TRUE(link::write_raised(PendingWrite::k161));
}

TEST_F(MeteringRollTest, TrackingDerivesTheOuterSettingsFromTheCenter) {
  set_desired(161, 90);
  track_metering_roll_center();
  EXPECT_EQ(desired(160), 100) << "103 cut to 100";
  EXPECT_EQ(desired(162), 76);
  set_desired(161, 40);
  track_metering_roll_center();
  EXPECT_EQ(desired(160), 46);
  EXPECT_EQ(desired(162), 34);
}

TEST_F(MeteringRollTest, StepsStayWithinZeroToOneHundredOnTheSelectedSetting) {
  set_desired(160, 100);
  set_desired(161, 50);
  set_desired(162, 0);
  set_desired(159, 2);
  EXPECT_FALSE(step_metering_roll_setting(+1));
  EXPECT_EQ(desired(160), 100);
  EXPECT_TRUE(step_metering_roll_setting(-1));
  EXPECT_EQ(desired(160), 99);
  set_desired(159, 0);
  EXPECT_FALSE(step_metering_roll_setting(-1));
  EXPECT_EQ(desired(162), 0);
  set_desired(159, 1);
  EXPECT_TRUE(step_metering_roll_setting(+1));
  EXPECT_EQ(desired(161), 51);
  set_desired(159, 7);  // names no setting
  EXPECT_FALSE(step_metering_roll_setting(+1));
  EXPECT_EQ(desired(160), 99);
  EXPECT_EQ(desired(161), 51);
  EXPECT_EQ(desired(162), 0);
}

TEST_F(MeteringRollTest, SelectionFollowsTheSwitchAndTheSpeedMode) {
  set_mirror(187, 0x01);
  set_desired(159, 0);
  rederive_metering_roll_selection();
  EXPECT_EQ(desired(159), 2);
  rederive_metering_roll_selection();
  EXPECT_EQ(desired(159), 0) << "2 turns to 0 without the second speed";
  set_mirror(187, 0x41);  // second speed: bits 0-5 still 1
  rederive_metering_roll_selection();
  EXPECT_EQ(desired(159), 2);
  set_mirror(179, 0x02);
  rederive_metering_roll_selection();
  EXPECT_EQ(desired(159), 1);
  set_mirror(187, 0x03);  // another type: left alone
  set_desired(159, 0);
  rederive_metering_roll_selection();
  EXPECT_EQ(desired(159), 0);
}

TEST_F(MeteringRollTest, AcceptSendsTheChangedSettingsAndExitCopiesTheControllers) {
  set_mirror(187, 0x02);
  set_mirror(224, 0x81);
  set_desired(224, 0x40);  // stale slot of an earlier dialog
  for (int k = 0; k < 3; ++k) set_mirror(156 + k, 50);
  set_desired(160, 50);
  set_desired(161, 61);
  set_desired(162, 39);
  set_desired(159, 1);
  shell::metering_roll_dialog_requested.store(1);
  accept_metering_roll(/*via_screen=*/true);
  EXPECT_EQ(raised_writes(), (std::vector<std::string>{"157", "158", "159-copy", "224"}));
  EXPECT_EQ(desired(157), 61);
  EXPECT_EQ(desired(158), 39);
  EXPECT_EQ(desired(224), 0x83);
  EXPECT_EQ(mirror(159), 1) << "the selection goes into the mirror at once";
  EXPECT_EQ(shell::metering_roll_dialog_requested.load(), 0);

  link::reset_dryer_state();
  shell::metering_roll_dialog_requested.store(1);
  cancel_metering_roll();
  EXPECT_EQ(raised_writes(), std::vector<std::string>{"160-copy"});
  EXPECT_EQ(shell::metering_roll_dialog_requested.load(), 0);
}

TEST_F(MeteringRollTest, ModeButtonTogglesTwoSpeedAndTracking) {
  set_mirror(187, 0x81);
  change_metering_roll_mode(false);
  EXPECT_EQ(desired(187), 0xC1);
  EXPECT_EQ(raised_writes(), std::vector<std::string>{"187"});
  EXPECT_EQ(link::dryer_state().metering_roll_refresh.load(), 1);

  link::reset_dryer_state();
  set_mirror(187, 0x22);  // type 2 with tracking: turned off, the block goes too
  change_metering_roll_mode(false);
  EXPECT_EQ(desired(187), 0x02);
  EXPECT_EQ(raised_writes(), (std::vector<std::string>{"187", "159-block"}));

  link::reset_dryer_state();
  set_mirror(187, 0x02);
  change_metering_roll_mode(false);  // the question answered No
  EXPECT_EQ(desired(187), 0x02);
  change_metering_roll_mode(true);
  EXPECT_EQ(desired(187), 0x22);
}

// The dialog itself: a held INCREASE repeats on the 100 ms tick and stops at 100; the
// dialog is registered for the decoder's redraws only while it is open.
TEST_F(MeteringRollTest, HeldIncreaseRepeatsAndStopsAtTheTop) {
  link::dryer_state().mr_speed_via_screen.store(1);
  set_mirror(187, 0x03);  // single gauge
  set_mirror(157, 90);
  gui::set_timer(owner, 78, 100, [](gui::Window*, int) { gui::hold_repeat_tick(); });
  const int where = add_probe([] {
    gui::Window* b = gui::dialog_item(gui::active_modal(), res::kMrIncrease);
    const platform::Rect r = b->screen_rect();
    return std::to_string((r.left + r.right) / 2) + " " + std::to_string((r.top + r.bottom) / 2);
  });
  const int registered = add_probe([] {
    screenshot("metering_roll");
    return std::string(link::redraw_window(link::RedrawTarget::MeteringRollDialog) ==
                               gui::active_modal()
                           ? "registered"
                           : "not registered");
  });
  const auto first = answers(run([](gui::Window* w) { open_metering_roll_dialog(w); },
                                 "probe " + std::to_string(where) + "\nprobe " +
                                     std::to_string(registered) + "\nclick SELECT\nclick EXIT"));
  ASSERT_EQ(first.size(), 2u);
  EXPECT_EQ(first[1], "registered");
  EXPECT_EQ(link::redraw_window(link::RedrawTarget::MeteringRollDialog), nullptr);
  EXPECT_EQ(link::dryer_state().metering_roll_dialog_visible.load(), 0);

  link::reset_dryer_state();
  link::dryer_state().mr_speed_via_screen.store(1);
  set_mirror(187, 0x03);
  set_mirror(157, 90);
  set_desired(159, 1);  // the second setting selected
  run([](gui::Window* w) { open_metering_roll_dialog(w); },
      "down " + first[0] + "\nwait 700\nup\nwait 100\nclick ACCEPT");
  const int after_short = desired(157);
  EXPECT_GT(after_short, 91) << "the hold repeated";
  EXPECT_LT(after_short, 100);
  run([](gui::Window* w) { open_metering_roll_dialog(w); },
      "down " + first[0] + "\nwait 3000\nup\nwait 100\nclick ACCEPT");
  EXPECT_EQ(desired(157), 100);
  EXPECT_TRUE(link::write_raised(PendingWrite::k157));
}

}  // namespace
}  // namespace corvex::settings
