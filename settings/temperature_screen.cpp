// TEMP_SELECT_WINDOW: the plenum setpoint panel above the grain temperature panel, and the
// return button.
#include "settings/temperature_screen.h"

#include "platform/gui/controls.h"
#include "resources/window_classes.h"
#include "settings/select_screen.h"

namespace corvex::settings {

uint8_t temp_screen_opened_from_auto_start = 0;

namespace {

namespace gui = platform::gui;
using platform::Rect;

constexpr SelectScreenPanel kPanels[] = {
    {resources::PLENUM_SETPOINT_CHILD_WINDOW,
     " Plenum Temperature Setpoint Adjustment (Range = 50 to 250 F -> 10 to 120 C)",
     Rect::from_xywh(4, 2, 630, 240)},
    {resources::GRAIN_TEMP_SETPOINT_CHILD_WINDOW,
     " Grain Temperature Setpoint Adjustment (Range = 50 to 150 F -> 10 to 71 C)",
     Rect::from_xywh(4, 248, 630, 150)}};

// Back to where the screen was opened from: the auto-start configuration, or the setup menu.
void on_return(gui::Window&) {
  if (temp_screen_opened_from_auto_start != 0) {
    gui::show_class(resources::AUTO_START_CONFIG_WINDOW, true);
    gui::invalidate_class(resources::AUTO_START_CONFIG_WINDOW);
  } else {
    gui::show_class(resources::SETUP_SELECTION_WINDOW, true);
  }
}

constexpr SelectScreen kScreen{kPanels, 193, kTemperatureScreenReturnButtonId,
                               &register_temperature_panel_classes, &on_return};

intptr_t temp_select_procedure(gui::Window& w, const gui::Message& m) {
  return select_screen_procedure(w, m, kScreen);
}

}  // namespace

void register_temperature_screen_classes() {
  gui::register_controls();
  gui::register_class(
      {resources::TEMP_SELECT_WINDOW, &temp_select_procedure, platform::colors::kBlack, true});
  register_temperature_panel_classes();
}

}  // namespace corvex::settings
