#include "settings/calibration_dialogs.h"

#include "settings/unbuilt_dialogs.h"

namespace corvex::settings {

intptr_t open_moisture_calibration_dialog(platform::gui::Window* owner) {
  return open_unbuilt_dialog(owner, 223, " MOISTURE SENSOR CALIBRATION - 13");
}

intptr_t open_unload_bushels_dialog(platform::gui::Window* owner) {
  return open_unbuilt_dialog(owner, 0, " UNLOAD BUSHELS SETUP SCREEN - 17");
}

void register_unload_status_class() {}

}  // namespace corvex::settings
