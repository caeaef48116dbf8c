#pragma once
// Moisture sensor calibration, the unload bushels set-up and the unload status screen.
#include <cstdint>

#include "platform/gui/window.h"

namespace corvex::settings {

intptr_t open_moisture_calibration_dialog(platform::gui::Window* owner);
intptr_t open_unload_bushels_dialog(platform::gui::Window* owner);

// Registers the class of UNLOAD_STATUS_WINDOW. Until its screen is built, the shell registers a
// placeholder of its own under that class.
void register_unload_status_class();

}  // namespace corvex::settings
