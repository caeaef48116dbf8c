#pragma once
// The service technician's system diagnostics and the metering-roll output voltage set-up.
#include <cstdint>

#include "platform/gui/window.h"

namespace corvex::settings {

intptr_t open_diagnostics_dialog(platform::gui::Window* owner);

// Registers the class of BOOT_LOADER_WINDOW. Until its screen is built, the shell registers a
// placeholder of its own under that class.
void register_boot_loader_class();

}  // namespace corvex::settings
