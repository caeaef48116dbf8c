#pragma once
// Auto-start: the entry from the setup menu, the configuration screen and the status dialog.
#include <cstdint>

#include "platform/gui/window.h"

namespace corvex::settings {

intptr_t open_auto_start(platform::gui::Window* owner);
intptr_t open_auto_start_status_dialog(platform::gui::Window* owner);

// Registers the class of AUTO_START_CONFIG_WINDOW. Until its screen is built, the shell registers a
// placeholder of its own under that class.
void register_auto_start_screen_class();

}  // namespace corvex::settings
