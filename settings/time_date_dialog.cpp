#include "settings/time_date_dialog.h"

#include <array>
#include <cstdio>
#include <cstring>

#include "logging/display_settings.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "platform/io/registry.h"
#include "resources/time_date_dialog.h"
#include "settings/setup_dialogs.h"
#include "texts/localized_controls.h"
#include "texts/texts.h"

namespace corvex::settings {

namespace {

namespace gui = platform::gui;
namespace res = resources;

constexpr char kOffsetValue[] = "PANEL_CLOCK_OFFSET";
// An offset of more than about a century is damage, not a setting.
constexpr int64_t kMaxOffsetSeconds = int64_t(100) * 366 * 24 * 3600;

constexpr int kAmString = 109;
constexpr int kPmString = 110;
constexpr int kUpString = 111;
constexpr int kDownString = 112;

TimeDateEntry g_entry;

struct Button {
  int id;
  TimeDateStep step;
  int field;
};
constexpr Button kButtons[] = {
    {res::kTimeMinuteDown, TimeDateStep::MinuteDown, res::kTimeMinuteField},
    {res::kTimeMinuteUp, TimeDateStep::MinuteUp, res::kTimeMinuteField},
    {res::kTimeHourUp, TimeDateStep::HourUp, res::kTimeHourField},
    {res::kTimeHourDown, TimeDateStep::HourDown, res::kTimeHourField},
    {res::kTimeAm, TimeDateStep::Am, res::kTimeAmPmField},
    {res::kTimePm, TimeDateStep::Pm, res::kTimeAmPmField},
    {res::kTimeMonthDown, TimeDateStep::MonthDown, res::kTimeMonthField},
    {res::kTimeMonthUp, TimeDateStep::MonthUp, res::kTimeMonthField},
    {res::kTimeDateDown, TimeDateStep::DateDown, res::kTimeDateField},
    {res::kTimeDateUp, TimeDateStep::DateUp, res::kTimeDateField},
    {res::kTimeYearDown, TimeDateStep::YearDown, res::kTimeYearField},
    {res::kTimeYearUp, TimeDateStep::YearUp, res::kTimeYearField},
    {res::kTimeDayDown, TimeDateStep::DayDown, res::kTimeDayField},
    {res::kTimeDayUp, TimeDateStep::DayUp, res::kTimeDayField},
};

void set_number(gui::Window& dialog, int id, int value) {
  char text[16];
  std::snprintf(text, sizeof text, " %d", value);
  gui::set_dialog_item_text(&dialog, id, text);
}

void show_field(gui::Window& dialog, int field) {
  switch (field) {
    case res::kTimeMinuteField: set_number(dialog, field, g_entry.time.minute); break;
    case res::kTimeHourField: set_number(dialog, field, g_entry.hour12); break;
    case res::kTimeDateField: set_number(dialog, field, g_entry.time.day); break;
    case res::kTimeYearField: set_number(dialog, field, g_entry.time.year); break;
    case res::kTimeAmPmField:
      localize_item_text(dialog, field, g_entry.am ? kAmString : kPmString);
      break;
    case res::kTimeMonthField: localize_item_text(dialog, field, 112 + g_entry.time.month); break;
    case res::kTimeDayField: localize_item_text(dialog, field, 125 + g_entry.time.day_of_week); break;
    default: break;
  }
}

void show_all(gui::Window& dialog) {
  for (int field : {res::kTimeMinuteField, res::kTimeHourField, res::kTimeDateField,
                    res::kTimeYearField, res::kTimeAmPmField, res::kTimeMonthField,
                    res::kTimeDayField}) {
    show_field(dialog, field);
  }
}

void localize_labels(gui::Window& dialog) {
  texts::set_localized_caption(&dialog, 101);
  localize_item_text(dialog, res::kTimeMinuteLabel, 102);
  localize_item_text(dialog, res::kTimeHourLabel, 103);
  localize_item_text(dialog, res::kTimeMonthLabel, 104);
  localize_item_text(dialog, res::kTimeDateLabel, 105);
  localize_item_text(dialog, res::kTimeYearLabel, 106);
  localize_item_text(dialog, res::kTimeDayLabel, 107);
  localize_item_text(dialog, res::kTimeNote, 108);
  const std::string am = texts::localized_text(kAmString);
  const std::string pm = texts::localized_text(kPmString);
  if (!am.empty() && !pm.empty()) {
    gui::set_dialog_item_text(&dialog, res::kTimeAmPmLabel, am + "/" + pm);
  }
}

int key_label(int id) {
  switch (id) {
    case res::kTimeAm: return kAmString;
    case res::kTimePm: return kPmString;
    case res::kTimeAccept: return 4;
    case res::kTimeCancel: return 10;
    case res::kTimeMinuteUp:
    case res::kTimeHourUp:
    case res::kTimeMonthUp:
    case res::kTimeDateUp:
    case res::kTimeYearUp:
    case res::kTimeDayUp: return kUpString;
    default: return kDownString;
  }
}

intptr_t time_date_procedure(gui::Window& dialog, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::InitDialog:
      g_entry = time_date_entry(platform::clock::local_now());
      localize_labels(dialog);
      show_all(dialog);
      return 1;
    case gui::MessageKind::DrawItem: {
      const auto& item = gui::draw_item_context(m);
      draw_labelled_key(item, key_label(item.id));
      return 1;
    }
    case gui::MessageKind::Command: {
      const int id = gui::command_id(m);
      for (const Button& b : kButtons) {
        if (b.id != id) continue;
        step_time_date(g_entry, b.step);
        show_field(dialog, b.field);
        return 1;
      }
      if (id == res::kTimeAccept) {
        // A date the month does not have is refused by the clock and changes nothing.
        set_panel_time(accepted_time(g_entry));
        gui::end_dialog(&dialog, id);
        return 1;
      }
      if (id == res::kTimeCancel) {
        gui::end_dialog(&dialog, id);
        return 1;
      }
      return 0;
    }
    default:
      return 0;
  }
}

}  // namespace

