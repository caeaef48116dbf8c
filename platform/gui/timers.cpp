// Timers on the one clock: a routine called directly on the GUI thread, or a Timer message.
#include <climits>

#include "platform/gui/gui_internal.h"
#include "platform/io/clock.h"

namespace platform::gui {

using detail::state;
using detail::Timer;

namespace {

Timer* find_timer(const Window* w, int id) {
  for (Timer& t : state().timers) {
    if (t.window == w && t.id == id) return &t;
  }
  return nullptr;
}

// The next due time on the timer's own grid after `now`: a timer that fell behind fires once
// and then keeps its period, rather than firing a burst to catch up.
int64_t next_due(const Timer& t, int64_t now) {
  int64_t next = t.due + t.period_ms;
  if (next <= now) next += ((now - next) / t.period_ms + 1) * t.period_ms;
  return next;
}

}  // namespace

// Arms the timer (or re-arms it with the new period and routine): it first fires one period
// from now.
void set_timer(Window* w, int timer_id, int period_ms, TimerRoutine routine) {
  if (!detail::is_alive(w)) return;
  const int period = period_ms < 1 ? 1 : period_ms;
  const int64_t now = clock::now_ms();
  Timer* t = find_timer(w, timer_id);
  if (t == nullptr) {
    state().timers.push_back({});
    t = &state().timers.back();
    t->window = w;
    t->id = timer_id;
  }
  t->period_ms = period;
  t->due = now + period;
  t->routine = routine;
  t->armed = ++state().timer_arm_count;
}

void kill_timer(Window* w, int timer_id) {
  std::erase_if(state().timers, [&](const Timer& t) { return t.window == w && t.id == timer_id; });
}

namespace detail {

int64_t next_timer_due() {
  int64_t next = INT64_MAX;
  for (const Timer& t : state().timers) {
    if (!t.running && t.due < next) next = t.due;
  }
  return next;
}

// Fires the earliest due timer that is not already running; returns whether one fired.
bool fire_due_timer() {
  const int64_t now = clock::now_ms();
  Timer* pick = nullptr;
  for (Timer& t : state().timers) {
    if (t.running || t.due > now) continue;
    if (pick == nullptr || t.due < pick->due || (t.due == pick->due && t.armed < pick->armed))
      pick = &t;
  }
  if (pick == nullptr) return false;
  pick->due = next_due(*pick, now);
  pick->running = true;
  Window* w = pick->window;
  const int id = pick->id;
  const TimerRoutine routine = pick->routine;
  {
    DispatchScope scope;
    if (routine != nullptr) {
      routine(w, id);
    } else {
      send_message(w, {MessageKind::Timer, id, 0});
    }
  }
  // The routine may have killed or re-armed its own timer; whatever exists now is not running.
  if (Timer* after = find_timer(w, id)) after->running = false;
  return true;
}

void kill_timers_of(const Window* w) {
  std::erase_if(state().timers, [&](const Timer& t) { return t.window == w; });
}

void clear_timers() { state().timers.clear(); }

}  // namespace detail
}  // namespace platform::gui
