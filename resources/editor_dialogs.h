#pragma once
// The dialog templates of the two keypad editors: the timer editor "MODIFYING TIMER SETPOINT -
// 21" and the temperature editor "Modifying Temperature Setpoint - 22" (resource 101). Both are
// laid out for a finger: every key is at least 44 px high and the dialogs fit the 640 x 480
// panel. Every key is an owner-drawn button: the dialog draws its localized label, while the
// window text stays a fixed name the automation finds:
//   timer editor:        "MIN 0" .. "MIN 9", "MIN DELETE", "SEC 0" .. "SEC 9", "SEC DELETE",
//                        "DEFAULT", "ACCEPT", "CANCEL"
//   temperature editor:  "0" .. "9", "DELETE", "CLEAR", "DEFAULT", "ACCEPT", "CANCEL"
#include "platform/gfx/geometry.h"

namespace corvex::resources {

inline constexpr int kTemperatureEditorDialog = 101;
inline constexpr int kTimerEditorDialog = 121;  // ours

// Timer editor controls (ids ours). The digit keys of a pad are its first id plus the digit.
inline constexpr int kTimerMinutesDigit0 = 1000;
inline constexpr int kTimerMinutesDelete = 1010;
inline constexpr int kTimerSecondsDigit0 = 1020;
inline constexpr int kTimerSecondsDelete = 1030;
inline constexpr int kTimerDefault = 1040;
inline constexpr int kTimerAccept = 1041;
inline constexpr int kTimerCancel = 1042;

// Temperature editor controls (ids ours).
inline constexpr int kTemperatureDigit0 = 1100;
inline constexpr int kTemperatureDelete = 1110;
inline constexpr int kTemperatureClear = 1111;
inline constexpr int kTemperatureDefault = 1112;
inline constexpr int kTemperatureAccept = 1113;
inline constexpr int kTemperatureCancel = 1114;

// Where the dialogs draw the value being entered and the limit lines, in client coordinates.
inline constexpr platform::Rect kTimerValueRect{10, 4, 604, 60};
inline constexpr platform::Rect kTimerLimitsRect{10, 62, 604, 122};
inline constexpr platform::Rect kTimerMinutesLabelRect{20, 124, 272, 146};
inline constexpr platform::Rect kTimerSecondsLabelRect{342, 124, 594, 146};
inline constexpr platform::Rect kTemperatureValueRect{10, 6, 404, 70};

// Adds both templates to the dialog table (again harmless).
void register_editor_dialog_templates();

}  // namespace corvex::resources
