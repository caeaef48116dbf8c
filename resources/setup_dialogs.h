#pragma once
// The dialog templates of the hardware set-up "DRYER HARDWARE SETUP - 05" and of the small
// dialogs the setup menus open directly: the Yes / No / CANCEL questions (units of measure,
// metering-roll reverse, clear batch counter, cycled sampler), "USER SETTINGS - 20" and
// "Moisture Sensor Selection". Resource numbers and control ids are ours. Everything is laid
// out for a finger: every button the operator touches is at least 40 px high, and every dialog
// fits the 640 x 480 panel. The radio buttons of the hardware set-up only show a value (its
// SELECT buttons change it), so they are list-sized.
//
// Buttons with localized labels are owner-drawn; their window texts stay the fixed names the
// automation finds: "Yes", "No", "CANCEL", "SAVE SETTINGS", "RESTORE SETTINGS".
#include "platform/gfx/geometry.h"

namespace corvex::resources {

inline constexpr int kUnitsDialog = 301;
inline constexpr int kMeteringRollReverseDialog = 302;
inline constexpr int kUserSettingsDialog = 303;
inline constexpr int kClearBatchCounterDialog = 304;
inline constexpr int kHardwareSetupDialog = 305;
inline constexpr int kCycledSamplerDialog = 306;
inline constexpr int kSensorSelectionDialog = 307;

// The questions: the text and the three buttons, which close the dialog with their id.
inline constexpr int kQuestionText = 1000;
inline constexpr int kQuestionYes = 6;
inline constexpr int kQuestionNo = 7;
inline constexpr int kQuestionCancel = 2;

// User settings.
inline constexpr int kUserSettingsLine1 = 1001;
inline constexpr int kUserSettingsLine2 = 1002;
inline constexpr int kUserSettingsSave = 1010;
inline constexpr int kUserSettingsRestore = 1011;
inline constexpr int kUserSettingsCancel = 2;

// Moisture sensor selection: a pair of radio buttons for each sensor.
inline constexpr int kSensorWetGroup = 1020;
inline constexpr int kSensorWetAnalog = 1021;
inline constexpr int kSensorWetNetwork = 1022;
inline constexpr int kSensorDryGroup = 1030;
inline constexpr int kSensorDryAnalog = 1031;
inline constexpr int kSensorDryNetwork = 1032;
inline constexpr int kSensorAccept = 1;
inline constexpr int kSensorCancel = 2;

// Hardware set-up. Each group: its box, its radio buttons (first id + value) and SELECT.
inline constexpr int kHwFanGroup = 1200;
inline constexpr int kHwFanFirst = 1201;  // One, Two, Three, Four, Six
inline constexpr int kHwFanSelect = 1206;
inline constexpr int kHwModulesGroup = 1210;
inline constexpr int kHwModulesFirst = 1211;  // One, Two, Three
inline constexpr int kHwModulesSelect = 1216;
inline constexpr int kHwFuelGroup = 1220;
inline constexpr int kHwFuelFirst = 1221;  // LP, Natural Gas, Vapor, Diesel
inline constexpr int kHwFuelSelect = 1226;
inline constexpr int kHwLoadGroup = 1230;
inline constexpr int kHwLoadFirst = 1231;  // End Fill, Center Fill, Dual Fill
inline constexpr int kHwLoadSelect = 1236;
inline constexpr int kHwLengthGroup = 1240;
inline constexpr int kHwLengthFirst = 1241;  // indexes 0..14
inline constexpr int kHwLengthSelect = 1256;
inline constexpr int kHwGrainInverter = 1260;
inline constexpr int kHwCycledSampler = 1261;
inline constexpr int kHwMeterRoll = 1262;
inline constexpr int kHwSensorSetup = 1263;
inline constexpr int kHwAcceptExit = 1264;

inline constexpr int kHwFanChoices = 5;
inline constexpr int kHwModulesChoices = 3;
inline constexpr int kHwFuelChoices = 4;
inline constexpr int kHwLoadChoices = 3;
inline constexpr int kHwLengthChoices = 15;

// Adds every template to the dialog table (again harmless).
void register_setup_dialog_templates();

}  // namespace corvex::resources