intptr_t open_time_date_dialog(gui::Window* owner) {
  res::register_time_date_dialog_template();
  return gui::dialog_box(res::kTimeDateDialog, owner, &time_date_procedure);
}

TimeDateEntry time_date_entry(const platform::LocalTime& now) {
  TimeDateEntry e;
  e.time = now;
  e.am = now.hour < 12;
  e.hour12 = now.hour % 12 == 0 ? 12 : now.hour % 12;
  return e;
}

void step_time_date(TimeDateEntry& e, TimeDateStep step) {
  platform::LocalTime& t = e.time;
  switch (step) {
    case TimeDateStep::MinuteDown: t.minute = t.minute == 0 ? 59 : t.minute - 1; break;
    case TimeDateStep::MinuteUp: t.minute = t.minute > 58 ? 0 : t.minute + 1; break;
    case TimeDateStep::HourUp: e.hour12 = e.hour12 > 11 ? 1 : e.hour12 + 1; break;
    case TimeDateStep::HourDown: e.hour12 = e.hour12 < 2 ? 12 : e.hour12 - 1; break;
    case TimeDateStep::Am: e.am = true; break;
    case TimeDateStep::Pm: e.am = false; break;
    case TimeDateStep::MonthDown: t.month = t.month < 2 ? 12 : t.month - 1; break;
    case TimeDateStep::MonthUp: t.month = t.month > 11 ? 1 : t.month + 1; break;
    case TimeDateStep::DateDown: t.day = t.day < 2 ? 31 : t.day - 1; break;
    case TimeDateStep::DateUp: t.day = t.day > 30 ? 1 : t.day + 1; break;
    case TimeDateStep::YearDown: t.year = t.year < 2001 ? 2050 : t.year - 1; break;
    case TimeDateStep::YearUp: t.year = t.year > 2049 ? 2000 : t.year + 1; break;
    case TimeDateStep::DayDown: t.day_of_week = t.day_of_week == 0 ? 6 : t.day_of_week - 1; break;
    case TimeDateStep::DayUp: t.day_of_week = t.day_of_week > 5 ? 0 : t.day_of_week + 1; break;
  }
}

platform::LocalTime accepted_time(const TimeDateEntry& e) {
  platform::LocalTime t = e.time;
  if (e.am) {
    t.hour = e.hour12 == 12 ? 0 : e.hour12;
  } else {
    t.hour = e.hour12 == 12 ? 12 : e.hour12 + 12;
  }
  t.millisecond = 0;
  return t;
}

bool set_panel_time(const platform::LocalTime& t) {
  const std::optional<int64_t> offset = platform::clock::set_local_time(t);
  if (!offset) return false;
  std::array<uint8_t, 8> bytes{};
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = uint8_t(uint64_t(*offset) >> (8 * i));
  if (platform::registry::create_key(logging::kSettingsKey)) {
    platform::registry::write_value(logging::kSettingsKey, kOffsetValue, bytes);
  }
  return true;
}

void load_panel_clock_offset() {
  const auto bytes = platform::registry::read_value(logging::kSettingsKey, kOffsetValue);
  if (!bytes || bytes->size() != 8) return;
  uint64_t raw = 0;
  for (size_t i = 0; i < 8; ++i) raw |= uint64_t((*bytes)[i]) << (8 * i);
  const auto offset = int64_t(raw);
  if (offset > kMaxOffsetSeconds || offset < -kMaxOffsetSeconds) return;
  platform::clock::set_local_offset_seconds(offset);
}

}  // namespace corvex::settings
