// The temperature editor "Modifying Temperature Setpoint - 22" (dialog resource 101): one digit
// pad on the shared temperature_edit_request. In SI units the operator types Celsius; what goes
// to the controller is always Fahrenheit.
#include <algorithm>
#include <cstdio>

#include "diagnostics/format.h"
#include "link/dryer_state.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "platform/gui/message_box.h"
#include "resources/editor_dialogs.h"
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

void write_slot(int slot, uint8_t value) {
  if (slot >= 0 && slot < int(link::kStatusBytes)) {
    link::dryer_state().desired[size_t(slot)].store(value, std::memory_order_relaxed);
  }
}

// ---- The dialog ----

void on_paint(gui::Window& dialog, const gui::PaintContext& paint) {
  texts::StringBuffer caption;
  caption[0] = '\0';
  texts::localized_string(142, caption);
  if (caption[0] != '\0' && dialog.text() != caption.data())
    gui::set_window_text(&dialog, caption.data());
  char value[32];
  std::snprintf(value, sizeof value,
                g_units == EntryUnits::Celsius ? " %03d \u00B0C " : " %03d \u00B0F ",
                int(temperature_edit_request.working_value));
  paint.canvas->draw_text(value, res::kTemperatureValueRect, kValueFont, kValueColor,
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

void on_accept(gui::Window& dialog) {
  if (!temperature_entry_accept(temperature_edit_request, g_units)) {
    gui::message_box(&dialog, "The value entered is out of range.", "WARNING!",
                     gui::kMbOk | gui::kMbIconWarning);
  }
  gui::end_dialog(&dialog, res::kTemperatureAccept);
}

bool on_command(gui::Window& dialog, int id) {
  TemperatureEditRequest& r = temperature_edit_request;
  if (id >= res::kTemperatureDigit0 && id <= res::kTemperatureDigit0 + 9) {
    temperature_entry_digit(r, id - res::kTemperatureDigit0);
  } else if (id == res::kTemperatureDelete) {
    temperature_entry_delete(r);
  } else if (id == res::kTemperatureClear) {
    temperature_entry_clear(r);
  } else if (id == res::kTemperatureDefault) {
    temperature_entry_default(r, g_units);
  } else if (id == res::kTemperatureAccept) {
    on_accept(dialog);
    return true;
  } else if (id == res::kTemperatureCancel) {
    gui::end_dialog(&dialog, res::kTemperatureCancel);
    return true;
  } else {
    return false;
  }
  gui::invalidate_rect(&dialog, res::kTemperatureValueRect);
  return true;
}

intptr_t temperature_editor_procedure(gui::Window& dialog, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::InitDialog:
      gui::center_window(&dialog, gui::dialog_owner(&dialog));
      g_units = link::dryer_state().unit_flag.load(std::memory_order_relaxed) != 0
                    ? EntryUnits::Celsius
                    : EntryUnits::Fahrenheit;
      temperature_entry_begin(temperature_edit_request, g_units);
      return 1;
    case gui::MessageKind::Paint:
      on_paint(dialog, gui::paint_context(m));
      return 1;
    case gui::MessageKind::DrawItem:
      on_draw_item(gui::draw_item_context(m));
      return 1;
    case gui::MessageKind::Command:
      return on_command(dialog, gui::command_id(m)) ? 1 : 0;
    default:
      return 0;
  }
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
  write_slot(r.low_slot, uint8_t(fahrenheit & 0xFF));
  write_slot(r.high_slot, uint8_t((fahrenheit >> 8) & 0xFF));
  if (r.pending_write != nullptr) r.pending_write->store(1, std::memory_order_release);
  return true;
}

intptr_t open_temperature_editor(gui::Window* owner) {
  resources::register_editor_dialog_templates();
  texts::ensure_texts_loaded();
  return gui::dialog_box(resources::kTemperatureEditorDialog, owner, &temperature_editor_procedure);
}

}  // namespace corvex::settings
