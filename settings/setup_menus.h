#pragma once
// The setup menu SETUP_SELECTION_WINDOW, the extended setup menu
// EXTENDED_SETUP_SELECTION_WINDOW_NEW, the hardware set-up dialog "DRYER HARDWARE SETUP - 05"
// and the small dialogs the menus open directly.

namespace corvex::settings {

// Registers SETUP_SELECTION_WINDOW and EXTENDED_SETUP_SELECTION_WINDOW_NEW; the shell creates
// both windows.
void register_setup_menu_classes();

}  // namespace corvex::settings
