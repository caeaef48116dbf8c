#pragma once
// WARNING_WINDOW: the window that covers the main screen while the controller reports a
// shutdown warning or the link to the controller is lost. The shell creates it hidden (600 x
// 325 at 10, 20, with a caption); the 100 ms tick shows and hides it.
#include <cstdint>

#include "platform/gfx/canvas.h"
#include "platform/gui/window.h"

namespace corvex::texts {

inline constexpr char kWarningWindowClass[] = "WARNING_WINDOW";
inline constexpr int kWarningHelpButtonId = 34884;
inline constexpr char kLostLinkCaption[] = " CONNECTION TO DRYER LOST!";
// The part the 100 ms tick redraws for the moving signal of the lost-link picture.
inline constexpr platform::Rect kSignalRect{105, 65, 260, 75};

// Registers the window class (white background; the procedure paints all of it). Calling it
// again changes nothing.
void register_warning_window_class();

// The window procedure; returns what the message's handling gives (default processing for
// everything it does not handle).
intptr_t warning_window_procedure(platform::gui::Window& w, const platform::gui::Message& m);

// The step of the signal segment on the lost-link cable, 0..13 and back, one step per 300 ms
// blink pulse of the clock given in milliseconds.
int signal_step_at(int64_t now_ms);

// Draws the warning window's client area as it should look now (the lost-link picture or the
// warning description, as the status bytes and the LinkWatchdog say) into `canvas`; the help
// button is a child window and is not part of it. Returns true when a warning or the lost link
// was drawn.
bool draw_warning_client(platform::Canvas& canvas, const platform::Rect& client);

}  // namespace corvex::texts
