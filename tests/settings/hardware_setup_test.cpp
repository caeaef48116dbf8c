// The hardware set-up "DRYER HARDWARE SETUP - 05": the SELECT rules, the layout of each dryer
// family, the cycled sampler question and what ACCEPT/EXIT sends, driven through the dialog's
// own loop.
#include "settings/hardware_setup.h"

#include "resources/setup_dialogs.h"
#include "tests/settings/setup_test_support.h"

namespace corvex::settings {
namespace {

using namespace setup_testing;
namespace res = resources;

std::string id(int control) { return std::to_string(control); }

class HardwareSetupTest : public SetupTest {
 protected:
  std::vector<std::string> run_dialog(const std::string& script) {
    return answers(run([](gui::Window* w) { open_hardware_setup_dialog(w); }, script));
  }
  // The label of the checked radio button of a group, or "none".
  static std::string checked_of(int first, int count) {
    for (int i = 0; i < count; ++i) {
      if (modal_item_checked(first + i)) return modal_item_text(first + i);
    }
    return "none";
  }
};

TEST_F(HardwareSetupTest, LengthSelectWrapsAtTheEndOfEachFamilysList) {
  // Mixed flow (type 64): KM01 .. KM12, then KM01 again.
  std::string labels;
  uint8_t length = 0;
  for (int step = 0; step < 13; ++step) {
    char label[16];
    length_label(DryerFamily::MixedFlow, length, label);
    labels += std::string(label) + " ";
    length = next_length(64, length);
  }
  EXPECT_EQ(labels, "KM01 KM02 KM03 KM04 KM05 KM06 KM07 KM08 KM09 KM10 KM11 KM12 KM01 ");
  for (uint8_t type : {32, 33, 34, 64}) EXPECT_EQ(next_length(type, 11), 0) << int(type);
  // Every other code, the mixed-flow ones beyond 64 included, steps through all fifteen.
  for (uint8_t type : {0, 35, 65, 0x80, 0x10}) {
    EXPECT_EQ(next_length(type, 11), 12) << int(type);
    EXPECT_EQ(next_length(type, 14), 0) << int(type);
  }
  // Out of range values come back to the start.
  EXPECT_EQ(next_length(64, 200), 0);
}

TEST_F(HardwareSetupTest, FanHeaterSelectFollowsTheModulesAndTheDryerType) {
  const auto steps = [](uint8_t type, uint8_t modules, uint8_t from, int count) {
    std::string out;
    uint8_t v = from;
    for (int i = 0; i < count; ++i) {
      v = next_fan_heaters(type, modules, v);
      out += std::to_string(v);
    }
    return out;
  };
  // Plain dryer: modules Three toggles Four/Six, Two toggles Three/Four, One cycles 1-2-3.
  EXPECT_EQ(steps(0x10, 2, kFanHeatersFour, 3), "434");
  EXPECT_EQ(steps(0x10, 2, kFanHeatersTwo, 2), "34");
  EXPECT_EQ(steps(0x10, 1, kFanHeatersThree, 3), "323");
  EXPECT_EQ(steps(0x10, 1, kFanHeatersSix, 1), "2");
  EXPECT_EQ(steps(0x10, 0, kFanHeatersOne, 4), "1201");
  EXPECT_EQ(steps(0x10, 0, kFanHeatersSix, 1), "0");
  // Numbered models: One/Three, whatever the modules.
  EXPECT_EQ(steps(0x21, 2, kFanHeatersFour, 3), "020");
  // Mixed flow: fixed by the category.
  EXPECT_EQ(steps(0x40, 0, kFanHeatersOne, 2), "22");
  EXPECT_EQ(steps(0x40, 2, kFanHeatersOne, 2), "33");
  // Modules SELECT and the fan/heaters it sets.
  EXPECT_EQ(next_modules(0), 1);
  EXPECT_EQ(next_modules(2), 0);
  EXPECT_EQ(fan_heaters_for_modules(0), kFanHeatersThree);
  EXPECT_EQ(fan_heaters_for_modules(2), kFanHeatersFour);
  EXPECT_EQ(next_fuel(3), 0);
  EXPECT_EQ(next_load_system(2), 0);
}

TEST_F(HardwareSetupTest, ModulesThreeThenFanHeatersFourSixFour) {
  set_mirror(225, 0x10);
  const int fan = add_probe([] {
    screenshot("hardware_plain");
    return checked_of(res::kHwFanFirst, res::kHwFanChoices); });
  const int modules =
      add_probe([] { return checked_of(res::kHwModulesFirst, res::kHwModulesChoices); });
  const std::string f = "probe " + id(fan) + "\n";
  const auto out = run_dialog(f + "probe " + id(modules) + "\nclick " + id(res::kHwModulesSelect) +
                              "\nclick " + id(res::kHwModulesSelect) + "\nprobe " + id(modules) +
                              "\n" + f + "click " + id(res::kHwFanSelect) + "\n" + f + "click " +
                              id(res::kHwFanSelect) + "\n" + f + "click " + id(res::kHwAcceptExit));
  const std::vector<std::string> expected = {"One", "One", "Three", "Four", "Six", "Four"};
  EXPECT_EQ(out, expected);
  EXPECT_EQ(desired(3), kFanHeatersFour);
  EXPECT_EQ(desired(4), 2);
  // Fan/heaters first in the table, then modules; the dual-plenum clear since it is not One.
  EXPECT_EQ(raised_writes(), (std::vector<std::string>{"3", "4", "257"}));
  EXPECT_EQ(link::dryer_state().delayed_redraw.load(), 1);
}

TEST_F(HardwareSetupTest, AcceptWithoutAChangeSendsOnlyTheDualPlenumClear) {
  set_mirror(3, kFanHeatersThree);
  set_mirror(4, 0);
  set_mirror(7, 5);
  set_mirror(257, 0x46);  // dual plenum set, with other criteria
  set_mirror(279, 0x80);
  set_mirror(293, 0x80);
  run_dialog("click " + id(res::kHwAcceptExit));
  EXPECT_EQ(raised_writes(), std::vector<std::string>{"257"});
  EXPECT_EQ(desired(257), 0x44) << "only bit 1 is cleared";
  EXPECT_EQ(desired(3), kFanHeatersThree);
  EXPECT_EQ(desired(279), 0x80);
  EXPECT_EQ(link::dryer_state().delayed_redraw.load(), 1);

  link::reset_dryer_state();
  set_mirror(3, kFanHeatersOne);
  set_mirror(257, 0x02);
  run_dialog("click " + id(res::kHwAcceptExit));
  EXPECT_TRUE(raised_writes().empty()) << "a single fan/heater keeps its dual plenum";
}

TEST_F(HardwareSetupTest, CycledSamplerAsksBeforeItIsSwitchedOn) {
  const int state = add_probe([] {
    return std::string(modal_item_checked(res::kHwCycledSampler) ? "on " : "off ") +
           std::to_string(desired(293));
  });
  const int question = add_probe([] {
    return modal_caption() + " | " + modal_item_text(res::kQuestionText);
  });
  const std::string check = "click " + id(res::kHwCycledSampler) + "\n";
  const std::string s = "probe " + id(state) + "\n";
  const auto out =
      run_dialog(check + "probe " + id(question) + "\nclick CANCEL\n" + s +  // still off
                 check + "click No\n" + s +                                  // off
                 check + "click Yes\n" + s +                                 // on
                 check + s +                          // off again, without a question
                 check + "click Yes\nclick " + id(res::kHwAcceptExit));
  const std::vector<std::string> expected = {
      "CYCLED MOISTURE SAMPLER | Selecting YES requires the cycled sampler to be installed, "
      "are you sure?",
      "off 0", "off 0", "on 128", "off 0"};
  EXPECT_EQ(out, expected);
  // One fan/heater (the reset value): no dual-plenum clear.
  EXPECT_EQ(raised_writes(), std::vector<std::string>{"293"});
  EXPECT_EQ(desired(293), 0x80);
}

TEST_F(HardwareSetupTest, MixedFlowLayout) {
  set_mirror(225, 0x40);
  set_mirror(183, 0x02);  // a 4 inch roll is reported, but mixed flow always has 7 inch
  set_mirror(7, 11);
  const int layout = add_probe([] {
    screenshot("hardware_mixed_flow");
    std::string out = modal_item_text(res::kHwModulesGroup) + "|" +
                      modal_item_text(res::kHwLengthGroup) + "|" +
                      modal_item_text(res::kHwModulesFirst + 2) + "|" +
                      modal_item_text(res::kHwModulesFirst) + "|" +
                      checked_of(res::kHwLengthFirst, res::kHwLengthChoices) + "|" +
                      modal_item_text(res::kHwMeterRoll) + "|";
    for (int id : {res::kHwFuelGroup, res::kHwFuelFirst, res::kHwFuelSelect, res::kHwLoadGroup,
                   res::kHwLoadSelect, res::kHwLengthFirst + 12, res::kHwLengthFirst + 14}) {
      out += modal_item_shown(id) ? "shown " : "hidden ";
    }
    out += modal_item_shown(res::kHwLengthFirst + 11) ? "KM12 shown" : "KM12 hidden";
    return out;
  });
  const auto out = run_dialog("probe " + id(layout) + "\nclick " + id(res::kHwLengthSelect) +
                              "\nclick " + id(res::kHwAcceptExit));
  EXPECT_EQ(out, std::vector<std::string>{
                     "Select KM dryer category|Mixed Flow Models|KM07, KM10, KM11, KM12|"
                     "KM01, KM04|KM12|Meter Roll Size: 7 inch|hidden hidden hidden hidden "
                     "hidden hidden hidden KM12 shown"});
  EXPECT_EQ(desired(7), 0) << "KM12 wraps to KM01";
  // The length step re-sends the cycled-sampler byte.
  EXPECT_EQ(raised_writes(), (std::vector<std::string>{"7", "293"}));
}

TEST_F(HardwareSetupTest, NumberedModelAndFeetLayouts) {
  set_mirror(225, 0x21);
  set_mirror(7, 12);
  const int layout = add_probe([] {
    return modal_item_text(res::kHwLengthGroup) + "|" + modal_item_text(res::kHwFanGroup) + "|" +
           modal_item_text(res::kHwLengthFirst) + "|" + modal_item_text(res::kHwLengthFirst + 10) +
           "|" + checked_of(res::kHwLengthFirst, res::kHwLengthChoices) + "|" +
           (modal_item_shown(res::kHwFuelGroup) ? "fuel shown" : "fuel hidden");
  });
  auto out = run_dialog("probe " + id(layout) + "\nclick " + id(res::kHwAcceptExit));
  EXPECT_EQ(out, std::vector<std::string>{
                     "DRYER MODEL|FAN/HEATERS|TD01, TD02|TD18|NOT USED|fuel shown"});

  link::reset_dryer_state();
  set_mirror(225, 0x80);
  set_mirror(183, 0x02);
  set_mirror(7, 14);
  const int feet = add_probe([] {
    return checked_of(res::kHwLengthFirst, res::kHwLengthChoices) + "|" +
           modal_item_text(res::kHwMeterRoll) + "|" + modal_item_text(res::kHwFanGroup);
  });
  out = run_dialog("probe " + id(feet) + "\nclick " + id(res::kHwAcceptExit));
  EXPECT_EQ(out, std::vector<std::string>{"40 ft|Meter Roll Size: 4 inch|Number FH"});
}

TEST_F(HardwareSetupTest, GrainInverterAndSensorSetup) {
  set_mirror(279, 0x01);  // auto-start running, no inverter
  set_mirror(287, 0x08);  // some other dry-sensor code
  set_mirror(3, kFanHeatersOne);
  const auto out = run_dialog("click " + id(res::kHwGrainInverter) + "\nclick \"SENSOR SETUP\"\n" +
                              "click " + id(res::kSensorWetNetwork) + "\nclick " +
                              id(res::kSensorDryAnalog) + "\nclick Accept\nclick " +
                              id(res::kHwAcceptExit));
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(desired(279), 0x81) << "bit 7 toggled, the auto-start bits kept";
  EXPECT_EQ(desired(287), 0x01) << "wet network, dry analog";
  EXPECT_EQ(raised_writes(), (std::vector<std::string>{"279", "287"}));
}

TEST_F(HardwareSetupTest, TemplateFitsTheScreenAndAFinger) {
  res::register_setup_dialog_templates();
  for (int resource : {res::kHardwareSetupDialog, res::kUnitsDialog, res::kUserSettingsDialog,
                       res::kSensorSelectionDialog, res::kCycledSamplerDialog}) {
    const gui::DialogTemplate* t = gui::find_dialog_template(resource);
    ASSERT_NE(t, nullptr) << resource;
    EXPECT_TRUE((Rect{0, 0, 640, 480}).contains(t->rect)) << resource;
    const Rect client{0, 0, t->rect.width() - 6, t->rect.height() - 26};
    for (const gui::ControlTemplate& c : t->controls) {
      EXPECT_TRUE(client.contains(c.rect)) << resource << " " << c.text;
      const uint32_t kind = c.style & gui::control_style::kButtonKindMask;
      const bool touched = c.class_name == gui::kButtonClass &&
                           (kind == gui::control_style::kPushButton ||
                            kind == gui::control_style::kCheckBox ||
                            resource == res::kSensorSelectionDialog);
      if (touched && kind != gui::control_style::kGroupBox) {
        EXPECT_GE(c.rect.height(), 40) << resource << " " << c.text;
      }
    }
  }
}

}  // namespace
}  // namespace corvex::settings
