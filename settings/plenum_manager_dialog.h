#pragma once
// "PLENUM TEMPERATURE MANAGER - 12": the automatic plenum temperature manager, one byte (status
// byte 50). Bit 7 turns it on; bits 3-5 index the time between steps and bits 0-2 the step
// size. ACCEPT raises the record when the byte differs from the controller's.
#include <cstdint>
#include <string>

#include "platform/gui/window.h"

namespace corvex::settings {

intptr_t open_plenum_temperature_manager_dialog(platform::gui::Window* owner);

// The byte with bit 7 toggled.
uint8_t toggle_plenum_manager(uint8_t setting);
// The byte with its time index (bits 3-5) or step index (bits 0-2) stepped by +1 or -1, wrapping
// 7 -> 0 and 0 -> 7; the other bits stay.
uint8_t step_manager_time(uint8_t setting, int delta);
uint8_t step_manager_step(uint8_t setting, int delta);
// The texts the dialog shows for the byte: "15 MIN" (the minutes, then localized string 17) and
// "25 °F" (always in Fahrenheit).
std::string manager_time_text(uint8_t setting);
std::string manager_step_text(uint8_t setting);

}  // namespace corvex::settings
