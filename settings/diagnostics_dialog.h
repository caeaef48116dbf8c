#pragma once
// The service technician's " System Diagnostics - 14": the display I/O tests, the air-switch
// testing option, the metering-roll options and the way to the metering-roll output voltage
// set-up and the moisture sensor calibration. Also the programming-update window
// (BOOT_LOADER_WINDOW), which is created hidden and which no operation of the display shows.
#include <cstdint>

#include "platform/gui/window.h"

namespace corvex::settings {

intptr_t open_diagnostics_dialog(platform::gui::Window* owner);

// Registers the class of BOOT_LOADER_WINDOW; start-up calls it with the other screens'.
void register_boot_loader_class();

// ---- The rules the diagnostics screen applies ----

// How many fan/heaters a fan/heater count code (status byte 3) means: 0..4 give 1, 2, 3, 4, 6.
// An unknown code counts as one fan/heater, so that an option change never reaches a control
// byte of a fan/heater that may not be fitted.
int fan_heaters_present(uint8_t count_code);

// True when any control byte 101..106 reports air-switch testing disabled (bit 2), present
// fan/heater or not.
bool air_switch_testing_disabled_reported();

// Sets (disabled) or clears bit 2 in the control-byte slot of every present fan/heater and
// raises their writes; the slots keep their other bits.
void set_air_switch_testing_disabled(bool disabled);

// What the diagnostics screen shows for the air switch, and the one change it makes on its own:
// while a fan/heater reports testing disabled, bit 3 of status byte 148 is set and the
// highest-priority alarm (bit 5 of status byte 118) is clear, testing is switched back on for
// the present fan/heaters. Returns true when the screen shows testing as disabled.
bool apply_air_switch_rule();

// The answer Yes of the air-switch confirmation. `second_yes` tells a confirmed second Yes
// from the first. Returns true when the confirmation closes (false: it asks again).
bool answer_air_switch_yes(bool second_yes);

// Yes of the metering-roll sensor failure question: bit 5 of the option-bits slot becomes the
// opposite of the reported bit, and its write is raised.
void toggle_mr_sensor_shutdown();

// Yes of the set-speed-via-screen question: the option flips (it lives for the run only).
void toggle_mr_speed_via_screen();

}  // namespace corvex::settings
