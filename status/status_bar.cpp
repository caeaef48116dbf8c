// Placeholder until this screen is written: the class exists with its background.
#include "status/status_bar.h"

#include "platform/gui/window.h"
#include "shell/window_classes.h"

namespace corvex::status {

void register_status_bar_class() {
  platform::gui::register_class({shell::DRYER_RIGHT_STATUS_BAR_WINDOW,
                                 platform::gui::default_window_procedure, platform::colors::kBlack,
                                 true});
}

}  // namespace corvex::status
