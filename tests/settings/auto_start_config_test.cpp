// Auto-start on the display's side: the entry rules of the setup menu, the way in through the
// switch requirements, the configuration screen's grain marker and moisture pages, INITIATE
// with its answers, and the records they put on the wire, taken by the simulator.
#include "link/redraw.h"
#include "link/command_builder.h"
#include "link/crc.h"
#include "link/frames.h"
#include "link/status_bytes.h"
#include "logging/moisture_setpoint.h"
#include "platform/gui/message_box.h"
#include "resources/auto_start_dialogs.h"
#include "resources/moisture_dialogs.h"
#include "resources/window_classes.h"
#include "settings/auto_start.h"
#include "settings/screen_hooks.h"
#include "settings/setup_menus.h"
#include "settings/temperature_screen.h"
#include "sim/simulator.h"
#include "tests/settings/setup_test_support.h"

namespace corvex::settings {
namespace {

using namespace setup_testing;
namespace res = resources;
using Bytes = std::vector<uint8_t>;

int g_main_screen_returns = 0;

class AutoStartTest : public SetupTest {
 protected:
  void SetUp() override {
    SetupTest::SetUp();
    g_main_screen_returns = 0;
    screen_hooks().return_to_main_screen = [] { ++g_main_screen_returns; };
    temp_screen_opened_from_auto_start = 0;
    set_auto_start_page(0);
    register_setup_menu_classes();
    register_auto_start_screen_class();
    register_temperature_screen_classes();
    menu = create_screen(resources::SETUP_SELECTION_WINDOW, true);
    config = create_screen(resources::AUTO_START_CONFIG_WINDOW, false);
    temps = create_screen(resources::TEMP_SELECT_WINDOW, false);
    // A continuous-flow tower whose controller offers auto-start.
    set_mirror(link::kDryingMode, 0);
    set_mirror(link::kDryerType, 0x10);
    set_mirror(link::kAutoStartFlags, 0x40);
    set_mirror(link::kFanHeaterCode, 3);
    // The redraws the decoder asks for when these bytes change.
    link::request_redraw(link::RedrawTarget::SetupMenu);
    link::request_redraw(link::RedrawTarget::PlenumSetpointPanel);
    gui::paint_pending();
  }
  void TearDown() override {
    screen_hooks().return_to_main_screen = nullptr;
    temp_screen_opened_from_auto_start = 0;
    set_auto_start_page(0);
    SetupTest::TearDown();
  }

  gui::Window* create_screen(const char* cls, bool shown) {
    gui::Window* w =
        gui::create_window({cls, " SELECT HARDWARE SETUP PARAMETER TO MODIFY - 03",
                            (shown ? gui::style::kVisible : 0u) | gui::style::kChild |
                                gui::style::kBorder | gui::style::kCaption | gui::style::kTopmost,
                            Rect::from_xywh(0, 0, 640, 475), owner});
    EXPECT_NE(w, nullptr) << cls;
    return w;
  }

  // The command frame the exchange thread would send now, with its CRC, as bytes.
  static Bytes command_frame() {
    uint8_t frame[256] = {};
    if (!link::build_command_frame(frame)) return {};
    link::crc16_append(frame, size_t(frame[0] - 2));
    return Bytes(frame, frame + frame[0]);
  }
  // The frame without its length-dependent CRC, to compare against literal bytes.
  static Bytes records_of(const Bytes& frame) {
    return frame.size() < 2 ? frame : Bytes(frame.begin(), frame.end() - 2);
  }

  bool pixel_is(gui::Window* w, int x, int y, platform::Color c) {
    const platform::Point origin = w->client_origin();
    return gui::framebuffer().pixel(origin.x + x, origin.y + y) == c;
  }

