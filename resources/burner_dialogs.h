#pragma once
// The dialog templates of "Select Burner Mode - 10" (177) and "MODIFYING BURNER DIFFERENTIAL
// SETTINGS - 15" (170). Control ids are the dialogs' own. Buttons with localized labels are
// owner-drawn and keep fixed window texts the automation finds ("SELECT #3", "PLENUM #4",
// "+/- 2", "ALL AUTO", "ACCEPT", "CANCEL", "HELP").

namespace corvex::resources {

inline constexpr int kBurnerModeDialog = 177;
inline constexpr int kBurnerDifferentialDialog = 170;

// Burner mode: fan/heater n (1..6) has its caption box 1364 + n, its three choice marks from
// 1045 + 3 (n - 1) and its SELECT button 1089 + n.
inline constexpr int kBurnerFirstMark = 1045;
inline constexpr int kBurnerFirstCaption = 1365;
inline constexpr int kBurnerFirstSelect = 1090;
inline constexpr int kBurnerAllFirst = 1064;   // 1064, 1065, 1066: every group's first, second, third
inline constexpr int kBurnerCancel = 1063;
inline constexpr int kBurnerAccept = 1044;

// Burner differential.
inline constexpr int kDiffPlenum6 = 1103;
inline constexpr int kDiffPlenum5 = 1104;
inline constexpr int kDiffPlenum4 = 1105;
inline constexpr int kDiffPlenum3 = 1088;
inline constexpr int kDiffPlenum2 = 1090;
inline constexpr int kDiffPlenum1 = 1092;
inline constexpr int kDiffOneDegree = 1102;  // 1102 down to 1098: 1 to 5 degrees
inline constexpr int kDiffHelp = 1094;
inline constexpr int kDiffAccept = 1108;

// Adds both templates to the dialog table (again harmless).
void register_burner_dialog_templates();

}  // namespace corvex::resources
