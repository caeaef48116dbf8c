#pragma once
// Screen navigation of the main screen: leaving it for a full-screen screen, coming back, the
// status-area rule and the button-bar layout. The screens that return to the main screen call
// these.
#include "platform/gui/window.h"

namespace corvex::shell {

// Hides the windows of the main screen in their order (LINE_GRAPH_WINDOW, UNLOAD_STATUS_WINDOW,
// the right status bar, CUSTOM_VIEW_WINDOW, AVERAGE_VALUES_WINDOW, BUTTON_BAR_WINDOW, the five
// bar buttons, the auto-start status button, DRAW_GRAPH_WINDOW, DRYER_PIC_WINDOW), shows the
// target screen by class and then hides BATCH_DRYING_WINDOW.
void leave_main_screen(const char* target_class);

// Shows the main screen again: DRYER_PIC_WINDOW, the right status bar, BUTTON_BAR_WINDOW and
// the bar buttons, then applies the status-area rule and the button-bar layout.
void return_to_main_screen();

// What the right side of the main screen shows under the status bar (status byte 8 and bit 6
// of status byte 266). Safe on the exchange thread: it only shows and hides by class.
void status_area_rule();

// Places the five bar buttons and shows or hides the auto-start status button for bit 0 of
// status byte 279. GUI thread.
void button_bar_layout();

// After the language changed: reloads the bar button images of the new language and repaints
// every screen window, so that all texts and pictures are those of the new language. GUI thread.
void reload_screen_texts();

// The bar buttons of the main window.
inline constexpr int kTimersButtonId = 34817;
inline constexpr int kTempsButtonId = 34818;
inline constexpr int kSetupButtonId = 34819;
inline constexpr int kViewButtonId = 34820;
inline constexpr int kMoistureControlButtonId = 34821;
inline constexpr int kAutoStartStatusButtonId = 37011;

}  // namespace corvex::shell
