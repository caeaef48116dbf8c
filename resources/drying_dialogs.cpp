#include "resources/drying_dialogs.h"

#include <string>

#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"

namespace corvex::resources {

namespace {

namespace gui = platform::gui;
namespace cs = gui::control_style;
using platform::Rect;

constexpr uint32_t kCentered = gui::dialog_style::kDialog | gui::dialog_style::kCenter;
constexpr uint32_t kMark = cs::kManualCheck;

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
void add_radio(gui::DialogTemplate& t, std::string text, int id, Rect r) {
  add(t, gui::kButtonClass, std::move(text), id, cs::kRadioButton | kMark, r);
}
void add_check(gui::DialogTemplate& t, std::string text, int id, Rect r) {
  add(t, gui::kButtonClass, std::move(text), id, cs::kCheckBox | kMark, r);
}
void add_value(gui::DialogTemplate& t, std::string text, int id, Rect r) {
  add(t, gui::kStaticClass, std::move(text), id, cs::kAlignCenter | cs::kVCenter | cs::kFrame, r);
}

// The two modes, the set-up they lead to, HELP and ACCEPT.
gui::DialogTemplate drying_mode_template() {
  gui::DialogTemplate t;
  t.resource_id = kDryingModeDialog;
  t.caption = "Drying Mode Selection - 07";
  t.rect = Rect::from_xywh(0, 0, 460, 330);  // client 454 x 304
  t.style = kCentered;
  add_radio(t, "CONTINUOUS FLOW", kModeContinuous, Rect::from_xywh(24, 16, 406, 40));
  add_radio(t, "STAGED BATCH", kModeStagedBatch, Rect::from_xywh(24, 64, 406, 40));
  add_key(t, "MOISTURE CONTROL SETUP", kModeSetup, Rect::from_xywh(20, 124, 414, 60));
  add_key(t, "HELP", kModeHelp, Rect::from_xywh(20, 220, 200, 64));
  add_key(t, "ACCEPT", kModeAccept, Rect::from_xywh(234, 220, 200, 64));
  return t;
}

// The control scheme on the left (temperature and moisture with their meter-roll choices), the
// upper moisture sensor and the safety limit on the right; HELP, the data logger set-up and
// ACCEPT along the bottom.
gui::DialogTemplate continuous_flow_template() {
  gui::DialogTemplate t;
  t.resource_id = kContinuousFlowDialog;
  t.caption = "CONTINUOUS FLOW SETUP";
  t.rect = Rect::from_xywh(0, 0, 640, 440);  // client 634 x 414
  t.style = kCentered;
  add_group(t, "CONTROL SCHEME", kFlowSchemeGroup, Rect::from_xywh(6, 2, 300, 338));
  add_radio(t, "TEMPERATURE", kFlowTemperature, Rect::from_xywh(16, 24, 284, 32));
  add_radio(t, "2 SPEED", kFlowTwoSpeed, Rect::from_xywh(48, 58, 252, 32));
  add_radio(t, "5 SPEED", kFlowTempFiveSpeed, Rect::from_xywh(48, 92, 252, 32));
  add_radio(t, "MOISTURE", kFlowMoisture, Rect::from_xywh(16, 132, 284, 32));
  add_radio(t, "VARIABLE", kFlowVariable, Rect::from_xywh(48, 166, 252, 32));
  add_radio(t, "5 SPEED", kFlowMoistFiveSpeed, Rect::from_xywh(48, 200, 252, 32));
  add_check(t, "AUTO CENTERING", kFlowAutoCentering, Rect::from_xywh(16, 240, 284, 32));
  add_key(t, "5 SPEED SETUP", kFlowFiveSpeedSetup, Rect::from_xywh(16, 280, 280, 52));

  add_group(t, "WET SENSOR (INCOMING GRAIN)", kFlowSensorGroup, Rect::from_xywh(316, 2, 312, 96));
  add_value(t, "ENABLED", kFlowSensorState, Rect::from_xywh(326, 40, 150, 32));
  add_key(t, "SELECT", kFlowSensorSelect, Rect::from_xywh(484, 30, 134, 52));

  add_group(t, "SAFETY LIMITS", kFlowSafetyGroup, Rect::from_xywh(316, 104, 312, 236));
  add_value(t, "DISABLED", kFlowSafetyState, Rect::from_xywh(326, 130, 292, 32));
  add_key(t, "ENABLE / DISABLE", kFlowSafetyToggle, Rect::from_xywh(326, 170, 292, 52));
  add_key(t, "MAX GRAIN TEMP", kFlowMaxTemp, Rect::from_xywh(326, 232, 292, 52));
  add_value(t, "", kFlowMaxTempValue, Rect::from_xywh(326, 292, 292, 32));

  add_key(t, "HELP", kFlowHelp, Rect::from_xywh(6, 348, 202, 60));
  add_key(t, "DATA LOGGER SETUP", kFlowDataLogger, Rect::from_xywh(216, 348, 202, 60));
  add_key(t, "ACCEPT", kFlowAccept, Rect::from_xywh(426, 348, 202, 60));
  return t;
}

// The drying criteria, plenum temperatures and heat split in the top row; the loading option
// and the safety limits below; HELP, the data logger set-up and ACCEPT along the bottom.
gui::DialogTemplate staged_batch_template() {
  gui::DialogTemplate t;
  t.resource_id = kStagedBatchDialog;
  t.caption = "STAGED BATCH SETUP - 09";
  t.rect = Rect::from_xywh(0, 0, 640, 480);  // client 634 x 454
  t.style = kCentered;
  add_group(t, "DRYING CRITERIA", 1420, Rect::from_xywh(6, 2, 200, 148));
  add_check(t, "TIME", kBatchTime, Rect::from_xywh(16, 24, 184, 36));
  add_check(t, "TEMPERATURE", kBatchTemperature, Rect::from_xywh(16, 66, 184, 36));
  add_check(t, "MOISTURE", kBatchMoisture, Rect::from_xywh(16, 108, 184, 36));

  add_group(t, "PLENUM TEMPS", 1421, Rect::from_xywh(212, 2, 200, 148));
  add_radio(t, "SINGLE", kBatchSingle, Rect::from_xywh(222, 24, 184, 36));
  add_radio(t, "DUAL", kBatchDual, Rect::from_xywh(222, 66, 184, 36));

  add_group(t, "MOISTURE DRYING HEAT", 1422, Rect::from_xywh(418, 2, 210, 148));
  add_radio(t, "FULL HEAT", kBatchFullHeat, Rect::from_xywh(428, 24, 194, 36));
  add_radio(t, "1/3 - 2/3", kBatchTwoThirdsHeat, Rect::from_xywh(428, 66, 194, 36));
  add_radio(t, "1/2 - 1/2", kBatchHalfHeat, Rect::from_xywh(428, 108, 194, 36));

  add_group(t, "Loading Options for Grain Shrinkage", 1423, Rect::from_xywh(6, 156, 366, 234));
  add_radio(t, "LOAD ANYTIME", kBatchLoadAnytime, Rect::from_xywh(16, 182, 350, 36));
  add_radio(t, "ONLY DURING FIRST 1/2 OF DRYING CYCLE", kBatchLoadFirstHalf,
            Rect::from_xywh(16, 224, 350, 36));
  add_key(t, "SELECT", kBatchLoadSelect, Rect::from_xywh(16, 300, 346, 56));

  // Each limit's value sits under its key, so that a long label keeps the key's whole width.
  add_group(t, "SAFETY LIMITS", 1424, Rect::from_xywh(378, 156, 250, 234));
  add_value(t, "DISABLED", kBatchSafetyState, Rect::from_xywh(388, 176, 230, 24));
  add_key(t, "ENABLE / DISABLE", kBatchSafetyToggle, Rect::from_xywh(388, 204, 230, 42));
  add_key(t, "MAX TIME", kBatchMaxTime, Rect::from_xywh(388, 252, 230, 40));
  add_value(t, "", kBatchMaxTimeValue, Rect::from_xywh(388, 294, 230, 22));
  add_key(t, "MAX GRAIN TEMP", kBatchMaxTemp, Rect::from_xywh(388, 320, 230, 40));
  add_value(t, "", kBatchMaxTempValue, Rect::from_xywh(388, 362, 230, 22));

  add_key(t, "HELP", kBatchHelp, Rect::from_xywh(6, 396, 202, 52));
  add_key(t, "DATA LOGGER SETUP", kBatchDataLogger, Rect::from_xywh(216, 396, 202, 52));
  add_key(t, "ACCEPT", kBatchAccept, Rect::from_xywh(426, 396, 202, 52));
  return t;
}

// The limits (left) and speed offsets (right) are painted inside their group boxes; the keys
// that change them sit under each box.
gui::DialogTemplate bracket_template() {
  gui::DialogTemplate t;
  t.resource_id = kBracketSetupDialog;
  t.caption = "BRACKETED 5 SPEED MOISTURE CONTROL SETUP - 23";
  t.rect = Rect::from_xywh(0, 0, 640, 420);  // client 634 x 394
  t.style = kCentered;
  add_group(t, "MOISTURE", kBracketLimitGroup, Rect::from_xywh(6, 2, 300, 196));
  add_group(t, "SPEED OFFSET", kBracketOffsetGroup, Rect::from_xywh(316, 2, 312, 196));
  add_key(t, "LIMIT INC", kBracketLimitInc, Rect::from_xywh(6, 206, 145, 56));
  add_key(t, "LIMIT DEC", kBracketLimitDec, Rect::from_xywh(161, 206, 145, 56));
  add_key(t, "OFFSET INC", kBracketOffsetInc, Rect::from_xywh(316, 206, 151, 56));
  add_key(t, "OFFSET DEC", kBracketOffsetDec, Rect::from_xywh(477, 206, 151, 56));
  add_key(t, "SELECT", kBracketSelect, Rect::from_xywh(6, 270, 300, 56));
  add_key(t, "SELECT DEFAULTS", kBracketDefaults, Rect::from_xywh(316, 270, 312, 56));
  add_key(t, "ACCEPT / EXIT", kBracketAccept, Rect::from_xywh(166, 332, 300, 56));
  return t;
}

}  // namespace

void register_drying_dialog_templates() {
  gui::register_dialog_template(drying_mode_template());
  gui::register_dialog_template(continuous_flow_template());
  gui::register_dialog_template(staged_batch_template());
  gui::register_dialog_template(bracket_template());
}

}  // namespace corvex::resources
