// Placeholder until this screen is written: the class exists with its background.
#include "settings/timer_screen.h"

#include "platform/gui/window.h"
#include "shell/window_classes.h"

namespace corvex::settings {

void register_timer_screen_classes() {
  platform::gui::register_class({shell::TIMER_SELECT_WINDOW, platform::gui::default_window_procedure,
                                 platform::colors::kBlack, true});
}
intptr_t open_timer_editor(platform::gui::Window*) { return 0; }

}  // namespace corvex::settings
