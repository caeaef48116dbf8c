// The press-and-hold repeat. The press is the core's; a press is told from the next one on the
// same window by the controls' press count, so a quick second press starts counting afresh.
#include "platform/gui/hold_repeat.h"

#include "platform/gui/controls.h"
#include "platform/gui/gui_internal.h"

namespace platform::gui {

namespace {

bool same_press(const Window* pressed) {
  const detail::HoldCount& hold = detail::state().hold;
  return pressed != nullptr && pressed == hold.window && control_press_count() == hold.press;
}

}  // namespace

void set_hold_repeat(Window* button, bool on) { button_set_repeat(button, on); }

void hold_repeat_tick() {
  detail::HoldCount& hold = detail::state().hold;
  Window* pressed = pressed_window();
  if (!same_press(pressed)) hold = {pressed, control_press_count(), 0};
  if (pressed == nullptr) return;
  ++hold.ticks;
  if (hold.ticks <= kHoldRepeatDelayTicks || !button_repeats(pressed)) return;
  if (control_pressed(pressed) && pressed->is_enabled()) {
    notify_parent_command(*pressed, kButtonClicked);
  }
}

int hold_ticks() { return same_press(pressed_window()) ? detail::state().hold.ticks : 0; }

}  // namespace platform::gui