  gui::Window* menu = nullptr;
  gui::Window* config = nullptr;
  gui::Window* temps = nullptr;
};

TEST_F(AutoStartTest, SetupButtonOnlyInContinuousFlowOfferedByTheControllerOnPlainDryers) {
  EXPECT_TRUE(auto_start_button_shown());
  set_mirror(link::kAutoStartFlags, 0x02);  // in progress, but not offered
  EXPECT_FALSE(auto_start_button_shown());
  set_mirror(link::kAutoStartFlags, 0x40);
  set_mirror(link::kDryingMode, 1);
  EXPECT_FALSE(auto_start_button_shown());
  set_mirror(link::kDryingMode, 0);
  set_mirror(link::kDryerType, 0x25);  // numeric-model family
  EXPECT_FALSE(auto_start_button_shown());
  set_mirror(link::kDryerType, 0x45);  // mixed flow may
  EXPECT_TRUE(auto_start_button_shown());
}

TEST_F(AutoStartTest, EntryShowsTheSwitchRequirementsThenTheScreenWithTheCurrentValues) {
  texts::set_language(0);
  set_mirror(link::kAutoStart, 0x80);  // grain inverter, not running
  set_mirror(link::kGrainType, 4);
  link::set_desired_byte(link::kGrainType, 9);  // left over from an earlier entry
  const int info = add_probe([] {
    return modal_caption() + " | " + modal_item_text(res::kSwitchFirstLine) + " | " +
           modal_item_text(res::kSwitchFirstLine + res::kSwitchLineCount - 1);
  });
  const auto out = answers(
      run(nullptr, "click AUTO_START_SETUP_BUTTON\nprobe " + std::to_string(info) + "\nclick OK"));
  EXPECT_EQ(out, std::vector<std::string>{
                     "AUTO-START CONTROL PANEL SWITCH REQUIREMENTS | Before auto-start, set the "
                     "switches of the control panel: | Press EXIT to go on."});
  EXPECT_TRUE(config->is_shown());
  EXPECT_FALSE(menu->is_shown());
  EXPECT_EQ(link::dryer_state().main_screen_shown.load(), 0);
  EXPECT_EQ(temp_screen_opened_from_auto_start, 1);
  EXPECT_EQ(desired(link::kAutoStart), 0x80);
  EXPECT_EQ(desired(link::kGrainType), 4);
  EXPECT_TRUE(raised_writes().empty());
}

TEST_F(AutoStartTest, ActiveAutoStartGoesStraightToItsStatusAndARunningDryerIsRefused) {
  texts::set_language(0);
  const int caption = add_probe([] { return modal_caption(); });
  set_mirror(link::kAutoStart, 0x01);
  auto out = answers(run(nullptr, "click AUTO_START_SETUP_BUTTON\nprobe " +
                                      std::to_string(caption) + "\nclick Minimize"));
  EXPECT_EQ(out, std::vector<std::string>{"AUTO-START STATUS"});

  set_mirror(link::kAutoStart, 0x00);
  set_mirror(link::kRunning, 0x40);
  const int text = add_probe([] {
    return modal_caption() + " | " + modal_item_text(0xFFFF);  // the message box's text
  });
  out = answers(run(nullptr, "click AUTO_START_SETUP_BUTTON\nclick OK\nprobe " +
                                 std::to_string(text) + "\nclick OK"));
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].substr(0, out[0].find(" |")), kDryerRunningCaption);
  EXPECT_NE(out[0].find(kDryerRunningText), std::string::npos) << out[0];
  EXPECT_FALSE(config->is_shown());
  EXPECT_TRUE(raised_writes().empty());
}

TEST_F(AutoStartTest, OatsMarkRightColumnSixthRowAndOnlyThatGrain) {
  show_auto_start_config();
  run(nullptr, "click \"Grain Select\"\nclick Corn\nclick Oats");
  gui::paint_pending();
  screenshot("auto_start_grain");
  EXPECT_EQ(desired(link::kGrainType), 11);
  EXPECT_TRUE(raised_writes().empty()) << "a grain button sends nothing yet";
  const platform::Color red = platform::colors::kRed;
  for (int dx : {0, 9})
    for (int dy : {0, 9}) EXPECT_TRUE(pixel_is(config, 440 + dx, 280 + dy, red)) << dx << dy;
  EXPECT_FALSE(pixel_is(config, 450, 280, red));
  EXPECT_FALSE(pixel_is(config, 440, 290, red));
  EXPECT_FALSE(pixel_is(config, 290, 30, red)) << "Corn's marker went with the choice";
  EXPECT_EQ(grain_marker(0), Rect::from_xywh(290, 30, 10, 10));
  EXPECT_EQ(grain_marker(5), Rect::from_xywh(290, 280, 10, 10));
  EXPECT_EQ(grain_marker(6), Rect::from_xywh(440, 30, 10, 10));
  EXPECT_TRUE(grain_marker(12).empty());
}

