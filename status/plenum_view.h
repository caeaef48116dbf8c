#pragma once
// The plenum view (CUSTOM_VIEW_WINDOW): one box per fan/heater plenum with its name, state,
// setpoint and temperature.
#include <cstdint>

#include "platform/gfx/geometry.h"
#include "platform/gui/window.h"
#include "texts/texts.h"

namespace corvex::link {
struct DryerState;
}

namespace corvex::status {

// Registers the window class CUSTOM_VIEW_WINDOW (black background).
void register_plenum_view_class();

intptr_t plenum_view_procedure(platform::gui::Window& w, const platform::gui::Message& m);

// How the boxes are laid out: status byte 225 bit 0x20 forces the single layout, otherwise
// status byte 3 gives the fan/heater count (codes 0..4 for 1, 2, 3, 4 and 6 plenums).
enum class PlenumLayout : uint8_t { None, Single, Two, Three, Four, Six };

PlenumLayout plenum_layout(const link::DryerState& state);
// The number of boxes of a layout (0 for None).
int plenum_count(PlenumLayout layout);

// One setpoint or temperature line of a box: "SP:  180 °F " and the like.
struct PlenumValue {
  bool shown = false;
  platform::Color color = 0;
  char text[24] = {};

  bool operator==(const PlenumValue&) const = default;
};

// Everything a box shows, as the paint draws it.
struct PlenumBox {
  char name[texts::utf8_capacity_for(texts::kStringLookupLimit)] = {};
  platform::Color name_color = 0;
  int state_string = 0;  // the localized string number of the state text
  char state[texts::utf8_capacity_for(texts::kStringLookupLimit)] = {};
  platform::Color state_color = 0;
  PlenumValue setpoint;
  PlenumValue temperature;
  // The single layout's two small setpoints of the dual-plenum staged batch mode.
  PlenumValue left_setpoint;
  PlenumValue right_setpoint;

  bool operator==(const PlenumBox&) const = default;
};

// Fills the box of fan/heater `fan_heater` (1..6) for a layout from the state's StatusMirror and
// unit flag, with the localized strings of the current language. Allocates nothing.
void compose_plenum_box(const link::DryerState& state, PlenumLayout layout, int fan_heater,
                        PlenumBox& out);

// Draws the whole view into a canvas: black, then the boxes of the layout.
void draw_plenum_view(platform::Canvas& canvas, const platform::Rect& client,
                      const link::DryerState& state);

}  // namespace corvex::status
