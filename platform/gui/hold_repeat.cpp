// The press-and-hold repeat. The press is the core's; a press is told from the next one on the
// same window by the controls' press count, so a quick second press starts counting afresh.
#include "platform/gui/hold_repeat.h"

#include "platform/gui/controls.h"

namespace platform::gui {

namespace {

// The press being counted: compared with the core's pressed window, never dereferenced unless
// it is that window.
const Window* g_window = nullptr;
uint32_t g_press = 0;
int g_ticks = 0;

bool same_press(const Window* pressed) {
  return pressed != nullptr && pressed == g_window && control_press_count() == g_press;
}

}  // namespace

void set_hold_repeat(Window* button, bool on) { button_set_repeat(button, on); }

void hold_repeat_tick() {
  Window* pressed = pressed_window();
  if (!same_press(pressed)) {
    g_window = pressed;
    g_press = control_press_count();
    g_ticks = 0;
  }
  if (pressed == nullptr) return;
  ++g_ticks;
  if (g_ticks <= kHoldRepeatDelayTicks || !button_repeats(pressed)) return;
  if (control_pressed(pressed) && pressed->is_enabled()) {
    notify_parent_command(*pressed, kButtonClicked);
  }
}

int hold_ticks() { return same_press(pressed_window()) ? g_ticks : 0; }

}  // namespace platform::gui
