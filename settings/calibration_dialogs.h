#pragma once
// Moisture sensor calibration, the unload bushels set-up and the unload status screen.
//
// The two dialogs are modal; they work on the DesiredValues slots of their parameters and raise
// the pending writes only on ACCEPT (or, for the bushel counter, on the Yes answer), and only
// where the value differs from what the controller reports.
#include <cstdint>
#include <string>

#include "platform/gui/window.h"

namespace corvex::settings {

intptr_t open_moisture_calibration_dialog(platform::gui::Window* owner);
intptr_t open_unload_bushels_dialog(platform::gui::Window* owner);

// Registers the class of UNLOAD_STATUS_WINDOW (unload_status_window.cpp); start-up calls it
// with the other screens'.
void register_unload_status_class();

// ---- Moisture sensor calibration ----

// The four offsets, each a signed 16-bit value in tenths, high byte first, at the status offset
// equal to its parameter number.
enum class SensorOffset : uint8_t { WetMoisture, DryMoisture, DryTemperature, WetTemperature };
inline constexpr int kSensorOffsetCount = 4;

// Opening: the slots of the four offsets take the reported values; no write is raised.
void start_moisture_calibration();
// The working value of an offset (its slots), in tenths.
int calibration_offset(SensorOffset which);
// ">>>" (+1) and "<<<" (-1): moves the offset by one tenth while it stays inside its range
// (moisture -200..+200, temperature -100..+100). True when it moved.
bool step_calibration_offset(SensorOffset which, int delta);
// ACCEPT: raises the write of every offset whose slots differ from the reported value.
void accept_moisture_calibration();
// The display text of an offset: "%3.1f" of tenths x 0.1 ("-2.5", "20.0").
std::string offset_text(int tenths);
// A live reading line: "LABEL:  18.5 %" for a moisture, "LABEL: 65.3 F" for a grain temperature
// (signed tenths of a degree).
std::string moisture_reading(const std::string& label, uint16_t tenths);
std::string temperature_reading(const std::string& label, int16_t tenths);

// ---- Unload bushels set-up ----

inline constexpr int kMultiplierMin = 50;
inline constexpr int kMultiplierMax = 150;

// Opening: the slot of the bushels-per-hour multiplier takes the reported value.
void start_unload_bushels();
// INCREASE (+1) / DECREASE (-1) of the multiplier slot within 50..150. True when it moved.
bool step_bushel_multiplier(int delta);
// ACCEPT: raises the multiplier's write when its slot differs from the reported value.
void accept_unload_bushels();
// The Yes answer of CLEAR: sets bit 3 (zero the count) of the command byte and raises its write.
// The decoder clears the bit again once the controller reports a count of 0.
void request_total_bushels_zero();
// Total bushels: the reported 32-bit count (status bytes 164..167, lowest first) / 3600.
uint32_t total_bushels();

// ---- Unload status ----

// The large value: status bytes 197 (high) and 198 (low), tenths ("%2d.%d"); hundredths when
// bit 5 of the dryer-type byte is set.
std::string roll_speed_text();
// The three metering-roll presets, each the preset byte x 10: " HIGH: %04d " and so on, index
// 0 HIGH, 1 MED, 2 LOW.
std::string preset_line(int index, uint8_t preset);

}  // namespace corvex::settings
