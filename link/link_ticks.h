#pragma once
// The link's share of the three timers of the shell. The shell's timer routines call these on
// the GUI thread.

namespace corvex::link {

// 175 ms tick, in this order: re-lay out the button bar when status byte 279 changed, redraw
// the right status bar, step the blink phase and the blink flags (redrawing the warning window
// at the blink edges while a warning is reported), signal the exchange event on every second
// tick, and run the delayed redraw after a hardware set-up change.
void link_pacing_tick();

// 100 ms tick: shows the warning window while a warning is reported or the link is lost, hides
// it otherwise (closing the warning help viewer unless it was opened from the shutdown
// history), raises the ResyncRequest while the link is lost, and sets the blink pulse with its
// redraw on every third tick.
void fast_tick_warning_visibility();

// The link's share of the 1 s tick, in two steps that the shell runs with its own duties in
// between: the panel's local time to the controller (DesiredValues 53..57 and the clock
// record), and the countdowns of the shutdown suppression and the LinkWatchdog, stopping at 0.
void send_clock_record();
void count_down_link_timers();
// Both steps at once, for callers with nothing to run between them.
void one_second_link_duties();

}  // namespace corvex::link
