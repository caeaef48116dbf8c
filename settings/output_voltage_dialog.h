#pragma once
// "Meter Rolls Output Voltage Setup - 27": the technician sets the minimum and maximum of the
// metering-roll drive's analogue speed signal while the rolls run. Every UP or DOWN press goes
// to the controller at once with the command byte that says which end is being adjusted, so
// the rolls react while the technician watches them.
#include <cstdint>
#include <string>

#include "platform/gui/window.h"

namespace corvex::settings {

intptr_t open_output_voltage_dialog(platform::gui::Window* owner);

// Limits of the two ends, of a full scale of 255.
inline constexpr int kOutputMaximumLow = 165;
inline constexpr int kOutputMaximumHigh = 255;
inline constexpr int kOutputMinimumHigh = 64;
inline constexpr int kOutputFullScale = 255;

// The values the dialog works on.
struct OutputRange {
  int maximum = kOutputMaximumHigh;
  int minimum = 0;
};

// The working values on opening: the reported maximum (status byte 236) and minimum (237), each
// held within its limits, so that a press never sends a value outside them.
OutputRange reported_output_range();

enum class OutputEnd : uint8_t { Maximum, Minimum };
// One UP (+1) or DOWN (-1) press: moves the value within its limits, then sends it, whether it
// moved or not, with the command byte 1 (maximum) or 2 (minimum).
void press_output(OutputRange& range, OutputEnd end, int direction);
// DEFAULT: minimum 0, maximum 255, both sent; the command byte is left as it is.
void default_output_range(OutputRange& range);
// ACCEPT or CANCEL: the command byte goes back to 0. Values already sent stay.
void end_output_adjustment();

// The texts of a value: percent of full scale ("%3.2f %%") and volts ("~%3.1f V"); a press
// puts a space in front of each.
enum class Leading : uint8_t { None, Space };
std::string output_percent_text(int value, Leading leading = Leading::None);
std::string output_volts_text(int value, Leading leading = Leading::None);

}  // namespace corvex::settings
