// The unload parameters and the plenum temperature manager, by their rules and driven through
// their own loops: the limits of the rates, the bushels each percentage stands for, the
// defaults questions, and what ACCEPT and CANCEL leave in the records.
#include "resources/unload_dialogs.h"
#include "settings/plenum_manager_dialog.h"
#include "settings/unload_parameters_dialog.h"
#include "tests/settings/setup_test_support.h"

namespace corvex::settings {
namespace {

using namespace setup_testing;
namespace res = resources;

constexpr int kMessageText = 0xFFFF;  // the text of a message box
constexpr char kDegreeF[] =
    "\xC2\xB0"
    "F";

TEST(UnloadRates, StepsStopAtTheirLimits) {
  EXPECT_EQ(decrease_unload_minimum(5), 5);
  EXPECT_EQ(decrease_unload_minimum(6), 5);
  EXPECT_EQ(increase_unload_minimum(100), 100);
  EXPECT_EQ(increase_unload_minimum(99), 100);
  EXPECT_EQ(increase_unload_maximum(100), 100);
  EXPECT_EQ(increase_unload_maximum(0), 1);
  EXPECT_EQ(decrease_unload_maximum(1), 0);
  EXPECT_EQ(decrease_unload_maximum(0), 0);
}

TEST(UnloadRates, BushelsFollowTheLengthRollAndModelBand) {
  // 8 ft: 8 x 140.62021 = 1124.96 with the 7-inch roll, 8 x 129.6 = 1036.8 with the 4-inch.
  EXPECT_EQ(unload_bph_text(100, unload_capacity(0x80, 0, true)), "1125");
  EXPECT_EQ(unload_bph_text(100, unload_capacity(0x80, 0, false)), "1037");
  EXPECT_EQ(unload_bph_text(50, unload_capacity(0x80, 14, false)), "2592");  // 40 ft
  EXPECT_EQ(unload_bph_text(0, unload_capacity(0x80, 3, true)), "0");
  // The numeric-model family goes by its bands, whatever the roll.
  const std::pair<int, int> bands[] = {{0, 3000}, {3, 3000}, {4, 4000}, {5, 4000}, {6, 6400},
                                       {7, 7000}, {8, 7000}, {9, 8000}, {14, 8000}};
  for (const auto& [index, bph] : bands) {
    EXPECT_EQ(unload_capacity(0x21, uint8_t(index), false), bph) << "index " << index;
    EXPECT_EQ(unload_capacity_note(0x21, uint8_t(index)),
              "*Based upon " + std::to_string(bph) + " BPH capacity.");
  }
  EXPECT_EQ(unload_capacity_note(0x80, 11), "*Based upon 34ft dryer @ 17.5 RPM.");
  EXPECT_EQ(unload_capacity_note(0x45, 0), "") << "no note for the other families";
  EXPECT_EQ(unload_capacity_note(0x00, 0), "");
}

TEST(PlenumManagerByte, IndexesWrapAndKeepTheOtherBits) {
  const uint8_t time7 = 0x38;  // time index 7, step index 0, off
  EXPECT_EQ(step_manager_time(time7, 1), 0x00);
  EXPECT_EQ(step_manager_step(time7, -1), 0x3F);
  EXPECT_EQ(step_manager_time(0xC0, -1), 0xF8) << "bits 6 and 7 stay";
  EXPECT_EQ(step_manager_step(0xC7, 1), 0xC0);
  EXPECT_EQ(step_manager_time(0x9A, 1), 0xA2);
  EXPECT_EQ(toggle_plenum_manager(0x3F), 0xBF);
  EXPECT_EQ(toggle_plenum_manager(0xBF), 0x3F);
}

class UnloadDialogsTest : public SetupTest {
 protected:
  void SetUp() override {
    SetupTest::SetUp();
    forget_unload_rate_warning();
  }
  void TearDown() override {
    forget_unload_rate_warning();
    SetupTest::TearDown();
  }
  // The two rates as the controller reports them: 16-bit, high byte first.
  static void report_rates(int maximum, int minimum) {
    set_mirror(206, uint8_t(maximum >> 8));
    set_mirror(207, uint8_t(maximum));
    set_mirror(208, uint8_t(minimum >> 8));
    set_mirror(209, uint8_t(minimum));
  }
  // The painted runs of the dialog that hold `part`.
  static std::string painted(const std::vector<std::string>& out, const std::string& part) {
    std::string s;
    for (const std::string& line : out)
      if (line.find(part) != std::string::npos) s += line.substr(line.find('"')) + " ";
    return s;
  }
  // The caption and the first line of the innermost modal window's text.
  static std::string question_probe() {
    const std::string text = modal_item_text(kMessageText);
    return modal_caption() + "|" + text.substr(0, text.find_first_of("\r\n"));
  }
};

TEST_F(UnloadDialogsTest, OpensOnTheWholeReportedRatesWithTheirBushels) {
  report_rates(75, 10);
  set_mirror(225, 0x80);  // lengths in feet
  set_mirror(7, 0);       // 8 ft, 7-inch rolls (bit 1 of byte 183 clear)
  const int shot = add_probe([] {
    screenshot("unload_parameters");
    return modal_caption();
  });
  const auto out = run([](gui::Window* w) { open_unload_parameters_dialog(w); },
                       "probe " + std::to_string(shot) + "\ntexts DIALOG\nclick CANCEL");
  EXPECT_EQ(answers(out)[0], "UNLOAD PARAMETERS");
  EXPECT_EQ(painted(out, "%"), "\"75 %\" \"10 %\" ");
  // 75 % and 10 % of 1124.96.
  EXPECT_EQ(painted(out, "BPH*"), "\"844 BPH*\" \"112 BPH*\" ");
  EXPECT_EQ(painted(out, "Based"), "\"*Based upon 8ft dryer @ 17.5 RPM.\" ");
  EXPECT_TRUE(raised_writes().empty());
}

TEST_F(UnloadDialogsTest, MinimumReachingMaximumOffersDefaultsOncePerRun) {
  report_rates(6, 5);
  const int question = add_probe(question_probe);
  const std::string q = "probe " + std::to_string(question) + "\n";
  const auto out = answers(run([](gui::Window* w) { open_unload_parameters_dialog(w); },
                               "click MAXIMUM DECREASE\n" + q +                // 5 / 5: asked
                                   "click No\nclick MAXIMUM DECREASE\n" + q +  // 4 / 5: not again
                                   "click MINIMUM INCREASE\n" + q + "click CANCEL"));
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(out[0],
            " ERROR SETTING MAX / MIN UNLOAD RATES|The MAXIMUM unload rate must be greater than "
            "MINIMUM unload rate.  Set defaults?.");
  EXPECT_EQ(out[1], "UNLOAD PARAMETERS|") << "the dialog itself, no second question";
  EXPECT_EQ(out[2], "UNLOAD PARAMETERS|");
  EXPECT_TRUE(unload_rate_warning_shown());
  EXPECT_TRUE(raised_writes().empty()) << "CANCEL sends nothing";
}

TEST_F(UnloadDialogsTest, YesToTheLiveQuestionSetsDefaultsThatAcceptSends) {
  report_rates(20, 19);
  run([](gui::Window* w) { open_unload_parameters_dialog(w); },
      "click MINIMUM INCREASE\nclick Yes\nclick ACCEPT");
  EXPECT_EQ(raised_writes(), (std::vector<std::string>{"206", "208"}));
  EXPECT_EQ(desired(206), 0x00);
  EXPECT_EQ(desired(207), 80);
  EXPECT_EQ(desired(208), 0x00);
  EXPECT_EQ(desired(209), 5);
}

TEST_F(UnloadDialogsTest, AcceptSendsOnlyTheChangedRateHighByteFirst) {
  report_rates(99, 30);
  run([](gui::Window* w) { open_unload_parameters_dialog(w); },
      "click MAXIMUM INCREASE\nclick MAXIMUM INCREASE\nclick MINIMUM INCREASE\n"
      "click MINIMUM DECREASE\nclick ACCEPT");
  EXPECT_EQ(raised_writes(), std::vector<std::string>{"206"});
  EXPECT_EQ(desired(206), 0);
  EXPECT_EQ(desired(207), 100) << "INCREASE stops at 100";
}

TEST_F(UnloadDialogsTest, AcceptWithMinimumNotBelowMaximumAsksTheLongQuestion) {
  report_rates(5, 5);  // reported so by the controller: no step has asked yet
  const int question = add_probe(question_probe);
  const std::string q = "probe " + std::to_string(question) + "\n";
  auto out = answers(run([](gui::Window* w) { open_unload_parameters_dialog(w); },
                         "click ACCEPT\n" + q + "click No"));
  const std::string tabs(11, '\t');
  ASSERT_EQ(out.size(), 1u);
  // The automation escapes nothing in a probe's answer: the tabs arrive as they are.
  EXPECT_EQ(out[0],
            " ERROR SETTING MAX / MIN UNLOAD RATES|The MAXIMUM unload rate must be "
            "greater than MINIMUM unload rate.  " +
                tabs + "Set defaults?  Pressing YES will set defaults (Hi = 80% and Low = 5%).   " +
                tabs + "Pressing NO will not change the previous settings.");
  EXPECT_TRUE(raised_writes().empty()) << "No keeps the previous settings";
  EXPECT_TRUE(unload_rate_warning_shown()) << "the ACCEPT question counts as the one warning";

  run([](gui::Window* w) { open_unload_parameters_dialog(w); }, "click ACCEPT\nclick Yes");
  EXPECT_EQ(raised_writes(), std::vector<std::string>{"206"}) << "the minimum is already 5";
  EXPECT_EQ(desired(206), 0);
  EXPECT_EQ(desired(207), 80);
}

TEST_F(UnloadDialogsTest, ManagerStepsWrapAndAcceptSendsTheByte) {
  set_mirror(50, 0x38);  // off, time index 7 (240 min), step index 0 (1 F)
  const int values = add_probe([] {
    std::string s = modal_item_checked(res::kManagerOnMark) ? "ON" : "";
    s += modal_item_checked(res::kManagerOffMark) ? "OFF" : "";
    return s;
  });
  const std::string v = "probe " + std::to_string(values) + "\ntexts DIALOG\n";
  const auto out = run(
      [](gui::Window* w) { open_plenum_temperature_manager_dialog(w); },
      v + "click TIME INCREASE\nclick STEP DECREASE\nclick SELECT ON / OFF\n" + v + "click ACCEPT");
  EXPECT_EQ(painted(out, "MIN\""), "\"240 MIN\" \"15 MIN\" ");
  EXPECT_EQ(painted(out, kDegreeF), "\"1 " + std::string(kDegreeF) + "\" \"25 " + kDegreeF + "\" ");
  const auto marks = answers(out);
  EXPECT_NE(std::find(marks.begin(), marks.end(), "OFF"), marks.end());
  EXPECT_NE(std::find(marks.begin(), marks.end(), "ON"), marks.end());
  EXPECT_EQ(raised_writes(), std::vector<std::string>{"50"});
  EXPECT_EQ(desired(50), 0x87);
}

TEST_F(UnloadDialogsTest, ManagerSendsNothingUnchangedOrCancelled) {
  set_mirror(50, 0x9B);
  run([](gui::Window* w) { open_plenum_temperature_manager_dialog(w); },
      "click SELECT ON / OFF\nclick SELECT ON / OFF\nclick TIME INCREASE\nclick TIME DECREASE\n"
      "click ACCEPT");
  EXPECT_TRUE(raised_writes().empty());
  run([](gui::Window* w) { open_plenum_temperature_manager_dialog(w); },
      "click STEP INCREASE\nclick CANCEL");
  EXPECT_TRUE(raised_writes().empty());
}

TEST_F(UnloadDialogsTest, HelpShowsTheHelpFilesUnderTheirCaptions) {
  const int help = add_probe(question_probe);
  const std::string h = "probe " + std::to_string(help) + "\n";
  auto out = answers(run([](gui::Window* w) { open_plenum_temperature_manager_dialog(w); },
                         "click HELP\n" + h + "click OK\nclick CANCEL"));
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].rfind("PLENUM TEMPERATURE MANAGER HELP|PLENUM TEMPERATURE MANAGER", 0), 0u)
      << out[0];
  out = answers(run([](gui::Window* w) { open_unload_parameters_dialog(w); },
                    "click HELP\n" + h + "click OK\nclick CANCEL"));
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0], "UNLOAD PARAMETERS HELP|UNLOAD PARAMETERS") << "the file's first line";
}

}  // namespace
}  // namespace corvex::settings
