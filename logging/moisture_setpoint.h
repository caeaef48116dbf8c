#pragma once
// The moisture setpoint dialog " MOISTURE SETPOINT - 26" (dialog resource 225) and its keypad
// "MODIFY M/C SETPOINT".
//
// The setpoint is controller parameter 199: two bytes, high byte first, in tenths of a percent,
// reported in status bytes 199 (high) and 200 (low). The keypad builds a number digit by digit;
// only its ACCEPT stores the number in DesiredValues 199/200, and only then does the setpoint
// dialog raise PendingWrite 199. A typed number outside 5.0 to 40.0 % is refused with the
// editors' out-of-range warning. Closing the keypad any other way (its EXIT key) sends nothing,
// so a number left over from an earlier entry or a slip of the finger never goes to the
// controller by accident.
#include <cstdint>
#include <span>

#include "platform/gui/window.h"

namespace corvex::logging {

inline constexpr int kMoistureSetpointDialogResource = 225;

// The setpoints the keypad accepts, in tenths of a percent: 5.0 to 40.0 %.
inline constexpr uint16_t kMoistureSetpointMinimum = 50;
inline constexpr uint16_t kMoistureSetpointMaximum = 400;

// Sets the dialog's entry code (3 from the main window's moisture-control button, 4 from the
// auto-start screens) and runs the dialog modally with that owner; returns the id it closed
// with. Code 4 edits the incoming average moisture (parameter 281, status bytes 281 low and
// 282 high, PendingWrite 281) in place of the setpoint, with the same keypad and range.
intptr_t open_moisture_setpoint_dialog(platform::gui::Window* owner, int entry_code);

// The entry code of the last opening (read by the dialog).
int moisture_setpoint_entry_code();

// ---- The keypad's entry, kept apart from the dialog so that its rules can be checked ----

// The number being typed and whether a key has been pressed since the keypad opened. The number
// keeps its value between openings (0 at program start); the flag is cleared on every opening.
struct MoistureKeypadEntry {
  uint32_t number = 0;
  bool started = false;
};
MoistureKeypadEntry& moisture_keypad_entry();

// Clears the entry-started flag, as opening the keypad does.
void begin_moisture_keypad_entry();
// A digit key: the first key of an entry starts from 0; the number becomes number x 10 + digit.
// A digit that would take the number past the parameter's 16 bits is ignored, so that what the
// display shows is always what ACCEPT sends.
void moisture_keypad_digit(int digit);
// DELETE: (starting from 0 if no key was pressed yet) the number becomes number / 10.
void moisture_keypad_delete();
// ACCEPT: the value to store. With no key pressed since the keypad opened, that is the
// controller's reported setpoint, so that ACCEPT alone keeps it; the entry then continues from
// that value.
uint16_t moisture_keypad_accept_value();

enum class MoistureKeypadAccept : uint8_t {
  Store,       // the value goes into DesiredValues 199/200
  OutOfRange,  // a typed value outside the setpoint range: nothing is stored
};
// ACCEPT with its range check: a number the operator typed must lie within 5.0 to 40.0 %. The
// controller's own setpoint (ACCEPT with no key pressed) is kept as it is, whatever it holds.
MoistureKeypadAccept moisture_keypad_accept(uint16_t* value);

// The live display after a key: "%02d.%01d %" of the number in tenths ("15.5 %").
void format_keypad_number(uint32_t number, std::span<char> out);
// The display on painting: "%d.%01d %" of the reported setpoint ("7.5 %").
void format_reported_setpoint(std::span<char> out);
// The setpoint the controller reports (status bytes 199 high, 200 low).
uint16_t reported_moisture_setpoint();

}  // namespace corvex::logging
