#pragma once
// "Set Time / Date - 18", opened from the extended setup menu. It sets the panel's local time
// (never the host's clock) by the clock offset of the platform, keeps the offset in the
// registry and reads it back at start-up, so the clock record, every log line and every file
// name follow the set time after a restart too. Nothing is sent to the controller.
#include <cstdint>

#include "platform/gui/window.h"
#include "platform/io/clock.h"

namespace corvex::settings {

intptr_t open_time_date_dialog(platform::gui::Window* owner);

// What the dialog edits: the local time read at opening, with its hour shown 1..12 and AM/PM.
struct TimeDateEntry {
  platform::LocalTime time;
  int hour12 = 12;
  bool am = true;
};
TimeDateEntry time_date_entry(const platform::LocalTime& now);

// The buttons, by what they step.
enum class TimeDateStep : uint8_t {
  MinuteDown, MinuteUp, HourUp, HourDown, Am, Pm, MonthDown, MonthUp,
  DateDown, DateUp, YearDown, YearUp, DayDown, DayUp,
};
void step_time_date(TimeDateEntry& entry, TimeDateStep step);
// The local time ACCEPT sets: the hour back to 0..23, the seconds as read at opening.
platform::LocalTime accepted_time(const TimeDateEntry& entry);

// Sets the panel's local time and keeps the new offset in the registry. False, changing
// nothing, for a time that does not exist (31 February).
bool set_panel_time(const platform::LocalTime& t);
// Start-up, once the disk is set and before the clock starts: takes the kept offset, if any.
void load_panel_clock_offset();

}  // namespace corvex::settings
