#include "link/link_ticks.h"

#include "link/dryer_state.h"
#include "link/exchange.h"
#include "link/link_hooks.h"
#include "link/redraw.h"
#include "platform/gui/window.h"
#include "platform/io/clock.h"
#include "resources/window_classes.h"

namespace corvex::link {
namespace {

namespace gui = platform::gui;
constexpr auto kRelaxed = std::memory_order_relaxed;
constexpr uint32_t kDelayedRedrawTicks = 25;
// The signal segment of the lost-link picture, animated by the blink pulse.
constexpr platform::Rect kSignalRect{105, 65, 260, 75};

bool warning_reported(DryerState& s) {
  return s.mirror[185].load(kRelaxed) > 0 || s.mirror[186].load(kRelaxed) > 0;
}

// Counts a 32-bit countdown down by one, stopping at 0, against a writer on the other thread.
void count_down(std::atomic<uint32_t>& counter) {
  uint32_t v = counter.load(std::memory_order_acquire);
  while (v > 0 && !counter.compare_exchange_weak(v, v - 1, std::memory_order_acq_rel)) {
  }
}

void follow_byte_279(DryerState& s) {
  const uint8_t now = s.mirror[279].load(kRelaxed);
  if (!s.button_bar_copy_taken) {
    s.button_bar_copy_taken = true;
    s.button_bar_279_copy = now;
    return;
  }
  if (now == s.button_bar_279_copy) return;
  s.button_bar_279_copy = now;
  call_button_bar_layout();
}

// Phase 0..7: the blink bit is off in phases 0-2 and on in 3-7. From the first phase 3 at which
// the start-up counter was already above 3 (about 3.3 s after start) the start-up bit stays set.
void step_blink(DryerState& s) {
  const uint32_t phase = (s.blink_phase.load(kRelaxed) + 1) % 8;
  s.blink_phase.store(phase, kRelaxed);
  if (phase == 0) {
    s.blink_flags.fetch_and(~kBlinkPhaseOn, kRelaxed);
    if (warning_reported(s)) request_redraw(RedrawTarget::WarningWindow, Erase::Yes);
  } else if (phase == 3) {
    s.blink_flags.fetch_or(kBlinkPhaseOn, kRelaxed);
    const uint32_t counter = s.startup_blink_counter.load(kRelaxed);
    s.startup_blink_counter.store(counter + (counter <= 3 ? 2 : 1), kRelaxed);
    if (counter > 3) s.blink_flags.fetch_or(kBlinkStartupDone, kRelaxed);
    if (warning_reported(s)) request_redraw(RedrawTarget::WarningWindow, Erase::Yes);
  }
}

// Counted once per tick from 25; on the tick that finds it at 0 the redraw is made.
void step_delayed_redraw(DryerState& s) {
  if (!s.delayed_redraw.load(kRelaxed)) return;
  const uint32_t left = s.delayed_redraw_countdown.load(kRelaxed);
  if (left > 0) {
    s.delayed_redraw_countdown.store(left - 1, kRelaxed);
    return;
  }
  s.delayed_redraw.store(0, kRelaxed);
  s.delayed_redraw_countdown.store(kDelayedRedrawTicks, kRelaxed);
  request_redraw(RedrawTarget::LineGraph, Erase::Yes);
  request_redraw(RedrawTarget::PlenumView, Erase::Yes);
}

void close_warning_help(DryerState& s) {
  if (s.warning_help_from_history.load(kRelaxed) || !gui::is_window(s.warning_help_dialog)) return;
  gui::send_message(s.warning_help_dialog,
                    {gui::MessageKind::Command, resources::kWarningHelpCloseCommand, 0});
}

}  // namespace

void link_pacing_tick() {
  DryerState& s = dryer_state();
  service_link_gui_work();
  follow_byte_279(s);
  // After the blink step, so that the bar's filter sees the phase its paint will draw.
  step_blink(s);
  request_redraw(RedrawTarget::RightStatusBar, Erase::No);
  exchange_tick();
  step_delayed_redraw(s);
}

void fast_tick_warning_visibility() {
  DryerState& s = dryer_state();
  service_link_gui_work();
  const bool lost = s.link_watchdog.load(std::memory_order_acquire) == 0;
  if (warning_reported(s) || lost) {
    gui::show_class(resources::WARNING_WINDOW, true);
    // The controller is asked to resynchronise for as long as the window shows the lost link,
    // whether it is painted or covered by a full-screen screen; the exchange thread's hold-off
    // paces the ResyncFrames.
    if (lost) s.resync_request.store(1, std::memory_order_release);
  } else {
    close_warning_help(s);
    gui::show_class(resources::WARNING_WINDOW, false);
  }
  // The pulse is set on every third tick and cleared on the others, so the paint its redraw
  // causes sees it set.
  const uint32_t ticks = s.fast_tick_counter.load(kRelaxed) + 1;
  s.fast_tick_counter.store(ticks, kRelaxed);
  if (ticks % 3 == 0) {
    s.blink_flags.fetch_or(kBlinkPulse, kRelaxed);
    request_redraw_rect(RedrawTarget::WarningWindow, kSignalRect, Erase::No);
  } else {
    s.blink_flags.fetch_and(~kBlinkPulse, kRelaxed);
  }
}

void send_clock_record() {
  const platform::LocalTime t = platform::clock::local_now();
  // The slots first, then the flag, so the builder never sends a half-written time.
  raise_write(PendingWrite::k53, {{53, uint8_t(t.minute)},
                                  {54, uint8_t(t.hour)},
                                  {55, uint8_t(t.day)},
                                  {56, uint8_t(t.month)},
                                  {57, uint8_t(t.year % 100)}});
}

void count_down_link_timers() {
  DryerState& s = dryer_state();
  count_down(s.shutdown_suppression);
  count_down(s.link_watchdog);
}

void one_second_link_duties() {
  send_clock_record();
  count_down_link_timers();
}

}  // namespace corvex::link
