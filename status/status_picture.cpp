// Placeholder until this screen is written: the class exists with its background.
#include "status/status_picture.h"

#include "platform/gui/window.h"
#include "shell/window_classes.h"

namespace corvex::status {

void register_status_picture_class() {
  platform::gui::register_class({shell::DRYER_PIC_WINDOW, platform::gui::default_window_procedure,
                                 platform::colors::kLightGray, true});
}
void animate_status_picture() {}
void sample_hourly_moisture() {}
void reset_status_picture_state() {}

}  // namespace corvex::status
