#include "resources/calibration_dialogs.h"

#include <string>

#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"

namespace corvex::resources {

namespace {

namespace gui = platform::gui;
namespace cs = gui::control_style;
using platform::Rect;

constexpr uint32_t kCentered = gui::dialog_style::kDialog | gui::dialog_style::kCenter;
constexpr uint32_t kValueStyle = cs::kAlignCenter | cs::kVCenter | cs::kFrame;

void add(gui::DialogTemplate& t, std::string_view cls, std::string text, int id, uint32_t style,
         Rect r) {
  t.controls.push_back({std::string(cls), std::move(text), id, style, r});
}
void add_key(gui::DialogTemplate& t, std::string text, int id, Rect r) {
  add(t, gui::kButtonClass, std::move(text), id, gui::style::kOwnerDraw, r);
}

// The readings take the top six rows; under them one row per offset (label, "<<<", value,
// ">>>"), then HELP and ACCEPT.
gui::DialogTemplate moisture_calibration_template() {
  gui::DialogTemplate t;
  t.resource_id = kMoistureCalibrationDialog;
  t.caption = " MOISTURE SENSOR CALIBRATION - 13";
  t.rect = Rect::from_xywh(0, 0, 640, 480);  // client 634 x 454
  t.style = kCentered;
  struct Row {
    int label;
    const char* text;
    int value;
    int up;
    int down;
  };
  static constexpr Row kRows[] = {
      {kCalWetMoistLabel, "WET MOIST OFFSET", kCalWetMoistValue, kCalWetMoistUp, kCalWetMoistDown},
      {kCalDryMoistLabel, "DRY MOIST OFFSET", kCalDryMoistValue, kCalDryMoistUp, kCalDryMoistDown},
      {kCalWetTempLabel, "WET TEMP OFFSET", kCalWetTempValue, kCalWetTempUp, kCalWetTempDown},
      {kCalDryTempLabel, "DRY TEMP OFFSET", kCalDryTempValue, kCalDryTempUp, kCalDryTempDown},
  };
  int y = kCalReadingsOrigin.y + 6 * kCalReadingRow + 10;
  for (const Row& r : kRows) {
    add(t, gui::kStaticClass, r.text, r.label, cs::kVCenter, Rect::from_xywh(12, y, 250, 46));
    add_key(t, "<<<", r.down, Rect::from_xywh(268, y, 110, 46));
    add(t, gui::kStaticClass, "0.0", r.value, kValueStyle, Rect::from_xywh(386, y, 110, 46));
    add_key(t, ">>>", r.up, Rect::from_xywh(504, y, 110, 46));
    y += 52;
  }
  add_key(t, "HELP", kCalHelp, Rect::from_xywh(12, 384, 296, 60));
  add_key(t, "ACCEPT", kCalAccept, Rect::from_xywh(318, 384, 296, 60));
  return t;
}

gui::DialogTemplate unload_bushels_template() {
  gui::DialogTemplate t;
  t.resource_id = kUnloadBushelsDialog;
  t.caption = " UNLOAD BUSHELS SETUP SCREEN - 17";
  t.rect = Rect::from_xywh(0, 0, 600, 400);  // client 594 x 374
  t.style = kCentered;
  add(t, gui::kButtonClass, "Clear Total Bushels", kBphClearGroup, cs::kGroupBox,
      Rect::from_xywh(8, 4, 578, 112));
  add(t, gui::kStaticClass, "0", kBphTotal, kValueStyle, Rect::from_xywh(20, 36, 300, 64));
  add_key(t, "CLEAR", kBphClear, Rect::from_xywh(336, 36, 238, 64));
  add(t, gui::kButtonClass, "Bushel / Hour Multiplier (Calibration)", kBphMultiplierGroup,
      cs::kGroupBox, Rect::from_xywh(8, 124, 578, 150));
  add_key(t, "DECREASE", kBphDecrease, Rect::from_xywh(20, 158, 170, 96));
  add(t, gui::kStaticClass, "100 %", kBphMultiplier, kValueStyle,
      Rect::from_xywh(204, 158, 186, 96));
  add_key(t, "INCREASE", kBphIncrease, Rect::from_xywh(404, 158, 170, 96));
  add_key(t, "HELP", kBphHelp, Rect::from_xywh(8, 290, 284, 72));
  add_key(t, "ACCEPT", kBphAccept, Rect::from_xywh(302, 290, 284, 72));
  return t;
}

}  // namespace

void register_calibration_dialog_templates() {
  gui::register_dialog_template(moisture_calibration_template());
  gui::register_dialog_template(unload_bushels_template());
}

}  // namespace corvex::resources
