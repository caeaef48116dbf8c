#pragma once
// Auto-start: the entry from the setup menu, the configuration screen AUTO_START_CONFIG_WINDOW,
// the question "Auto-Start" and the status dialog "Auto-Start Status".
//
// The display only offers auto-start, sends the start or cancel command and shows what the
// controller reports; the sequence itself runs in the controller. Bit 0 of status byte 279 is
// the command and the state (set: initiated); status byte 280 reports the progress (bit 1 in
// progress, bit 2 paused, bit 6 available, bit 7 finished); status byte 285 is the grain. Every
// write of byte 279 starts from its current value, so that its other bits (bit 7 the grain
// inverter of the hardware set-up) stay as they are.
#include <cstdint>
#include <span>

#include "platform/gfx/geometry.h"
#include "platform/gui/window.h"

namespace corvex::settings {

// The setup menu's auto-start button: the switch requirements while auto-start is not active,
// then the status dialog when it is, the "ATTENTION" refusal while the dryer runs, otherwise
// the configuration screen.
intptr_t open_auto_start(platform::gui::Window* owner);
// "Auto-Start Status", also opened by the main window's auto-start status button.
intptr_t open_auto_start_status_dialog(platform::gui::Window* owner);
// The question "Auto-Start" with its consequences (answer_auto_start_question); returns the
// answer's id.
intptr_t open_auto_start_question(platform::gui::Window* owner);

// Registers the class of AUTO_START_CONFIG_WINDOW; start-up calls it with the other screens'.
void register_auto_start_screen_class();

// ---- Texts ----
inline constexpr char kDryerRunningText[] = "Cannot initiate auto-start with dryer running.";
inline constexpr char kDryerRunningCaption[] = "ATTENTION";
inline constexpr char kUnknownStatusText[] = "Auto-Start Status Unkown";

// ---- State and rules ----

// Auto-start active: bit 0 of the current status byte 279.
bool auto_start_active();

// The configuration screen's page: 1 grain selection, 4 moisture settings; 0, 2 and 3 show
// nothing further.
inline constexpr int kGrainPage = 1;
inline constexpr int kMoisturePage = 4;
int auto_start_page();
void set_auto_start_page(int page);

// Entry step 4: sets the opened-from-auto-start flag, copies the current bytes 279 and 285 into
// their DesiredValues slots, hides the setup menu, the status screens and the button bar,
// clears the main-screen-shown flag and shows AUTO_START_CONFIG_WINDOW.
void show_auto_start_config();
// CONTINUE: hides the configuration screen, shows the main screen again, clears the
// opened-from-auto-start flag. Does nothing while the screen is not shown.
void close_auto_start_config();

// The twelve grains (status byte 285): 0 Corn .. 11 Oats.
inline constexpr int kGrainCount = 12;
// Where the 10 x 10 red marker of grain `code` sits in the screen's client area: x 290 for
// 0..5, 440 for 6..11; y 30 + 50 x code on the left, 50 x code - 270 on the right. Empty for a
// code outside 0..11.
platform::Rect grain_marker(int code);
// A grain button: desired byte 285 := code (no write yet).
void choose_grain(int code);

// The question's answer (kIdYes, kIdNo or kIdCancel of the message boxes):
// - active and Yes (a cancel): desired 279 := current without bit 0, desired 285 := current,
//   PendingWrite 279;
// - not active and Yes (an initiate): the configuration screen closes as with CONTINUE,
//   desired 279 |= bit 0, PendingWrites 285 and 279;
// - not active, No or CANCEL: the configuration screen closes, bit 0 of desired 279 is cleared
//   and PendingWrite 279 raised;
// - active, No or CANCEL: nothing.
void answer_auto_start_question(int answer);

// Formats tenths of a percent as the configuration screen shows them: "%d.%01d%" ("15.0%").
void format_moisture_tenths(unsigned tenths, std::span<char> out);
// Minutes and seconds of a number of seconds: "%d:%02d" ("12:05").
void format_minutes_seconds(int seconds, std::span<char> out);

// ---- The progress picture of the status dialog, from the current status bytes ----

// Fan/heater rows: 1, 2, 3, 4 or 6 by the fan/heater code of status byte 3; one row for the
// numeric-model family.
int auto_start_rows();
// One row: the three segment widths in pixels (blue start time, red running span, blue rest)
// of the 500 px time line, for fan/heater i (0 = #1).
struct ProgressRow {
  int start_width = 0;
  int running_width = 0;
  int rest_width = 0;
};
ProgressRow progress_row(int i);
// Total time T (318-319), elapsed (320-321) and unload start U (322-323), seconds, lo/hi.
int auto_start_total_seconds();
int auto_start_elapsed_seconds();
int auto_start_unload_seconds();

}  // namespace corvex::settings
