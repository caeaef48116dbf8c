#pragma once
// The temperature screen TEMP_SELECT_WINDOW with its plenum and grain panels, and the
// temperature editor dialog "Modifying Temperature Setpoint - 22" (dialog resource 101).
#include <cstdint>
#include <span>

#include "platform/gui/window.h"
#include "settings/edit_requests.h"

namespace corvex::settings {

// Registers TEMP_SELECT_WINDOW, PLENUM_SETPOINT_CHILD_WINDOW and
// GRAIN_TEMP_SETPOINT_CHILD_WINDOW. The shell creates TEMP_SELECT_WINDOW; the screen creates
// its panels itself.
void register_temperature_screen_classes();

// Runs the temperature editor modally on temperature_edit_request (edit_requests.h), which the
// caller has filled in; returns the id of the button that closed it.
intptr_t open_temperature_editor(platform::gui::Window* owner);

// Set by the auto-start configuration window when it shows the temperature screen; the
// screen's return button then goes back to that window instead of the setup menu. GUI thread.
extern uint8_t temp_screen_opened_from_auto_start;

// ---- The setpoints of the panels ----

// Every setpoint is 16 bits, low byte first, in degrees Fahrenheit. The grain setpoint has two
// sets of limits: the wide one (status byte 151) in drying mode 3 and as the first setpoint in
// dual-plenum mode, the narrow one (149) otherwise; 153 is the second in dual-plenum mode.
enum class TemperatureSetpoint : uint8_t {
  Plenum1,
  Plenum2,
  Plenum3,
  Plenum4,
  Plenum5,
  Plenum6,
  // The second temperatures of plenums #1 and #2 in dual-plenum mode.
  Plenum1Second,
  Plenum2Second,
  GrainWide,
  GrainNarrow,
  GrainSecond,
  kCount
};

// Dual-plenum mode: staged batch (status byte 8 = 1) with bit 1 of status byte 257 set.
bool dual_plenum_mode();
// Fan/heaters for the code of status byte 3 (0..4: 1, 2, 3, 4, 6; an unknown code counts 1).
int fan_heater_count();
// Whether the dryer has the setpoint, by fan/heater count, dual-plenum and drying mode.
bool setpoint_fitted(TemperatureSetpoint s);
// Whether the plenum panel draws the setpoint's value now (drying mode, fitting, bit 5 of
// status byte 225). Grain setpoints: whether the grain panel shows them.
bool setpoint_value_shown(TemperatureSetpoint s);

// The setpoint's current value as the panels show it: " %3d °F ", or converted to Celsius
// with the display rule in SI units (" %3d °C "). Always terminated.
void setpoint_text(TemperatureSetpoint s, std::span<char> out);

// Fills temperature_edit_request for a setpoint with its limits and default, after copying its
// two current StatusMirror bytes into their DesiredValues slots.
void prepare_temperature_edit(TemperatureSetpoint s);

// Picture buttons of the panels (ids ours). The six plenum buttons of the normal layout are
// kPlenum1ButtonId + 0 .. 5 for plenums #1 .. #6; the dual-plenum layout has its own four.
inline constexpr int kPlenum1ButtonId = 37110;
inline constexpr int kDualPlenum1FirstButtonId = 37116;
inline constexpr int kDualPlenum1SecondButtonId = 37117;
inline constexpr int kDualPlenum2FirstButtonId = 37118;
inline constexpr int kDualPlenum2SecondButtonId = 37119;
inline constexpr int kGrainButtonId = 37120;  // the single button outside dual-plenum mode
inline constexpr int kGrainFirstButtonId = 37121;
inline constexpr int kGrainSecondButtonId = 37122;
inline constexpr int kTemperatureScreenReturnButtonId = 37123;

// Panel classes registered by register_temperature_screen_classes (temp_panels.cpp).
void register_temperature_panel_classes();

// ---- The temperature editor's entry rules, on the request (the dialog calls them per key) ----

// The units the editor works in, taken from the unit flag when it opens.
enum class EntryUnits : uint8_t { Fahrenheit, Celsius };

// Opening: in Celsius the working value is converted with the display rule; the first-key flag
// and the digit state start afresh.
void temperature_entry_begin(TemperatureEditRequest& r, EntryUnits units);
void temperature_entry_digit(TemperatureEditRequest& r, int digit);
void temperature_entry_delete(TemperatureEditRequest& r);
void temperature_entry_clear(TemperatureEditRequest& r);
void temperature_entry_default(TemperatureEditRequest& r, EntryUnits units);
// ACCEPT: true when the Fahrenheit value to be stored (for a Celsius entry the adjusted one,
// held at the maximum when that shows as the same Celsius value) lies within the limits; then
// it goes into the two DesiredValues slots, low byte first, and the PendingWrite is raised,
// also when the value did not change. False: nothing written.
bool temperature_entry_accept(TemperatureEditRequest& r, EntryUnits units);
// The Fahrenheit value ACCEPT stores for a Celsius entry: trunc(9 C / 5) + 32, adjusted up so
// that the display rule gives back the same Celsius value.
int celsius_entry_to_fahrenheit(int celsius);

}  // namespace corvex::settings
