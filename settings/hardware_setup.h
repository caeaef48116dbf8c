#pragma once
// The hardware set-up dialog "DRYER HARDWARE SETUP - 05": the number of fan/heaters, modules,
// fuel, load system and dryer length (or model), the grain inverter and the cycled moisture
// sampler. It edits DesiredValues only; ACCEPT/EXIT raises the writes of what changed.
//
// The dialog is laid out for the dryer family that the dryer-type code (status byte 225)
// names. The rules of its SELECT buttons are kept in the functions below, which the dialog
// calls with the values it edits.
#include <cstdint>
#include <span>

#include "platform/gui/window.h"

namespace corvex::settings {

// Opens the dialog modally over `owner`; returns the id it closed with.
intptr_t open_hardware_setup_dialog(platform::gui::Window* owner);

// Values of status byte 3.
inline constexpr uint8_t kFanHeatersOne = 0;
inline constexpr uint8_t kFanHeatersTwo = 1;
inline constexpr uint8_t kFanHeatersThree = 2;
inline constexpr uint8_t kFanHeatersFour = 3;
inline constexpr uint8_t kFanHeatersSix = 4;

// The family by the high nibble of the dryer-type code: 0x2_ numbered models (TD01-TD18), 0x4_
// mixed flow (KM01-KM12), 0x8_ lengths in feet, anything else the dialog as laid out.
enum class DryerFamily : uint8_t { NumericModel, MixedFlow, Feet, Plain };
DryerFamily dryer_family(uint8_t dryer_type);

// Modules SELECT: 0 -> 1 -> 2 -> 0, and the fan/heaters each step sets (modules 0 Three,
// modules 1 and 2 Four).
uint8_t next_modules(uint8_t modules);
uint8_t fan_heaters_for_modules(uint8_t modules);
// Fan/heaters SELECT, by the dryer-type bits and the modules value.
uint8_t next_fan_heaters(uint8_t dryer_type, uint8_t modules, uint8_t fan_heaters);
// Fuel SELECT cycles 0..3, load-system SELECT 0..2.
uint8_t next_fuel(uint8_t fuel);
uint8_t next_load_system(uint8_t load);
// Length SELECT: 0..11 for the dryer-type codes 32, 33, 34 and 64, otherwise 0..14.
uint8_t next_length(uint8_t dryer_type, uint8_t length);

// The label of length index 0..14 in a family: "8 ft" .. "40 ft", "KM01" .. "KM12" (empty
// for the hidden 12..14), "TD01, TD02" .. "TD18" and localized string 147 for 11..14.
void length_label(DryerFamily family, int index, std::span<char> out);
// True when the meter roll is shown as 4 inch (bit 1 of status byte 183, not mixed flow).
bool meter_roll_is_4_inch();

// On opening: the current bytes 3..7, 279 and 293 go into their desired slots.
void load_hardware_desired();
// ACCEPT/EXIT: the hardware-changed flag, the dual-plenum clear of byte 257 when the desired
// fan/heaters are not One, then each write whose desired value differs from the current one.
void accept_hardware_setup();

}  // namespace corvex::settings
