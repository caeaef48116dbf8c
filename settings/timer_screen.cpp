// TIMER_SELECT_WINDOW: the four timer panels in a 2 x 2 grid and the return button.
#include "settings/timer_screen.h"

#include "platform/gui/controls.h"
#include "resources/window_classes.h"
#include "settings/select_screen.h"

namespace corvex::settings {

namespace {

namespace gui = platform::gui;

// The four panels in a 2 x 2 grid.
constexpr platform::Rect panel_at(int column, int row) {
  constexpr int kWidth = 314;
  constexpr int kHeight = 190;
  return platform::Rect::from_xywh(4 + column * (kWidth + 2), 4 + row * (kHeight + 4), kWidth,
                                   kHeight);
}

constexpr SelectScreenPanel kPanels[] = {
    {resources::LOAD_DELAY_CHILD_WINDOW, "LOAD START-UP DELAY", panel_at(0, 0)},
    {resources::OUT_OF_GRAIN_CHILD_WINDOW, "OUT OF GRAIN TIMER", panel_at(1, 0)},
    {resources::FAN_DELAY_CHILD_WINDOW, "FAN SETUP", panel_at(0, 1)},
    {resources::UNLOAD_DELAY_CHILD_WINDOW, "UNLOAD CLEAN-OUT DELAY", panel_at(1, 1)}};

// Back to the setup menu, which brings its own button bar.
void on_return(gui::Window&) { gui::show_class(resources::SETUP_SELECTION_WINDOW, true); }

constexpr SelectScreen kScreen{kPanels, 44, kTimerScreenReturnButtonId,
                               &register_timer_panel_classes, &on_return};

intptr_t timer_select_procedure(gui::Window& w, const gui::Message& m) {
  return select_screen_procedure(w, m, kScreen);
}

}  // namespace

void register_timer_screen_classes() {
  gui::register_controls();
  gui::register_class(
      {resources::TIMER_SELECT_WINDOW, &timer_select_procedure, platform::colors::kBlack, true});
  register_timer_panel_classes();
}

}  // namespace corvex::settings
