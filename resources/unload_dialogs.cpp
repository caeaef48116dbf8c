#include "resources/unload_dialogs.h"

#include <string>

#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"

namespace corvex::resources {

namespace {

namespace gui = platform::gui;
namespace cs = gui::control_style;
using platform::Rect;

constexpr uint32_t kCentered = gui::dialog_style::kDialog | gui::dialog_style::kCenter;

void add(gui::DialogTemplate& t, std::string_view cls, std::string text, int id, uint32_t style,
         Rect r) {
  t.controls.push_back({std::string(cls), std::move(text), id, style, r});
}
void add_key(gui::DialogTemplate& t, std::string text, int id, Rect r) {
  add(t, gui::kButtonClass, std::move(text), id, gui::style::kOwnerDraw, r);
}

// HELP, CANCEL and ACCEPT in one row along the bottom.
void add_bottom_row(gui::DialogTemplate& t, int top, int help, int cancel, int accept) {
  add_key(t, "HELP", help, Rect::from_xywh(20, top, 190, 60));
  add_key(t, "CANCEL", cancel, Rect::from_xywh(222, top, 190, 60));
  add_key(t, "ACCEPT", accept, Rect::from_xywh(424, top, 190, 60));
}

// Maximum on the left, minimum on the right: each column's painted heading, percent and BPH
// above its INCREASE and DECREASE keys; the note about the capacity spans both columns.
gui::DialogTemplate unload_parameters_template() {
  gui::DialogTemplate t;
  t.resource_id = kUnloadParametersDialog;
  t.caption = "Unload Parameters - 11";
  t.rect = Rect::from_xywh(0, 0, 640, 480);  // client 634 x 454
  t.style = kCentered;
  static constexpr const char* kNames[2] = {"MAXIMUM", "MINIMUM"};
  static constexpr int kIncrease[2] = {kUnloadMaxIncrease, kUnloadMinIncrease};
  static constexpr int kDecrease[2] = {kUnloadMaxDecrease, kUnloadMinDecrease};
  for (int k = 0; k < 2; ++k) {
    const int left = kUnloadColumnLeft[k];
    add_key(t, std::string(kNames[k]) + " INCREASE", kIncrease[k],
            Rect::from_xywh(left, kUnloadValuesTop + 150, kUnloadColumnWidth, 46));
    add_key(t, std::string(kNames[k]) + " DECREASE", kDecrease[k],
            Rect::from_xywh(left, kUnloadValuesTop + 204, kUnloadColumnWidth, 46));
  }
  add_bottom_row(t, 380, kUnloadHelp, kUnloadCancel, kUnloadAccept);
  return t;
}

// The ON/OFF marks and their SELECT key on top, the two painted values with their keys under
// them, the usual row at the bottom.
gui::DialogTemplate plenum_manager_template() {
  gui::DialogTemplate t;
  t.resource_id = kPlenumManagerDialog;
  t.caption = "PLENUM TEMPERATURE MANAGER - 12";
  t.rect = Rect::from_xywh(0, 30, 640, 420);  // client 634 x 394
  t.style = kCentered;
  add(t, gui::kButtonClass, "ON", kManagerOnMark, cs::kRadioButton | cs::kManualCheck | cs::kGroup,
      Rect::from_xywh(30, 16, 120, 40));
  add(t, gui::kButtonClass, "OFF", kManagerOffMark, cs::kRadioButton | cs::kManualCheck,
      Rect::from_xywh(170, 16, 120, 40));
  add_key(t, "SELECT ON / OFF", kManagerSelect, Rect::from_xywh(330, 10, 284, 52));
  static constexpr const char* kNames[2] = {"TIME", "STEP"};
  static constexpr int kIncrease[2] = {kManagerTimeIncrease, kManagerStepIncrease};
  static constexpr int kDecrease[2] = {kManagerTimeDecrease, kManagerStepDecrease};
  for (int k = 0; k < 2; ++k) {
    const int left = kManagerValueLeft[k];
    add_key(t, std::string(kNames[k]) + " INCREASE", kIncrease[k],
            Rect::from_xywh(left, kManagerValueTop + 62, kManagerValueWidth, 46));
    add_key(t, std::string(kNames[k]) + " DECREASE", kDecrease[k],
            Rect::from_xywh(left, kManagerValueTop + 114, kManagerValueWidth, 46));
  }
  add_bottom_row(t, 310, kManagerHelp, kManagerCancel, kManagerAccept);
  return t;
}

}  // namespace

void register_unload_dialog_templates() {
  gui::register_dialog_template(unload_parameters_template());
  gui::register_dialog_template(plenum_manager_template());
}

}  // namespace corvex::resources
