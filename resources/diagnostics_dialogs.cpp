#include "resources/diagnostics_dialogs.h"

#include <string>

#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"

namespace corvex::resources {

namespace {

namespace gui = platform::gui;
namespace cs = gui::control_style;
using platform::Rect;

constexpr uint32_t kCentered = gui::dialog_style::kDialog | gui::dialog_style::kCenter;
// Check boxes that only show a bit the controller reports; a tap changes nothing.
constexpr uint32_t kShownCheck = cs::kCheckBox | cs::kManualCheck;

void add(gui::DialogTemplate& t, std::string_view cls, std::string text, int id, uint32_t style,
         Rect r) {
  t.controls.push_back({std::string(cls), std::move(text), id, style, r});
}
void add_key(gui::DialogTemplate& t, std::string text, int id, Rect r) {
  add(t, gui::kButtonClass, std::move(text), id, gui::style::kOwnerDraw, r);
}
void add_group(gui::DialogTemplate& t, std::string text, int id, Rect r) {
  add(t, gui::kButtonClass, std::move(text), id, cs::kGroupBox, r);
}

// Three groups (display I/O, air switch, metering rolls) above HELP and EXIT. Client 634 x 414.
gui::DialogTemplate diagnostics_template() {
  gui::DialogTemplate t;
  t.resource_id = kDiagnosticsDialog;
  t.caption = " System Diagnostics - 14";
  t.rect = Rect::from_xywh(0, 20, 640, 440);
  t.style = kCentered;
  add_group(t, "Display I/O Testing", kDiagIoGroup, Rect::from_xywh(8, 4, 330, 150));
  add_key(t, "Check Light Outputs", kDiagLightOutputs, Rect::from_xywh(20, 28, 306, 54));
  add_key(t, "Check Switch Wiring", kDiagSwitchWiring, Rect::from_xywh(20, 90, 306, 54));
  add_group(t, "Airswitch", kDiagAirSwitchGroup, Rect::from_xywh(8, 162, 330, 166));
  add_key(t, "AIR SWITCH TESTING", kDiagAirSwitchButton, Rect::from_xywh(20, 186, 306, 64));
  add(t, gui::kButtonClass, "Air Switch Testing Disabled", kDiagAirSwitchCheck,
      kShownCheck | gui::style::kMultiLine, Rect::from_xywh(20, 262, 306, 54));
  add_group(t, "Metering Rolls", kDiagMeteringGroup, Rect::from_xywh(346, 4, 280, 324));
  add_key(t, "Setup Metering Rolls", kDiagSetupMeteringRolls, Rect::from_xywh(356, 28, 260, 54));
  add_key(t, "Set MR Speed Via Screen", kDiagMrSpeedViaScreen, Rect::from_xywh(356, 90, 260, 54));
  add_key(t, "Disable metering rolls sensor failure shutdown", kDiagMrSensorShutdown,
          Rect::from_xywh(356, 152, 260, 64));
  add_key(t, "Calibrate Moisture Sensors", kDiagCalibrateSensors,
          Rect::from_xywh(356, 224, 260, 54));
  add_key(t, "Help", kDiagHelp, Rect::from_xywh(8, 342, 300, 60));
  add_key(t, "Exit", kDiagExit, Rect::from_xywh(326, 342, 300, 60));
  return t;
}

// 500 x 260 outside: the question in up to five lines above Yes, No and CANCEL.
gui::DialogTemplate confirmation_template(int resource, const char* caption) {
  gui::DialogTemplate t;
  t.resource_id = resource;
  t.caption = caption;
  t.rect = Rect::from_xywh(70, 110, 500, 260);
  t.style = kCentered;
  add(t, gui::kStaticClass, "", kConfirmText, gui::style::kMultiLine | cs::kAlignCenter,
      Rect::from_xywh(14, 12, 466, 134));
  add_key(t, "Yes", kConfirmYes, Rect::from_xywh(14, 160, 148, 56));
  add_key(t, "No", kConfirmNo, Rect::from_xywh(173, 160, 148, 56));
  add_key(t, "CANCEL", kConfirmCancel, Rect::from_xywh(332, 160, 148, 56));
  return t;
}

// One row per output: its connector pin and name, then ACTIVATED and SHORTED. Client 634 x 454.
gui::DialogTemplate light_output_template() {
  static constexpr const char* kNames[kLightOutputs] = {
      "J1-01 / SPARE", "J1-02 / BURNER 6", "J1-03 / FAN 6",  "J1-04 / BURNER 5",
      "J1-05 / FAN 5", "J1-06 / BURNER 4", "J1-07 / FAN 4",  "J1-08 / BURNER 3",
      "J2-01 / FAN 3", "J2-02 / BURNER 2", "J2-03 / FAN 2",  "J2-04 / BURNER 1",
      "J2-05 / FAN 1", "J2-06 / LOAD",     "J2-07 / UNLOAD", "J2-08 / START"};
  gui::DialogTemplate t;
  t.resource_id = kLightOutputTestDialog;
  t.caption = " Display I/O Switch Light Outputs - 28";
  t.rect = Rect::from_xywh(0, 0, 640, 480);
  t.style = kCentered;
  for (int k = 0; k < kLightOutputs; ++k) {
    const int y = 4 + 24 * k;
    add(t, gui::kStaticClass, kNames[k], kLightFirstName + k, cs::kVCenter,
        Rect::from_xywh(16, y, 190, 24));
    add(t, gui::kButtonClass, "ACTIVATED", kLightFirstActivated + k, kShownCheck,
        Rect::from_xywh(216, y, 200, 24));
    add(t, gui::kButtonClass, "SHORTED", kLightFirstShorted + k, kShownCheck,
        Rect::from_xywh(426, y, 200, 24));
  }
  add_key(t, "HELP", kLightHelp, Rect::from_xywh(16, 396, 290, 52));
  add_key(t, "EXIT", kLightExit, Rect::from_xywh(328, 396, 290, 52));
  return t;
}

// The inputs of the display I/O board, by status byte row (179..183, then 225) and bit.
constexpr const char* kSwitchNames[kSwitchRows][8] = {
    {"STOP", "UNLOAD 1 SPEED", "UNLOAD 2 SPEED", "LOAD ON", "LOAD AUTO", "FAN 1 AUTO", "FAN 1 ON",
     "SPARE #1"},
    {"BURNER 1 AUTO", "BURNER 1 ON", "FAN 2 AUTO", "FAN 2 ON", "BURNER 2 AUTO", "BURNER 2 ON",
     "FAN 3 AUTO", "FAN 3 ON"},
    {"SPARE #2", "BURNER 3 AUTO", "BURNER 3 ON", "FAN 4 AUTO", "FAN 4 ON", "BURNER 4 AUTO",
     "BURNER 4 ON", "FAN 5 AUTO"},
    {"BURNER 6 ON", "FAN 5 ON", "SPARE #3", "BURNER 5 AUTO", "BURNER 5 ON", "FAN 6 AUTO",
     "FAN 6 ON", "BURNER 6 AUTO"},
    {"START", "MANUAL", "AUX", "DEFAULTS", "MR PUSH BUTON", "MR LEFT", "MR RIGHT", nullptr},
    {"AUX 2", "AUX 1", "COMP", "M/C", "TOWER", "FT SERIES", "AF", "PORT"},
};

constexpr int kSwitchRowHeight = 24;

void add_switch(gui::DialogTemplate& t, int row, int bit, int x, int y, int width) {
  add(t, gui::kButtonClass, kSwitchNames[row][bit], switch_box_id(row, bit), kShownCheck,
      Rect::from_xywh(x, y, width, kSwitchRowHeight));
}

// The four connectors J3..J6 two by two, each in two columns of four inputs; the encoder,
// dip-switch and dryer-type groups under them, EXIT at the bottom. Client 634 x 454.
gui::DialogTemplate switch_test_template() {
  gui::DialogTemplate t;
  t.resource_id = kSwitchTestDialog;
  t.caption = " Display I/O Switch Test - 31";
  t.rect = Rect::from_xywh(0, 0, 640, 480);
  t.style = kCentered;
  for (int row = 0; row < 4; ++row) {
    const int x = 7 + 313 * (row % 2);
    const int y = 2 + 130 * (row / 2);
    add_group(t, "J" + std::to_string(3 + row) + " INPUTS", kSwitchGroupJ3 + row,
              Rect::from_xywh(x, y, 308, 126));
    // J3's first column holds the two longest names (UNLOAD 1 SPEED, UNLOAD 2 SPEED).
    const int first_width = row == 0 ? 162 : 148;
    for (int bit = 0; bit < 8; ++bit) {
      const int column_x = bit < 4 ? x + 6 : x + 6 + first_width + 2;
      const int width = bit < 4 ? first_width : 298 - first_width - 2;
      add_switch(t, row, bit, column_x, y + 22 + (bit % 4) * kSwitchRowHeight, width);
    }
  }
  const int top = 264;
  add_group(t, "MR ENCODER", kSwitchGroupEncoder, Rect::from_xywh(7, top, 170, 126));
  for (int bit = 4; bit < 7; ++bit)
    add_switch(t, 4, bit, 13, top + 22 + (bit - 4) * kSwitchRowHeight, 160);
  add_group(t, "3 POS DIPSWITCH", kSwitchGroupDipSwitch, Rect::from_xywh(182, top, 215, 126));
  for (int bit = 0; bit < 4; ++bit)
    add_switch(t, 4, bit, 188, top + 22 + bit * kSwitchRowHeight, 205);
  add_group(t, "DRYER TYPE SW", kSwitchGroupDryerType, Rect::from_xywh(402, top, 225, 126));
  for (int bit = 0; bit < 8; ++bit)
    add_switch(t, 5, bit, 408 + (bit / 4) * 108, top + 22 + (bit % 4) * kSwitchRowHeight, 106);
  add_key(t, "EXIT", kSwitchExit, Rect::from_xywh(172, 396, 290, 50));
  return t;
}

// Minimum on the left, maximum on the right, each with its note, label, percent and volts,
// bar and UP / DOWN; DEFAULT, CANCEL and ACCEPT at the bottom. Client 552 x 280.
gui::DialogTemplate output_voltage_template() {
  gui::DialogTemplate t;
  t.resource_id = kOutputVoltageDialog;
  t.caption = "Meter Rolls Output Voltage Setup - 27";
  t.rect = Rect::from_xywh(41, 84, 558, 312);
  t.style = kCentered;
  struct Half {
    int x;
    int note, label, percent, volts, bar, up, down;
    const char* label_text;
    const char* up_text;
    const char* down_text;
  };
  static constexpr Half kHalves[] = {
      {10, kVoltNoteLeft, kVoltMinLabel, kVoltMinPercent, kVoltMinVolts, kVoltMinBar, kVoltMinUp,
       kVoltMinDown, "Minimum Output", "MIN UP", "MIN DOWN"},
      {286, kVoltNoteRight, kVoltMaxLabel, kVoltMaxPercent, kVoltMaxVolts, kVoltMaxBar, kVoltMaxUp,
       kVoltMaxDown, "Maximum Output", "MAX UP", "MAX DOWN"},
  };
  constexpr uint32_t kLabel = gui::style::kMultiLine | cs::kAlignCenter;
  constexpr uint32_t kValue = cs::kAlignCenter | cs::kVCenter | cs::kFrame;
  for (const Half& h : kHalves) {
    add(t, gui::kStaticClass, "Meter rolls need to be on!", h.note, kLabel,
        Rect::from_xywh(h.x, 6, 256, 40));
    add(t, gui::kStaticClass, h.label_text, h.label, kLabel, Rect::from_xywh(h.x, 50, 256, 40));
    add(t, gui::kStaticClass, "", h.percent, kValue, Rect::from_xywh(h.x, 94, 124, 30));
    add(t, gui::kStaticClass, "", h.volts, kValue, Rect::from_xywh(h.x + 132, 94, 124, 30));
    add(t, gui::kProgressClass, "", h.bar, 0, Rect::from_xywh(h.x, 132, 256, 22));
    add_key(t, h.up_text, h.up, Rect::from_xywh(h.x, 162, 124, 50));
    add_key(t, h.down_text, h.down, Rect::from_xywh(h.x + 132, 162, 124, 50));
  }
  add_key(t, "DEFAULT", kVoltDefault, Rect::from_xywh(10, 222, 170, 50));
  add_key(t, "CANCEL", kVoltCancel, Rect::from_xywh(191, 222, 170, 50));
  add_key(t, "ACCEPT", kVoltAccept, Rect::from_xywh(372, 222, 170, 50));
  return t;
}

}  // namespace

void register_diagnostics_dialog_templates() {
  gui::register_dialog_template(diagnostics_template());
  gui::register_dialog_template(
      confirmation_template(kMrSpeedViaScreenQuestion, "SET MR SPEED VIA SCREEN"));
  gui::register_dialog_template(
      confirmation_template(kMrSensorShutdownQuestion, "MR SENSOR FAILURE SHUTDOWN"));
  gui::register_dialog_template(confirmation_template(kAirSwitchQuestion, "AIR SWITCH TESTING"));
  gui::register_dialog_template(light_output_template());
  gui::register_dialog_template(switch_test_template());
  gui::register_dialog_template(output_voltage_template());
}

}  // namespace corvex::resources
