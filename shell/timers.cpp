// The three periodic timers of the main window. Each routine calls the duties of the
// subsystems in the order the panel has always run them.
#include "link/link_ticks.h"
#include "platform/gui/hold_repeat.h"
#include "shell/startup.h"
#include "texts/help_viewer.h"

namespace corvex::shell {

// 175 ms: the exchange cadence, blink flags, status-bar repaint, button-bar layout and the
// warning window's blink redraws.
void link_pacing_tick(platform::gui::Window*, int) { corvex::link::link_pacing_tick(); }

// 1 s: the clock record, the LinkWatchdog and the shutdown suppression countdown.
void housekeeping_tick(platform::gui::Window*, int) { corvex::link::one_second_link_duties(); }

// 100 ms: the warning window's visibility and pulse, the press-and-hold repeat of
// INCREASE/DECREASE buttons and the help viewer's rear-discharge animation.
void fast_ui_tick(platform::gui::Window*, int) {
  corvex::link::fast_tick_warning_visibility();
  platform::gui::hold_repeat_tick();
  corvex::texts::help_viewer_animation_tick();
}

}  // namespace corvex::shell
