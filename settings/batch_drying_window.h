#pragma once
// The batch drying timers screen BATCH_DRYING_WINDOW (" BATCH DRYING TIMERS"): three columns
// (drying, COOL, UNLOAD) with each timer's setting and remaining time. The timer buttons are
// the parts of the picture they cover (DRY, or HI HEAT and LO HEAT when two heat phases are
// used; COOL; UNLOAD) and open the timer editor on their timer; a held button asks the
// one-second tick's restart question instead. A small button opens the data log sample time.
#include "platform/gfx/canvas.h"

namespace corvex::settings {

// Registers the screen's class; the shell creates the window.
void register_batch_drying_class();

// HI HEAT and LO HEAT instead of DRY: drying mode 3, or another batch mode with dual plenum
// temperatures (bit 1 of byte 257).
bool batch_heat_phases_shown();
// Batch moisture drying: the drying column shows "AVERAGING INCOMING MOISTURE" instead of a
// remaining time.
bool batch_moisture_drying();
// The screen's picture from the current status bytes, in client coordinates.
void draw_batch_drying_picture(platform::Canvas& c);

}  // namespace corvex::settings
