#pragma once
// The setup menu SETUP_SELECTION_WINDOW, the extended setup menu
// EXTENDED_SETUP_SELECTION_WINDOW_NEW, the hardware set-up dialog "DRYER HARDWARE SETUP - 05"
// and the small dialogs the menus open directly.
//
// Both menus are full-screen screens of picture buttons (175 x 50, in three columns) with a
// return button at the bottom. Each picture button carries the name of its localized bitmap as
// window text ("DRYING_MODE_BUTTON"), so that the automation's `click NAME` finds it.

namespace corvex::settings {

// Registers SETUP_SELECTION_WINDOW and EXTENDED_SETUP_SELECTION_WINDOW_NEW; the shell creates
// both windows.
void register_setup_menu_classes();

// Control ids of the setup menu (ours).
inline constexpr int kSetupDryingModeButton = 1301;
inline constexpr int kSetupDryingSetupButton = 1302;
inline constexpr int kSetupAutoStartButton = 1303;
inline constexpr int kSetupUnloadParametersButton = 1304;
inline constexpr int kSetupTemperatureManagerButton = 1305;
inline constexpr int kSetupBurnerModeButton = 1306;
inline constexpr int kSetupCalibrationButton = 1307;
inline constexpr int kSetupExtendedButton = 1308;
inline constexpr int kSetupReturnButton = 1309;

// Control ids of the extended setup menu (ours).
inline constexpr int kExtendedDiagnosticsButton = 1321;
inline constexpr int kExtendedBurnerDifferentialButton = 1322;
inline constexpr int kExtendedMeteringRollReverseButton = 1323;
inline constexpr int kExtendedUnloadBushelsButton = 1324;
inline constexpr int kExtendedTimeDateButton = 1325;
inline constexpr int kExtendedUnitsButton = 1326;
inline constexpr int kExtendedHardwareButton = 1327;
inline constexpr int kExtendedDataLoggerButton = 1328;
inline constexpr int kExtendedUserSettingsButton = 1329;
inline constexpr int kExtendedClearBatchButton = 1330;
inline constexpr int kExtendedLanguageButton = 1331;  // window text "LANGUAGE"
inline constexpr int kExtendedReturnButton = 1332;

// The visibility rules, from the current status bytes. The auto-start button shows only while
// the drying mode (byte 8) is 0, dryer-type bit 5 (byte 225) is clear and bit 6 of byte 280 is
// set; the clear-batch-counter button only while the drying mode is not 0.
bool auto_start_button_shown();
bool clear_batch_button_shown();

}  // namespace corvex::settings
