#pragma once
// The shared requests of the two keypad editors: a screen fills one in, opens the editor, and
// the editor writes the accepted value into the named DesiredValues slots and raises the write.
#include <atomic>
#include <cstdint>

namespace corvex::settings {

struct TimerEditRequest {
  uint8_t seconds = 0;
  uint8_t minutes = 0;
  uint8_t maximum_minutes = 255;
  uint8_t default_minutes = 0;
  uint8_t minimum_minutes = 0;
  uint8_t maximum_seconds = 59;
  uint8_t default_seconds = 0;
  uint8_t minimum_seconds = 0;
  uint8_t minutes_entry_state = 0;  // 0..3 digits typed into the minutes field
  uint8_t seconds_entry_state = 0;  // 0..2 digits typed into the seconds field
  uint8_t first_key = 0;
  uint8_t last_key = 0;
  int seconds_slot = -1;            // DesiredValues slot of the accepted seconds
  int minutes_slot = -1;            // DesiredValues slot of the accepted minutes
  std::atomic<uint8_t>* pending_write = nullptr;  // raised on ACCEPT
};

struct TemperatureEditRequest {
  uint16_t working_value = 100;  // degrees Fahrenheit
  uint16_t maximum = 150;
  uint16_t minimum = 50;
  uint16_t default_value = 0;
  uint8_t entry_state = 0;       // 0..2 digits typed
  uint8_t first_key = 0;
  uint8_t last_key = 0;
  int request_code = 0;
  int low_slot = -1;             // DesiredValues slot of the low byte
  int high_slot = -1;            // DesiredValues slot of the high byte
  std::atomic<uint8_t>* pending_write = nullptr;
};

// The temperature editor's request, the second request of the same layout used by the drying
// mode screens, and the timer editor's request; their start values are those of a fresh panel.
extern TemperatureEditRequest temperature_edit_request;
extern TemperatureEditRequest drying_mode_edit_request;
extern TimerEditRequest timer_edit_request;

}  // namespace corvex::settings
