// Placeholder until this screen is written: the class exists with its background.
#include "status/plenum_view.h"

#include "platform/gui/window.h"
#include "shell/window_classes.h"

namespace corvex::status {

void register_plenum_view_class() {
  platform::gui::register_class({shell::CUSTOM_VIEW_WINDOW, platform::gui::default_window_procedure,
                                 platform::colors::kBlack, true});
}

}  // namespace corvex::status
