// The diagnostics screen and its two test screens, driven through their own loops: the
// air-switch rule on opening, the two-step air-switch confirmation, the two metering-roll
// options and what they change, and the test screens that only mirror status bits.
#include "settings/diagnostics_dialog.h"

#include <algorithm>
#include <array>
#include <vector>

#include "link/redraw.h"
#include "link/status_bytes.h"
#include "link/status_decoder.h"
#include "resources/diagnostics_dialogs.h"
#include "resources/window_classes.h"
#include "settings/io_test_dialogs.h"
#include "settings/screen_hooks.h"
#include "tests/settings/setup_test_support.h"

namespace corvex::settings {
namespace {

using namespace setup_testing;
namespace res = resources;

class DiagnosticsTest : public SetupTest {};

std::string click(int id) { return "click " + std::to_string(id) + "\n"; }
std::string probe(int n) { return "probe " + std::to_string(n) + "\n"; }

void open_diagnostics(gui::Window* w) { open_diagnostics_dialog(w); }

// ---- The rules ----

TEST_F(DiagnosticsTest, CountCodeOneTouchesOnlyTheTwoFittedFanHeaters) {
  EXPECT_EQ(fan_heaters_present(0), 1);
  EXPECT_EQ(fan_heaters_present(3), 4);
  EXPECT_EQ(fan_heaters_present(4), 6);
  EXPECT_EQ(fan_heaters_present(9), 1) << "an unknown code reaches no unfitted fan/heater";
  set_mirror(3, 1);
  for (int k = 101; k <= 106; ++k) link::set_desired_byte(uint16_t(k), 0x41);  // burner mode bits
  set_air_switch_testing_disabled(true);
  EXPECT_EQ(raised_writes(), (std::vector<std::string>{"105", "106"}));
  EXPECT_EQ(desired(106), 0x45);
  EXPECT_EQ(desired(105), 0x45);
  for (int k = 101; k <= 104; ++k) EXPECT_EQ(desired(k), 0x41) << k;
  set_air_switch_testing_disabled(false);
  EXPECT_EQ(desired(105), 0x41) << "the other bits stay";
  EXPECT_EQ(raised_writes(), (std::vector<std::string>{"105", "106"}));
}

TEST_F(DiagnosticsTest, AirSwitchRuleReEnablesOnlyWithBit3AndNoHighestAlarm) {
  set_mirror(3, 4);  // six fan/heaters
  EXPECT_FALSE(apply_air_switch_rule()) << "nothing disabled: shown as testing on";
  EXPECT_TRUE(raised_writes().empty());

  set_mirror(102, 0x04);  // fan/heater 5 reports testing disabled
  EXPECT_TRUE(apply_air_switch_rule()) << "bit 3 of 148 clear: stays disabled";
  EXPECT_TRUE(raised_writes().empty());

  set_mirror(148, 0x08);
  set_mirror(118, 0x20);  // the highest-priority alarm holds it off
  EXPECT_TRUE(apply_air_switch_rule());
  EXPECT_TRUE(raised_writes().empty());

  set_mirror(118, 0x00);
  EXPECT_FALSE(apply_air_switch_rule());
  EXPECT_EQ(raised_writes(), (std::vector<std::string>{"101", "102", "103", "104", "105", "106"}));
}

TEST_F(DiagnosticsTest, AirSwitchYesNeedsTwoAnswersToTurnTestingOff) {
  set_mirror(3, 2);  // three fan/heaters
  EXPECT_FALSE(answer_air_switch_yes(false)) << "the first Yes only asks again";
  EXPECT_TRUE(raised_writes().empty());
  EXPECT_TRUE(answer_air_switch_yes(true));
  EXPECT_EQ(raised_writes(), (std::vector<std::string>{"104", "105", "106"}));
  EXPECT_EQ(desired(104), 0x04);

  link::reset_dryer_state();
  set_mirror(3, 2);
  set_mirror(148, 0x08);  // fans running: no change either way
  EXPECT_TRUE(answer_air_switch_yes(false));
  EXPECT_TRUE(answer_air_switch_yes(true));
  EXPECT_TRUE(raised_writes().empty());
}

// ---- Through the screens ----

TEST_F(DiagnosticsTest, OpeningReEnablesTestingAtOnceWithoutAQuestion) {
  set_mirror(3, 1);
  set_mirror(49, 0x11);
  set_mirror(105, 0x04);  // fan/heater 2: testing disabled
  set_mirror(106, 0x01);
  set_mirror(104, 0x04);  // not fitted, but reported: it counts for the rule
  set_mirror(148, 0x08);
  const int look = add_probe([] {
    screenshot("diagnostics");
    return std::string(modal_item_checked(res::kDiagAirSwitchCheck) ? "checked " : "clear ") +
           modal_item_text(res::kDiagAirSwitchButton) + " " +
           std::to_string(raised_writes().size());
  });
  const auto out = answers(run(open_diagnostics, probe(look) + click(res::kDiagExit)));
  EXPECT_EQ(out, std::vector<std::string>{"clear Disable Air Switch Testing 2"});
  EXPECT_EQ(raised_writes(), (std::vector<std::string>{"105", "106"}));
  EXPECT_EQ(desired(105), 0x00);
  EXPECT_EQ(desired(106), 0x01) << "copied from the controller on opening";
  EXPECT_EQ(desired(104), 0x04) << "not fitted: left alone";
  EXPECT_EQ(desired(49), 0x11) << "the option bits are copied on opening";
}

TEST_F(DiagnosticsTest, TestingOffTakesTwoYesAnswersAndShowsTheCheck) {
  set_mirror(3, 1);
  const int question =
      add_probe([] { return modal_caption() + " | " + modal_item_text(res::kConfirmText); });
  const int screen = add_probe([] {
    return std::string(modal_item_checked(res::kDiagAirSwitchCheck) ? "checked" : "clear");
  });
  const auto out =
      answers(run(open_diagnostics, click(res::kDiagAirSwitchButton) + probe(question) +
                                        "click Yes\n" + probe(question) + "click Yes\n" +
                                        probe(screen) + click(res::kDiagExit)));
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(out[0].rfind("AIR SWITCH TESTING | Turn off air switch testing?", 0), 0u) << out[0];
  EXPECT_EQ(out[1].rfind("AIR SWITCH TESTING | Are you sure?", 0), 0u) << out[1];
  EXPECT_EQ(out[2], "clear") << "the screen shows what the controller reports, not the request";
  EXPECT_EQ(raised_writes(), (std::vector<std::string>{"105", "106"}));
  EXPECT_EQ(desired(105), 0x04);
  EXPECT_EQ(desired(106), 0x04);

  // Once the controller reports it, the screen shows testing off and the button offers it on.
  link::reset_dryer_state();
  set_mirror(3, 1);
  set_mirror(106, 0x04);
  const int shown = add_probe([] {
    return std::string(modal_item_checked(res::kDiagAirSwitchCheck) ? "checked " : "clear ") +
           modal_item_text(res::kDiagAirSwitchButton);
  });
  const auto again =
      answers(run(open_diagnostics, probe(shown) + click(res::kDiagAirSwitchButton) +
                                        probe(question) + "click Yes\n" + click(res::kDiagExit)));
  ASSERT_EQ(again.size(), 2u);
  EXPECT_EQ(again[0], "checked Enable Air Switch Testing");
  EXPECT_EQ(again[1].rfind("AIR SWITCH TESTING | Air switch testing is off.", 0), 0u) << again[1];
  EXPECT_EQ(desired(106), 0x00) << "one Yes turns testing back on";
  EXPECT_EQ(desired(105), 0x00);
}

TEST_F(DiagnosticsTest, NoAndCancelChangeNothing) {
  set_mirror(3, 4);
  run(open_diagnostics, click(res::kDiagAirSwitchButton) + "click No\n" +
                            click(res::kDiagMrSensorShutdown) + "click CANCEL\n" +
                            click(res::kDiagMrSpeedViaScreen) + "click No\n" +
                            click(res::kDiagExit));
  EXPECT_TRUE(raised_writes().empty());
  EXPECT_EQ(link::dryer_state().mr_speed_via_screen.load(), 0);
}

TEST_F(DiagnosticsTest, SensorFailureShutdownTogglesBit5AndKeepsTheOtherOptions) {
  set_mirror(49, 0x10);  // metering-roll reverse active
  run(open_diagnostics, click(res::kDiagMrSensorShutdown) + "click Yes\n" + click(res::kDiagExit));
  EXPECT_EQ(raised_writes(), std::vector<std::string>{"49"});
  EXPECT_EQ(desired(49), 0x30);

  link::reset_dryer_state();
  set_mirror(49, 0x31);
  const int question = add_probe([] { return modal_caption(); });
  const auto out =
      answers(run(open_diagnostics, click(res::kDiagMrSensorShutdown) + probe(question) +
                                        "click Yes\n" + click(res::kDiagExit)));
  EXPECT_EQ(out, std::vector<std::string>{"ENABLE MR SENSOR SHUTDOWN"});
  EXPECT_EQ(desired(49), 0x11);
}

// With the option on, the decoder leaves the speed block to the screen and a knob push no
// longer asks for the metering-roll dialog.
TEST_F(DiagnosticsTest, SpeedViaScreenOptionChangesWhatTheDecoderDoes) {
  std::array<uint8_t, link::kStatusFrameBytes> frame{};
  frame[159] = 0x81;  // knob pushed
  frame[160] = 70;
  link::decode_status_frame(frame.data());
  EXPECT_EQ(link::dryer_state().metering_roll_request.load(), 1);
  EXPECT_EQ(desired(160), 70) << "the block is tracked into the slots";

  link::reset_dryer_state();
  const int question = add_probe([] { return modal_caption(); });
  const auto out =
      answers(run(open_diagnostics, click(res::kDiagMrSpeedViaScreen) + probe(question) +
                                        "click Yes\n" + click(res::kDiagMrSpeedViaScreen) +
                                        probe(question) + "click No\n" + click(res::kDiagExit)));
  EXPECT_EQ(out, (std::vector<std::string>{"SET MR SPEED VIA SCREEN", "SET MR SPEED VIA KNOB"}));
  ASSERT_EQ(link::dryer_state().mr_speed_via_screen.load(), 1);
  link::decode_status_frame(frame.data());
  EXPECT_EQ(link::dryer_state().metering_roll_request.load(), 0);
  EXPECT_EQ(desired(160), 0) << "the slots are the screen's now";
  EXPECT_TRUE(raised_writes().empty()) << "the option itself sends nothing";
}

// The programming-update window: created hidden, painted with its grid, and its exit key hides
// it and brings the main screen back.
TEST_F(DiagnosticsTest, BootLoaderWindowPaintsItsGridAndItsExitGoesBack) {
  static int returned = 0;
  returned = 0;
  register_boot_loader_class();
  screen_hooks().return_to_main_screen = [] { ++returned; };
  gui::CreateParams p;
  p.class_name = resources::BOOT_LOADER_WINDOW;
  p.text = " UPDATE DRYER PROGRAMMING";
  p.style = gui::style::kChild | gui::style::kBorder | gui::style::kCaption;
  p.rect = {0, 0, 640, 480};
  p.parent = owner;
  gui::Window* w = gui::create_window(p);
  ASSERT_NE(w, nullptr);
  EXPECT_FALSE(w->is_shown()) << "created hidden";
  gui::show_window(w, true);
  gui::paint_pending();
  const platform::Point origin = w->client_origin();
  const platform::Bitmap& screen = gui::framebuffer();
  EXPECT_EQ(screen.pixel(origin.x + 300, origin.y + 25), platform::rgb(200, 200, 200));
  EXPECT_EQ(screen.pixel(origin.x + 300, origin.y + 375), platform::rgb(200, 200, 200));
  EXPECT_EQ(screen.pixel(origin.x + 300, origin.y + 30), platform::colors::kWhite);
  EXPECT_EQ(screen.pixel(origin.x + 100, origin.y + 400), platform::colors::kWhite)
      << "no line below 375";
  const int at_exit = add_probe([] { return std::string("ready"); });
  run(nullptr, probe(at_exit) + "click EXIT_BOOTLOADER_BUTTON");
  EXPECT_FALSE(w->is_shown());
  EXPECT_EQ(returned, 1);
  screen_hooks().return_to_main_screen = nullptr;
}

// ---- The test screens ----

TEST_F(DiagnosticsTest, LightOutputTestMirrorsEveryBitAndWritesNothing) {
  EXPECT_EQ(activated_bit(0).offset, 239);
  EXPECT_EQ(activated_bit(7).bit, 7u);
  EXPECT_EQ(activated_bit(8).offset, 240);
  EXPECT_EQ(activated_bit(8).bit, 7u) << "J2-01 / FAN 3 is the top bit";
  EXPECT_EQ(activated_bit(15).bit, 0u) << "J2-08 / START is bit 0";
  set_mirror(239, 0x81);  // SPARE, BURNER 3
  set_mirror(240, 0x09);  // FAN 1, START
  set_mirror(177, 0x02);  // BURNER 6 shorted
  set_mirror(178, 0x80);  // FAN 3 shorted
  const int boxes = add_probe([] {
    std::string s;
    for (int k = 0; k < res::kLightOutputs; ++k) {
      s += modal_item_checked(res::kLightFirstActivated + k) ? 'A' : '.';
      s += modal_item_checked(res::kLightFirstShorted + k) ? 'S' : '.';
      s += ' ';
    }
    screenshot("light_outputs");
    return s;
  });
  const auto out =
      answers(run(open_diagnostics, click(res::kDiagLightOutputs) + probe(boxes) +
                                        click(res::kLightFirstActivated + 3) + probe(boxes) +
                                        click(res::kLightExit) + click(res::kDiagExit)));
  const std::string expected = "A. .S .. .. .. .. .. A. .S .. .. .. A. .. .. A. ";
  EXPECT_EQ(out, (std::vector<std::string>{expected, expected})) << "a tap changes no box";
  EXPECT_TRUE(raised_writes().empty());
  for (int k = 170; k <= 245; ++k) EXPECT_EQ(desired(k), 0) << k;
}

TEST_F(DiagnosticsTest, SwitchTestMirrorsTheInputsAndFollowsTheDecoder) {
  set_mirror(179, 0x11);  // STOP, LOAD AUTO
  set_mirror(183, 0x50);  // MR PUSH BUTON, MR RIGHT
  set_mirror(225, 0x80);  // PORT
  const int boxes = add_probe([] {
    std::string s;
    for (int row = 0; row < res::kSwitchRows; ++row) {
      for (int bit = 0; bit < 8; ++bit) {
        gui::Window* box = gui::dialog_item(gui::active_modal(), res::switch_box_id(row, bit));
        s += box == nullptr ? '-' : gui::button_checked(box) ? 'x' : '.';
      }
      s += ' ';
    }
    screenshot("switch_test");
    return s;
  });
  // A frame from the controller with the switches changed repaints the open test screen.
  const int frame = add_probe([] {
    std::array<uint8_t, link::kStatusFrameBytes> f{};
    for (int k = 3; k < int(link::kStatusBytes); ++k) f[size_t(k)] = mirror(k);
    f[179] = 0x01;
    f[180] = 0x02;  // BURNER 1 ON
    link::decode_status_frame(f.data());
    return std::string("decoded");
  });
  const auto out = answers(run(
      open_diagnostics, click(res::kDiagSwitchWiring) + probe(boxes) + probe(frame) + "wait 50\n" +
                            probe(boxes) + click(res::kSwitchExit) + click(res::kDiagExit)));
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(out[0], "x...x... ........ ........ ........ ....x.x- .......x ");
  EXPECT_EQ(out[2], "x....... .x...... ........ ........ ....x.x- .......x ");
  EXPECT_TRUE(raised_writes().empty());
}

// The light-output test shows the short-circuit bits too, so a change of them repaints it.
TEST(DiagnosticsRedraws, ShortCircuitAndActivatedBitsRepaintTheLightOutputTest) {
  static std::vector<link::RedrawTarget> seen;
  seen.clear();
  link::reset_dryer_state();
  link::set_redraw_sink(
      [](link::RedrawTarget t, const platform::Rect*, platform::gui::Erase) { seen.push_back(t); });
  const auto count = [](link::RedrawTarget t) { return std::count(seen.begin(), seen.end(), t); };
  std::array<uint8_t, link::kStatusFrameBytes> f{};
  f[177] = 0x04;
  link::decode_status_frame(f.data());
  EXPECT_EQ(count(link::RedrawTarget::LightOutputTest), 1);
  EXPECT_EQ(count(link::RedrawTarget::SwitchTest), 1);
  seen.clear();
  f[240] = 0x01;
  link::decode_status_frame(f.data());
  EXPECT_EQ(count(link::RedrawTarget::LightOutputTest), 1);
  EXPECT_EQ(count(link::RedrawTarget::SwitchTest), 0);
  seen.clear();
  f[104] = 0x04;
  link::decode_status_frame(f.data());
  EXPECT_EQ(count(link::RedrawTarget::Diagnostics), 1);
  link::set_redraw_sink(nullptr);
  link::reset_dryer_state();
}

}  // namespace
}  // namespace corvex::settings
