#pragma once
// The view selection window VIEW_SELECTION_WINDOW, shown over the main screen by VIEW: it
// chooses between the status chart and the graph for the right side of the main screen,
// remembers the choice in the registry and in the controller (bit 6 of status byte 266), and
// opens the shutdown history, the system information and the manuals folder. GUI thread only.
namespace corvex::logging {

inline constexpr int kChartViewButtonId = 36898;
inline constexpr int kGraphViewButtonId = 36897;
inline constexpr int kManualsButtonId = 36895;
inline constexpr int kHistoryButtonId = 36901;
inline constexpr int kSystemInfoButtonId = 36904;
inline constexpr int kSoftwareInfoButtonId = 36995;
inline constexpr int kExitViewButtonId = 36896;

inline constexpr char kChartRefusedText[] = "Status Chart is not available in Batch Drying.";
inline constexpr char kGraphRefusedText[] = "Graph is not available in Batch Drying.";
inline constexpr char kRefusedCaption[] = " REQUESTED FUNCTION NOT PERMITTED";
inline constexpr char kManualsFailedText[] = " Trying to Open Manuals";
inline constexpr char kManualsFailedCaption[] = " Could not execute Explorer Program!";

// Registers VIEW_SELECTION_WINDOW (a class already registered is replaced).
void register_view_selection_class();

}  // namespace corvex::logging
