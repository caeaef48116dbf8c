// The metering-roll output voltage set-up: the shown percent and volts, the limits of both ends,
// every press sent at once with its command byte, DEFAULT, and the command byte back to 0 on
// leaving. Also the screenshots of the diagnostics screens in the longest languages.
#include "settings/output_voltage_dialog.h"

#include <vector>

#include "platform/gui/controls.h"
#include "resources/diagnostics_dialogs.h"
#include "settings/diagnostics_dialog.h"
#include "tests/settings/setup_test_support.h"
#include "texts/texts.h"

namespace corvex::settings {
namespace {

using namespace setup_testing;
namespace res = resources;

class OutputVoltageTest : public SetupTest {};

std::string click(int id) { return "click " + std::to_string(id) + "\n"; }
std::string probe(int n) { return "probe " + std::to_string(n) + "\n"; }

void open_voltage(gui::Window* w) { open_output_voltage_dialog(w); }

int bar_position(int id) {
  gui::Window* bar = gui::dialog_item(gui::active_modal(), id);
  return bar ? gui::progress_position(bar) : -1;
}

TEST(OutputVoltageTexts, PercentAndVoltsOfFullScale) {
  EXPECT_EQ(output_percent_text(255), "100.00 %");
  EXPECT_EQ(output_volts_text(255), "~10.0 V");
  EXPECT_EQ(output_percent_text(64), "25.10 %");
  EXPECT_EQ(output_volts_text(64), "~2.5 V");
  EXPECT_EQ(output_percent_text(0), "0.00 %");
  EXPECT_EQ(output_volts_text(165), "~6.5 V");
  EXPECT_EQ(output_percent_text(165, Leading::Space), " 64.71 %");
  EXPECT_EQ(output_volts_text(1, Leading::Space), " ~0.0 V");
}

TEST_F(OutputVoltageTest, MaximumAtItsLowestStillSendsOnDown) {
  OutputRange range{165, 10};
  press_output(range, OutputEnd::Maximum, -1);
  EXPECT_EQ(range.maximum, 165);
  EXPECT_EQ(desired(236), 165);
  EXPECT_EQ(desired(238), 1);
  EXPECT_EQ(raised_writes(), (std::vector<std::string>{"236", "238"}));

  link::reset_dryer_state();
  range = {255, 0};
  press_output(range, OutputEnd::Maximum, +1);
  press_output(range, OutputEnd::Minimum, -1);
  EXPECT_EQ(range.maximum, 255);
  EXPECT_EQ(range.minimum, 0);
  EXPECT_EQ(desired(238), 2) << "the last end adjusted";
  EXPECT_EQ(raised_writes(), (std::vector<std::string>{"236", "237", "238"}));

  range = {200, 64};
  press_output(range, OutputEnd::Minimum, +1);
  EXPECT_EQ(range.minimum, 64);
  EXPECT_EQ(desired(237), 64);
}

TEST_F(OutputVoltageTest, OpeningHoldsReportedValuesWithinTheirLimits) {
  EXPECT_EQ(reported_output_range().maximum, 165) << "0 before the first frame is no maximum";
  EXPECT_EQ(reported_output_range().minimum, 0);
  set_mirror(236, 240);
  set_mirror(237, 200);
  EXPECT_EQ(reported_output_range().maximum, 240);
  EXPECT_EQ(reported_output_range().minimum, 64);
  OutputRange range = reported_output_range();
  press_output(range, OutputEnd::Minimum, -1);
  EXPECT_EQ(desired(237), 63) << "a press never sends a value outside the range";
}

TEST_F(OutputVoltageTest, EveryPressShowsAndSendsAndCancelOnlyResetsTheCommand) {
  set_mirror(236, 254);
  set_mirror(237, 1);
  set_mirror(238, 1);
  const int fields = add_probe([] {
    return modal_item_text(res::kVoltMaxPercent) + "|" + modal_item_text(res::kVoltMaxVolts) + "|" +
           std::to_string(bar_position(res::kVoltMaxBar)) + "|" +
           modal_item_text(res::kVoltMinPercent) + "|" + modal_item_text(res::kVoltMinVolts) + "|" +
           std::to_string(bar_position(res::kVoltMinBar)) + "|" + std::to_string(desired(238));
  });
  const int shot = add_probe([] {
    screenshot("output_voltage");
    return modal_caption();
  });
  const auto out = answers(
      run(open_voltage, probe(fields) + probe(shot) + click(res::kVoltMaxUp) +
                            click(res::kVoltMaxUp) + probe(fields) + click(res::kVoltMinDown) +
                            click(res::kVoltMinDown) + probe(fields) + click(res::kVoltCancel)));
  ASSERT_EQ(out.size(), 4u);
  EXPECT_EQ(out[0], "99.61 %|~10.0 V|254|0.39 %|~0.0 V|1|0") << "nothing sent on opening";
  EXPECT_EQ(out[1], "METER ROLLS OUTPUT VOLTAGE SETUP");
  EXPECT_EQ(out[2], " 100.00 %| ~10.0 V|255|0.39 %|~0.0 V|1|1");
  EXPECT_EQ(out[3], " 100.00 %| ~10.0 V|255| 0.00 %| ~0.0 V|0|2");
  EXPECT_EQ(desired(236), 255);
  EXPECT_EQ(desired(237), 0);
  EXPECT_EQ(desired(238), 0) << "CANCEL ends the adjustment";
  EXPECT_EQ(raised_writes(), (std::vector<std::string>{"236", "237", "238"}))
      << "CANCEL leaves the values already sent";
}

TEST_F(OutputVoltageTest, DefaultSendsBothEndsAndLeavesTheCommandByte) {
  set_mirror(236, 200);
  set_mirror(237, 30);
  const int fields = add_probe([] {
    return modal_item_text(res::kVoltMaxPercent) + "|" + modal_item_text(res::kVoltMaxVolts) + "|" +
           std::to_string(bar_position(res::kVoltMaxBar)) + "|" +
           modal_item_text(res::kVoltMinPercent) + "|" +
           std::to_string(bar_position(res::kVoltMinBar));
  });
  const int writes = add_probe([] {
    std::string s;
    for (const std::string& w : raised_writes()) s += w + " ";
    return s;
  });
  const auto out =
      answers(run(open_voltage, click(res::kVoltMinUp) + click(res::kVoltDefault) + probe(fields) +
                                    probe(writes) + click(res::kVoltAccept)));
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0], "100.00 %|~10.0 V|255|0.00 %|0");
  EXPECT_EQ(out[1], "236 237 238 ");
  EXPECT_EQ(desired(236), 255);
  EXPECT_EQ(desired(237), 0);
  EXPECT_EQ(desired(238), 0) << "ACCEPT ends the adjustment as CANCEL does";
}

