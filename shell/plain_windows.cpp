#include "shell/plain_windows.h"

#include "platform/gui/controls.h"
#include "resources/window_classes.h"
#include "settings/batch_drying_window.h"
#include "settings/metering_roll_dialog.h"

namespace corvex::shell {

namespace {

namespace gui = platform::gui;

void register_if_absent(const char* name, gui::WindowProc procedure, platform::Color background) {
  if (gui::class_registered(name)) return;
  gui::register_class({name, procedure, background, true});
}

}  // namespace

void register_plain_window_classes() {
  gui::register_controls();
  using platform::colors::kBlack;
  if (!gui::class_registered(resources::BATCH_DRYING_WINDOW))
    settings::register_batch_drying_class();
  register_if_absent(resources::LINE_GRAPH_WINDOW, &gui::default_window_procedure, kBlack);
  register_if_absent(resources::DRYER_LEFT_STATUS_BAR_WINDOW, &gui::default_window_procedure,
                     kBlack);
  register_if_absent(resources::BUTTON_BAR_WINDOW, &gui::default_window_procedure,
                     platform::colors::kLightGray);
}

intptr_t open_metering_roll_speed_dialog(platform::gui::Window* owner) {
  return settings::open_metering_roll_dialog(owner);
}

}  // namespace corvex::shell
