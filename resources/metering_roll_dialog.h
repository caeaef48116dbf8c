#pragma once
// The dialog template of "MODIFYING METER ROLL SPEED SETPOINTS (Use knob on control panel) -
// 23" (166). The dialog paints its gauges on the left half; the buttons stand in a column on
// the right. The keys are owner-drawn with localized labels and keep fixed window texts the
// automation finds ("INCREASE", "DECREASE", "SELECT", "CHANGE SPEED MODE", "ACCEPT", "EXIT").

namespace corvex::resources {

inline constexpr int kMeteringRollDialog = 166;

inline constexpr int kMrIncrease = 1047;
inline constexpr int kMrDecrease = 1046;
inline constexpr int kMrSelect = 1048;
inline constexpr int kMrAdjustLabel = 1234;
inline constexpr int kMrModeButton = 1049;
inline constexpr int kMrFirstMark = 1221;
inline constexpr int kMrSecondMark = 1222;
inline constexpr int kMrModeGroup = 1226;
inline constexpr int kMrAccept = 1043;
inline constexpr int kMrExit = 1044;

void register_metering_roll_dialog_template();

}  // namespace corvex::resources
