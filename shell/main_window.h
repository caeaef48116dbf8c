#pragma once
// The main window's own rules and resources: the moisture-control button, the metering-roll
// request, the grain temperature setpoint editing it opens, and the defaults dip-switch notice.
// Everything here runs on the GUI thread.
#include <atomic>
#include <cstdint>
#include <optional>

#include "platform/gfx/bitmap.h"
#include "platform/gui/window.h"
#include "settings/metering_roll_dialog.h"

namespace corvex::shell {

// Set by the metering-roll rule before the metering-roll speed dialog opens; the dialog reads
// and clears it to tell an opening asked for by the knob from one asked for by a button.
using settings::metering_roll_dialog_requested;

// The window text of the auto-start status button (it has no text of its own on the panel).
inline constexpr char kAutoStartStatusButtonText[] = "AUTO_START_STATUS";

// The learning-period question of the metering-roll and moisture-control rules.
inline constexpr char kLearningPeriodCaption[] = "MOISTURE CONTROL LEARNING PERIOD STILL ACTIVE";
inline constexpr char kLearningPeriodText[] =
    "The Moisture Control learning period has not expired.  Modifying the MC Setpoint is not "
    "recommended until the learning period is complete.  Do wish to modify the moisture "
    "control setpoint?";

// What the main window holds from its creation to its destruction besides the five bar images,
// which it draws from the cache of localized bitmaps: the greyed copy of the moisture-control
// image drawn while the staged batch picture is up, and the program's three resource bitmaps.
struct MainWindowImages {
  std::optional<platform::Bitmap> misc_disabled;
  const platform::Bitmap* green_face = nullptr;        // 137
  const platform::Bitmap* red_face = nullptr;          // 136
  const platform::Bitmap* auto_start_status = nullptr; // 595
};
const MainWindowImages& main_window_images();

// Loads the bar images of the selected language into the cache and derives the disabled image.
void load_bar_images();

// Places the bar buttons of that main window for bit 0 of status byte 279 (the button-bar
// layout of navigation.h works on the program's main window).
void lay_out_button_bar(platform::gui::Window* main);

// Repaints the moisture-control button when the batch-picture flag no longer matches the image
// it was last drawn with. The decoder sets the flag on a change of status byte 8 too, which
// asks for no repaint of the button; the 175 ms tick calls this so the button follows at once.
void follow_batch_picture();

// Command 34821: the moisture-control button rule.
void moisture_control_button_rule(platform::gui::Window* main);
// Command 34822: the metering-roll rule.
void metering_roll_rule(platform::gui::Window* main);
// True when the moisture control is in mode 3 with its learning period running (status byte 52
// nonzero and bit 2 of status byte 179 set); ask_learning_period is then the question, true on
// Yes.
bool learning_period_running();
bool ask_learning_period(platform::gui::Window* owner);
// Fills the temperature editor's request for the grain temperature setpoint in status bytes
// low/low + 1 (149, 151 or 153) and opens the editor over TEMP_SELECT_WINDOW; returns its
// result.
intptr_t edit_grain_temperature_setpoint(int low);
// Command 34823: the defaults dip-switch notice, owned by LINE_GRAPH_WINDOW.
intptr_t open_defaults_notice();

}  // namespace corvex::shell
