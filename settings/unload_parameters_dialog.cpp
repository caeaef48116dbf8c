#include "settings/unload_parameters_dialog.h"

#include "settings/unbuilt_dialogs.h"

namespace corvex::settings {

intptr_t open_unload_parameters_dialog(platform::gui::Window* owner) {
  return open_unbuilt_dialog(owner, 0, "Unload Parameters - 11");
}

}  // namespace corvex::settings
