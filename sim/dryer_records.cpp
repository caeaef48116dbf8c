// What the simulated controller does with the parameter records the display sends: it takes
// each value byte into the status byte at the record's address, so that the display's read-back
// sees it, except where the controller keeps a byte or a bit of its own.
#include <cstdio>

#include "sim/dryer_model.h"

namespace corvex::sim {
namespace {

struct Range {
  uint16_t offset;
  uint8_t length;
};

// The operator's settings that "save user settings" keeps and "restore" brings back: every
// parameter the display can write, except the clock, the counters, the command and auto-start
// bytes, the units byte itself and the metering-roll mode byte (its bit 7 is the knob's).
constexpr Range kUserSettings[] = {
    {3, 6},   {11, 2},  {16, 2},  {21, 2},  {26, 2},  {31, 2},  {41, 2},  {46, 2},  {49, 2},
    {59, 12}, {95, 12}, {149, 6}, {156, 3}, {163, 1}, {187, 1}, {199, 2}, {202, 2}, {206, 4},
    {216, 4}, {224, 1}, {226, 4}, {232, 6}, {241, 4}, {246, 1}, {254, 2}, {257, 5}, {269, 2},
    {274, 2}, {277, 2}, {281, 4}, {285, 1}, {287, 1}, {289, 1}, {293, 1},
};

}  // namespace

bool DryerModel::take_record(const ParameterRecord& record, const char** reason) {
  const size_t at = record.address();
  if (record.node == 0 && record.id == link::kClock && record.count == link::kClockLength) {
    // The clock record sets the controller's clock; its bytes are not status values.
    if (!take_clock(record.values)) {
      *reason = reason_;
      return false;
    }
    return true;
  }
  for (size_t i = 0; i < record.count; ++i) take_byte(at + i, record.values[i]);
  adopt(at, record.count);
  publish();
  return true;
}

void DryerModel::take_byte(size_t at, uint8_t value) {
  switch (at) {
    case 159:
      // Bits 0-5 select the speed setting; bit 7 toggles when the knob on the control panel is
      // pushed and belongs to the controller.
      bytes_[at] = uint8_t((bytes_[at] & 0x80) | (value & 0x7F));
      break;
    case link::kCommand:
      bytes_[at] = value;
      if (value & 0x08) {
        total_ = 0;
        total_carry_ = 0;
      }
      break;
    case link::kUnitsAndOptions:
      take_units_command(value);
      break;
    case link::kAutoStart:
      take_auto_start_command(value);
      break;
    default:
      bytes_[at] = value;
      break;
  }
}

bool DryerModel::take_clock(const uint8_t* v) {
  const int minute = v[0], hour = v[1], day = v[2], month = v[3], year = v[4];
  if (minute > 59 || hour > 23 || day < 1 || day > 31 || month < 1 || month > 12 || year > 99) {
    std::snprintf(reason_, sizeof reason_,
                  "a clock record with an impossible time: minute %d hour %d day %d month %d "
                  "year %d",
                  minute, hour, day, month, year);
    return false;
  }
  clock_ = ControllerClock{true, minute, hour, day, month, year};
  return true;
}

// Bits 0 and 1 of byte 266 are one-shot commands (2 save the user settings, 1 restore them);
// the controller carries them out and never keeps them.
void DryerModel::take_units_command(uint8_t value) {
  bytes_[link::kUnitsAndOptions] = uint8_t(value & ~0x03);
  const int command = value & 0x03;
  if (command == 2) {
    saved_ = bytes_;
    settings_saved_ = true;
  } else if (command == 1 && settings_saved_) {
    for (const Range& r : kUserSettings) {
      for (size_t k = r.offset; k < size_t(r.offset + r.length); ++k) bytes_[k] = saved_[k];
      adopt(r.offset, r.length);
    }
  }
}

void DryerModel::set_bytes(size_t at, const uint8_t* values, size_t n) {
  for (size_t i = 0; i < n; ++i) bytes_[at + i] = values[i];
  adopt(at, n);
  publish();
}

}  // namespace corvex::sim
