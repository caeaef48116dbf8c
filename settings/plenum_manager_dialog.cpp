#include "settings/plenum_manager_dialog.h"

#include "settings/unbuilt_dialogs.h"

namespace corvex::settings {

intptr_t open_plenum_temperature_manager_dialog(platform::gui::Window* owner) {
  return open_unbuilt_dialog(owner, 0, "PLENUM TEMPERATURE MANAGER - 12");
}

}  // namespace corvex::settings
