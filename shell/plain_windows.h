#pragma once
// The classes of the main screen's windows that have no procedure of their own
// (LINE_GRAPH_WINDOW, DRYER_LEFT_STATUS_BAR_WINDOW, BUTTON_BAR_WINDOW) and of the batch drying
// screen, which the shell creates with the other screens.
#include <cstdint>

#include "platform/gui/window.h"
#include "settings/auto_start.h"

namespace corvex::shell {

// Registers those classes; a class already registered is left as it is.
void register_plain_window_classes();

using settings::open_auto_start_status_dialog;

// The metering-roll speed dialog (resource 166), as the main window opens it.
intptr_t open_metering_roll_speed_dialog(platform::gui::Window* owner);

}  // namespace corvex::shell
