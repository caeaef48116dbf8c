#pragma once
// Drying mode selection and the two moisture-control set-ups it leads to (continuous flow,
// staged batch), with the bracketed five-speed set-up the continuous-flow set-up opens.
#include <cstdint>

#include "platform/gui/window.h"

namespace corvex::settings {

intptr_t open_drying_mode_dialog(platform::gui::Window* owner);
intptr_t open_drying_setup_dialog(platform::gui::Window* owner);

}  // namespace corvex::settings
