#include "resources/metering_roll_dialog.h"

#include <string>

#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"

namespace corvex::resources {

namespace {

namespace gui = platform::gui;
namespace cs = gui::control_style;
using platform::Rect;

void add(gui::DialogTemplate& t, std::string_view cls, std::string text, int id, uint32_t style,
         Rect r) {
  t.controls.push_back({std::string(cls), std::move(text), id, style, r});
}
void add_key(gui::DialogTemplate& t, std::string text, int id, Rect r) {
  add(t, gui::kButtonClass, std::move(text), id, gui::style::kOwnerDraw, r);
}

gui::DialogTemplate metering_roll_template() {
  gui::DialogTemplate t;
  t.resource_id = kMeteringRollDialog;
  t.caption = "MODIFYING METER ROLL SPEED SETPOINTS (Use knob on control panel) - 23";
  t.rect = Rect::from_xywh(0, 0, 640, 480);  // client 634 x 454
  t.style = gui::dialog_style::kDialog | gui::dialog_style::kCenter;
  // The speed choice: the mode button and its two marks in a box.
  add(t, gui::kButtonClass, "", kMrModeGroup, cs::kGroupBox, Rect::from_xywh(404, 4, 222, 150));
  add_key(t, "CHANGE SPEED MODE", kMrModeButton, Rect::from_xywh(412, 22, 206, 56));
  add(t, gui::kButtonClass, "ON / OFF", kMrFirstMark, cs::kRadioButton | cs::kManualCheck | cs::kGroup,
      Rect::from_xywh(412, 84, 206, 30));
  add(t, gui::kButtonClass, "TWO SPEED", kMrSecondMark, cs::kRadioButton | cs::kManualCheck,
      Rect::from_xywh(412, 116, 206, 30));
  add(t, gui::kStaticClass, "ADJUST SELECTED SPEED", kMrAdjustLabel, cs::kAlignCenter | gui::style::kMultiLine,
      Rect::from_xywh(404, 160, 222, 40));
  add_key(t, "INCREASE", kMrIncrease, Rect::from_xywh(404, 202, 108, 64));
  add_key(t, "DECREASE", kMrDecrease, Rect::from_xywh(518, 202, 108, 64));
  add_key(t, "SELECT", kMrSelect, Rect::from_xywh(404, 272, 222, 56));
  add_key(t, "ACCEPT", kMrAccept, Rect::from_xywh(404, 380, 108, 64));
  add_key(t, "EXIT", kMrExit, Rect::from_xywh(518, 380, 108, 64));
  return t;
}

}  // namespace

void register_metering_roll_dialog_template() {
  gui::register_dialog_template(metering_roll_template());
}

}  // namespace corvex::resources
