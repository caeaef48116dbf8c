// The drying mode selection and the continuous-flow and staged-batch set-ups, driven through
// their own loops: which writes go out at once, which only on ACCEPT, and what each carries.
#include <string>
#include <vector>

#include "link/status_bytes.h"
#include "resources/drying_dialogs.h"
#include "logging/data_logger_dialog.h"
#include "resources/history_dialogs.h"
#include "settings/drying_mode_dialogs.h"
#include "tests/settings/setup_test_support.h"
#include "tests/settings/text_fit.h"

namespace corvex::settings {
namespace {

using namespace setup_testing;
namespace res = resources;

constexpr int kMessageText = 0xFFFF;  // the text of a message box

class DryingSetupTest : public SetupTest {
 protected:
  static std::string probe(int n) { return "probe " + std::to_string(n) + "\n"; }
};

std::string checks(std::initializer_list<int> ids) {
  std::string s;
  for (const int id : ids) s += modal_item_checked(id) ? 'x' : '.';
  return s;
}

std::string text_begins(int id, size_t n) { return modal_item_text(id).substr(0, n); }

// ---- Staged batch ----

TEST_F(DryingSetupTest, MoistureAfterTimeAndTemperatureLeavesOnlyMoistureSinglePlenumAndFullHeat) {
  set_mirror(link::kDryingMode, 1);
  set_mirror(link::kFanHeaterCode, 0);       // one fan/heater: dual plenum allowed
  set_mirror(link::kDryingCriteria, 0x02);   // dual plenum, no criterion
  set_mirror(link::kMoistureOptions, 0x41);  // 1/2 - 1/2, upper sensor disabled
  set_mirror(link::kUnitsAndOptions, 0x20);  // safety limits enabled
  set_mirror(link::kMoistureControlType, 0x06);
  const int marks = add_probe([] {
    return checks({res::kBatchTime, res::kBatchTemperature, res::kBatchMoisture}) + " " +
           checks({res::kBatchSingle, res::kBatchDual}) + " " +
           checks({res::kBatchFullHeat, res::kBatchTwoThirdsHeat, res::kBatchHalfHeat});
  });
  const int pending = add_probe([] {
    std::string s;
    for (const std::string& w : raised_writes()) s += w + " ";
    return s;
  });
  const auto out =
      answers(run([](gui::Window* w) { open_drying_setup_dialog(w); },
                  probe(marks) + "click TIME\nclick TEMPERATURE\n" + probe(marks) + probe(pending) +
                      "click MOISTURE\n" + probe(marks) + probe(pending) + "click ACCEPT"));
  EXPECT_EQ(out, (std::vector<std::string>{
                     "... .x ..x", "xx. .x ..x",
                     "187 ",  // TIME and TEMPERATURE send the scheme byte at once, nothing else
                     "..x x. x..",
                     "187 224 ",  // MOISTURE adds the heat split
                 }));
  EXPECT_EQ(desired(link::kDryingCriteria), 0x40);
  EXPECT_EQ(desired(link::kMoistureOptions), 0x11) << "FULL HEAT, the other bits kept";
  EXPECT_EQ(desired(link::kMoistureControlType), 0x86);
  EXPECT_EQ(desired(link::kUnitsAndOptions), 0x38) << "both limits active under enabled safety";
  EXPECT_EQ(raised_writes(), (std::vector<std::string>{"187", "224", "257", "266"}));
}

TEST_F(DryingSetupTest, TimeAndTemperatureTogetherClearMoistureBitsOfTheScheme) {
  set_mirror(link::kDryingMode, 1);
  set_mirror(link::kDryingCriteria, 0x40);
  set_mirror(link::kMoistureControlType, 0x86);
  set_mirror(link::kUnitsAndOptions, 0x38);
  run([](gui::Window* w) { open_staged_batch_setup(w); },
      "click TEMPERATURE\nclick TIME\nclick ACCEPT");
  EXPECT_EQ(desired(link::kDryingCriteria), 0x30);
  // TEMPERATURE set bit 7, TIME cleared it again; bits 1-2 are gone either way.
  EXPECT_EQ(desired(link::kMoistureControlType), 0x00);
  // Moisture drying was on when TEMPERATURE came: its time limit went, TIME brought it back.
  EXPECT_EQ(desired(link::kUnitsAndOptions), 0x38);
}

TEST_F(DryingSetupTest, DualPlenumIsRefusedOnAMultiFanDryer) {
  set_mirror(link::kDryingMode, 1);
  set_mirror(link::kFanHeaterCode, 2);      // three fan/heaters
  set_mirror(link::kDryingCriteria, 0x12);  // TIME, and dual plenum left over
  const int box = add_probe([] { return modal_caption() + "|" + modal_item_text(kMessageText); });
  const int marks = add_probe([] { return checks({res::kBatchSingle, res::kBatchDual}); });
  const auto out =
      answers(run([](gui::Window* w) { open_staged_batch_setup(w); },
                  "click DUAL\n" + probe(box) + "click OK\n" + probe(marks) + "click ACCEPT"));
  EXPECT_EQ(out, (std::vector<std::string>{
                     "INVALID SELECTION|Dual-Plenum Temperature Mode is only available on single "
                     "fan/heater models.",
                     "x.",
                 }));
  EXPECT_EQ(desired(link::kDryingCriteria), 0x10);
  EXPECT_EQ(raised_writes(), std::vector<std::string>{"257"});
}

TEST_F(DryingSetupTest, DualPlenumIsTakenOnASingleFanDryerUnlessLoadingIsLimited) {
  set_mirror(link::kDryingMode, 1);
  set_mirror(link::kFanHeaterCode, 0);
  set_mirror(link::kDryingCriteria, 0x10);
  const int marks = add_probe([] { return checks({res::kBatchSingle, res::kBatchDual}); });
  const auto out = answers(run([](gui::Window* w) { open_staged_batch_setup(w); },
                               "click DUAL\n" + probe(marks) + "click SELECT\n" + probe(marks) +
                                   "click DUAL\n" + probe(marks) + "click ACCEPT"));
  // Loading only in the first half of the cycle (bit 3) rules out dual plenum in mode 1.
  EXPECT_EQ(out, (std::vector<std::string>{".x", "x.", "x."}));
  EXPECT_EQ(desired(link::kDryingCriteria), 0x18);
}

TEST_F(DryingSetupTest, AcceptWithoutACriterionShowsTheHelpAndStaysOpen) {
  set_mirror(link::kDryingMode, 1);
  set_mirror(link::kDryingCriteria, 0x00);
  const int where = add_probe([] { return modal_caption() + "|" + text_begins(kMessageText, 8); });
  const auto out = answers(run(
      [](gui::Window* w) { open_staged_batch_setup(w); },
      "click ACCEPT\n" + probe(where) + "click OK\n" + probe(where) + "click TIME\nclick ACCEPT"));
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0].substr(0, out[0].find('|')), "STAGED BATCH") << out[0];
  EXPECT_GT(out[0].size(), std::string("STAGED BATCH|").size()) << "the help file's text is shown";
  EXPECT_EQ(out[1].substr(0, out[1].find('|')), "STAGED BATCH SETUP - 09") << "still open";
  EXPECT_EQ(desired(link::kDryingCriteria), 0x10);
  EXPECT_EQ(raised_writes(), (std::vector<std::string>{"187", "257"}));
}

