#pragma once
// The dialog templates of "Unload Parameters - 11" and "PLENUM TEMPERATURE MANAGER - 12",
// opened from the setup menu. The values are painted by the dialogs; the buttons are
// owner-drawn keys with fixed window texts the automation finds ("MAXIMUM INCREASE",
// "MINIMUM DECREASE", "TIME INCREASE", "STEP DECREASE", "SELECT ON / OFF", "HELP", "ACCEPT",
// "CANCEL"); the ON and OFF marks of the manager are radio buttons.

namespace corvex::resources {

inline constexpr int kUnloadParametersDialog = 711;  // ours
inline constexpr int kPlenumManagerDialog = 712;     // ours

// Unload parameters.
inline constexpr int kUnloadMaxIncrease = 1201;
inline constexpr int kUnloadMaxDecrease = 1202;
inline constexpr int kUnloadMinIncrease = 1203;
inline constexpr int kUnloadMinDecrease = 1204;
inline constexpr int kUnloadHelp = 1205;
inline constexpr int kUnloadCancel = 1206;
inline constexpr int kUnloadAccept = 1207;
// Where the dialog paints: the two columns of values (maximum left, minimum right) and the
// note under them, in client coordinates.
inline constexpr int kUnloadColumnLeft[2] = {20, 330};
inline constexpr int kUnloadColumnWidth = 284;
inline constexpr int kUnloadValuesTop = 8;
inline constexpr int kUnloadNoteTop = 262;

// Plenum temperature manager.
inline constexpr int kManagerOnMark = 1221;
inline constexpr int kManagerOffMark = 1222;
inline constexpr int kManagerSelect = 1223;
inline constexpr int kManagerTimeIncrease = 1224;
inline constexpr int kManagerTimeDecrease = 1225;
inline constexpr int kManagerStepIncrease = 1226;
inline constexpr int kManagerStepDecrease = 1227;
inline constexpr int kManagerHelp = 1228;
inline constexpr int kManagerCancel = 1229;
inline constexpr int kManagerAccept = 1230;
// The two painted values: time between steps on the left, step size on the right.
inline constexpr int kManagerValueLeft[2] = {20, 330};
inline constexpr int kManagerValueWidth = 284;
inline constexpr int kManagerValueTop = 104;

// Adds both templates to the dialog table (again harmless).
void register_unload_dialog_templates();

}  // namespace corvex::resources