TEST_F(AutoStartTest, InitiateThenNoSendsTheClearedBitAndLeavesTheScreen) {
  set_mirror(link::kAutoStart, 0x80);
  show_auto_start_config();
  const int question = add_probe(
      [] { return modal_caption() + " | " + modal_item_text(res::kAutoStartQuestionText); });
  texts::set_language(0);
  const auto out =
      answers(run(nullptr, "click INITIATE\nprobe " + std::to_string(question) + "\nclick No"));
  EXPECT_EQ(out, std::vector<std::string>{
                     "AUTO-START | Start auto-start now with the selected grain and settings?"});
  EXPECT_FALSE(config->is_shown());
  EXPECT_EQ(g_main_screen_returns, 1);
  EXPECT_EQ(temp_screen_opened_from_auto_start, 0);
  EXPECT_EQ(link::dryer_state().main_screen_shown.load(), 1);
  EXPECT_EQ(raised_writes(), std::vector<std::string>{"279"});
  // Node 1, parameter 23, one byte: the grain inverter bit kept, bit 0 clear.
  EXPECT_EQ(records_of(command_frame()), (Bytes{0x08, 0x01, 0x01, 0x17, 0x01, 0x80}));
}

TEST_F(AutoStartTest, CancelAndReturnKeepTheirPromisesAboutTheGrain) {
  set_mirror(link::kGrainType, 2);
  show_auto_start_config();
  run(nullptr, "click \"Grain Select\"\nclick Rye\nclick INITIATE\nclick CANCEL");
  EXPECT_EQ(raised_writes(), std::vector<std::string>{"279"}) << "the grain stays at home";
  link::lower_write(link::PendingWrite::k279);

  show_auto_start_config();
  EXPECT_EQ(desired(link::kGrainType), 2) << "a new entry starts from the controller's grain";
  run(nullptr, "click Rye\nclick CONTINUE");
  EXPECT_FALSE(config->is_shown());
  EXPECT_TRUE(raised_writes().empty());

  show_auto_start_config();
  run(nullptr, "click Milo\nclick SCREEN_EXIT_BUTTON");
  EXPECT_FALSE(config->is_shown());
  EXPECT_EQ(g_main_screen_returns, 3);
  EXPECT_EQ(raised_writes(), std::vector<std::string>{"285"});
  EXPECT_EQ(records_of(command_frame()), (Bytes{0x08, 0x01, 0x01, 0x1D, 0x01, 0x08}));
}

TEST_F(AutoStartTest, StartAndCancelRecordsAreTakenByTheSimulator) {
  sim::Simulator controller(7);
  const auto feed = [&](const Bytes& frame) {
    const std::vector<uint8_t> answer = controller.exchange(frame.data(), frame.size());
    ASSERT_GE(answer.size(), link::kStatusFrameBytes);
    for (size_t k = 0; k < link::kStatusBytes; ++k) set_mirror(int(k), answer[k]);
  };
  feed(Bytes(link::kPollFrame.begin(), link::kPollFrame.end()));
  ASSERT_EQ(mirror(link::kAutoStartFlags) & 0x40, 0x40) << "the simulator offers auto-start";
  ASSERT_EQ(mirror(link::kAutoStart) & 0x01, 0);

  show_auto_start_config();
  run(nullptr, "click \"Grain Select\"\nclick Oats\nclick INITIATE\nclick Yes");
  EXPECT_FALSE(config->is_shown());
  const Bytes start = command_frame();
  EXPECT_EQ(records_of(start), (Bytes{0x0C, 0x02, 0x01, 0x17, 0x01, 0x01, 0x01, 0x1D, 0x01, 0x0B}));
  feed(start);
  EXPECT_EQ(mirror(link::kAutoStart), 0x01);
  EXPECT_EQ(mirror(link::kGrainType), 11);
  EXPECT_EQ(mirror(link::kAutoStartFlags) & 0x02, 0x02) << "in progress";
  link::lower_write(link::PendingWrite::k279);
  link::lower_write(link::PendingWrite::k285);

  // The status dialog's Cancel Auto-Start asks, and Yes cancels.
  texts::set_language(0);
  const int question = add_probe([] { return modal_item_text(res::kAutoStartQuestionText); });
  const auto out = answers(
      run([](gui::Window* w) { open_auto_start_status_dialog(w); },
          "click \"Cancel Auto-Start\"\nprobe " + std::to_string(question) + "\nclick Yes"));
  EXPECT_EQ(out,
            std::vector<std::string>{"Auto-start is running. Do you wish to cancel auto-start?"});
  EXPECT_EQ(raised_writes(), std::vector<std::string>{"279"});
  const Bytes cancel = command_frame();
  EXPECT_EQ(records_of(cancel), (Bytes{0x08, 0x01, 0x01, 0x17, 0x01, 0x00}));
  feed(cancel);
  EXPECT_EQ(mirror(link::kAutoStart) & 0x01, 0);
  EXPECT_EQ(mirror(link::kAutoStartFlags) & 0x06, 0) << "neither in progress nor paused";
}

