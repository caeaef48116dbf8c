// The temperature editor "Modifying Temperature Setpoint - 22" (dialog resource 101): one digit
// pad on the shared temperature_edit_request. In SI units the operator types Celsius; what goes
// to the controller is always Fahrenheit.
#include <algorithm>
#include <cstdio>

#include "diagnostics/format.h"
#include "link/dryer_state.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "resources/editor_dialogs.h"
#include "settings/keypad_editor.h"
#include "settings/temperature_screen.h"
#include "texts/labelled_key.h"
#include "texts/texts.h"

namespace corvex::settings {

namespace {

namespace gui = platform::gui;
namespace res = resources;

constexpr platform::Color kValueColor = platform::rgb(0, 0, 128);
constexpr platform::FontSpec kValueFont{52, 900};
constexpr platform::FontSpec kKeyFont{20, 700};
constexpr uint8_t kDeleteKeyCode = 10;
constexpr uint8_t kClearKeyCode = 11;

// The units of the open editor, fixed when it opened.
EntryUnits g_units = EntryUnits::Fahrenheit;

int to_celsius(int fahrenheit) {
  return diagnostics::fahrenheit_to_celsius(int16_t(std::clamp(fahrenheit, -32768, 32767)));
}

// Digits of the value, capped at the two states after the first digit.
uint8_t digit_state_of(int value) { return value == 0 ? 0 : value < 10 ? 1 : 2; }

void take_first_key(TemperatureEditRequest& r) {
  if (r.first_key != 0) return;
  r.first_key = 1;
  r.working_value = 0;
  r.entry_state = 0;
}

// ---- The dialog ----

void paint_value(platform::Canvas& canvas) {
  char value[32];
  std::snprintf(value, sizeof value,
                g_units == EntryUnits::Celsius ? " %03d \u00B0C " : " %03d \u00B0F ",
                int(temperature_edit_request.working_value));
  canvas.draw_text(value, res::kTemperatureValueRect, kValueFont, kValueColor,
                   platform::text_format::kCenter | platform::text_format::kVCenter |
                       platform::text_format::kSingleLine);
}

int key_string(int id) {
  switch (id) {
    case res::kTemperatureDelete:
      return 141;
    case res::kTemperatureClear:
      return 99;
    case res::kTemperatureDefault:
      return 55;
    case res::kTemperatureAccept:
      return 4;
    case res::kTemperatureCancel:
      return 10;
    default:
      return 0;
  }
}

void on_draw_item(const gui::DrawItemContext& item) {
  // Digits, and every key without a language file, show the window text.
  texts::draw_labelled_key(item, key_string(item.id), kKeyFont, -2,
                           platform::text_format::kWordBreak);
}

void begin() {
  g_units = link::dryer_state().unit_flag.load(std::memory_order_relaxed) != 0
                ? EntryUnits::Celsius
                : EntryUnits::Fahrenheit;
  temperature_entry_begin(temperature_edit_request, g_units);
}

bool edit(int id) {
  TemperatureEditRequest& r = temperature_edit_request;
  if (id >= res::kTemperatureDigit0 && id <= res::kTemperatureDigit0 + 9) {
    temperature_entry_digit(r, id - res::kTemperatureDigit0);
  } else if (id == res::kTemperatureDelete) {
    temperature_entry_delete(r);
  } else if (id == res::kTemperatureClear) {
    temperature_entry_clear(r);
  } else if (id == res::kTemperatureDefault) {
    temperature_entry_default(r, g_units);
  } else {
    return false;
  }
  return true;
}

bool accept() { return temperature_entry_accept(temperature_edit_request, g_units); }

constexpr KeypadEditor kEditor{.caption_string = 142,
                               .accept_id = res::kTemperatureAccept,
                               .cancel_id = res::kTemperatureCancel,
                               .value_rect = res::kTemperatureValueRect,
                               .begin = &begin,
                               .paint = &paint_value,
                               .draw_key = &on_draw_item,
                               .edit = &edit,
                               .accept = &accept};

intptr_t temperature_editor_procedure(gui::Window& dialog, const gui::Message& m) {
  return keypad_editor_procedure(dialog, m, kEditor);
}

}  // namespace

void temperature_entry_begin(TemperatureEditRequest& r, EntryUnits units) {
  if (units == EntryUnits::Celsius) {
    // A setpoint below freezing cannot be typed in; it opens as 0 rather than as a huge number.
    r.working_value = uint16_t(std::max(0, to_celsius(r.working_value)));
  }
  r.first_key = 0;
  r.entry_state = 0;
}

void temperature_entry_digit(TemperatureEditRequest& r, int digit) {
  if (digit < 0 || digit > 9) return;
  take_first_key(r);
  r.last_key = uint8_t(digit);
  // Three digits at most.
  if (r.working_value >= 100) return;
  r.working_value = uint16_t(r.working_value * 10 + digit);
  r.entry_state = digit_state_of(r.working_value);
}

void temperature_entry_delete(TemperatureEditRequest& r) {
  take_first_key(r);
  r.last_key = kDeleteKeyCode;
  r.working_value = uint16_t(r.working_value / 10);
  if (r.entry_state > 0) --r.entry_state;
}

void temperature_entry_clear(TemperatureEditRequest& r) {
  take_first_key(r);
  r.last_key = kClearKeyCode;
  r.working_value = 0;
  r.entry_state = 0;
}

void temperature_entry_default(TemperatureEditRequest& r, EntryUnits units) {
  int value = r.default_value;
  if (units == EntryUnits::Celsius) value = std::max(0, to_celsius(value));
  r.working_value = uint16_t(value);
  r.entry_state = digit_state_of(value);
}

int celsius_entry_to_fahrenheit(int celsius) {
  int fahrenheit = 9 * celsius / 5 + 32;
  // The display rule truncates (F - 32) x 5 / 9; these steps make it give the typed value back.
  const int rest = celsius % 5;
  if (rest == 4) fahrenheit += 1;
  if (rest >= 1 && rest <= 3) fahrenheit += 2;
  return fahrenheit;
}

bool temperature_entry_accept(TemperatureEditRequest& r, EntryUnits units) {
  int fahrenheit = r.working_value;
  if (units == EntryUnits::Celsius) {
    const int celsius = r.working_value;
    fahrenheit = celsius_entry_to_fahrenheit(celsius);
    // At the top of the range the adjustment can carry the value past the maximum (121 C would
    // go out as 251 F against 250). A controller refuses such a value without a word and the
    // record would then be sent for ever, so the maximum is stored instead when it shows as
    // the same Celsius value; otherwise the entry really lies above the range.
    if (fahrenheit > r.maximum && to_celsius(r.maximum) == celsius) fahrenheit = r.maximum;
  }
  // The range is checked on the value that goes to the controller.
  if (fahrenheit > r.maximum || fahrenheit < r.minimum) return false;
  write_edit_slot(r.low_slot, uint8_t(fahrenheit & 0xFF));
  write_edit_slot(r.high_slot, uint8_t((fahrenheit >> 8) & 0xFF));
  if (r.pending_write != nullptr) r.pending_write->store(1, std::memory_order_release);
  return true;
}

intptr_t open_temperature_editor(gui::Window* owner) {
  resources::register_editor_dialog_templates();
  texts::ensure_texts_loaded();
  return gui::dialog_box(resources::kTemperatureEditorDialog, owner, &temperature_editor_procedure);
}

}  // namespace corvex::settings