TEST_F(DryingSetupTest, HeatSplitGoesOutAtOnceAndSafetyOnlyOnAccept) {
  set_mirror(link::kDryingMode, 1);
  set_mirror(link::kDryingCriteria, 0x50);  // TIME would be odd with MOISTURE; both bits kept
  set_mirror(link::kMoistureOptions, 0x10);
  set_mirror(link::kUnitsAndOptions, 0x80);  // SI units, safety off
  link::dryer_state().unit_flag.store(1);
  const int pending = add_probe([] {
    std::string s;
    for (const std::string& w : raised_writes()) s += w + " ";
    return s + std::to_string(desired(link::kMoistureOptions));
  });
  const auto out = answers(
      run([](gui::Window* w) { open_staged_batch_setup(w); },
          "click \"1/3 - 2/3\"\nclick ENABLE / DISABLE\n" + probe(pending) + "click ACCEPT"));
  EXPECT_EQ(out, std::vector<std::string>{"224 32"});
  EXPECT_EQ(desired(link::kUnitsAndOptions), 0xB0) << "safety and time limit on, the unit kept";
  EXPECT_EQ(raised_writes(), (std::vector<std::string>{"224", "266"}));
}

TEST_F(DryingSetupTest, MaximumTimeAndTemperatureGoThroughTheEditors) {
  set_mirror(link::kDryingMode, 1);
  set_mirror(link::kDryingCriteria, 0x20);
  set_mirror(link::kUnitsAndOptions, 0x28);
  set_mirror(link::kMaxBatchTime, 120);
  set_mirror(link::kMaxGrainTemp, 150);
  const int values = add_probe([] {
    return modal_item_text(res::kBatchMaxTimeValue) + " " +
           modal_item_text(res::kBatchMaxTempValue);
  });
  const auto out = answers(
      run([](gui::Window* w) { open_staged_batch_setup(w); },
          probe(values) + "click MAX TIME\nclick DEFAULT\nclick ACCEPT\n" +
              "click MAX GRAIN TEMP\nclick \"1\"\nclick \"8\"\nclick \"0\"\nclick ACCEPT\n" +
              probe(values) + "click ACCEPT"));
  EXPECT_EQ(out, (std::vector<std::string>{"120:00 150 F", "255:00 180 F"}));
  EXPECT_EQ(raised_writes(), (std::vector<std::string>{"274", "277"}));
  EXPECT_EQ(desired(link::kMaxGrainTemp), 180);
  EXPECT_EQ(desired(link::kMaxGrainTemp + 1), 0);
}

