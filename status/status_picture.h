#pragma once
// The dryer status picture (DRYER_PIC_WINDOW): the permanent left half of the screen with the
// dryer's picture, its animated fan/heater and equipment icons and the column of live values.
// It reads only the StatusMirror and owns the hourly moisture average.
#include <cstdint>

#include "platform/gfx/canvas.h"
#include "platform/gui/window.h"
#include "status/hourly_moisture.h"
#include "status/picture_model.h"

namespace corvex::status {

// Registers the window class DRYER_PIC_WINDOW (solid grey background); the shell creates the
// window.
void register_status_picture_class();

// One step of every animation counter, then a full repaint (with erase) of the picture. The
// 100 ms tick calls it.
void animate_status_picture();

// One step of the hourly moisture average from the moisture out (status bytes 189 hi / 190 lo).
// The one-second tick calls it on every tick on which bit 3 of status byte 171 is set; with the
// bit clear it takes no sample.
void sample_hourly_moisture();

// Puts the animation counters, the one-shot latch and the hourly average back to their start
// values (the warm-up countdown to 300). For tests and start-up.
void reset_status_picture_state();

// ---- For the window procedure's callers, tests and benchmarks ----

intptr_t status_picture_procedure(platform::gui::Window& w, const platform::gui::Message& m);

// Draws the whole picture from the mirror into `c` over `client` (the window's client area):
// black, the base picture, the icons and the overlay.
void paint_status_picture(platform::Canvas& c, const platform::Rect& client);

// The message (a User message with this wparam) that the paint posts to the picture window to
// show the unload-switch notice once the paint is over: a message box must not run its modal
// loop inside a paint, where the next paint of the same window would start.
inline constexpr intptr_t kShowUnloadSwitchNotice = 0x4F31;

const AnimationCounters& status_picture_counters();
const HourlyMoisture& hourly_moisture();
bool unload_switch_notice_latched();

}  // namespace corvex::status
