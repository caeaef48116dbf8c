#pragma once
// The dialog templates of the drying set-ups: "Drying Mode Selection - 07", "CONTINUOUS FLOW
// SETUP", "STAGED BATCH SETUP - 09" and "BRACKETED 5 SPEED MOISTURE CONTROL SETUP - 23" (435).
// Push buttons with localized labels are owner-drawn and keep fixed window texts the automation
// finds; radio buttons and check boxes only show the values, the dialogs check them.

namespace corvex::resources {

inline constexpr int kDryingModeDialog = 507;      // ours
inline constexpr int kContinuousFlowDialog = 508;  // ours
inline constexpr int kStagedBatchDialog = 509;     // ours
inline constexpr int kBracketSetupDialog = 435;

// Drying mode selection.
inline constexpr int kModeContinuous = 1201;
inline constexpr int kModeStagedBatch = 1202;
inline constexpr int kModeSetup = 1203;  // MOISTURE CONTROL SETUP
inline constexpr int kModeHelp = 1204;
inline constexpr int kModeAccept = 1205;

// Continuous flow set-up.
inline constexpr int kFlowSchemeGroup = 1300;
inline constexpr int kFlowTemperature = 1301;
inline constexpr int kFlowMoisture = 1302;
inline constexpr int kFlowTwoSpeed = 1303;
inline constexpr int kFlowTempFiveSpeed = 1304;
inline constexpr int kFlowVariable = 1305;
inline constexpr int kFlowMoistFiveSpeed = 1306;
inline constexpr int kFlowAutoCentering = 1307;
inline constexpr int kFlowSensorGroup = 1308;
inline constexpr int kFlowSensorState = 1309;
inline constexpr int kFlowSensorSelect = 1310;
inline constexpr int kFlowSafetyGroup = 1311;
inline constexpr int kFlowSafetyState = 1312;
inline constexpr int kFlowSafetyToggle = 1313;
inline constexpr int kFlowMaxTemp = 1314;
inline constexpr int kFlowMaxTempValue = 1315;
inline constexpr int kFlowFiveSpeedSetup = 1317;  // opens the bracketed five-speed set-up
inline constexpr int kFlowHelp = 1318;
inline constexpr int kFlowAccept = 1319;
inline constexpr int kFlowDataLogger = 1320;  // opens the data logger set-up

// Staged batch set-up.
inline constexpr int kBatchTime = 1401;
inline constexpr int kBatchTemperature = 1402;
inline constexpr int kBatchMoisture = 1403;
inline constexpr int kBatchSingle = 1404;
inline constexpr int kBatchDual = 1405;
inline constexpr int kBatchFullHeat = 1406;
inline constexpr int kBatchTwoThirdsHeat = 1407;
inline constexpr int kBatchHalfHeat = 1408;
inline constexpr int kBatchLoadAnytime = 1409;
inline constexpr int kBatchLoadFirstHalf = 1410;
inline constexpr int kBatchLoadSelect = 1411;
inline constexpr int kBatchSafetyState = 1412;
inline constexpr int kBatchSafetyToggle = 1413;
inline constexpr int kBatchMaxTime = 1414;
inline constexpr int kBatchMaxTimeValue = 1415;
inline constexpr int kBatchMaxTemp = 1416;
inline constexpr int kBatchMaxTempValue = 1417;
inline constexpr int kBatchHelp = 1418;
inline constexpr int kBatchAccept = 1419;
inline constexpr int kBatchDataLogger = 1425;  // opens the data logger set-up

// Bracketed five-speed set-up. The values are painted by the dialog.
inline constexpr int kBracketLimitGroup = 1501;
inline constexpr int kBracketOffsetGroup = 1502;
inline constexpr int kBracketSelect = 1503;
inline constexpr int kBracketLimitInc = 1504;
inline constexpr int kBracketLimitDec = 1505;
inline constexpr int kBracketOffsetInc = 1506;
inline constexpr int kBracketOffsetDec = 1507;
inline constexpr int kBracketDefaults = 1508;
inline constexpr int kBracketAccept = 1509;

// Adds the four templates to the dialog table (again harmless).
void register_drying_dialog_templates();

}  // namespace corvex::resources
