#pragma once
// The automation protocol: one command per line from a file or standard input, carried out on
// the GUI thread by whichever message loop is running (the main loop or a modal one), one at a
// time; each command answers zero or more lines and then `ok` or `error: REASON` on standard
// output, flushed line by line. `#` starts a comment; blank lines are ignored. When the input
// ends the program goes on running.
//
//   tap X Y          touch down and up at panel coordinates
//   down X Y / up    touch down and hold / release
//   click ID         tap the centre of the visible, enabled control with that id (a bare
//   click NAME       number) or that window text (case ignored; "QUOTED" is always a text),
//                    looked up in the innermost modal window first, then everywhere
//   wait MS          let MS milliseconds pass (virtual time: move the clock, running timers)
//   screenshot PATH  the screen as PNG
//   windows          the visible window tree, top of the z-order first, with the rows of list
//                    views and the items of list boxes one level under their list
//   texts [CLASS]    the text runs the last paint of each visible window (of that class) drew
//   quit             end the program through the quit handler (window.h)
#include <functional>
#include <string>
#include <string_view>

#include "platform/gui/window.h"

namespace platform::gui {

// A command the program adds (mirror, desired, pending, sim). It gets the text after the
// command word; it returns the answer lines (separated by '\n', none when empty), or with
// *ok set to false the reason of the error.
// A plain function `std::string f(std::string_view, bool*)` converts to it as well.
using AutomationHandler = std::function<std::string(std::string_view args, bool* ok)>;
void register_automation_command(std::string_view name, AutomationHandler handler);

// Starts a reader thread on the file, or on standard input for "-". Returns false with the
// reason when the file cannot be opened.
bool start_automation(const std::string& path, std::string* error = nullptr);
// Queues every line of the script at once, as if read from a file that then ended.
void start_automation_script(std::string_view script);
// Where answer lines go (each without its line end); by default standard output, flushed.
void set_automation_output(std::function<void(std::string_view line)> sink);
// True once the input has ended and every command of it has been answered.
bool automation_finished();

// The `windows` listing as the command prints it, one line per visible window.
std::string describe_windows();

// Turns on the keeping of what each paint draws as text; off until then, so that a program
// nobody drives keeps nothing. Starting automation turns it on; the program turns it on before
// its first paint when it will read a script. Windows painted before keep no text until their
// next paint.
void enable_text_recording();
// The `texts` listing: `CLASS x y "text"` for every line of text the last paint of each visible
// window drew (only windows of that class when class_name is not empty; case ignored), in
// screen coordinates, in the order of `windows`.
std::string describe_texts(std::string_view class_name = {});

}  // namespace platform::gui