TEST_F(OutputVoltageTest, DiagnosticsScreensInTheLongestLanguages) {
  const int bg = 1, hu = 7, pt = 9, ro = 10, ru = 11;
  set_mirror(3, 4);
  set_mirror(236, 230);
  set_mirror(237, 20);
  for (int language : {ro, pt, bg, ru, hu}) {
    texts::set_language(language);
    const std::string code = std::to_string(language);
    const auto shot = [code](const std::string& name) {
      return add_probe([code, name] {
        screenshot(name + "_" + code);
        return std::string("shot");
      });
    };
    run([](gui::Window* w) { open_diagnostics_dialog(w); },
        probe(shot("diagnostics")) + click(res::kDiagLightOutputs) + probe(shot("light_outputs")) +
            click(res::kLightExit) + click(res::kDiagSwitchWiring) + probe(shot("switch_test")) +
            click(res::kSwitchExit) + click(res::kDiagSetupMeteringRolls) +
            probe(shot("output_voltage")) + click(res::kVoltCancel) +
            click(res::kDiagAirSwitchButton) + probe(shot("air_switch_question")) + "click No\n" +
            click(res::kDiagMrSensorShutdown) + probe(shot("sensor_question")) + "click No\n" +
            click(res::kDiagExit));
    probes().clear();
  }
  texts::set_language(0);
}

}  // namespace
}  // namespace corvex::settings
