#include "settings/diagnostics_dialog.h"

#include "settings/unbuilt_dialogs.h"

namespace corvex::settings {

intptr_t open_diagnostics_dialog(platform::gui::Window* owner) {
  return open_unbuilt_dialog(owner, 168, " System Diagnostics - 14");
}

void register_boot_loader_class() {}

}  // namespace corvex::settings
