// The moisture sensor calibration and the unload bushels set-up, driven through their own
// loops: where the offsets and the multiplier stop, what ACCEPT and CLEAR raise, and what the
// displays say.
#include "settings/calibration_dialogs.h"

#include "link/redraw.h"
#include "link/status_bytes.h"
#include "resources/calibration_dialogs.h"
#include "tests/settings/setup_test_support.h"

namespace corvex::settings {
namespace {

using namespace setup_testing;
namespace res = resources;

class CalibrationDialogsTest : public SetupTest {
 protected:
  static void set_mirror_hi_lo(int offset, int16_t value) {
    set_mirror(offset, uint8_t(uint16_t(value) >> 8));
    set_mirror(offset + 1, uint8_t(uint16_t(value) & 0xFF));
  }
  static void open_moisture(gui::Window* w) { open_moisture_calibration_dialog(w); }
  static void open_bushels(gui::Window* w) { open_unload_bushels_dialog(w); }
  // Clicks `id` n times.
  static std::string clicks(int id, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += "click " + std::to_string(id) + "\n";
    return s;
  }
};

TEST(CalibrationTexts, OffsetsReadingsAndPresetsAreFormattedAsTheOperatorReadsThem) {
  EXPECT_EQ(offset_text(-25), "-2.5");
  EXPECT_EQ(offset_text(0), "0.0");
  EXPECT_EQ(offset_text(5), "0.5");
  EXPECT_EQ(offset_text(199), "19.9");
  EXPECT_EQ(offset_text(-200), "-20.0");
  EXPECT_EQ(moisture_reading("MOISTURE", 185), "MOISTURE:  18.5 %");
  EXPECT_EQ(moisture_reading("MOISTURE", 7), "MOISTURE:   0.7 %");
  EXPECT_EQ(temperature_reading("TEMPERATURE", 653), "TEMPERATURE: 65.3 F");
  // Below zero the sign goes in front, not into the tenths.
  EXPECT_EQ(temperature_reading("TEMPERATURE", -5), "TEMPERATURE: -0.5 F");
  EXPECT_EQ(temperature_reading("TEMPERATURE", -123), "TEMPERATURE: -12.3 F");
  EXPECT_EQ(preset_line(0, 45), " HIGH: 0450 ");
  EXPECT_EQ(preset_line(1, 7), " MED:  0070 ");
  EXPECT_EQ(preset_line(2, 255), " LOW:  2550 ");
}

TEST_F(CalibrationDialogsTest, OffsetsStopAtTheEndsOfTheirRanges) {
  set_mirror_hi_lo(232, 199);   // dry moisture
  set_mirror_hi_lo(234, -200);  // wet moisture
  set_mirror_hi_lo(241, 100);   // dry temperature
  set_mirror_hi_lo(243, -99);   // wet temperature
  start_moisture_calibration();
  EXPECT_TRUE(step_calibration_offset(SensorOffset::DryMoisture, 1));
  EXPECT_FALSE(step_calibration_offset(SensorOffset::DryMoisture, 1));
  EXPECT_EQ(calibration_offset(SensorOffset::DryMoisture), 200);
  EXPECT_EQ(desired(232), 0x00);
  EXPECT_EQ(desired(233), 0xC8);
  EXPECT_FALSE(step_calibration_offset(SensorOffset::WetMoisture, -1));
  EXPECT_EQ(calibration_offset(SensorOffset::WetMoisture), -200);
  EXPECT_EQ(desired(234), 0xFF);
  EXPECT_EQ(desired(235), 0x38);
  EXPECT_FALSE(step_calibration_offset(SensorOffset::DryTemperature, 1));
  EXPECT_TRUE(step_calibration_offset(SensorOffset::DryTemperature, -1));
  EXPECT_EQ(calibration_offset(SensorOffset::DryTemperature), 99);
  EXPECT_TRUE(step_calibration_offset(SensorOffset::WetTemperature, -1));
  EXPECT_FALSE(step_calibration_offset(SensorOffset::WetTemperature, -1));
  EXPECT_EQ(calibration_offset(SensorOffset::WetTemperature), -100);
  // Across zero the two bytes change together.
  set_mirror_hi_lo(241, 0);
  start_moisture_calibration();
  EXPECT_TRUE(step_calibration_offset(SensorOffset::DryTemperature, -1));
  EXPECT_EQ(desired(241), 0xFF);
  EXPECT_EQ(desired(242), 0xFF);
  // A value reported beyond the range only moves back towards it.
  set_mirror_hi_lo(243, 150);
  start_moisture_calibration();
  EXPECT_FALSE(step_calibration_offset(SensorOffset::WetTemperature, 1));
  EXPECT_TRUE(step_calibration_offset(SensorOffset::WetTemperature, -1));
  EXPECT_EQ(calibration_offset(SensorOffset::WetTemperature), 149);
  EXPECT_TRUE(raised_writes().empty()) << "nothing is raised before ACCEPT";
}

TEST_F(CalibrationDialogsTest, DryMoistureOffsetFrom199ReachesAndKeeps200AndOnlyItIsSent) {
  set_mirror_hi_lo(232, 199);
  set_mirror_hi_lo(234, -200);
  set_mirror_hi_lo(241, -25);
  const int values = add_probe([] {
    return modal_item_text(res::kCalWetMoistValue) + " " + modal_item_text(res::kCalDryMoistValue) +
           " " + modal_item_text(res::kCalDryTempValue) + " " +
           modal_item_text(res::kCalWetTempValue);
  });
  const int pending = add_probe([] { return std::to_string(raised_writes().size()); });
  const std::string v = "probe " + std::to_string(values) + "\n";
  const auto out = answers(run(&open_moisture, v + clicks(res::kCalDryMoistUp, 2) + v +
                                                   clicks(res::kCalWetMoistDown, 1) + v + "probe " +
                                                   std::to_string(pending) + "\nclick ACCEPT"));
  EXPECT_EQ(out, (std::vector<std::string>{"-20.0 19.9 -2.5 0.0", "-20.0 20.0 -2.5 0.0",
                                           "-20.0 20.0 -2.5 0.0", "0"}));
  EXPECT_EQ(raised_writes(), std::vector<std::string>{"232"});
  EXPECT_EQ(desired(232), 0x00);
  EXPECT_EQ(desired(233), 0xC8);
}

TEST_F(CalibrationDialogsTest, AcceptWithoutANetChangeRaisesNothing) {
  set_mirror_hi_lo(243, 12);
  run(&open_moisture,
      clicks(res::kCalWetTempUp, 3) + clicks(res::kCalWetTempDown, 3) + "click ACCEPT");
  EXPECT_TRUE(raised_writes().empty());
  run(&open_moisture, clicks(res::kCalWetTempUp, 1) + "click ACCEPT");
  EXPECT_EQ(raised_writes(), std::vector<std::string>{"243"});
  EXPECT_EQ(desired(244), 13);
}

TEST_F(CalibrationDialogsTest, ReadingsShowBothSensorsLiveAndStartFromTheReportedOffsets) {
  texts::set_language(0);
  set_mirror_hi_lo(191, 215);   // moisture in 21.5
  set_mirror_hi_lo(195, -32);   // grain in -3.2 F
  set_mirror_hi_lo(189, 148);   // moisture out 14.8
  set_mirror_hi_lo(193, 1021);  // grain out 102.1 F
  const int readings = add_probe([] {
    gui::paint_pending();
    std::string all;
    for (const char* t :
         {"WET SENSOR (INCOMING GRAIN)", "MOISTURE:  21.5 %", "TEMPERATURE: -3.2 F",
          "DRY SENSOR (DISCHARGE GRAIN)", "MOISTURE:  14.8 %", "TEMPERATURE: 102.1 F"}) {
      all +=
          gui::describe_texts().find("\"" + std::string(t) + "\"") != std::string::npos ? "y" : "n";
    }
    return modal_caption() + " " + all + " " + modal_item_text(res::kCalDryTempLabel);
  });
  const auto out =
      answers(run(&open_moisture, "probe " + std::to_string(readings) + "\nclick ACCEPT"));
  EXPECT_EQ(out, std::vector<std::string>{"MOISTURE SENSOR CALIBRATION yyyyyy DRY TEMP OFFSET"});
}

TEST_F(CalibrationDialogsTest, MultiplierStopsAt50And150) {
  set_mirror(163, 50);
  const int shown = add_probe([] { return modal_item_text(res::kBphMultiplier); });
  const std::string p = "probe " + std::to_string(shown) + "\n";
  auto out = answers(run(&open_bushels, p + "click DECREASE\n" + p + "click ACCEPT"));
  EXPECT_EQ(out, (std::vector<std::string>{"  50 %", "  50 %"}));
  EXPECT_TRUE(raised_writes().empty());
  set_mirror(163, 149);
  out = answers(run(&open_bushels, "click INCREASE\nclick INCREASE\n" + p + "click ACCEPT"));
  EXPECT_EQ(out, std::vector<std::string>{"  150 %"});
  EXPECT_EQ(raised_writes(), std::vector<std::string>{"163"});
  EXPECT_EQ(desired(163), 150);
}

TEST_F(CalibrationDialogsTest, TotalBushelsAreTheCountDividedBy3600) {
  auto set_count = [](uint32_t count) {
    for (int k = 0; k < 4; ++k) set_mirror(164 + k, uint8_t(count >> (8 * k)));
  };
  set_count(7199);
  EXPECT_EQ(total_bushels(), 1u);
  set_count(7200);
  EXPECT_EQ(total_bushels(), 2u);
  set_count(0xFFFFFFFFu);
  EXPECT_EQ(total_bushels(), 1193046u) << "the top byte counts too, without a sign";
  set_count(7199);
  const int shown = add_probe([] { return modal_item_text(res::kBphTotal); });
  // The decoder redraws the open dialog when the count changes; the display follows.
  const int grow = add_probe([&] {
    set_count(7200);
    link::request_redraw(link::RedrawTarget::CalibrationDialog);
    return std::string("grown");
  });
  const std::string p = "probe " + std::to_string(shown) + "\n";
  const auto out = answers(run(
      &open_bushels, p + "probe " + std::to_string(grow) + "\nwait 100\n" + p + "click ACCEPT"));
  EXPECT_EQ(out, (std::vector<std::string>{" 1", "grown", " 2"}));
}

TEST_F(CalibrationDialogsTest, ClearAsksAndOnlyYesRaisesTheZeroCommand) {
  set_mirror(238, 0);
  run(&open_bushels, "click CLEAR\nclick No\nclick CLEAR\nclick Cancel\nclick ACCEPT");
  EXPECT_TRUE(raised_writes().empty());
  const int box = add_probe([] { return modal_caption(); });
  const auto out = answers(run(
      &open_bushels, "click CLEAR\nprobe " + std::to_string(box) + "\nclick Yes\nclick ACCEPT"));
  EXPECT_EQ(out, std::vector<std::string>{" TOTAL BUSHEL COUNTER"});
  EXPECT_EQ(raised_writes(), std::vector<std::string>{"238"});
  EXPECT_EQ(desired(238), 0x08);
}

}  // namespace
}  // namespace corvex::settings
