#include "resources/setup_dialogs.h"

#include <string>

#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"

namespace corvex::resources {

namespace {

namespace gui = platform::gui;
namespace cs = gui::control_style;
using platform::Rect;

constexpr uint32_t kCentered = gui::dialog_style::kDialog | gui::dialog_style::kCenter;
// Radio buttons and check boxes that only show what the dialog sets; a tap only notifies it.
constexpr uint32_t kShownRadio = cs::kRadioButton | cs::kManualCheck;
constexpr uint32_t kShownCheck = cs::kCheckBox | cs::kManualCheck;

void add(gui::DialogTemplate& t, std::string_view cls, std::string text, int id, uint32_t style,
         Rect r) {
  t.controls.push_back({std::string(cls), std::move(text), id, style, r});
}
void add_button(gui::DialogTemplate& t, std::string text, int id, Rect r) {
  add(t, gui::kButtonClass, std::move(text), id, 0, r);
}
void add_key(gui::DialogTemplate& t, std::string text, int id, Rect r) {
  add(t, gui::kButtonClass, std::move(text), id, gui::style::kOwnerDraw, r);
}

// 440 x 230 outside: a client of 434 x 204 with the question above three buttons.
gui::DialogTemplate question_template(int resource, const char* caption) {
  gui::DialogTemplate t;
  t.resource_id = resource;
  t.caption = caption;
  t.rect = Rect::from_xywh(100, 125, 440, 230);
  t.style = kCentered;
  add(t, gui::kStaticClass, "", kQuestionText, gui::style::kMultiLine | cs::kAlignCenter,
      Rect::from_xywh(16, 14, 402, 100));
  add_key(t, "Yes", kQuestionYes, Rect::from_xywh(16, 130, 124, 56));
  add_key(t, "No", kQuestionNo, Rect::from_xywh(155, 130, 124, 56));
  add_key(t, "CANCEL", kQuestionCancel, Rect::from_xywh(294, 130, 124, 56));
  return t;
}

gui::DialogTemplate user_settings_template() {
  gui::DialogTemplate t;
  t.resource_id = kUserSettingsDialog;
  t.caption = "USER SETTINGS - 20";
  t.rect = Rect::from_xywh(60, 110, 520, 260);  // client 514 x 234
  t.style = kCentered;
  add(t, gui::kStaticClass, "", kUserSettingsLine1, gui::style::kMultiLine,
      Rect::from_xywh(16, 12, 482, 50));
  add(t, gui::kStaticClass, "", kUserSettingsLine2, gui::style::kMultiLine,
      Rect::from_xywh(16, 66, 482, 50));
  add_key(t, "SAVE SETTINGS", kUserSettingsSave, Rect::from_xywh(16, 150, 150, 60));
  add_key(t, "RESTORE SETTINGS", kUserSettingsRestore, Rect::from_xywh(182, 150, 150, 60));
  add_key(t, "CANCEL", kUserSettingsCancel, Rect::from_xywh(348, 150, 150, 60));
  return t;
}

gui::DialogTemplate sensor_selection_template() {
  gui::DialogTemplate t;
  t.resource_id = kSensorSelectionDialog;
  t.caption = "Moisture Sensor Selection";
  t.rect = Rect::from_xywh(60, 75, 520, 330);  // client 514 x 304
  t.style = kCentered;
  const uint32_t radio = cs::kRadioButton | cs::kManualCheck;
  add(t, gui::kButtonClass, "WET SENSOR (INCOMING GRAIN)", kSensorWetGroup, cs::kGroupBox,
      Rect::from_xywh(10, 6, 494, 100));
  add(t, gui::kButtonClass, "Analog (DMC Style)", kSensorWetAnalog, radio,
      Rect::from_xywh(24, 40, 230, 44));
  add(t, gui::kButtonClass, "Network", kSensorWetNetwork, radio,
      Rect::from_xywh(270, 40, 220, 44));
  add(t, gui::kButtonClass, "DRY SENSOR (DISCHARGE GRAIN)", kSensorDryGroup, cs::kGroupBox,
      Rect::from_xywh(10, 114, 494, 100));
  add(t, gui::kButtonClass, "Analog (DMC Style)", kSensorDryAnalog, radio | cs::kGroup,
      Rect::from_xywh(24, 148, 230, 44));
  add(t, gui::kButtonClass, "Network", kSensorDryNetwork, radio,
      Rect::from_xywh(270, 148, 220, 44));
  add_button(t, "Accept", kSensorAccept, Rect::from_xywh(60, 232, 180, 56));
  add_button(t, "Cancel", kSensorCancel, Rect::from_xywh(274, 232, 180, 56));
  return t;
}

// A group of the hardware set-up: the box, the radio buttons one under the other from
// `first_id`, and SELECT at the bottom.
void add_choice_group(gui::DialogTemplate& t, const char* caption, int group_id, Rect box,
                      std::initializer_list<const char*> labels, int first_id, int select_id) {
  add(t, gui::kButtonClass, caption, group_id, cs::kGroupBox, box);
  int id = first_id;
  int top = box.top + 22;
  for (const char* label : labels) {
    add(t, gui::kButtonClass, label, id++, kShownRadio,
        Rect::from_xywh(box.left + 10, top, box.width() - 16, 22));
    top += 22;
  }
  add_button(t, "SELECT", select_id,
             Rect::from_xywh(box.left + 8, box.bottom - 50, box.width() - 16, 42));
}

gui::DialogTemplate hardware_template() {
  gui::DialogTemplate t;
  t.resource_id = kHardwareSetupDialog;
  t.caption = "DRYER HARDWARE SETUP - 05";
  t.rect = Rect::from_xywh(0, 0, 640, 480);  // client 634 x 454
  t.style = kCentered;
  add_choice_group(t, "Number FH", kHwFanGroup, {4, 2, 114, 186},
                   {"One", "Two", "Three", "Four", "Six"}, kHwFanFirst, kHwFanSelect);
  add_choice_group(t, "Number of Modules", kHwModulesGroup, {118, 2, 348, 186},
                   {"One", "Two", "Three"}, kHwModulesFirst, kHwModulesSelect);
  add_choice_group(t, "Fuel", kHwFuelGroup, {352, 2, 488, 186},
                   {"LP", "Natural Gas", "Vapor", "Diesel"}, kHwFuelFirst, kHwFuelSelect);
  add_choice_group(t, "Load System", kHwLoadGroup, {492, 2, 630, 186},
                   {"End Fill", "Center Fill", "Dual Fill"}, kHwLoadFirst, kHwLoadSelect);
  // The length list: fifteen entries in three columns of five.
  add(t, gui::kButtonClass, "Dryer Length", kHwLengthGroup, cs::kGroupBox, {4, 190, 404, 380});
  static constexpr const char* kFeet[kHwLengthChoices] = {
      "8 ft",  "10 ft", "12 ft", "14 ft", "16 ft", "18 ft", "20 ft", "22 ft",
      "24 ft", "26 ft", "28 ft", "34 ft", "36 ft", "38 ft", "40 ft"};
  for (int i = 0; i < kHwLengthChoices; ++i) {
    add(t, gui::kButtonClass, kFeet[i], kHwLengthFirst + i, kShownRadio,
        Rect::from_xywh(14 + (i / 5) * 130, 212 + (i % 5) * 22, 126, 22));
  }
  add_button(t, "SELECT", kHwLengthSelect, Rect::from_xywh(12, 328, 384, 44));
  add(t, gui::kButtonClass, "Grain Inverter", kHwGrainInverter, kShownCheck,
      Rect::from_xywh(412, 196, 218, 42));
  add(t, gui::kButtonClass, "Cycled Moisture Sampler", kHwCycledSampler, kShownCheck,
      Rect::from_xywh(412, 242, 218, 42));
  add(t, gui::kStaticClass, "", kHwMeterRoll, cs::kVCenter, Rect::from_xywh(412, 290, 218, 30));
  add_button(t, "SENSOR SETUP", kHwSensorSetup, Rect::from_xywh(412, 328, 218, 44));
  add_button(t, "ACCEPT/EXIT", kHwAcceptExit, Rect::from_xywh(217, 392, 200, 52));
  return t;
}

void register_once(gui::DialogTemplate t) {
  if (gui::find_dialog_template(t.resource_id) == nullptr) {
    gui::register_dialog_template(std::move(t));
  }
}

}  // namespace

void register_setup_dialog_templates() {
  gui::register_controls();
  if (gui::find_dialog_template(kCycledSamplerDialog) != nullptr) return;
  register_once(question_template(kUnitsDialog, "Switch to SI units of Measure"));
  register_once(question_template(kMeteringRollReverseDialog, "METERING ROLL REVERSE OPTION"));
  register_once(question_template(kClearBatchCounterDialog, "Clear Batch Counter"));
  register_once(user_settings_template());
  register_once(sensor_selection_template());
  register_once(hardware_template());
  register_once(question_template(kCycledSamplerDialog, "CYCLED MOISTURE SAMPLER"));
}

}  // namespace corvex::resources
