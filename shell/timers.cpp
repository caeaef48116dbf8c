// The three periodic timers of the main window. Each routine calls the duties of the
// subsystems in the order the panel has always run them.
#include "link/dryer_state.h"
#include "link/link_ticks.h"
#include "logging/log_tick.h"
#include "platform/gui/hold_repeat.h"
#include "shell/main_window.h"
#include "shell/startup.h"
#include "logging/tick_duties.h"
#include "status/status_picture.h"
#include "texts/help_viewer.h"

namespace corvex::shell {

// 175 ms: the exchange cadence, blink flags, status-bar repaint, button-bar layout and the
// warning window's blink redraws; the moisture-control button follows the batch-picture flag.
void link_pacing_tick(platform::gui::Window*, int) {
  corvex::link::link_pacing_tick();
  follow_batch_picture();
}

// 1 s: the clock record, the hourly moisture average while bit 3 of status byte 171 is set,
// then the shutdown suppression countdown and the LinkWatchdog; last the status chart's
// countdown, the setup controls, the hold gestures and the end-of-auto-start message.
void housekeeping_tick(platform::gui::Window* main, int) {
  link::DryerState& s = link::dryer_state();
  link::send_clock_record();
  if (s.mirror[171].load(std::memory_order_relaxed) & 0x08) status::sample_hourly_moisture();
  link::count_down_link_timers();
  logging::data_log_tick(main);
  logging::run_tick_duties(main);
}

// 100 ms: the warning window's visibility and pulse, the press-and-hold repeat of
// INCREASE/DECREASE buttons, the animation of the status picture and the help viewer's
// rear-discharge animation.
void fast_ui_tick(platform::gui::Window*, int) {
  corvex::link::fast_tick_warning_visibility();
  platform::gui::hold_repeat_tick();
  status::animate_status_picture();
  corvex::texts::help_viewer_animation_tick();
}

}  // namespace corvex::shell
