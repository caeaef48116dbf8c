#pragma once
// "BRACKETED 5 SPEED MOISTURE CONTROL SETUP - 23" (435), opened from the continuous-flow set-up.
// Four values of the five-speed control, desired slots 226-229: how far the controlled value may
// drift from the setpoint (outer and inner limit) before the metering rolls change speed, and
// by how much the speed changes (outer and inner speed offset). The limits are tenths of a
// percent of moisture for moisture-control type 4 (low 3 bits of the desired byte 187),
// whole degrees F otherwise. Nothing is sent before ACCEPT / EXIT. GUI thread only.
#include <array>
#include <cstdint>
#include <string>

#include "platform/gui/window.h"

namespace corvex::settings {

intptr_t open_bracket_setup(platform::gui::Window* owner);

enum class BracketRow : uint8_t { Outer = 0, Inner = 1 };

// Opening: the type byte and the four values start from the controller's (a value whose write
// is still raised keeps the desired one); the values at opening are kept for ACCEPT; the outer
// row is selected.
void begin_bracket_setup();
BracketRow bracket_row();
void select_next_bracket_row();
// INC / DEC of the selected row's limit (left) or speed offset (right), within the ranges of
// the type; true when the value changed.
bool step_bracket_limit(int direction);
bool step_bracket_offset(int direction);
// SELECT DEFAULTS: 6, 3 (type 4) or 3, 1 for the limits; 6, 3 for the offsets.
void select_bracket_defaults();
// ACCEPT / EXIT: raises the write of each value that differs from its value at opening.
void accept_bracket_setup();
bool bracket_moisture_type();

// The texts of the left column from the top: +outer, +inner, setpoint, -inner, -outer.
std::array<std::string, 5> bracket_limit_texts();
// The offsets as "+%d"/"-%d" (value x 10), in the same five rows (the middle one empty).
std::array<std::string, 5> bracket_offset_texts();
// The resulting metering-roll speeds of the five rows: the centre speed (status byte 230 x 10)
// plus or minus the offset x 10, not below 0.
std::array<int, 5> bracket_resulting_speeds();
// Whether a resulting speed lies above the maximum speed the controller reports (status byte
// 157 x 10; none while that is 0): such a speed is painted in red.
bool bracket_speed_above_maximum(int speed);

}  // namespace corvex::settings
