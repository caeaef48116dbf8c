#pragma once
// The timer screen TIMER_SELECT_WINDOW with its four panels, and the timer editor dialog
// "MODIFYING TIMER SETPOINT - 21".
#include <cstdint>

#include "platform/gui/window.h"
#include "settings/edit_requests.h"

namespace corvex::settings {

// Registers TIMER_SELECT_WINDOW and the classes of its four panels (LOAD_DELAY_CHILD_WINDOW,
// OUT_OF_GRAIN_CHILD_WINDOW, FAN_DELAY_CHILD_WINDOW, UNLOAD_DELAY_CHILD_WINDOW). The shell
// creates TIMER_SELECT_WINDOW; the screen creates its panels itself.
void register_timer_screen_classes();

// Runs the timer editor modally on timer_edit_request (edit_requests.h), which the caller has
// filled in; returns the id of the button that closed it.
intptr_t open_timer_editor(platform::gui::Window* owner);

// ---- The timers of the panels ----

enum class TimerSetting : uint8_t { LoadDelay, OutOfGrain, FanDelay, SecondFanTimer, UnloadDelay };

// Fills timer_edit_request for a timer of the panels, with its limits and default, after
// copying the timer's two current StatusMirror bytes into their DesiredValues slots.
void prepare_timer_edit(TimerSetting setting);

// Picture buttons of the panels (ids ours) and the return button of the screen.
inline constexpr int kLoadDelayButtonId = 37100;
inline constexpr int kOutOfGrainButtonId = 37101;
inline constexpr int kFanDelayButtonId = 37102;
inline constexpr int kSecondFanTimerButtonId = 37103;
inline constexpr int kUnloadDelayButtonId = 37104;
inline constexpr int kTimerScreenReturnButtonId = 37105;

// Panel classes registered by register_timer_screen_classes (timer_panels.cpp).
void register_timer_panel_classes();

// ---- The timer editor's entry rules, on the request (the dialog calls them per key) ----

enum class TimerField : uint8_t { Minutes, Seconds };

// Resets both fields to their first-digit state and the first-key flag, as on opening.
void timer_entry_begin(TimerEditRequest& r);
// A digit key 0..9 of the field's pad.
void timer_entry_digit(TimerEditRequest& r, TimerField field, int digit);
// The DELETE key of the field's pad.
void timer_entry_delete(TimerEditRequest& r, TimerField field);
// DEFAULT: the default minutes and seconds with the digit states that match them.
void timer_entry_default(TimerEditRequest& r);
// ACCEPT: true when minutes x 60 + seconds lies within the limits; then the two DesiredValues
// slots are written and the PendingWrite raised. False (nothing written) when out of range.
bool timer_entry_accept(TimerEditRequest& r);

}  // namespace corvex::settings
