#pragma once
// The status bar (DRYER_RIGHT_STATUS_BAR_WINDOW): the one status message that matters most,
// chosen by ten rules in order from the StatusMirror and the blink flags.
#include <cstddef>
#include <cstdint>

#include "platform/gfx/font.h"
#include "platform/gfx/geometry.h"
#include "platform/gui/window.h"
#include "texts/texts.h"

namespace corvex::link {
struct DryerState;
}

namespace corvex::status {

// Registers the window class DRYER_RIGHT_STATUS_BAR_WINDOW (black background).
void register_status_bar_class();

intptr_t status_bar_procedure(platform::gui::Window& w, const platform::gui::Message& m);

// The rule that chose the message, in the order they are tried.
enum class BarRule : uint8_t {
  Alarm = 1,          // the highest-priority alarm of byte 118
  Startup = 2,        // the start-up sequence messages
  HoldTimer = 3,      // the moisture-control hold timer running out
  CoolDown = 4,       // the cool-down minutes
  TemperatureDifference = 5,
  DryerTimer = 6,
  Cooling = 7,        // string 306 with the second time
  Running = 8,
  ModeNotReady = 9,   // controller mode code other than 1 (also the state before any frame)
  Idle = 10,
};

// What the bar draws: one text in one font, colour and alignment, or nothing. Flashing texts in
// their blink-off phase are sixteen blanks, so `drawn` stays true for them.
struct BarMessage {
  BarRule rule = BarRule::Idle;
  bool drawn = false;
  platform::Color color = 0;
  platform::FontSpec font{28, 700};
  unsigned format = 0;  // platform::text_format flags
  char text[2 * texts::utf8_capacity_for(texts::kStringLookupLimit) + 32] = {};
};

// The rectangle of the message in the bar's client area.
inline constexpr platform::Rect kBarTextRect{5, 0, 390, 45};

// Chooses the message from the state's StatusMirror, blink flags and unit flag, with the
// localized strings of the current language. Allocates nothing.
void compose_bar_message(const link::DryerState& state, BarMessage& out);

// Where and how large the bar draws a message. A text that does not fit the message rectangle
// at its own size is drawn smaller, down to a floor that stays readable from the dryer's side;
// past that it goes on two lines split at a blank, and only a text that fits neither way shrinks
// further. The rectangle is cut to the bar's client area, which is shorter than the rectangle.
struct BarLayout {
  platform::FontSpec font{28, 700};
  int lines = 1;            // 1 or 2
  size_t first_end = 0;     // the first line is bytes [0, first_end) of the text,
  size_t second_begin = 0;  // the second bytes [second_begin, end)
  platform::Rect area;      // the message rectangle cut to the client area
  // One line height each, centred together in `area`. They place the lines; only `area` clips
  // them, so an accent that rises above its line's ascent keeps its top.
  platform::Rect line_rects[2];
  unsigned align = 0;  // platform::text_format::kLeft or kCenter
};

// The smallest size of a one-line message before it goes on two lines.
inline constexpr int kBarOneLineFloor = 18;

BarLayout lay_out_bar_message(const BarMessage& message, const platform::Rect& client);

// Draws the message's lines as laid out, clipped only by the canvas.
void draw_bar_lines(platform::Canvas& canvas, const BarMessage& message, const BarLayout& layout);

// Draws the bar's client area (black, then the message) into a canvas.
void draw_status_bar(platform::Canvas& canvas, const platform::Rect& client,
                     const BarMessage& message);

}  // namespace corvex::status
