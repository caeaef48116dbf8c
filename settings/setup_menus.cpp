// Placeholder until this screen is written: the class exists with its background.
#include "settings/setup_menus.h"

#include "platform/gui/window.h"
#include "shell/window_classes.h"

namespace corvex::settings {

void register_setup_menu_classes() {
  platform::gui::register_class({shell::SETUP_SELECTION_WINDOW,
                                 platform::gui::default_window_procedure, platform::colors::kBlack,
                                 true});
  platform::gui::register_class({shell::EXTENDED_SETUP_SELECTION_WINDOW_NEW,
                                 platform::gui::default_window_procedure, platform::colors::kBlack,
                                 true});
}

}  // namespace corvex::settings
