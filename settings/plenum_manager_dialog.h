#pragma once
// The automatic plenum temperature manager.
#include <cstdint>

#include "platform/gui/window.h"

namespace corvex::settings {

intptr_t open_plenum_temperature_manager_dialog(platform::gui::Window* owner);

}  // namespace corvex::settings
