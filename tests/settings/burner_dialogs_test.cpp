// The burner-mode and burner-differential dialogs, driven through their own loops: what each
// ACCEPT writes into the records, and what it leaves alone.
#include "settings/burner_dialogs.h"

#include "resources/burner_dialogs.h"
#include "tests/settings/setup_test_support.h"

namespace corvex::settings {
namespace {

using namespace setup_testing;
namespace res = resources;

class BurnerDialogsTest : public SetupTest {};

TEST(BurnerModeBits, ChoicesMapToCodesAndKeepTheOtherBits) {
  EXPECT_EQ(with_burner_choice(0x86, BurnerChoice::Third), 0x87);
  EXPECT_EQ(with_burner_choice(0x86, BurnerChoice::First), 0x84);
  EXPECT_EQ(with_burner_choice(0xFC, BurnerChoice::Second), 0xFD);
  EXPECT_EQ(with_burner_choice(0x03, BurnerChoice::None), 0x00);
  EXPECT_EQ(burner_choice(0x84), BurnerChoice::First);
  EXPECT_EQ(burner_choice(0x85), BurnerChoice::Second);
  EXPECT_EQ(burner_choice(0x86), BurnerChoice::None) << "code 2 is none of the three";
  EXPECT_EQ(burner_choice(0x87), BurnerChoice::Third);
  EXPECT_EQ(next_burner_choice(BurnerChoice::Third), BurnerChoice::First);
  EXPECT_EQ(next_burner_choice(BurnerChoice::None), BurnerChoice::None);
}

TEST_F(BurnerDialogsTest, BurnerModeAcceptWritesOnlyTheChangedFanHeaters) {
  for (int n = 1; n <= 6; ++n) set_mirror(107 - n, 0x43);  // all on the third choice
  set_mirror(106, 0x86);                                    // fan/heater 1: code 2
  set_mirror(105, 0x86);                                    // fan/heater 2: code 2
  const int marks = add_probe([] {
    std::string s;
    for (int n = 1; n <= 3; ++n) {
      for (int k = 0; k < 3; ++k) s += modal_item_checked(res::kBurnerFirstMark + 3 * (n - 1) + k) ? 'x' : '.';
      s += ' ';
    }
    screenshot("burner_mode");
    return modal_caption() + " " + s;
  });
  const auto out = answers(run([](gui::Window* w) { open_burner_mode_dialog(w); },
                               "probe " + std::to_string(marks) +
                                   "\nclick \"SELECT #1\"\nprobe " + std::to_string(marks) +
                                   "\nclick ALL AUTO\nclick \"SELECT #2\"\nprobe " +
                                   std::to_string(marks) + "\nclick ACCEPT"));
  EXPECT_EQ(out, (std::vector<std::string>{
                     "SELECT BURNER MODE ... ... ..x ",
                     "SELECT BURNER MODE ... ... ..x ",  // a group without a check stays so
                     "SELECT BURNER MODE ..x x.. ..x ",
                 }));
  EXPECT_EQ(desired(106), 0x87);
  EXPECT_EQ(desired(105), 0x84);
  EXPECT_EQ(raised_writes(), (std::vector<std::string>{"105", "106"}));
}

TEST_F(BurnerDialogsTest, BurnerModeCancelSendsNothing) {
  set_mirror(104, 0x01);
  run([](gui::Window* w) { open_burner_mode_dialog(w); }, "click ALL ON/OFF\nclick CANCEL");
  EXPECT_TRUE(raised_writes().empty());
}

TEST_F(BurnerDialogsTest, DifferentialRaisesOnlyTheChosenPlenum) {
  for (int n = 1; n <= 6; ++n) set_mirror(101 - n, 4);
  run([](gui::Window* w) { open_burner_differential_dialog(w); },
      "click \"PLENUM #4\"\nclick +/- 2\nclick ACCEPT");
  EXPECT_EQ(raised_writes(), std::vector<std::string>{"97"});
  EXPECT_EQ(desired(97), 2);
  EXPECT_EQ(desired(100), 4);
}

TEST_F(BurnerDialogsTest, DifferentialStartsAtPlenumOneAndFollowsTheLastPlenumChosen) {
  for (int n = 1; n <= 6; ++n) set_mirror(101 - n, 3);
  const int shot = add_probe([] {
    screenshot("burner_differential");
    return modal_caption();
  });
  const auto out = answers(run([](gui::Window* w) { open_burner_differential_dialog(w); },
                               "probe " + std::to_string(shot) +
                                   "\nclick +/- 5\nclick \"PLENUM #6\"\nclick \"PLENUM #2\"\nclick +/- 1"
                                   "\nclick ACCEPT"));
  EXPECT_EQ(out, std::vector<std::string>{"BURNER DIFFERENTIAL SETTINGS"});
  EXPECT_EQ(raised_writes(), (std::vector<std::string>{"99", "100"}));
  EXPECT_EQ(desired(100), 5);
  EXPECT_EQ(desired(99), 1);
  EXPECT_EQ(desired(95), 3);
}

TEST_F(BurnerDialogsTest, DifferentialLineNamesThePlenumInDegreesF) {
  EXPECT_EQ(differential_line(4, 2), "PLENUM #4:   2 \xC2\xB0" "F ");
  EXPECT_EQ(differential_line(1, 15), "PLENUM #1:  15 \xC2\xB0" "F ");
}

}  // namespace
}  // namespace corvex::settings