TEST_F(AutoStartTest, WhileActiveNoAndCancelChangeNothing) {
  set_mirror(link::kAutoStart, 0x01);
  for (const char* answer : {"No", "CANCEL"}) {
    run([](gui::Window* w) { open_auto_start_question(w); }, std::string("click ") + answer);
    EXPECT_TRUE(raised_writes().empty()) << answer;
  }
  EXPECT_EQ(g_main_screen_returns, 0) << "no screen to close";
}

TEST_F(AutoStartTest, MoisturePageShowsBothValuesAndSetsEachInItsOwnMode) {
  gui::enable_text_recording();
  set_mirror(link::kIncomingAverage, 220);  // 22.0 %, low byte first
  set_mirror(link::kIncomingAverage + 1, 0);
  set_mirror(link::kMoistureSetpoint, 0);  // 15.0 %, high byte first
  set_mirror(link::kMoistureSetpoint + 1, 150);
  show_auto_start_config();
  run(nullptr, "click \"Moisture Settings\"");
  gui::paint_pending();
  screenshot("auto_start_moisture");
  const std::string shown = gui::describe_texts(res::AUTO_START_CONFIG_WINDOW);
  EXPECT_NE(shown.find("\"22.0%\""), std::string::npos) << shown;
  EXPECT_NE(shown.find("\"15.0%\""), std::string::npos) << shown;

  const int display = add_probe([] { return modal_item_text(res::kMoistureValueDisplay); });
  const auto out = answers(
      run(nullptr, "click \"Set Incoming Moisture\"\nprobe " + std::to_string(display) +
                       "\nclick \"MODIFY SETPOINT\"\nclick \"1\"\nclick \"8\"\nclick \"5\"\n"
                       "click ACCEPT\nclick EXIT"));
  EXPECT_EQ(out, std::vector<std::string>{"22.0 %"});
  EXPECT_EQ(desired(link::kIncomingAverage), 185);
  EXPECT_EQ(desired(link::kIncomingAverage + 1), 0);
  EXPECT_EQ(raised_writes(), std::vector<std::string>{"281"});
  EXPECT_EQ(logging::moisture_setpoint_entry_code(), 4);

  run(nullptr,
      "click \"Set Moisture Setpoint\"\nclick \"MODIFY SETPOINT\"\nclick \"1\"\n"
      "click \"6\"\nclick \"0\"\nclick ACCEPT\nclick EXIT");
  EXPECT_EQ(desired(link::kMoistureSetpoint), 0);
  EXPECT_EQ(desired(link::kMoistureSetpoint + 1), 160);
  EXPECT_EQ(raised_writes(), (std::vector<std::string>{"199", "281"}));
  EXPECT_TRUE(config->is_shown());
}

TEST_F(AutoStartTest, PlenumSetpointsGoToTheTemperatureScreenAndComeBack) {
  show_auto_start_config();
  run(nullptr, "click \"Modify Plenum Setpoints\"");
  EXPECT_FALSE(config->is_shown());
  EXPECT_TRUE(temps->is_shown());
  run(nullptr, "click SETUP");
  EXPECT_TRUE(config->is_shown());
  EXPECT_FALSE(temps->is_shown());
  EXPECT_FALSE(menu->is_shown());
}

TEST(AutoStartFormat, MoistureAndTimes) {
  char text[16];
  format_moisture_tenths(150, text);
  EXPECT_STREQ(text, "15.0%");
  format_moisture_tenths(7, text);
  EXPECT_STREQ(text, "0.7%");
  format_minutes_seconds(340, text);
  EXPECT_STREQ(text, "5:40");
  format_minutes_seconds(0, text);
  EXPECT_STREQ(text, "0:00");
}

}  // namespace
}  // namespace corvex::settings
