#pragma once
// The dialog templates of the moisture setpoint dialog " MOISTURE SETPOINT - 26" (resource 225)
// and of its keypad "MODIFY M/C SETPOINT". Both are laid out for a finger (keys 90 x 48) and
// sit side by side, so that the setpoint dialog's display stays in view while the operator
// types. Every button is owner-drawn: the dialog draws its localized label, while the window
// text stays the fixed name the automation finds ("MODIFY SETPOINT", "EXIT", "0" .. "9",
// "DELETE", "ACCEPT"; the keypad's own EXIT is found first while the keypad is open).
namespace corvex::resources {

inline constexpr int kMoistureSetpointDialog = 225;
inline constexpr int kMoistureKeypadDialog = 226;  // ours

// Setpoint dialog controls.
inline constexpr int kMoistureModifyButton = 1157;
inline constexpr int kMoistureExitButton = 1045;
inline constexpr int kMoistureValueDisplay = 1146;

// Keypad controls: the digit keys are not in digit order ("7" is 1157 ... "3" is 1165, "0"
// is 1166).
inline constexpr int kKeypadDelete = 1167;
inline constexpr int kKeypadZero = 1166;
inline constexpr int kKeypadAccept = 1168;
// EXIT, a full-width key under the grid: leaves the keypad with the setpoint unchanged.
inline constexpr int kKeypadExit = 1169;  // ours
// The id of digit key 0..9, and the digit of a key id (-1 for a key that is no digit).
int keypad_digit_id(int digit);
int keypad_digit_of(int id);

// Adds both templates to the dialog table (again harmless).
void register_moisture_dialog_templates();

}  // namespace corvex::resources
