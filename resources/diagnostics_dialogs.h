#pragma once
// The dialog templates of the service technician's screens: " System Diagnostics - 14" (168),
// its three Yes / No / CANCEL confirmations (606 metering-roll speed via the screen, 607
// metering-roll sensor failure shutdown, 608 air-switch testing), the light-output test (202),
// the switch test (203) and "Meter Rolls Output Voltage Setup - 27" (252).
//
// Buttons with localized labels are owner-drawn; their window texts stay the fixed names the
// automation finds ("Check Light Outputs", "MAX UP", "Yes" ...). Check boxes, group boxes and
// static texts take their localized text as window text when the dialog opens. Everything the
// technician touches is at least 40 px high and every dialog fits the 640 x 480 panel.

namespace corvex::resources {

inline constexpr int kDiagnosticsDialog = 168;
inline constexpr int kLightOutputTestDialog = 202;
inline constexpr int kSwitchTestDialog = 203;
inline constexpr int kOutputVoltageDialog = 252;
inline constexpr int kMrSpeedViaScreenQuestion = 606;
inline constexpr int kMrSensorShutdownQuestion = 607;
inline constexpr int kAirSwitchQuestion = 608;

// Diagnostics.
inline constexpr int kDiagIoGroup = 1500;
inline constexpr int kDiagLightOutputs = 1501;
inline constexpr int kDiagSwitchWiring = 1502;
inline constexpr int kDiagAirSwitchGroup = 1503;
inline constexpr int kDiagAirSwitchButton = 1504;
inline constexpr int kDiagAirSwitchCheck = 1505;
inline constexpr int kDiagMeteringGroup = 1506;
inline constexpr int kDiagSetupMeteringRolls = 1507;
inline constexpr int kDiagMrSpeedViaScreen = 1508;
inline constexpr int kDiagMrSensorShutdown = 1509;
inline constexpr int kDiagCalibrateSensors = 1510;
inline constexpr int kDiagHelp = 1511;
inline constexpr int kDiagExit = 1512;

// The confirmations: one or two lines of text above three buttons that answer with their id.
inline constexpr int kConfirmText = 1000;
inline constexpr int kConfirmYes = 6;
inline constexpr int kConfirmNo = 7;
inline constexpr int kConfirmCancel = 2;

// Light-output test: output k (0..15, J1-01 first) has its name, ACTIVATED and SHORTED boxes.
inline constexpr int kLightOutputs = 16;
inline constexpr int kLightFirstName = 1600;
inline constexpr int kLightFirstActivated = 1620;
inline constexpr int kLightFirstShorted = 1640;
inline constexpr int kLightHelp = 1660;
inline constexpr int kLightExit = 1661;

// Switch test: one check box per bit, 1700 + 8 * row + bit for the rows 179..183 and 225
// (rows 0..5); the groups J3..J6, MR ENCODER, 3 POS DIPSWITCH and DRYER TYPE SW.
inline constexpr int kSwitchFirstBox = 1700;
inline constexpr int kSwitchRows = 6;
inline constexpr int kSwitchGroupJ3 = 1760;  // J3..J6: 1760..1763
inline constexpr int kSwitchGroupEncoder = 1764;
inline constexpr int kSwitchGroupDipSwitch = 1765;
inline constexpr int kSwitchGroupDryerType = 1766;
inline constexpr int kSwitchExit = 1767;
constexpr int switch_box_id(int row, int bit) { return kSwitchFirstBox + 8 * row + bit; }

// Metering-roll output voltage set-up, with the dialog's own item numbers.
inline constexpr int kVoltMaxUp = 1045;
inline constexpr int kVoltMaxDown = 1046;
inline constexpr int kVoltMinUp = 1215;
inline constexpr int kVoltMinDown = 1216;
inline constexpr int kVoltDefault = 1217;
inline constexpr int kVoltCancel = 1219;
inline constexpr int kVoltAccept = 1220;
inline constexpr int kVoltMinPercent = 1146;
inline constexpr int kVoltMaxPercent = 1147;
inline constexpr int kVoltMinVolts = 1148;
inline constexpr int kVoltMaxVolts = 1149;
inline constexpr int kVoltMinBar = 1213;
inline constexpr int kVoltMaxBar = 1214;
inline constexpr int kVoltMinLabel = 1440;
inline constexpr int kVoltMaxLabel = 1441;
inline constexpr int kVoltNoteLeft = 1442;
inline constexpr int kVoltNoteRight = 1443;

// Adds every template above to the dialog table (again harmless).
void register_diagnostics_dialog_templates();

}  // namespace corvex::resources
