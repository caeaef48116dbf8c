// The timer editor "MODIFYING TIMER SETPOINT - 21": two digit pads, one for the minutes and
// one for the seconds of a timer, working on the shared timer_edit_request.
#include <cstdio>

#include "link/dryer_state.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "resources/editor_dialogs.h"
#include "settings/keypad_editor.h"
#include "settings/timer_screen.h"
#include "texts/labelled_key.h"
#include "texts/texts.h"

namespace corvex::settings {

namespace {

namespace gui = platform::gui;
namespace res = resources;
using platform::Rect;

constexpr platform::Color kValueColor = platform::rgb(0, 0, 128);
constexpr platform::FontSpec kValueFont{48, 900};
constexpr platform::FontSpec kLimitFont{17, 700};
constexpr platform::FontSpec kKeyFont{20, 700};
constexpr unsigned kCentredLine = platform::text_format::kCenter | platform::text_format::kVCenter |
                                  platform::text_format::kSingleLine;

// Key codes kept as the request's last key: the digit, or 10 for DELETE.
constexpr uint8_t kDeleteKeyCode = 10;

// The very first key after opening, in either pad, clears its field before it takes effect.
void take_first_key(TimerEditRequest& r, TimerField field) {
  if (r.first_key != 0) return;
  r.first_key = 1;
  (field == TimerField::Minutes ? r.minutes : r.seconds) = 0;
}

void minutes_digit(TimerEditRequest& r, uint8_t digit) {
  switch (r.minutes_entry_state) {
    case 0:
      r.minutes = digit;
      if (digit != 0) r.minutes_entry_state = 1;
      break;
    case 1:
      r.minutes = uint8_t(r.minutes * 10 + digit);
      r.minutes_entry_state = 2;
      break;
    case 2:
      // A third digit would pass 249.
      if (r.minutes > 24) break;
      r.minutes = uint8_t(r.minutes * 10 + digit);
      r.minutes_entry_state = 3;
      break;
    default:
      break;  // three digits: only DELETE is taken
  }
}

void seconds_digit(TimerEditRequest& r, uint8_t digit) {
  switch (r.seconds_entry_state) {
    case 0:
      r.seconds = digit;
      if (digit != 0) r.seconds_entry_state = 1;
      break;
    case 1:
      // A second digit would pass 59.
      if (r.seconds > 5) break;
      r.seconds = uint8_t(r.seconds * 10 + digit);
      r.seconds_entry_state = 2;
      break;
    default:
      break;
  }
}

// ---- The dialog ----

void draw_string_line(platform::Canvas& c, const char* format, int number, int minutes, int seconds,
                      const Rect& r) {
  texts::StringBuffer label;
  label[0] = '\0';
  texts::localized_string(number, label);
  char line[sizeof(texts::StringBuffer) + 24];
  std::snprintf(line, sizeof line, format, label.data(), minutes, seconds);
  c.draw_text(line, r, kLimitFont, platform::colors::kBlack, kCentredLine);
}

void paint_value(platform::Canvas& c) {
  const TimerEditRequest& r = timer_edit_request;
  char value[32];
  std::snprintf(value, sizeof value, " %03d : %02d ", r.minutes, r.seconds);
  c.draw_text(value, res::kTimerValueRect, kValueFont, kValueColor, kCentredLine);
  const int line = res::kTimerLimitsRect.height() / 3;
  Rect row = res::kTimerLimitsRect;
  row.bottom = row.top + line;
  draw_string_line(c, "%s = %02d:%02d", 55, r.default_minutes, r.default_seconds, row);
  draw_string_line(c, "%s = %02d:%02d", 356, r.maximum_minutes, r.maximum_seconds,
                   row.translated(0, line));
  draw_string_line(c, "%s = %02d:%02d", 357, r.minimum_minutes, r.minimum_seconds,
                   row.translated(0, 2 * line));
  texts::StringBuffer unit;
  unit[0] = '\0';
  texts::localized_string(50, unit);
  c.draw_text(unit.data(), res::kTimerMinutesLabelRect, kLimitFont, platform::colors::kBlack,
              kCentredLine);
  unit[0] = '\0';
  texts::localized_string(51, unit);
  c.draw_text(unit.data(), res::kTimerSecondsLabelRect, kLimitFont, platform::colors::kBlack,
              kCentredLine);
}

// The label a key shows: its digit, or the localized word of a command key.
int key_string(int id) {
  switch (id) {
    case res::kTimerMinutesDelete:
    case res::kTimerSecondsDelete:
      return 141;
    case res::kTimerDefault:
      return 55;
    case res::kTimerAccept:
      return 4;
    case res::kTimerCancel:
      return 10;
    default:
      return 0;
  }
}

void on_draw_item(const gui::DrawItemContext& item) {
  char digit[4] = "";
  const int id = item.id;
  if (id >= res::kTimerMinutesDigit0 && id <= res::kTimerMinutesDigit0 + 9) {
    std::snprintf(digit, sizeof digit, "%d", id - res::kTimerMinutesDigit0);
  } else if (id >= res::kTimerSecondsDigit0 && id <= res::kTimerSecondsDigit0 + 9) {
    std::snprintf(digit, sizeof digit, "%d", id - res::kTimerSecondsDigit0);
  }
  // Without a language file the key still says what it does.
  texts::draw_labelled_key(item, digit[0] != '\0' ? 0 : key_string(id), kKeyFont, -2,
                           platform::text_format::kWordBreak, digit[0] != '\0' ? digit : nullptr);
}

void begin() { timer_entry_begin(timer_edit_request); }

bool edit(int id) {
  TimerEditRequest& r = timer_edit_request;
  if (id >= res::kTimerMinutesDigit0 && id <= res::kTimerMinutesDigit0 + 9) {
    timer_entry_digit(r, TimerField::Minutes, id - res::kTimerMinutesDigit0);
  } else if (id >= res::kTimerSecondsDigit0 && id <= res::kTimerSecondsDigit0 + 9) {
    timer_entry_digit(r, TimerField::Seconds, id - res::kTimerSecondsDigit0);
  } else if (id == res::kTimerMinutesDelete) {
    timer_entry_delete(r, TimerField::Minutes);
  } else if (id == res::kTimerSecondsDelete) {
    timer_entry_delete(r, TimerField::Seconds);
  } else if (id == res::kTimerDefault) {
    timer_entry_default(r);
  } else {
    return false;
  }
  return true;
}

bool accept() { return timer_entry_accept(timer_edit_request); }

constexpr KeypadEditor kEditor{.caption_string = 355,
                               .accept_id = res::kTimerAccept,
                               .cancel_id = res::kTimerCancel,
                               .value_rect = res::kTimerValueRect,
                               .begin = &begin,
                               .paint = &paint_value,
                               .draw_key = &on_draw_item,
                               .edit = &edit,
                               .accept = &accept};

intptr_t timer_editor_procedure(gui::Window& dialog, const gui::Message& m) {
  return keypad_editor_procedure(dialog, m, kEditor);
}

}  // namespace

void timer_entry_begin(TimerEditRequest& r) {
  r.minutes_entry_state = 0;
  r.seconds_entry_state = 0;
  r.first_key = 0;
}

void timer_entry_digit(TimerEditRequest& r, TimerField field, int digit) {
  if (digit < 0 || digit > 9) return;
  take_first_key(r, field);
  r.last_key = uint8_t(digit);
  if (field == TimerField::Minutes) {
    minutes_digit(r, uint8_t(digit));
  } else {
    seconds_digit(r, uint8_t(digit));
  }
}

void timer_entry_delete(TimerEditRequest& r, TimerField field) {
  take_first_key(r, field);
  r.last_key = kDeleteKeyCode;
  uint8_t& value = field == TimerField::Minutes ? r.minutes : r.seconds;
  uint8_t& state = field == TimerField::Minutes ? r.minutes_entry_state : r.seconds_entry_state;
  value = uint8_t(value / 10);
  if (state > 0) --state;
}

void timer_entry_default(TimerEditRequest& r) {
  r.minutes = r.default_minutes;
  r.seconds = r.default_seconds;
  r.seconds_entry_state = r.seconds > 9 ? 1 : 0;
  r.minutes_entry_state = r.minutes > 99 ? 3 : r.minutes < 10 ? 1 : 2;
}

bool timer_entry_accept(TimerEditRequest& r) {
  const int total = r.minutes * 60 + r.seconds;
  const int maximum = r.maximum_minutes * 60 + r.maximum_seconds;
  const int minimum = r.minimum_minutes * 60 + r.minimum_seconds;
  if (total > maximum || total < minimum) return false;
  write_edit_slot(r.seconds_slot, r.seconds);
  write_edit_slot(r.minutes_slot, r.minutes);
  // The slots are written before the flag goes up, so the record never goes out half new.
  if (r.pending_write != nullptr) r.pending_write->store(1, std::memory_order_release);
  return true;
}

intptr_t open_timer_editor(gui::Window* owner) {
  resources::register_editor_dialog_templates();
  texts::ensure_texts_loaded();
  return gui::dialog_box(resources::kTimerEditorDialog, owner, &timer_editor_procedure);
}

}  // namespace corvex::settings
