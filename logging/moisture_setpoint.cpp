// Placeholder until this screen is written: the class exists with its background.
#include "logging/moisture_setpoint.h"

#include "platform/gui/window.h"
#include "shell/window_classes.h"

namespace corvex::logging {

namespace {
int g_entry_code = 0;
}
intptr_t open_moisture_setpoint_dialog(platform::gui::Window*, int entry_code) {
  g_entry_code = entry_code;
  return 0;
}
int moisture_setpoint_entry_code() { return g_entry_code; }

}  // namespace corvex::logging