// ---- Continuous flow ----

TEST_F(DryingSetupTest, SchemeButtonsGoOutAtOnceAndFollowTheRadios) {
  set_mirror(link::kMoistureControlType, 0x41);  // temperature, 2 speed; bit 6 kept
  const int marks = add_probe([] {
    std::string s = checks({res::kFlowTemperature, res::kFlowTwoSpeed, res::kFlowTempFiveSpeed,
                            res::kFlowMoisture, res::kFlowVariable, res::kFlowMoistFiveSpeed});
    for (const std::string& w : raised_writes()) s += " " + w;
    return s + " " + std::to_string(desired(link::kMoistureControlType));
  });
  const auto out =
      answers(run([](gui::Window* w) { open_continuous_flow_setup(w); },
                  probe(marks) + "click MOISTURE\n" + probe(marks) + "click VARIABLE\n" +
                      probe(marks) + "click TEMPERATURE\n" + probe(marks) + "click ACCEPT"));
  EXPECT_EQ(out, (std::vector<std::string>{
                     "xx.... 65",
                     "...x.x 187 68",
                     "...xx. 187 67",
                     "x.x... 187 69",
                 }));
}

TEST_F(DryingSetupTest, SchemeOutsideTheFourIsShownAsFiveAndWritten) {
  set_mirror(link::kMoistureControlType, 0x86);  // the batch moisture scheme
  const int marks = add_probe([] {
    return checks(
        {res::kFlowTemperature, res::kFlowTwoSpeed, res::kFlowTempFiveSpeed, res::kFlowMoisture});
  });
  const auto out = answers(
      run([](gui::Window* w) { open_continuous_flow_setup(w); }, probe(marks) + "click ACCEPT"));
  EXPECT_EQ(out, std::vector<std::string>{"x.x."});
  EXPECT_EQ(desired(link::kMoistureControlType), 5);
  EXPECT_EQ(raised_writes(), std::vector<std::string>{"187"});
}

