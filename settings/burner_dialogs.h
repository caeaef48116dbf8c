#pragma once
// "Select Burner Mode - 10" and "MODIFYING BURNER DIFFERENTIAL SETTINGS - 15", opened from the
// setup menus. Both start from the controller's values each time they open, change nothing
// until ACCEPT, and then raise the record of every fan/heater (or plenum) whose value changed.
#include <array>
#include <cstdint>
#include <string>

#include "platform/gui/window.h"

namespace corvex::settings {

intptr_t open_burner_mode_dialog(platform::gui::Window* owner);
intptr_t open_burner_differential_dialog(platform::gui::Window* owner);

// ---- Burner mode ----
// Bits 0-1 of a fan/heater's control byte are its burner mode: 0, 1 or 3 for the dialog's
// first, second and third choice. Code 2 is none of them.
enum class BurnerChoice : int8_t { None = -1, First = 0, Second = 1, Third = 2 };
BurnerChoice burner_choice(uint8_t control_byte);
// The control byte with its mode bits set for the choice (None gives code 0); the other six
// bits stay.
uint8_t with_burner_choice(uint8_t control_byte, BurnerChoice choice);
// SELECT cycles first -> second -> third -> first; a group with no choice stays without.
BurnerChoice next_burner_choice(BurnerChoice choice);
// ACCEPT: writes each fan/heater's choice (index 0 is fan/heater 1) into its working control
// byte and raises the record of every byte that now differs from the controller's.
void accept_burner_choices(const std::array<BurnerChoice, 6>& choices);

// ---- Burner differential ----
// ACCEPT: raises the record of every plenum whose working differential differs from the
// controller's.
void accept_burner_differentials();
// The text painted for plenum n (1..6) with its working value: "PLENUM #4:   2 °F ".
std::string differential_line(int plenum, uint8_t value);

}  // namespace corvex::settings
