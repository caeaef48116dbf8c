#pragma once
// The status bar (DRYER_RIGHT_STATUS_BAR_WINDOW): the one status message that matters most,
// chosen by ten rules in order from the StatusMirror and the blink flags.

namespace corvex::status {

// Registers the window class DRYER_RIGHT_STATUS_BAR_WINDOW (black background).
void register_status_bar_class();

}  // namespace corvex::status
