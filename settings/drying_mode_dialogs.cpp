#include "settings/drying_mode_dialogs.h"

#include "link/status_bytes.h"
#include "settings/unbuilt_dialogs.h"

namespace corvex::settings {

intptr_t open_drying_mode_dialog(platform::gui::Window* owner) {
  return open_unbuilt_dialog(owner, 0, "Drying Mode Selection - 07");
}

intptr_t open_drying_setup_dialog(platform::gui::Window* owner) {
  return open_unbuilt_dialog(owner, 0,
                             link::mirror_byte(link::kDryingMode) == link::kContinuousFlow
                                 ? "CONTINUOUS FLOW SETUP"
                                 : "STAGED BATCH SETUP - 09");
}

}  // namespace corvex::settings
