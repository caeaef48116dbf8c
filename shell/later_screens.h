#pragma once
// Screens and dialogs that later versions of the display fill in. Their windows exist with
// their classes from start-up on, so that navigation, the link's redraws and tests reach them.
// The dialogs that are not built yet are settings' (unbuilt_dialogs.h); the shell knows them
// under its own names.
#include <cstdint>

#include "platform/gui/window.h"
#include "settings/auto_start.h"
#include "settings/unbuilt_dialogs.h"

namespace corvex::shell {

// Registers the classes of the screen windows whose screens come later (BOOT_LOADER_WINDOW,
// UNLOAD_STATUS_WINDOW, BATCH_DRYING_WINDOW, AUTO_START_CONFIG_WINDOW) and of the windows that
// have no procedure of their own (LINE_GRAPH_WINDOW, DRYER_LEFT_STATUS_BAR_WINDOW,
// BUTTON_BAR_WINDOW). A class already registered is left as it is.
void register_later_screen_classes();

using settings::clear_dialog_requests;
using settings::dialog_requests;
using settings::DialogRequest;
using settings::open_auto_start_status_dialog;
using settings::open_unbuilt_dialog;

// Opening functions of the dialogs of later versions that this version already calls.
// Metering-roll speed dialog (resource 166), with its title.
intptr_t open_metering_roll_speed_dialog(platform::gui::Window* owner);

}  // namespace corvex::shell
