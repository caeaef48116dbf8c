#pragma once
// Dialogs that later versions of the display fill in. A dialog that is not built yet tells the
// operator so in a message box captioned with the dialog's title. Every such request is noted,
// so that a test can check which one was asked for. GUI thread only.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gui/window.h"

namespace corvex::settings {

// What a screen or dialog of a later version says in its place.
inline constexpr char kNotAvailableLine[] =
    "This screen is not available in this version of the display.";

// Opens a dialog that is not built yet: notes the request and shows a message box captioned
// with the dialog's title, owned by `owner`. Returns the message box's result.
intptr_t open_unbuilt_dialog(platform::gui::Window* owner, int resource_id, std::string_view title);

// One noted request: the resource number (0 when the dialog has none) and the title.
struct DialogRequest {
  int resource_id;
  std::string title;
};
// Every request noted since start-up (or the last clear), oldest first.
const std::vector<DialogRequest>& dialog_requests();
void clear_dialog_requests();

}  // namespace corvex::settings
