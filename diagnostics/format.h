#pragma once
// The shared value formatting of the screens. Every temperature travels between display and
// controller in whole degrees Fahrenheit; whether the operator sees Fahrenheit or Celsius is
// decided only here, from the unit flag of DryerState, read at every call.
#include <cstddef>
#include <cstdint>

namespace corvex::diagnostics {

// (F - 32) x 5 / 9 with the quotient truncated toward zero: -40 gives -40, 33 gives 0, 0 gives
// -17.
int fahrenheit_to_celsius(int16_t fahrenheit);

enum class WithUnit : uint8_t { No, Yes };
enum class WithDegree : uint8_t { No, Yes };

// Longest text: "-32768", the degree sign (two bytes in UTF-8), the unit letter, the NUL.
inline constexpr size_t kTemperatureTextSize = 16;

struct TemperatureText {
  char text[kTemperatureTextSize];
  const char* c_str() const { return text; }
};

// Formats the signed 16-bit Fahrenheit value high x 256 + low (the caller passes the two
// status bytes high first, whatever their order in the frame), converted to Celsius in SI
// units: "%d", "%dF"/"%dC", or with the degree sign U+00B0 (UTF-8) before the letter. Writes at
// most capacity bytes including the NUL and returns the length of the whole text (as snprintf:
// a result of capacity or more means it was cut).
size_t format_temperature(char* buffer, size_t capacity, uint8_t high, uint8_t low,
                          WithUnit unit, WithDegree degree);
TemperatureText format_temperature(uint8_t high, uint8_t low, WithUnit unit, WithDegree degree);

// Dryer length in feet for the length index of status byte 7: 0..10 give 8, 10, ... 28; 11..14
// give 34, 36, 38, 40; any other index 0.
int dryer_length_feet(int length_index);

}  // namespace corvex::diagnostics
