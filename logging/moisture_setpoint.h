#pragma once
// The moisture setpoint dialog " MOISTURE SETPOINT - 26" (dialog resource 225) and its keypad
// "MODIFY M/C SETPOINT".
#include <cstdint>

#include "platform/gui/window.h"

namespace corvex::logging {

inline constexpr int kMoistureSetpointDialogResource = 225;

// Sets the dialog's entry code (3 from the main window's moisture-control button, 4 from the
// auto-start screens) and runs the dialog modally with that owner; returns the id it closed
// with.
intptr_t open_moisture_setpoint_dialog(platform::gui::Window* owner, int entry_code);

// The entry code of the last opening (read by the dialog).
int moisture_setpoint_entry_code();

}  // namespace corvex::logging