TEST_F(DryingSetupTest, OptionsAndSafetyGoOutOnlyOnAcceptAndOnlyWhenChanged) {
  set_mirror(link::kMoistureControlType, 4);
  set_mirror(link::kMoistureOptions, 0x11);
  set_mirror(link::kUnitsAndOptions, 0x03);  // the controller still shows the one-shot bits
  set_mirror(link::kMaxGrainTemp, 150);
  const int state = add_probe([] {
    return modal_item_text(res::kFlowSensorState) + " " + modal_item_text(res::kFlowSafetyState) +
           " " + (modal_item_shown(res::kFlowMaxTemp) ? "shown" : "hidden") + " " +
           std::to_string(raised_writes().size());
  });
  const auto out =
      answers(run([](gui::Window* w) { open_continuous_flow_setup(w); },
                  probe(state) + "click SELECT\nclick AUTO CENTERING\nclick ENABLE / DISABLE\n" +
                      probe(state) + "click ACCEPT"));
  EXPECT_EQ(out,
            (std::vector<std::string>{"DISABLED DISABLED shown 0", "ENABLED ENABLED shown 0"}));
  EXPECT_EQ(desired(link::kMoistureOptions), 0x90);
  EXPECT_EQ(desired(link::kUnitsAndOptions), 0x30) << "never the save and restore commands again";
  EXPECT_EQ(raised_writes(), (std::vector<std::string>{"224", "266"}));
}

TEST_F(DryingSetupTest, ContinuousFlowHelpReadsItsFileUnderItsCaption) {
  const int box = add_probe([] { return modal_caption() + "|" + text_begins(kMessageText, 1); });
  const auto out = answers(run([](gui::Window* w) { open_continuous_flow_setup(w); },
                               "click HELP\n" + probe(box) + "click OK\nclick ACCEPT"));
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].substr(0, out[0].find('|')), "CONTINUOUS FLOW SETUP HELP");
  EXPECT_NE(out[0].back(), '|') << "the help text is empty";
}

// ---- Both set-ups ----

// The data logger set-up is reached from either set-up, and no key or label of theirs (nor of
// the data logger set-up) is cut at its edge in the languages with the longest texts.
TEST_F(DryingSetupTest, BothSetUpsOpenTheDataLoggerSetUpAndCutNoTextInTheLongLanguages) {
  gui::enable_text_recording();
  set_mirror(link::kDryingCriteria, 0x50);  // a criterion, so that ACCEPT closes the batch set-up
  struct SetUp {
    const char* name;
    void (*open)(gui::Window*);
    int logger_key;
  };
  const SetUp setups[] = {
      {"flow", [](gui::Window* w) { open_continuous_flow_setup(w); }, res::kFlowDataLogger},
      {"batch", [](gui::Window* w) { open_staged_batch_setup(w); }, res::kBatchDataLogger}};
  for (const LongLanguage& lang : kLongLanguages) {
    texts::set_language(lang.index);
    for (const SetUp& setup : setups) {
      const std::string shot = std::string(setup.name) + "_setup_" + lang.code;
      const int form = add_probe([shot] {
        gui::paint_pending();
        screenshot(shot);
        return shot + ":" + cut_texts(gui::active_modal(), &control_font);
      });
      const int logger = add_probe(
          [shot] { return shot + (modal_item_shown(res::kDataLoggerUsedText) ? ":logger" : ":"); });
      const auto out =
          answers(run(setup.open, probe(form) + "click " + std::to_string(setup.logger_key) + "\n" +
                                      probe(logger) + "click " +
                                      std::to_string(res::kDataLoggerExit) + "\nclick ACCEPT"));
      EXPECT_EQ(out, (std::vector<std::string>{shot + ":", shot + ":logger"}));
    }
    // The data logger set-up on its own, so that no text of the set-up under it counts.
    const std::string shot = std::string("data_logger_") + lang.code;
    const int logger = add_probe([shot] {
      gui::paint_pending();
      screenshot(shot);
      return shot + ":" + cut_texts(gui::active_modal(), &control_font);
    });
    const auto out = answers(run([](gui::Window* w) { logging::open_data_logger_dialog(w); },
                                 probe(logger) + "click " + std::to_string(res::kDataLoggerExit)));
    EXPECT_EQ(out, std::vector<std::string>{shot + ":"});
  }
}

