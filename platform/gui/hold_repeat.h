#pragma once
// Press-and-hold: the INCREASE/DECREASE repeat and the tick count that hold-to-confirm gestures
// read. Both follow the one press that the window core tracks; the program's 100 ms tick drives
// them.
#include "platform/gui/window.h"

namespace platform::gui {

// A held repeating button sends its command this many ticks after the press began, and then on
// every tick, for as long as the finger stays on it.
constexpr int kHoldRepeatDelayTicks = 5;

// Marks a push button as repeating its command while held; the release still clicks as usual.
void set_hold_repeat(Window* button, bool on);

// Called by the program's 100 ms tick: counts the ticks of the current press and sends the
// held repeating button's command to its parent once per tick after the first
// kHoldRepeatDelayTicks ticks.
void hold_repeat_tick();

// Returns how many ticks the current press has lasted (0 when nothing is held).
int hold_ticks();

}  // namespace platform::gui
