#pragma once
// The maximum and minimum unload rates.
#include <cstdint>

#include "platform/gui/window.h"

namespace corvex::settings {

intptr_t open_unload_parameters_dialog(platform::gui::Window* owner);

}  // namespace corvex::settings
