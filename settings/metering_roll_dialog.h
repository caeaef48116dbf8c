#pragma once
// "MODIFYING METER ROLL SPEED SETPOINTS (Use knob on control panel) - 23": the three
// metering-roll speed settings, opened by the main window (knob push or the moisture-control
// button). The working copies are DesiredValues 160, 161 and 162; DesiredValues 159 says which
// one the knob and the INCREASE / DECREASE buttons act on (2 the first, 1 the second, 0 the
// third). INCREASE and DECREASE repeat while held.
#include <atomic>
#include <cstdint>

#include "platform/gui/window.h"

namespace corvex::settings {

// Set by the main window's metering-roll rule before the dialog opens; the dialog clears it
// when it closes, so that an opening asked for by the knob is told from one asked for by a
// button.
extern std::atomic<uint8_t> metering_roll_dialog_requested;

intptr_t open_metering_roll_dialog(platform::gui::Window* owner);

// What the dialog does, apart from its window.
// Opening: the working copies from the controller's settings (the second from status byte 230
// for moisture-control types 4 and 5), PendingWrite 159 lowered, PendingWrite 161 raised.
void start_metering_roll_values();
// Re-derives the selection (only for moisture-control type and mode bits 0-5 of byte 187 = 1).
void rederive_metering_roll_selection();
// INCREASE (+1) / DECREASE (-1) of the selected working setting, kept in 0..100. True when it
// changed.
bool step_metering_roll_setting(int delta);
// With 15 % tracking on (type 2, bit 5 of byte 187): the first setting is 115 % of the second
// (at most 100), the third 85 % of it, both rounded down.
void track_metering_roll_center();
// The mode button's change of DesiredValues 187 for type 1 (one / two speed) and for type 2
// when tracking is being turned off; `tracking_confirmed` is the answer to the question asked
// before tracking is turned on. Raises PendingWrite 187 (and 159 block when tracking went off).
void change_metering_roll_mode(bool tracking_confirmed);
// ACCEPT and EXIT.
void accept_metering_roll(bool via_screen);
void cancel_metering_roll();

// The mode question of type 2.
inline constexpr char kTrackingCaption[] = " SWITCH TO +/- 15% TRACKING OF CENTER";
inline constexpr char kTrackingText[] =
    "Pressing YES will position the HI setpoint 15% above the center, and \t\t\t\t\t\t\t\t\t\tthe "
    "LOW 15% below the center.\nNOTE: THE PRESENT SETTINGS OF THE HI AND LOW SETPOINTS WILL BE "
    "LOST!";

}  // namespace corvex::settings
