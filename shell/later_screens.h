#pragma once
// Screens and dialogs that later versions of the display fill in. Their windows exist with
// their classes from start-up on, so that navigation, the link's redraws and tests reach them;
// a dialog that is not built yet tells the operator so in a message box captioned with the
// dialog's title. Every such request is noted, so that a test can check which one was asked
// for.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gui/window.h"

namespace corvex::shell {

// Registers the classes of the screen windows whose screens come later (BOOT_LOADER_WINDOW,
// UNLOAD_STATUS_WINDOW, BATCH_DRYING_WINDOW, AUTO_START_CONFIG_WINDOW) and of the windows that
// have no procedure of their own (LINE_GRAPH_WINDOW, DRYER_LEFT_STATUS_BAR_WINDOW,
// BUTTON_BAR_WINDOW). A class already registered is left as it is.
void register_later_screen_classes();

// Opens a dialog that is not built yet: notes the request and shows a message box captioned
// with the dialog's title, owned by `owner`. Returns the message box's result.
intptr_t open_unbuilt_dialog(platform::gui::Window* owner, int resource_id,
                             std::string_view title);

// One noted request: the resource number (0 when the dialog has none) and the title.
struct DialogRequest {
  int resource_id;
  std::string title;
};
// Every request noted since start-up (or the last clear), oldest first.
const std::vector<DialogRequest>& dialog_requests();
void clear_dialog_requests();

// Opening functions of the dialogs of later versions that this version already calls.
// Metering-roll speed dialog (resource 166), with its title.
intptr_t open_metering_roll_speed_dialog(platform::gui::Window* owner);
// Auto-start status (resource 612).
intptr_t open_auto_start_status_dialog(platform::gui::Window* owner);

}  // namespace corvex::shell
