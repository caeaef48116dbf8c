#pragma once
// The plenum view (CUSTOM_VIEW_WINDOW): one box per fan/heater plenum with its name, state,
// setpoint and temperature.

namespace corvex::status {

// Registers the window class CUSTOM_VIEW_WINDOW (black background).
void register_plenum_view_class();

}  // namespace corvex::status