// ---- Drying mode selection ----

TEST_F(DryingSetupTest, ModeButtonsSendSchemeAndCriteriaAtOnceAndTheModeOnAccept) {
  set_mirror(link::kDryingMode, 1);
  set_mirror(link::kDryingCriteria, 0x4A);  // moisture, loading option, dual plenum
  set_mirror(link::kMoistureControlType, 0x86);
  const int pending = add_probe([] {
    std::string s = checks({res::kModeContinuous, res::kModeStagedBatch});
    for (const std::string& w : raised_writes()) s += " " + w;
    return s;
  });
  const auto out =
      answers(run([](gui::Window* w) { open_drying_mode_dialog(w); },
                  probe(pending) + "click CONTINUOUS FLOW\n" + probe(pending) + "click ACCEPT"));
  EXPECT_EQ(out, (std::vector<std::string>{".x", "x. 187 257"}));
  EXPECT_EQ(desired(link::kMoistureControlType), 5);
  EXPECT_EQ(desired(link::kDryingCriteria), 0x40);
  EXPECT_EQ(desired(link::kDryingMode), 0);
  EXPECT_EQ(raised_writes(), (std::vector<std::string>{"8", "187", "257"}));
}

TEST_F(DryingSetupTest, NumericModelFamilyIsHeldToContinuousFlow) {
  set_mirror(link::kDryingMode, 1);
  set_mirror(link::kDryerType, 0x21);
  const int marks = add_probe([] {
    gui::Window* batch = gui::dialog_item(gui::active_modal(), res::kModeStagedBatch);
    return checks({res::kModeContinuous, res::kModeStagedBatch}) +
           (batch != nullptr && batch->is_enabled() ? " enabled" : " disabled");
  });
  const auto out = answers(
      run([](gui::Window* w) { open_drying_mode_dialog(w); }, probe(marks) + "click ACCEPT"));
  EXPECT_EQ(out, std::vector<std::string>{"x. disabled"});
  EXPECT_EQ(raised_writes(), std::vector<std::string>{"8"});
}

// The set-up opened from the selection starts from the scheme just chosen, although the
// controller has not taken it yet, and its ACCEPT closes the selection too.
TEST_F(DryingSetupTest, SetupFromTheSelectionKeepsTheSchemeOnItsWayAndClosesBoth) {
  set_mirror(link::kDryingMode, 1);
  set_mirror(link::kMoistureControlType, 0x06);
  const int seen = add_probe([] {
    return modal_caption() + " " + std::to_string(desired(link::kMoistureControlType)) + " " +
           checks({res::kFlowTemperature, res::kFlowTempFiveSpeed});
  });
  const auto out = answers(run([](gui::Window* w) { open_drying_mode_dialog(w); },
                               "click CONTINUOUS FLOW\nclick MOISTURE CONTROL SETUP\n" +
                                   probe(seen) + "click ACCEPT\n" + probe(seen)));
  EXPECT_EQ(out, (std::vector<std::string>{"CONTINUOUS FLOW SETUP 5 xx", " 5 .."}))
      << "the accepted set-up closes the selection as well";
  EXPECT_EQ(raised_writes(), (std::vector<std::string>{"8", "187", "257"}));
}

TEST_F(DryingSetupTest, DryingModeHelpReadsItsFileUnderItsCaption) {
  const int box = add_probe([] { return modal_caption() + "|" + text_begins(kMessageText, 1); });
  const auto out = answers(run([](gui::Window* w) { open_drying_mode_dialog(w); },
                               "click HELP\n" + probe(box) + "click OK\nclick ACCEPT"));
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].substr(0, out[0].find('|')), "DRYING MODE HELP");
  EXPECT_NE(out[0].back(), '|') << "the help text is empty";
}

}  // namespace
}  // namespace corvex::settings
