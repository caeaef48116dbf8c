#pragma once
// The dryer status picture (DRYER_PIC_WINDOW): the permanent left half of the screen with the
// dryer's picture, its animated fan/heater and equipment icons and the column of live values.
// It reads only the StatusMirror and owns the hourly moisture average.
#include <cstdint>

namespace corvex::status {

// Registers the window class DRYER_PIC_WINDOW (solid grey background); the shell creates the
// window.
void register_status_picture_class();

// One step of every animation counter, then a full repaint (with erase) of the picture. The
// 100 ms tick calls it.
void animate_status_picture();

// One step of the hourly moisture average from the moisture out (status bytes 189 hi / 190 lo).
// The one-second tick calls it on every tick on which bit 3 of status byte 171 is set.
void sample_hourly_moisture();

// Puts the animation counters, the one-shot latch and the hourly average back to their start
// values (the warm-up countdown to 300). For tests and start-up.
void reset_status_picture_state();

}  // namespace corvex::status
