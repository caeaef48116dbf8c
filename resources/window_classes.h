#pragma once
// Window-class names of the screen windows and dialogs, spelled as the system spells them, so
// that the status decoder and the ticks can address a window by class without holding its
// handle. The screens register their classes under these names. The names sit below every
// subsystem and include nothing, so that the link, the screens and the shell share them without
// depending on one another.
//
// Dialogs built from templates run under the platform's dialog class; one that the status
// decoder redraws registers its window with the link while it is open
// (link::register_redraw_window). The dialog names below are the fallback for a dialog built as
// a window of its own class, and name the dialog in the link's tables. Names marked "ours" are
// not given by the system's description and were chosen in the same style.

namespace corvex::resources {

// Screen windows of the main window, in the order the shell creates them.
inline constexpr char VIEW_SELECTION_WINDOW[] = "VIEW_SELECTION_WINDOW";
inline constexpr char WARNING_WINDOW[] = "WARNING_WINDOW";
inline constexpr char LINE_GRAPH_WINDOW[] = "LINE_GRAPH_WINDOW";
inline constexpr char AVERAGE_VALUES_WINDOW[] = "AVERAGE_VALUES_WINDOW";  // status chart
inline constexpr char BOOT_LOADER_WINDOW[] = "BOOT_LOADER_WINDOW";
inline constexpr char CUSTOM_VIEW_WINDOW[] = "CUSTOM_VIEW_WINDOW";  // plenum view
inline constexpr char UNLOAD_STATUS_WINDOW[] = "UNLOAD_STATUS_WINDOW";
inline constexpr char DRYER_LEFT_STATUS_BAR_WINDOW[] = "DRYER_LEFT_STATUS_BAR_WINDOW";
inline constexpr char DRYER_RIGHT_STATUS_BAR_WINDOW[] = "DRYER_RIGHT_STATUS_BAR_WINDOW";
inline constexpr char BUTTON_BAR_WINDOW[] = "BUTTON_BAR_WINDOW";
inline constexpr char TIMER_SELECT_WINDOW[] = "TIMER_SELECT_WINDOW";
inline constexpr char TEMP_SELECT_WINDOW[] = "TEMP_SELECT_WINDOW";
inline constexpr char SETUP_SELECTION_WINDOW[] = "SETUP_SELECTION_WINDOW";  // setup menu
inline constexpr char EXTENDED_SETUP_SELECTION_WINDOW_NEW[] =
    "EXTENDED_SETUP_SELECTION_WINDOW_NEW";
inline constexpr char GRAPH_WINDOW[] = "GRAPH_WINDOW";
inline constexpr char DRAW_GRAPH_WINDOW[] = "DRAW_GRAPH_WINDOW";  // child of GRAPH_WINDOW
inline constexpr char DRYER_PIC_WINDOW[] = "DRYER_PIC_WINDOW";    // status picture
inline constexpr char BATCH_DRYING_WINDOW[] = "BATCH_DRYING_WINDOW";
inline constexpr char AUTO_START_CONFIG_WINDOW[] = "AUTO_START_CONFIG_WINDOW";

// Panels of the timer and temperature screens.
inline constexpr char LOAD_DELAY_CHILD_WINDOW[] = "LOAD_DELAY_CHILD_WINDOW";
inline constexpr char OUT_OF_GRAIN_CHILD_WINDOW[] = "OUT_OF_GRAIN_CHILD_WINDOW";
inline constexpr char FAN_DELAY_CHILD_WINDOW[] = "FAN_DELAY_CHILD_WINDOW";
inline constexpr char UNLOAD_DELAY_CHILD_WINDOW[] = "UNLOAD_DELAY_CHILD_WINDOW";
inline constexpr char PLENUM_SETPOINT_CHILD_WINDOW[] = "PLENUM_SETPOINT_CHILD_WINDOW";
inline constexpr char GRAIN_TEMP_SETPOINT_CHILD_WINDOW[] = "GRAIN_TEMP_SETPOINT_CHILD_WINDOW";

// Dialogs the decoder and the ticks address (all names ours).
inline constexpr char METERING_ROLL_SPEED_DIALOG[] = "METERING_ROLL_SPEED_DIALOG";  // resource 166
inline constexpr char WARNING_HELP_DIALOG[] = "WARNING_HELP_DIALOG";  // help viewer, resource 169
inline constexpr char DIAGNOSTICS_DIALOG[] = "DIAGNOSTICS_DIALOG";    // resource 168
inline constexpr char SWITCH_TEST_DIALOG[] = "SWITCH_TEST_DIALOG";    // resource 203
inline constexpr char LIGHT_OUTPUT_TEST_DIALOG[] = "LIGHT_OUTPUT_TEST_DIALOG";  // resource 202
// Throughput (bushel counter) calibration of the calibration screens.
inline constexpr char BPH_CALIBRATION_DIALOG[] = "BPH_CALIBRATION_DIALOG";
inline constexpr char MOISTURE_SENSOR_CALIBRATION_DIALOG[] =
    "MOISTURE_SENSOR_CALIBRATION_DIALOG";  // resource 223
inline constexpr char MOISTURE_SETPOINT_DIALOG[] = "MOISTURE_SETPOINT_DIALOG";  // resource 225
inline constexpr char AUTO_START_STATUS_DIALOG[] = "AUTO_START_STATUS_DIALOG";  // resource 612
// The auto-start dialog that shows the moisture sensor interfaces (status byte 287).
inline constexpr char AUTO_START_DIALOG[] = "AUTO_START_DIALOG";
inline constexpr char BRACKETED_MOISTURE_SETUP_DIALOG[] = "BRACKETED_MOISTURE_SETUP_DIALOG";
// The setup dialog that shows the connection set-up byte (status byte 246).
inline constexpr char CONNECTION_SETUP_DIALOG[] = "CONNECTION_SETUP_DIALOG";
// "CONTINUOUS FLOW SETUP": the drying criteria of continuous flow.
inline constexpr char DRYING_CRITERIA_DIALOG[] = "DRYING_CRITERIA_DIALOG";
// "STAGED BATCH SETUP - 09": the batch drying modes with the maximum batch time.
inline constexpr char DRYING_MODES_DIALOG[] = "DRYING_MODES_DIALOG";

// Control ids the link needs to reach.
// Main window: the moisture-control ("MISC") bar button.
inline constexpr int kMiscButtonId = 34821;
// Unload status window: the bushels-per-hour button UNLOAD_STATUS_SELECT_BUTTON.
inline constexpr int kUnloadStatusSelectButtonId = 36871;
// Batch drying screen buttons (ids ours).
inline constexpr int kBatchHiHeatButtonId = 36940;
inline constexpr int kBatchLoHeatButtonId = 36941;
inline constexpr int kBatchDryButtonId = 36942;
inline constexpr int kBatchCoolButtonId = 36943;
inline constexpr int kBatchUnloadButtonId = 36944;
inline constexpr int kBatchSampleTimeButtonId = 36945;

// Command the warning help viewer closes on (its close button).
inline constexpr int kWarningHelpCloseCommand = 1224;

}  // namespace corvex::resources
