#include "diagnostics/format.h"

#include <cstdio>

#include "link/dryer_state.h"

namespace corvex::diagnostics {

int fahrenheit_to_celsius(int16_t fahrenheit) {
  // Integer division in C++ truncates toward zero, as the conversion requires.
  return (int(fahrenheit) - 32) * 5 / 9;
}

size_t format_temperature(char* buffer, size_t capacity, uint8_t high, uint8_t low,
                          WithUnit unit, WithDegree degree) {
  const bool si = link::dryer_state().unit_flag.load(std::memory_order_relaxed) != 0;
  int value = int16_t(uint16_t(high << 8 | low));
  if (si) value = fahrenheit_to_celsius(int16_t(value));
  const char* letter = si ? "C" : "F";
  int n = 0;
  if (unit == WithUnit::No) {
    n = std::snprintf(buffer, capacity, "%d", value);
  } else if (degree == WithDegree::No) {
    n = std::snprintf(buffer, capacity, "%d%s", value, letter);
  } else {
    n = std::snprintf(buffer, capacity, "%d\xC2\xB0%s", value, letter);
  }
  return n < 0 ? 0 : size_t(n);
}

TemperatureText format_temperature(uint8_t high, uint8_t low, WithUnit unit, WithDegree degree) {
  TemperatureText t{};
  format_temperature(t.text, sizeof t.text, high, low, unit, degree);
  return t;
}

int dryer_length_feet(int length_index) {
  if (length_index >= 0 && length_index <= 10) return 8 + 2 * length_index;
  if (length_index >= 11 && length_index <= 14) return 34 + 2 * (length_index - 11);
  return 0;
}

}  // namespace corvex::diagnostics
