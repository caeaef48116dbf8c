// Placeholder until this screen is written: the class exists with its background.
#include "settings/temperature_screen.h"

#include "platform/gui/window.h"
#include "shell/window_classes.h"

namespace corvex::settings {

uint8_t temp_screen_opened_from_auto_start = 0;
void register_temperature_screen_classes() {
  platform::gui::register_class({shell::TEMP_SELECT_WINDOW, platform::gui::default_window_procedure,
                                 platform::colors::kBlack, true});
}
intptr_t open_temperature_editor(platform::gui::Window*) { return 0; }

}  // namespace corvex::settings
