// The bracketed five-speed set-up: the ranges of its four values by moisture-control type, its
// defaults, what ACCEPT / EXIT raises, and the texts it paints.
#include <string>
#include <vector>

#include "link/status_bytes.h"
#include "resources/drying_dialogs.h"
#include "settings/bracket_setup_dialog.h"
#include "tests/settings/setup_test_support.h"

namespace corvex::settings {
namespace {

using namespace setup_testing;
namespace res = resources;

class DryingBracketTest : public SetupTest {
 protected:
  // Opens the set-up's state on type `type` with the four values as the controller reports them.
  static void begin(uint8_t type, uint8_t outer, uint8_t inner, uint8_t outer_offset,
                    uint8_t inner_offset) {
    set_mirror(link::kMoistureControlType, type);
    set_mirror(226, outer);
    set_mirror(227, inner);
    set_mirror(228, outer_offset);
    set_mirror(229, inner_offset);
    begin_bracket_setup();
  }
  static void inner_row() {
    if (bracket_row() == BracketRow::Outer) select_next_bracket_row();
  }
  // Steps the selected limit (or offset) until it stops; returns where it stopped.
  static int run_limit(int direction, uint16_t slot) {
    for (int i = 0; i < 100 && step_bracket_limit(direction); ++i) {
    }
    return desired(slot);
  }
  static int run_offset(int direction, uint16_t slot) {
    for (int i = 0; i < 100 && step_bracket_offset(direction); ++i) {
    }
    return desired(slot);
  }
};

TEST_F(DryingBracketTest, LimitRangesFollowTheMoistureControlType) {
  begin(4, 7, 6, 6, 3);  // moisture, 5 speed: tenths of a percent
  inner_row();
  EXPECT_FALSE(step_bracket_limit(+1)) << "6 is the inner limit's maximum";
  EXPECT_EQ(run_limit(-1, 227), 1) << "inner DEC stops at 1";
  select_next_bracket_row();
  EXPECT_EQ(run_limit(+1, 226), 30);
  EXPECT_EQ(run_limit(-1, 226), 3) << "outer DEC stops above the inner limit and at 3";

  begin(4, 6, 6, 6, 3);
  EXPECT_FALSE(step_bracket_limit(-1)) << "the outer limit may not come down onto the inner";
  EXPECT_EQ(desired(226), 6);

  begin(0x45, 3, 1, 6, 3);  // temperature, 5 speed: whole degrees
  EXPECT_EQ(run_limit(+1, 226), 5);
  inner_row();
  EXPECT_EQ(run_limit(+1, 227), 2) << "2 is the inner limit's maximum for temperature";
  select_next_bracket_row();
  EXPECT_EQ(run_limit(-1, 226), 2) << "the outer limit comes down to the inner one, no further";
  inner_row();
  EXPECT_EQ(run_limit(-1, 227), 1);
  select_next_bracket_row();
  step_bracket_limit(+1);
  step_bracket_limit(+1);
  EXPECT_EQ(run_limit(-1, 226), 2) << "2 is the outer limit's minimum for temperature";
}

TEST_F(DryingBracketTest, OffsetRangesKeepTheOuterAboveTheInner) {
  begin(4, 6, 3, 5, 5);
  inner_row();
  EXPECT_TRUE(step_bracket_offset(+1)) << "inner INC still allowed once";
  EXPECT_EQ(desired(229), 6);
  EXPECT_FALSE(step_bracket_offset(+1));
  select_next_bracket_row();
  EXPECT_FALSE(step_bracket_offset(-1)) << "outer DEC not allowed at or below inner + 1";
  EXPECT_EQ(run_offset(+1, 228), 30);

  begin(4, 6, 3, 20, 3);
  inner_row();
  EXPECT_EQ(run_offset(+1, 229), 10);
  EXPECT_EQ(run_offset(-1, 229), 1);
  select_next_bracket_row();
  EXPECT_EQ(run_offset(-1, 228), 3);
}

TEST_F(DryingBracketTest, DefaultsByTypeAndAcceptRaisesOnlyWhatChanged) {
  begin(4, 6, 2, 6, 3);
  select_bracket_defaults();
  EXPECT_EQ(desired(226), 6);
  EXPECT_EQ(desired(227), 3);
  accept_bracket_setup();
  EXPECT_EQ(raised_writes(), std::vector<std::string>{"227"});

  link::reset_dryer_state();
  begin(1, 6, 3, 6, 3);
  select_bracket_defaults();
  accept_bracket_setup();
  EXPECT_EQ(desired(226), 3);
  EXPECT_EQ(desired(227), 1);
  EXPECT_EQ(raised_writes(), (std::vector<std::string>{"226", "227"}));

  link::reset_dryer_state();
  begin(4, 9, 4, 12, 5);
  accept_bracket_setup();
  EXPECT_TRUE(raised_writes().empty()) << "ACCEPT without a change raises nothing";
}

TEST_F(DryingBracketTest, ValuesStartFromTheControllerUnlessAWriteIsOnItsWay) {
  set_mirror(226, 9);
  link::raise_write(link::PendingWrite::k187, {{link::kMoistureControlType, 5}});
  set_mirror(link::kMoistureControlType, 4);
  link::raise_write(link::PendingWrite::k227, {{227, 2}});
  set_mirror(227, 5);
  begin_bracket_setup();
  EXPECT_EQ(desired(226), 9);
  EXPECT_EQ(desired(227), 2);
  EXPECT_FALSE(bracket_moisture_type()) << "the scheme the operator just chose counts";
}

TEST_F(DryingBracketTest, TextsShowLimitsAroundTheSetpointAndTheResultingSpeeds) {
  set_mirror(link::kMoistureSetpoint, 0);
  set_mirror(link::kMoistureSetpoint + 1, 155);  // 15.5 %
  set_mirror(link::kAltSecondSetting, 50);       // centre speed 500
  set_mirror(157, 53);                           // maximum 530
  begin(4, 12, 5, 6, 2);
  EXPECT_EQ(bracket_limit_texts(),
            (std::array<std::string, 5>{"+1.2 %", "+0.5 %", "15.5 %", "-0.5 %", "-1.2 %"}));
  EXPECT_EQ(bracket_offset_texts(), (std::array<std::string, 5>{"+60", "+20", "", "-20", "-60"}));
  EXPECT_EQ(bracket_resulting_speeds(), (std::array<int, 5>{560, 520, 500, 480, 440}));
  EXPECT_TRUE(bracket_speed_above_maximum(531));
  EXPECT_FALSE(bracket_speed_above_maximum(530));
  set_mirror(157, 0);
  EXPECT_FALSE(bracket_speed_above_maximum(5000)) << "no maximum reported";
  set_mirror(link::kAltSecondSetting, 4);
  EXPECT_EQ(bracket_resulting_speeds()[4], 0) << "never below 0";

  set_mirror(link::kTargetSetpoint1, 105);
  set_mirror(link::kTargetSetpoint1 + 1, 0);
  begin(5, 3, 1, 6, 3);
  EXPECT_EQ(bracket_limit_texts(), (std::array<std::string, 5>{"+3 \xC2\xB0"
                                                               "F",
                                                               "+1 \xC2\xB0"
                                                               "F",
                                                               "105\xC2\xB0"
                                                               "F",
                                                               "-1 \xC2\xB0"
                                                               "F",
                                                               "-3 \xC2\xB0"
                                                               "F"}));
}

TEST_F(DryingBracketTest, DialogStepsTheSelectedRowAndSendsOnAccept) {
  set_mirror(link::kMoistureControlType, 5);
  set_mirror(226, 3);
  set_mirror(227, 1);
  set_mirror(228, 6);
  set_mirror(229, 3);
  const int state = add_probe([] {
    screenshot("bracket_setup");
    return modal_caption() + "|" + modal_item_text(res::kBracketLimitGroup) + "|" +
           std::to_string(raised_writes().size());
  });
  const auto out =
      answers(run([](gui::Window* w) { open_bracket_setup(w); },
                  "click LIMIT INC\nclick SELECT\nclick OFFSET DEC\nclick OFFSET DEC\n" +
                      std::string("probe ") + std::to_string(state) + "\nclick ACCEPT / EXIT"));
  EXPECT_EQ(out,
            std::vector<std::string>{"BRACKETED 5 SPEED MOISTURE CONTROL SETUP|TEMPERATURE|0"});
  EXPECT_EQ(desired(226), 4);
  EXPECT_EQ(desired(229), 1);
  EXPECT_EQ(raised_writes(), (std::vector<std::string>{"226", "229"}));
}

}  // namespace
}  // namespace corvex::settings
