#pragma once
// The timer screen TIMER_SELECT_WINDOW with its four panels, and the timer editor dialog
// "MODIFYING TIMER SETPOINT - 21".
#include <cstdint>

#include "platform/gui/window.h"

namespace corvex::settings {

// Registers TIMER_SELECT_WINDOW and the classes of its four panels (LOAD_DELAY_CHILD_WINDOW,
// OUT_OF_GRAIN_CHILD_WINDOW, FAN_DELAY_CHILD_WINDOW, UNLOAD_DELAY_CHILD_WINDOW). The shell
// creates TIMER_SELECT_WINDOW; the screen creates its panels itself.
void register_timer_screen_classes();

// Runs the timer editor modally on timer_edit_request (edit_requests.h), which the caller has
// filled in; returns the id of the button that closed it.
intptr_t open_timer_editor(platform::gui::Window* owner);

}  // namespace corvex::settings
