#pragma once
// The temperature screen TEMP_SELECT_WINDOW with its plenum and grain panels, and the
// temperature editor dialog "Modifying Temperature Setpoint - 22" (dialog resource 101).
#include <cstdint>

#include "platform/gui/window.h"

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

}  // namespace corvex::settings
