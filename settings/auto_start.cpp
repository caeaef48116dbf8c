#include "settings/auto_start.h"

#include "link/status_bytes.h"
#include "settings/unbuilt_dialogs.h"

namespace corvex::settings {

intptr_t open_auto_start(platform::gui::Window* owner) {
  // While an auto-start runs, the setup menu's button reopens its status.
  if (link::mirror_bit(link::kAutoStart, link::kAutoStartRunningBit))
    return open_auto_start_status_dialog(owner);
  return open_unbuilt_dialog(owner, 0, "Auto-Start Control Panel Switch Requirements");
}

intptr_t open_auto_start_status_dialog(platform::gui::Window* owner) {
  return open_unbuilt_dialog(owner, 612, "Auto-Start Status");
}

void register_auto_start_screen_class() {}

}  // namespace corvex::settings
